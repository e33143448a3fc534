#pragma once
// The node graph of the flat circuit: one NODELIST per net with the MOSFET
// terminals on it, the MOSFETs filed by number, pn nodes, rails and ports.
#include "extract/records.h"

// Bulk name of the first MOSFET of the list whose nptype is not 0 (want_p)
// or is 0 (!want_p), as a fresh copy; null when there is none.
char* find_rail(MOSLIST* moshead, bool want_p);

class Node {
 public:
  DEVICELIST* insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype);
  NODELIST* insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename);
  bool query_in_moslist(const char* name, DEVICELIST* moslist);
  long long query_in_hash_node_list(const char* name);
  NODELIST* get_node(const char* nodename);
  char* get_vdd(MOSLIST* moshead);
  char* get_gnd(MOSLIST* moshead);
  int return_number(const char* name);
  INOUTLIST* insert_output(INOUTLIST* head, INOUTLIST* curr);

  void gen_nodelist();
  void gen_mos_list();
  void gen_np_char_netlist();
  void delete_vdd_gnd_from_inputlist();
  void generate_output_pinlist();
  void generate_input_pinlist();
};
