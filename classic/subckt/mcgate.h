#pragma once
// Subcircuit twin of CGate.
#include "classic/subckt/mbranch.h"

class MCGate {
 public:
  MCGate(const char* name, MBranch* nbranch, MBranch* pbranch, bool cmos_gate);

  char* gatename = nullptr;
  MBranch* n_branch = nullptr;
  MBranch* p_branch = nullptr;
  bool cmos_gate = false;
  PINLIST* inlist = nullptr;
  bool pn_input_match = false;
  bool unique = false;
  MCGate* next = nullptr;
};
