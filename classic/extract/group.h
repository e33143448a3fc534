#pragma once
// Carries the flat circuit from branches to a connected gate network: grows
// and merges branches, pairs pass transistors into transmission gates, reads
// every branch as a logic expression, forms gates and connects them.
#include "classic/extract/branch.h"
#include "classic/extract/cgate.h"
#include "classic/extract/flat_nets.h"

class Group {
 public:
  Group();
  ~Group();

  // Lookups shared with the other flat stages.
  int return_number(const char* name);
  NODELIST* get_node(const char* nodename);
  char* get_vdd(MOSLIST* moshead);
  char* get_gnd(MOSLIST* moshead);

  // Branches, pass transistors and transmission gates.
  Branch* insert_branch(Branch* head, Branch* new_branch);
  void undelete_mosfet(MOSLIST* mlist);
  MOSLIST* insert_mos(MOSLIST* head, MOSLIST* mos);
  void exchange_d_s(MOSLIST* mos);
  int query_is_pnnode(const char* name);
  int query_is_gnode(const char* name);
  TRANSLIST* insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g);
  void undelete_mos_in_pass();
  int counter(Branch* branch);
  int query_n_branch(const char* name);
  int query_p_branch(const char* name);

  void generate_branch_list();
  void group_branch_list();
  void generate_pass_left_list();
  void generate_trans_list();
  void generate_num_for_branch();

  // Logic-function recognition.
  char* generate_add(char g1, char g2);
  char* generate_add(char* g1, char g2);
  char* generate_add(char* g1, char* g2);
  char* generate_mult(char g1, char g2);
  char* generate_mult(char* g1, char g2);
  char* generate_mult(char* g1, char* g2);
  char* generate_parenthes(char* g);
  char* generate_mark(char* g);
  int is_series_node(char* nodename, Branch* curr_branch);
  char change_g(Branch* n_branch, MOSLIST* mos1, MOSLIST* mos2, char turn, int add_or_flag);
  GATENAMELIST* insert_gatename(GATENAMELIST* head, char* name);
  RELATIONLIST* insert_relation(RELATIONLIST* head, int type, GATENAMELIST* gnlist);
  RELATIONLIST* query_alone_list(RELATIONLIST* rlist);
  char parallel_recognition(Branch* n_branch, char turn);
  char series_recognition(Branch* n_branch, char turn);

  void n_branch_recognition();
  void p_branch_recognition();

  // Gate formation.
  CGate* insert_cgate(CGate* head, CGate* newgate);

  void give_name_to_branch();
  void gen_hash_branch_list();
  void couple_p_n_branch();
  void gate_recognition();

  // Gate connectivity.
  PINLIST* insert_pin(PINLIST* head, char* name);
  bool query_in_pinlist(const char* name, PINLIST* plist);
  bool query_in_gate_list(const char* name, PINLIST* plist);
  int count_mos_list(MOSLIST* mlist);

  void gen_hash_gate_list();
  void gen_inlist_for_gate();
  void gen_hash_trans_list();
  void gen_connection_of_gates();
  void gen_connection_of_trans();
  void count_input_num_of_node();
  void gen_num_for_macromodel();

  int num_of_p_branches = 0;
  int num_of_n_branches = 0;
  Branch* p_branch_list = nullptr;
  Branch* n_branch_list = nullptr;
  Branch** hash_p_branch_list = nullptr;
  Branch** hash_n_branch_list = nullptr;
  MOSLIST* pass_transistor_list = nullptr;
  MOSLIST* left_transistor_list = nullptr;
  CGate* cmos_gate_list = nullptr;

 private:
  // Rails taken once from MosHead (a scan for them per branch would cost the
  // length of MosHead each time).
  FlatNets nets_;
};
