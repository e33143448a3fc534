// The cells of an open standard-cell library, each read from its own
// unedited file (tests/spice/data/cells): every file reads without an error,
// and every cell that the classic recognition handles computes its
// reference function for every input combination in Icarus Verilog.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "parser_run.h"

namespace {

using namespace parser_run;

const char* const kClassicCells[] = {"inv_1",   "buf_1",   "clkinv_1", "nand2_1", "nor2_1", "nand3_1", "nor3_1",
                                     "nand4_1", "and2_1",  "or2_1",    "a21oi_1", "a21o_1", "o21ai_1", "a22oi_1",
                                     "o22ai_1", "a31oi_1", "xor2_1",   "mux2_1",  "ha_1"};

// The reference models name a primitive of the library that is not among
// them; this one has its truth table.
const char* const kMuxPrimitive =
    "primitive sky130_fd_sc_hd__udp_mux_2to1 (X, A0, A1, S);\n"
    "  output X; input A0, A1, S;\n"
    "  table\n"
    "    0 ? 0 : 0; 1 ? 0 : 1; ? 0 1 : 0; ? 1 1 : 1; 0 0 ? : 0; 1 1 ? : 1;\n"
    "  endtable\n"
    "endprimitive\n";

bool have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::vector<std::string> ports(const std::string& model, const char* direction) {
  std::vector<std::string> out;
  std::regex re(std::string("^\\s*") + direction + "\\s+(\\w+)\\s*;");
  std::smatch m;
  std::istringstream in(model);
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, m, re)) out.push_back(m[1]);
  return out;
}

std::string testbench(const std::string& cell, const std::string& model, const std::vector<std::string>& ins,
                      const std::vector<std::string>& outs) {
  std::ostringstream tb;
  tb << "`timescale 1ns/1ps\nmodule tb;\n";
  for (const auto& i : ins) tb << " reg " << i << ";\n";
  for (const auto& o : outs) tb << " wire " << o << "_ref, " << o << "_dut;\n";
  for (const char* side : {"ref", "dut"}) {
    tb << " " << (side == std::string("ref") ? model : cell) << " " << side << "_i (";
    for (const auto& o : outs) tb << "." << o << "(" << o << "_" << side << "), ";
    for (const auto& i : ins) tb << "." << i << "(" << i << "), ";
    if (side == std::string("dut")) tb << ".VPWR(1'b1), .VGND(1'b0), .VPB(1'b1), .VNB(1'b0), ";
    tb.seekp(-2, std::ios_base::cur);
    tb << ");\n";
  }
  tb << " integer k;\n initial begin\n  for (k = 0; k < " << (1 << ins.size()) << "; k = k + 1) begin\n   {";
  for (std::size_t i = 0; i < ins.size(); ++i) tb << (i ? ", " : "") << ins[i];
  tb << "} = k;\n   #1;\n";
  for (const auto& o : outs)
    tb << "   if (" << o << "_ref !== " << o << "_dut) $display(\"MISMATCH " << o << " at %0d: %b, cell %b\", k, " << o
       << "_ref, " << o << "_dut);\n";
  tb << "  end\n  $display(\"DONE\");\n  $finish;\n end\nendmodule\n";
  return tb.str();
}

TEST(Cells, EveryFileReadsWithoutAnError) {
  fs::path d = work_dir("cells_read");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(CELLS_DIR) / "spice")) {
    Outcome r = run(d, "'" + entry.path().string() + "' -o out.v");
    EXPECT_EQ(r.status, 0) << entry.path() << "\n" << r.err;
    EXPECT_EQ(r.err, "") << entry.path();
    ++files;
  }
  EXPECT_EQ(files, 33);
}

TEST(Cells, ClassicCellsComputeTheirFunction) {
  if (!have("iverilog") || !have("vvp")) GTEST_SKIP() << "iverilog is not installed";
  fs::path d = work_dir("cells_sim");
  for (std::string cell : kClassicCells) {
    std::string name = "sky130_fd_sc_hd__" + cell;
    std::string base = name.substr(0, name.rfind('_'));
    Outcome r = run(d, "'" + std::string(CELLS_DIR) + "/spice/" + name + ".spice' -o dut.v");
    ASSERT_EQ(r.status, 0) << cell << "\n" << r.err;
    std::string model = slurp(fs::path(CELLS_DIR) / "functional" / (base + ".functional.v"));
    std::string kept;
    std::istringstream in(model);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("`include", 0) != 0) kept += line + "\n";
    std::ofstream(d / "ref.v") << kept << kMuxPrimitive;
    std::ofstream(d / "tb.v") << testbench(name, base, ports(model, "input"), ports(model, "output"));
    r = shell(d, "iverilog -g2005 -o sim tb.v dut.v ref.v && vvp -n sim");
    ASSERT_EQ(r.status, 0) << cell << "\n" << r.err << r.out;
    EXPECT_EQ(r.out.find("MISMATCH"), std::string::npos) << cell << "\n" << r.out;
    EXPECT_NE(r.out.find("DONE"), std::string::npos) << cell << "\n" << r.out;
  }
}

}  // namespace
