// Every standard cell of the test data, from its own unedited file, written
// as a netlist that must load alone, pass Verilator's lint and compute the
// library's own functional model (combinational cells) or follow a reference
// over a random input sequence (latch and flip-flops).
#include <gtest/gtest.h>

#include <dirent.h>

#include <regex>
#include <sstream>

#include "tests/emit/simulation.h"
#include "tests/emit/spice_cell.h"

namespace {

const std::string kCells = CELL_DATA;

std::vector<std::string> spice_files() {
  std::vector<std::string> files;
  if (DIR* d = opendir((kCells + "/spice").c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() > 6 && n.substr(n.size() - 6) == ".spice") files.push_back(n.substr(0, n.size() - 6));
    }
    closedir(d);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The functional model's name for a cell: the cell without its drive size.
std::string model_of(const std::string& cell) { return cell.substr(0, cell.rfind('_')); }

// The library's multiplexer primitives, which the models include from
// elsewhere.
const char* kPrimitives = R"(
module sky130_fd_sc_hd__udp_mux_2to1(X, A0, A1, S);
output X; input A0, A1, S;
assign X = S ? A1 : A0;
endmodule
module sky130_fd_sc_hd__udp_mux_4to2(X, A0, A1, A2, A3, S0, S1);
output X; input A0, A1, A2, A3, S0, S1;
assign X = S1 ? (S0 ? A3 : A2) : (S0 ? A1 : A0);
endmodule
)";

struct Ports {
  std::vector<std::string> inputs, outputs;
};

Ports model_ports(const std::string& text) {
  Ports p;
  std::regex decl(R"(^\s*(input|output)\s+(\w+)\s*;)");
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_search(line, m, decl)) (m[1] == "input" ? p.inputs : p.outputs).push_back(m[2]);
  }
  return p;
}

std::string without_includes(const std::string& text) {
  std::string out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.find("`include") == std::string::npos) out += line + "\n";
  return out;
}

std::string rails() { return ".VPWR(1'b1), .VGND(1'b0), .VPB(1'b1), .VNB(1'b0)"; }

// Writes a cell's netlist and checks it loads and lints; returns its path.
std::string written_cell(const std::string& cell) {
  circuit::Circuit c = read_spice_cell(kCells + "/spice/" + cell + ".spice");
  std::string path = scratch_path(cell + ".v");
  write_netlist(c, path);
  if (have_tool("verilator")) {
    EXPECT_EQ(lint(path, cell), "") << read_text(path);
  }
  return path;
}

std::string combinational_bench(const std::string& cell, const std::string& model, const Ports& p) {
  std::string s = "module tb;\n";
  for (const std::string& i : p.inputs) s += "reg " + i + ";\n";
  for (const std::string& o : p.outputs) s += "wire " + o + "_dut, " + o + "_ref;\n";
  s += cell + " dut(" + rails();
  for (const std::string& i : p.inputs) s += ", ." + i + "(" + i + ")";
  for (const std::string& o : p.outputs) s += ", ." + o + "(" + o + "_dut)";
  s += ");\n" + model + " model(";
  std::string sep;
  for (const std::string& i : p.inputs) s += sep + "." + i + "(" + i + ")", sep = ", ";
  for (const std::string& o : p.outputs) s += sep + "." + o + "(" + o + "_ref)";
  // Every combination after every other: a written cell that keeps a value
  // from the combination before shows on some pair.
  std::size_t n = std::size_t{1} << p.inputs.size();
  s += ");\ninteger i;\ninitial begin\n  for (i = 0; i < " + std::to_string(2 * n * n) + "; i = i + 1) begin\n    {";
  sep.clear();
  for (const std::string& i : p.inputs) s += sep + i, sep = ", ";
  s += "} = (i % 2 == 0) ? i / " + std::to_string(2 * n) + " : (i / 2) % " + std::to_string(n) + ";\n    #1;\n";
  for (const std::string& o : p.outputs)
    s += "    if (" + o + "_dut !== " + o + "_ref) $display(\"MISMATCH %b " + o + "=%b want %b\", i, " + o +
         "_dut, " + o + "_ref);\n";
  s += "  end\n  $display(\"DONE\");\nend\nendmodule\n";
  return s;
}

class CellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  }
};

TEST_F(CellTest, CombinationalCellsComputeTheirModels) {
  int checked = 0;
  for (const std::string& cell : spice_files()) {
    std::string model_file = kCells + "/functional/" + model_of(cell) + ".functional.v";
    std::string model_text = read_text(model_file);
    if (model_text.empty()) continue;  // sequential: tested below
    SCOPED_TRACE(cell);
    ++checked;
    std::string netlist = written_cell(cell);
    std::string model = scratch_path(cell + "_model.v"), bench = scratch_path(cell + "_tb.v");
    write_text(model, kPrimitives + without_includes(model_text));
    write_text(bench, combinational_bench(cell, model_of(cell), model_ports(model_text)));
    // The netlist alone elaborates with its own top.
    EXPECT_EQ(simulate({netlist}, cell).find("COMPILE"), std::string::npos);
    std::string out = simulate({netlist, model, bench}, "tb");
    EXPECT_EQ(out.find("MISMATCH"), std::string::npos) << out << read_text(netlist);
    EXPECT_NE(out.find("DONE"), std::string::npos) << out << read_text(netlist);
    for (const std::string& f : {netlist, model, bench}) std::remove(f.c_str());
  }
  EXPECT_EQ(checked, 30);
}

// A random sequence; inputs change one at a time, the reference's value is
// compared after each change once it is known.
std::string sequential_bench(const std::string& cell, const std::vector<std::string>& inputs,
                             const std::string& reference, int steps) {
  std::string s = "module tb;\n";
  for (const std::string& i : inputs) s += "reg " + i + ";\n";
  s += "wire Q;\nreg q_ref;\n" + cell + " dut(" + rails();
  for (const std::string& i : inputs) s += ", ." + i + "(" + i + ")";
  s += ", .Q(Q));\n" + reference + "\ninteger i, pick;\ninitial begin\n  q_ref = 1'bx;\n";
  for (const std::string& i : inputs) s += "  " + i + " = 0;\n";
  s += "  #5;\n  for (i = 0; i < " + std::to_string(steps) + "; i = i + 1) begin\n    pick = $unsigned($random(i)) % " +
       std::to_string(inputs.size()) + ";\n    case (pick)\n";
  for (std::size_t k = 0; k < inputs.size(); ++k)
    s += "      " + std::to_string(k) + ": " + inputs[k] + " = ~" + inputs[k] + ";\n";
  s += "    endcase\n    #5;\n    if (q_ref !== 1'bx && Q !== q_ref) $display(\"MISMATCH step %0d: Q=%b want %b\", i, Q, "
       "q_ref);\n  end\n  $display(\"DONE\");\nend\nendmodule\n";
  return s;
}

void check_sequential(const std::string& cell, const std::vector<std::string>& inputs, const std::string& reference) {
  SCOPED_TRACE(cell);
  std::string netlist = written_cell(cell);
  std::string bench = scratch_path(cell + "_tb.v");
  write_text(bench, sequential_bench(cell, inputs, reference, 400));
  std::string out = simulate({netlist, bench}, "tb");
  EXPECT_EQ(out.find("MISMATCH"), std::string::npos) << out << read_text(netlist);
  EXPECT_NE(out.find("DONE"), std::string::npos) << out << read_text(netlist);
  std::remove(netlist.c_str());
  std::remove(bench.c_str());
}

TEST_F(CellTest, LatchFollowsWhileGateIsHigh) {
  check_sequential("sky130_fd_sc_hd__dlxtp_1", {"D", "GATE"}, "always @* if (GATE) q_ref = D;");
}

TEST_F(CellTest, FlipFlopTakesDAtRisingClock) {
  check_sequential("sky130_fd_sc_hd__dfxtp_1", {"D", "CLK"}, "always @(posedge CLK) q_ref <= D;");
}

TEST_F(CellTest, FlipFlopWithResetClearsAtOnce) {
  check_sequential("sky130_fd_sc_hd__dfrtp_1", {"D", "CLK", "RESET_B"},
                   "always @(posedge CLK or negedge RESET_B) if (!RESET_B) q_ref <= 0; else q_ref <= D;");
}

}  // namespace
