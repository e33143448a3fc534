#pragma once
// Branches, gates and transmission gates of one subcircuit definition.
#include <memory>
#include <string_view>
#include <unordered_set>

#include "classic/algo/tables.h"
#include "classic/subckt/mcgate.h"
#include "classic/subckt/mlookup.h"

class MGroup {
 public:
  MGroup(MOSLIST* moshead, NODELIST* nodehead, INOUTLIST* inputhead, INOUTLIST* outputhead);

  // Stages, in the order they run.
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

  int return_number(const char* name);
  char* get_vdd(MOSLIST* moshead);
  char* get_gnd(MOSLIST* moshead);
  // Also files the new branch's MOSFET names for query_n_branch and
  // query_p_branch, which answer for the branch lists.
  MBranch* insert_branch(MBranch* head, MBranch* new_branch);
  void undelete_mosfet(MOSLIST* mlist);
  // A copy of `mos` that is in no branch yet.
  MOSLIST* insert_mos(MOSLIST* head, MOSLIST* mos);
  void exchange_d_s(MOSLIST* mos);
  int query_is_pnnode(const char* name);
  int query_is_gnode(const char* name);
  TRANSLIST* insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g);
  void undelete_mos_in_pass();
  int counter(MBranch* branch);
  // 1 when a branch of that kind holds the MOSFET.
  int query_n_branch(const char* name);
  int query_p_branch(const char* name);
  MCGate* insert_cgate(MCGate* head, MCGate* newgate);
  PINLIST* insert_pin(PINLIST* head, char* name);
  bool query_in_pinlist(const char* name, PINLIST* plist);
  bool query_in_gate_list(const char* name, PINLIST* plist);

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
  // Sparse: transmission-gate numbers can run far beyond the gates' count.
  IndexTable<TRANSLIST> hash_trans_list;

 private:
  // Built on first use, once the node graph is complete.
  const MLookup& nets();

  std::shared_ptr<const MLookup> lookup_;
  // MOSFET names held by the n- and p-branches, beside the branch lists.
  std::unordered_set<std::string_view> in_n_branch_;
  std::unordered_set<std::string_view> in_p_branch_;
};
