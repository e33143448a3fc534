#pragma once
// The gate-level netlist: the extracted circuit as one Verilog module.
#include <cstdio>
#include <functional>

// Module name used when the netlist has no circuit-declaration card.
extern const char* const kDefaultModuleName;

// Writes the module from the final state of the lists; pvdd and pgnd name the
// supply and ground nets (either may be null when the circuit has no MOSFET
// of that kind; it is then left out of the port and input lists).
void write_netlist_file(FILE* fp_out, char* pvdd, char* pgnd);

// The name written for a name of the database (escaped where it must be).
// The classic form writes each name as read; the SPICE profile writes the
// original name it stands for.
using NameText = std::function<const char*(const char*)>;

// The comment block that opens the netlist file.
void write_banner(FILE* fp);
// The parts of the module after its port declarations, which both forms
// share. The wire declaration leaves out the nets for which `skip` holds
// (none when it is empty), and is left out when no net is left.
void write_wires(FILE* fp, const NameText& name, const std::function<bool(const char*)>& skip);
// Gate, subcircuit and pseudo-gate instances.
void write_instances(FILE* fp, const NameText& name);
// The other elements as comment lines, then the end of the module.
void write_elements(FILE* fp, const NameText& name);
