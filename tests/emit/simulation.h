#pragma once
// Writing a circuit's netlist for the benches, and Verilator's lint.
#include <cstdio>
#include <string>
#include <vector>

#include "profile/design/design_builder.h"
#include "profile/emit/verilog_writer.h"
#include "profile/recognize/recognizer.h"
#include "tests/emit/bench.h"

inline void write_netlist(const circuit::Circuit& c, const std::string& path) {
  recognize::GateNetwork net = recognize::Recognizer().run(c);
  FILE* f = std::fopen(path.c_str(), "w");
  std::vector<design::LibraryCell> cells;
  emit::VerilogWriter(f).write(design::DesignBuilder(cells).build(c, net, {}));
  std::fclose(f);
}

// Verilator's lint messages, empty when the file passes; skipped (empty)
// without Verilator.
inline std::string lint(const std::string& file, const std::string& top) {
  if (!have_tool("verilator")) return "";
  return run_command("verilator --lint-only" + (top.empty() ? "" : " --top-module " + top) + " " + file);
}
