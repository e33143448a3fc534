#pragma once
// One run of the SPICE profile, `parser [OPTIONS] NETLIST... -o OUT.v`.
// Returns the exit status: 0 done, 1 bad input, 2 bad command line.
int run_profile(int argc, char** argv);
