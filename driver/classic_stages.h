#pragma once
// The classic extraction and matching stages, run on whatever the netlist
// database holds, without the four-argument form's progress lines and
// timing. The SPICE profile runs them on the database its bridge filled.

// Gates of the flat circuit, their connections, and the extraction of every
// library definition's MOSFET count. `vdd` and `gnd` receive the rails the
// stages found (null when there is none).
void extract_flat_gates(char*& vdd, char*& gnd);

// Each definition in turn, most MOSFETs first, is extracted on its own and
// its occurrences in the circuit are replaced by instances.
void match_definitions();
