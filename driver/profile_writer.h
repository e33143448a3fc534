#pragma once
// The netlist file of the SPICE profile: the top module with the original
// names (ports in the order of the top's .subckt line), then the gate
// library modules, so that the file loads on its own.
#include <cstdio>

#include "driver/classic_bridge.h"
#include "spice/circuit.h"

void write_profile_netlist(FILE* fp, const spice::Circuit& top, ClassicBridge& bridge);
