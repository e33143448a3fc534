#pragma once
// Branches, gates and transmission gates of one subcircuit definition.
#include "subckt/mcgate.h"

class MGroup {
 public:
  MGroup(MOSLIST* moshead, NODELIST* nodehead, INOUTLIST* inputhead, INOUTLIST* outputhead);

  void generate_branch_list();
  void group_branch_list();
  void generate_pass_left_list();
  void generate_trans_list();
  void generate_num_for_branch();
  void n_branch_recognition();
  void p_branch_recognition();
  void gate_recognition();
  void gen_hash_gate_list();
  void gen_inlist_for_gate();
  void gen_hash_trans_list();
  void gen_connection_of_gates();
  void gen_connection_of_trans();
  void count_input_num_of_node();

  MOSLIST* moshead = nullptr;
  NODELIST* nodehead = nullptr;
  TRANSLIST* transhead = nullptr;
  INOUTLIST* inputhead = nullptr;
  INOUTLIST* outputhead = nullptr;
  int num_of_gates = 0;
  int num_of_trans = 0;
  MBranch* p_branch_list = nullptr;
  MBranch* n_branch_list = nullptr;
  MOSLIST* pass_transistor_list = nullptr;
  MOSLIST* left_transistor_list = nullptr;
  MCGate* cmos_gate_list = nullptr;
  MCGate** hash_gate_list = nullptr;
  TRANSLIST** hash_trans_list = nullptr;
};
