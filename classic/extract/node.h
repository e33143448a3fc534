#pragma once
// The node graph of the flat circuit: one NODELIST per net with the MOSFET
// terminals on it, the MOSFETs filed by number, pn nodes, rails and ports.
#include "classic/algo/records.h"
#include "classic/extract/flat_lookup.h"

// Bulk name of the first MOSFET of the list whose nptype is not 0 (want_p)
// or is 0 (!want_p); null when there is none.
char* find_rail(MOSLIST* moshead, bool want_p);
// 1 when drains or sources of both channel types meet on the node (gate pins
// do not count), else 0.
int pn_rule(const NODELIST* node);
// Removes the rails from a port list, the first record excepted.
void drop_rails(INOUTLIST* ports, const char* vdd, const char* gnd);
// Removes the outputs from a port list, the first record excepted.
void drop_outputs(INOUTLIST* ports, const INOUTLIST* outputs);
// True when the last gen_nodelist left a MOSFET card off a node of one of
// its terminals because another card of its name is there already.
bool flat_cards_folded();

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
