#pragma once
// One gate of the flat circuit: an n-branch and a p-branch on one output.
#include "classic/extract/branch.h"
#include "classic/netlist/arena.h"

// Sets up a new gate of either kind (CGate or MCGate): its own copy of the
// name, its two branches, and pn_input_match and unique true until its
// inputs say otherwise.
template <class Gate, class B>
void start_gate(Gate* gate, const char* name, B* nbranch, B* pbranch, bool cmos_gate) {
  gate->gatename = arena::strdup(name);
  gate->n_branch = nbranch;
  gate->p_branch = pbranch;
  gate->cmos_gate = cmos_gate;
  gate->pn_input_match = true;
  gate->unique = true;
}

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
