#pragma once
// A pull-down (n) or pull-up (p) branch of one gate: the MOSFETs between an
// output node and one rail.
#include "classic/algo/records.h"
#include "classic/extract/flat_nets.h"


class Branch {
 public:
  explicit Branch(int _branch_type);

  NODELIST* get_node(const char* nodename);
  char* get_vdd(MOSLIST* moshead);
  char* get_gnd(MOSLIST* moshead);
  int return_number(const char* name);
  int query_moslist(MOSLIST* mos);
  int node_exist(const char* node);
  MOSLIST* insert_mos(MOSLIST* head, MOSLIST* mos);
  BRANCHNODELIST* insert_node(BRANCHNODELIST* head, char* node);
  BRANCHNODELIST* find_new_node(BRANCHNODELIST* branchnode_list, int p_n_type);
  bool generate_branch(MOSLIST* mos, int p_n_type);
  NAMELIST* insert_name(NAMELIST* head, char* name, char virtual_name);

  // The lookup growth asks, rails included. The group that grows many
  // branches hands its own over (it must outlive the branch); otherwise one
  // is made from MosHead.
  void use_lookup(const FlatNets& nets);

  // The counts and flags sit together so that no pointer is padded after
  // them (hundreds of thousands of branches on a large circuit).
  int success = 0;
  int ready_to_delete = 0;
  int greatthan4 = 0;
  int branch_type = 0;
  int num_of_mos = 0;
  char* branchname = nullptr;
  char* headername = nullptr;
  char* pn_node = nullptr;
  MOSLIST* mos_list = nullptr;
  BRANCHNODELIST* node_list = nullptr;
  NAMELIST* name_list = nullptr;
  RELATIONLIST* relation_list = nullptr;
  Branch* next = nullptr;

 private:
  const FlatNets& nets();
  const FlatNets* nets_ = nullptr;  // the group's, or one of the branch's own
};
