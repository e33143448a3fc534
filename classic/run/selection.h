#pragma once
// Choice of the next subcircuit definition to match.
#include "classic/netlist/netlist.h"

// The pending definition with the most MOSFETs (the first in list order on
// a tie), marked done; null when none can be chosen.
MacroModelList* return_macromodel();

// True when no definition is left to choose. A definition without MOSFETs
// can never be chosen, so it counts as done.
bool macromodel_head_done();
