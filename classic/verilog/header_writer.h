#pragma once
// The gate library header file: the modules of the gate-function table
// under a fixed banner.
#include <cstdio>

#include "core/gates/header_modules.h"

// Writes the whole header text; it never depends on the circuit.
void write_header_file(FILE* fp_header);
