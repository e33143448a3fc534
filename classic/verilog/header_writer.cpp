#include "classic/verilog/header_writer.h"

void write_header_file(FILE* fp_header) {
  if (!fp_header) return;
  fputs(" /*****************************************************************/\n ", fp_header);
  fputs("/***          Static CMOS Circuit Extractor Program            ***/\n ", fp_header);
  fputs("/***          Output Header.v for Verilog Simulation           ***/\n", fp_header);
  fputs(" /*****************************************************************/\n ", fp_header);
  fputs("\n", fp_header);
  for (int m = 0; m < kNumHeaderModules; ++m) write_header_module(fp_header, kHeaderModules[m]);
}
