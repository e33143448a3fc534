#pragma once
// Subcircuit twin of Branch: nodes found by name in the definition's own list.
#include <memory>

#include "classic/algo/records.h"
#include "classic/subckt/mlookup.h"


class MBranch {
 public:
  MBranch(int branch_type, MOSLIST* moshead, NODELIST* nodehead);

  char* get_vdd(MOSLIST* moshead);
  char* get_gnd(MOSLIST* moshead);
  int query_moslist(MOSLIST* mos);
  int node_exist(const char* node);
  MOSLIST* insert_mos(MOSLIST* head, MOSLIST* mos);
  BRANCHNODELIST* insert_node(BRANCHNODELIST* head, char* node);
  BRANCHNODELIST* find_new_node(BRANCHNODELIST* branchnode_list, int p_n_type);
  bool generate_branch(MOSLIST* mos, int p_n_type);
  NAMELIST* insert_name(NAMELIST* head, char* name, char virtual_name);

  // Shares the owning group's index of the definition; a branch used on its
  // own builds one from moshead and nodehead when it first needs it.
  void use_lookup(std::shared_ptr<const MLookup> l) { lookup_ = std::move(l); }

  MOSLIST* moshead = nullptr;
  NODELIST* nodehead = nullptr;
  int success = 0;
  int ready_to_delete = 0;
  int greatthan4 = 0;
  char* headername = nullptr;
  int branch_type = 0;
  char* pn_node = nullptr;
  MOSLIST* mos_list = nullptr;
  int num_of_mos = 0;
  BRANCHNODELIST* node_list = nullptr;
  NAMELIST* name_list = nullptr;
  RELATIONLIST* relation_list = nullptr;
  MBranch* next = nullptr;

 private:
  const MLookup& nets();

  std::shared_ptr<const MLookup> lookup_;
};
