// Whole runs whose netlists hit the corners where the written text used not
// to be Verilog; each must load in a Verilog reader together with the header.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path written(const std::string& name, const std::string& text) {
  fs::path p = fs::path(testing::TempDir()) / name;
  std::ofstream(p) << text;
  return p;
}

fs::path golden(const std::string& file) { return fs::path(GOLDEN_DATA) / file; }

TEST(VerilogLoad, NetlistsLoadWithTheHeader) {
  if (std::system("command -v iverilog > /dev/null 2>&1") != 0) GTEST_SKIP() << "iverilog not installed";
  const fs::path empty = written("empty.sp", "");
  const std::string models =
      ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02\n";
  // Ground is the net 0 and one net is called "and"; the circuit has no ports.
  const fs::path reserved = written("reserved.sp", ".subckt top\nM1 and a1 vdd vdd pmos l=1u w=1u\n"
                                                   "M2 and a1 0 0 nmos l=1u w=1u\nM3 b2 and vdd vdd pmos l=1u w=1u\n"
                                                   "M4 b2 and 0 0 nmos l=1u w=1u\nR1 b2 0 10k\n.ends top\n" + models);
  const std::string first = "subckt_first_terminal_output";
  struct Run {
    std::string name;
    fs::path circuit, library;
    std::string stubs;  // modules standing for subcircuits
    std::vector<std::string> pieces;  // of the netlist ("!" before one it must not hold)
  };
  // Element lines and an escaped numbered net, no wire declaration, an
  // instance without output pins, names that are no identifiers.
  const Run runs[] = {
      {"elements", golden("nand_inv.sp"), empty, "", {"// R1 y 0 1.000000e+04  \n", ".out(\\3 )"}},
      {"no_wires", golden("continuation_plus.sp"), golden("continuation_plus.lib.sp"), "", {"! wire "}},
      {"open_instance", golden(first + ".sp"), golden(first + ".lib.sp"),
       "module INVX (Y, A); input Y; input A; endmodule\n", {"INVX  X2 ( .Y(n1), .A(a11) );\n"}},
      {"reserved", reserved, empty, "", {" module top (vdd, \\0 ); \n input vdd, \\0 ;\n wire  \\and , a1;\n"}},
  };
  for (const Run& run : runs) {
    fs::path d = fs::path(testing::TempDir()) / ("load_" + run.name);
    fs::create_directories(d);
    std::ofstream(d / "stubs.v") << run.stubs;
    std::string cmd = "cd '" + d.string() + "' && '" PARSER_EXE "' '" + run.circuit.string() + "' '" +
                      run.library.string() + "' n.v h.v > out.txt";
    cmd += " && iverilog -o /dev/null h.v n.v stubs.v > iv.txt 2>&1";
    bool ok = std::system(cmd.c_str()) == 0;
    std::stringstream netlist, messages;
    netlist << std::ifstream(d / "n.v").rdbuf();
    messages << std::ifstream(d / "iv.txt").rdbuf();
    EXPECT_TRUE(ok) << run.name << messages.str() << netlist.str();
    for (const std::string& piece : run.pieces)
      EXPECT_EQ(netlist.str().find(piece.substr(piece[0] == '!')) == std::string::npos, piece[0] == '!')
          << run.name << ": " << piece << "\n" << netlist.str();
  }
}

}  // namespace
