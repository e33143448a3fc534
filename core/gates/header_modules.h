#pragma once
// The gate-function table both forms name their gates by: one fixed Verilog
// module per gate type, plus the transmission-gate module, as the classic
// header file holds them.
#include <cstdio>

struct HeaderModule {
  const char* name;    // module name, also the gate type name
  const char* inputs;  // input pin list as written, e.g. "a, b, c"
  const char* expr;    // the module's assign expression over its input pins
};

// Modules in file order.
extern const HeaderModule kHeaderModules[];
extern const int kNumHeaderModules;

// The module of a gate type name, or null.
const HeaderModule* find_header_module(const char* name);

// Writes one module of the header, followed by a blank line.
void write_header_module(FILE* fp, const HeaderModule& m);
