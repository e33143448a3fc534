#include "extract/cgate.h"

#include "netlist/arena.h"

CGate::CGate(char* name, Branch* nbranch, Branch* pbranch, bool cmos_gate_)
    : gatename(arena::strdup(name)),
      n_branch(nbranch),
      p_branch(pbranch),
      cmos_gate(cmos_gate_),
      pn_input_match(true),
      unique(true) {}
