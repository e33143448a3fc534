#pragma once
// The gate-level netlist: the extracted circuit as one Verilog module.
#include <cstdio>

// Module name used when the netlist has no circuit-declaration card.
extern const char* const kDefaultModuleName;

// Writes the module from the final state of the lists; pvdd and pgnd name the
// supply and ground nets (either may be null when the circuit has no MOSFET
// of that kind; it is then left out of the port and input lists).
void write_netlist_file(FILE* fp_out, char* pvdd, char* pgnd);
