#include "classic/extract/cgate.h"

CGate::CGate(char* name, Branch* nbranch, Branch* pbranch, bool cmos_gate_) {
  start_gate(this, name, nbranch, pbranch, cmos_gate_);
}
