#pragma once
// Records of the gate-extraction stages, shared by the flat circuit and the
// subcircuit twins, by pattern matching and by the Verilog writer.
#include <cstdint>
#include <vector>

#include "classic/netlist/netlist.h"

// One terminal of a MOSFET on a node. A node graph holds three per MOSFET, so
// the record points at the MOSFET's card instead of copying its names, and
// the terminal kind and channel type (settled before the graph is built) ride
// in the low bits of that pointer (cards are 8-byte aligned): two words, and
// a walk over a node's terminal kinds never touches the cards. Drain and
// source read as they stood when the card was filed, whatever exchanges of
// the two came later.
typedef struct DEVICELIST {
  std::uintptr_t mos_and_pin;
  struct DEVICELIST* next;

  void set(MOSLIST* m, PinType pin) {
    mos_and_pin = reinterpret_cast<std::uintptr_t>(m) | static_cast<unsigned>(pin) | (m->nptype != 0 ? 4u : 0u);
  }
  MOSLIST* mos() const { return reinterpret_cast<MOSLIST*>(mos_and_pin & ~std::uintptr_t{7}); }
  PinType pintype() const { return static_cast<PinType>(mos_and_pin & 3); }
  char* devicename() const { return mos()->mosname; }
  int devicetype() const { return (mos_and_pin & 4) ? 1 : 0; }  // 0 n-channel, 1 p-channel
  char* d() const { return mos()->exchanged ? mos()->s : mos()->d; }
  char* g() const { return mos()->g; }
  char* s() const { return mos()->exchanged ? mos()->d : mos()->s; }
} DeviceList;
static_assert(alignof(MOSLIST) >= 8, "the terminal kind and channel type need three free pointer bits");

// The gates a net feeds, in list order. Pattern matching defers the removal
// of an occurrence's gates from a flat net's list (see gate_input_trim.h);
// the list is only reachable through list(), which writes pending removals
// back first, so no reader can see it stale.
struct NODELIST;

class GateInputs {
 public:
  PINLIST* list() { return deferred() ? apply_removals() : head_; }
  void set(PINLIST* head) {
    if (deferred()) apply_removals();
    head_ = head;
  }

 private:
  friend void remove_input_gates(NODELIST* node, const std::vector<const char*>& names);
  friend void flush_input_gate_removals();
  // A list with removals pending carries a tag in the low bit of its head
  // (records are aligned), so a read of any other list costs no lookup.
  bool deferred() const { return reinterpret_cast<std::uintptr_t>(head_) & 1u; }
  void defer() { head_ = reinterpret_cast<PINLIST*>(reinterpret_cast<std::uintptr_t>(head_) | 1u); }
  // Relinks the list with its pending removals and drops the tag.
  PINLIST* apply_removals();

  PINLIST* head_;
};

// The flags and counts sit together so that no pointer is padded after them.
typedef struct NODELIST {
  int pn_node;
  int num_of_inputs;
  bool terminal;
  bool wire;
  char* nodename;
  DEVICELIST* devicelist;
  char* connected_p_branch_name;
  char* connected_n_branch_name;
  char* output_of_gate_name;
  GateInputs input_of_gate_list;
  char* output_of_trans_name;
  char* input_of_trans_name;
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
