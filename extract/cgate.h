#pragma once
// One gate of the flat circuit: an n-branch and a p-branch on one output.
#include "extract/branch.h"

class CGate {
 public:
  CGate(char* name, Branch* nbranch, Branch* pbranch, bool cmos_gate_);

  char* gatename = nullptr;
  Branch* n_branch = nullptr;
  Branch* p_branch = nullptr;
  bool cmos_gate = false;
  PINLIST* inlist = nullptr;
  bool pn_input_match = false;
  bool unique = false;
  CGate* next = nullptr;
};
