#pragma once
// Records of the gate-extraction stages, shared by the flat circuit and the
// subcircuit twins, by pattern matching and by the Verilog writer.
#include "netlist/netlist.h"

typedef struct DEVICELIST {
  char* devicename;
  int devicetype;  // the MOSFET's nptype: 0 n-channel, 1 p-channel
  char* d;
  char* g;
  char* s;
  PinType pintype;
  struct DEVICELIST* next;
} DeviceList;

typedef struct NODELIST {
  char* nodename;
  bool terminal;
  bool wire;
  DEVICELIST* devicelist;
  int pn_node;
  char* connected_p_branch_name;
  char* connected_n_branch_name;
  char* output_of_gate_name;
  PINLIST* input_of_gate_list;
  char* output_of_trans_name;
  char* input_of_trans_name;
  int num_of_inputs;
  struct NODELIST* next;
} NodeList;

typedef struct BRANCHNODELIST {
  char* nodename;
  struct BRANCHNODELIST* next;
} BranchNodeList;

typedef struct NAMELIST {
  char* gatename;
  char virtual_name;
  struct NAMELIST* next;
} NameList;

typedef struct GATENAMELIST {
  char* name;
  struct GATENAMELIST* next;
} GateNameList;

typedef struct RELATIONLIST {
  int type;
  GATENAMELIST* gatename_list;
  struct RELATIONLIST* next;
} RelationList;

typedef struct TRANSLIST {
  char* transname;
  char* input;
  char* output;
  char* p_g;
  char* n_g;
  int ready_to_delete;
  struct TRANSLIST* next;
} TransList;

// ---- Flat-circuit node lookup --------------------------------------------
// Nodes whose names carry a number live at that number in hash_node_list;
// the others live past node_biggest, the k-th distinct one met at
// node_biggest + k. These helpers find the unnumbered ones by name without
// scanning, and with no limit on how many there are.

// The node of a flat-circuit net name, or null.
NODELIST* flat_get_node(const char* name);
// Table index of an unnumbered node name, or -1.
long long flat_unnumbered_index(const char* name);
// Files an unnumbered node name at its table index.
void flat_register_unnumbered(const char* name, long long index);
// Forgets every unnumbered name (start of a run).
void flat_reset_unnumbered();
