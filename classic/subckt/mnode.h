#pragma once
// Node graph of one subcircuit definition: nodes in a plain list, found by name.
#include "classic/algo/records.h"

class MNode {
 public:
  MNode(MOSLIST* moshead, INOUTLIST* inputhead);

  void gen_nodelist();
  void gen_np_char_netlist();
  void delete_vdd_gnd_from_inputlist();
  void generate_output_pinlist();
  void generate_input_pinlist();

  char* get_vdd(MOSLIST* moshead);
  char* get_gnd(MOSLIST* moshead);
  DEVICELIST* insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype);
  NODELIST* insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename);
  INOUTLIST* insert_output(INOUTLIST* head, INOUTLIST* curr);

  MOSLIST* moshead = nullptr;
  NODELIST* nodehead = nullptr;
  INOUTLIST* inputhead = nullptr;
  INOUTLIST* outputhead = nullptr;
};
