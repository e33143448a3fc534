#pragma once
// Node graph of one subcircuit definition: nodes in a plain list, found by name.
#include "extract/records.h"

class MNode {
 public:
  MNode(MOSLIST* moshead, INOUTLIST* inputhead);

  void gen_nodelist();
  void gen_np_char_netlist();
  void delete_vdd_gnd_from_inputlist();
  void generate_output_pinlist();
  void generate_input_pinlist();

  MOSLIST* moshead = nullptr;
  NODELIST* nodehead = nullptr;
  INOUTLIST* inputhead = nullptr;
  INOUTLIST* outputhead = nullptr;
};
