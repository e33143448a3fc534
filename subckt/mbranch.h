#pragma once
// Subcircuit twin of Branch: nodes found by name in the definition's own list.
#include "extract/records.h"

extern bool branch_recog_m;

class MBranch {
 public:
  MBranch(int branch_type, MOSLIST* moshead, NODELIST* nodehead);

  MOSLIST* moshead = nullptr;
  NODELIST* nodehead = nullptr;
  int success = 0;
  int ready_to_delete = 0;
  int greatthan4 = 0;
  char* headername = nullptr;
  int branch_type = 0;
  char* pn_node = nullptr;
  MOSLIST* mos_list = nullptr;
  MOSLIST* bak_mos_list = nullptr;
  int num_of_mos = 0;
  BRANCHNODELIST* node_list = nullptr;
  NAMELIST* name_list = nullptr;
  RELATIONLIST* relation_list = nullptr;
  MBranch* next = nullptr;
};
