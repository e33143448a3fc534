#include "subckt/mcgate.h"

#include "netlist/arena.h"

MCGate::MCGate(const char* name, MBranch* nbranch, MBranch* pbranch, bool cmos_gate_)
    : gatename(arena::strdup(name)),
      n_branch(nbranch),
      p_branch(pbranch),
      cmos_gate(cmos_gate_),
      pn_input_match(true),
      unique(true) {}
