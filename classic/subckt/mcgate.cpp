#include "classic/subckt/mcgate.h"

#include "classic/extract/cgate.h"

MCGate::MCGate(const char* name, MBranch* nbranch, MBranch* pbranch, bool cmos_gate_) {
  start_gate(this, name, nbranch, pbranch, cmos_gate_);
}
