#pragma once
// One whole run of the extractor: `parser input1 input2 netlist-out
// header-out`. Returns the process exit status.
int run_extractor(int argc, char** argv);
