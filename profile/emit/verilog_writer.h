#pragma once
// Prints a design as one self-contained Verilog file: its netlist modules,
// the table and generated modules its stages use, then an empty module per
// black-box cell, so the file loads with nothing else. Every choice is the
// design's; names are escaped where Verilog needs it.
#include <cstdio>
#include <vector>

#include "profile/design/design.h"

namespace emit {

class VerilogWriter {
 public:
  explicit VerilogWriter(FILE* out) : out_(out) {}

  void write(const design::Design& d);

 private:
  void write_netlist(const design::Design& d, const design::Module& m);
  void write_black_box(const design::Design& d, const design::Module& m);

  static constexpr std::size_t kPiece = std::size_t{1} << 16;
  static constexpr signed char kUnjudged = -1;

  FILE* out_;
  // Per name of the design: 1 written as it is, 0 escaped, or unjudged.
  std::vector<signed char> plain_;
};

}  // namespace emit
