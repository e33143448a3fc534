// Whole runs whose netlists hit the corners where the written text used not
// to be Verilog; each must load in a Verilog reader together with the header.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::stringstream s;
  s << std::ifstream(p).rdbuf();
  return s.str();
}

bool have_iverilog() { return std::system("command -v iverilog > /dev/null 2>&1") == 0; }

struct Loaded {
  std::string netlist, messages;
  bool ok;
};

// Extracts `circuit` (with `library` as the second file), then elaborates the
// netlist with the header and `stubs` (modules standing for subcircuits).
Loaded extract_and_load(const std::string& name, const fs::path& circuit, const fs::path& library,
                        const std::string& stubs) {
  fs::path d = fs::path(testing::TempDir()) / ("load_" + name);
  fs::create_directories(d);
  std::ofstream(d / "stubs.v") << stubs;
  std::string cmd = "cd '" + d.string() + "' && '" PARSER_EXE "' '" + circuit.string() + "' '" + library.string() +
                    "' n.v h.v > out.txt && iverilog -o /dev/null h.v n.v stubs.v > iv.txt 2>&1";
  bool ok = std::system(cmd.c_str()) == 0;
  return {slurp(d / "n.v"), slurp(d / "iv.txt"), ok};
}

fs::path golden(const std::string& file) { return fs::path(GOLDEN_DATA) / file; }

fs::path written(const std::string& name, const std::string& text) {
  fs::path p = fs::path(testing::TempDir()) / name;
  std::ofstream(p) << text;
  return p;
}

}  // namespace

TEST(VerilogLoad, ElementLinesAndANumberedNet) {
  if (!have_iverilog()) GTEST_SKIP() << "iverilog not installed";
  Loaded r = extract_and_load("elements", golden("nand_inv.sp"), written("empty.sp", ""), "");
  EXPECT_TRUE(r.ok) << r.messages << r.netlist;
  EXPECT_NE(r.netlist.find("// R1 y 0 1.000000e+04  \n"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find(".out(\\3 )"), std::string::npos) << r.netlist;
}

TEST(VerilogLoad, NoWiresAndInstancesWithoutOutputPins) {
  if (!have_iverilog()) GTEST_SKIP() << "iverilog not installed";
  Loaded r = extract_and_load("no_wires", golden("continuation_plus.sp"), golden("continuation_plus.lib.sp"), "");
  EXPECT_TRUE(r.ok) << r.messages << r.netlist;
  EXPECT_EQ(r.netlist.find(" wire "), std::string::npos) << r.netlist;

  r = extract_and_load("open_instance", golden("subckt_first_terminal_output.sp"),
                       golden("subckt_first_terminal_output.lib.sp"),
                       "module INVX (Y, A); input Y; input A; endmodule\n");
  EXPECT_TRUE(r.ok) << r.messages << r.netlist;
  EXPECT_NE(r.netlist.find("INVX  X2 ( .Y(n1), .A(a11) );\n"), std::string::npos) << r.netlist;
}

TEST(VerilogLoad, NoPortsAndReservedOrNumberNames) {
  if (!have_iverilog()) GTEST_SKIP() << "iverilog not installed";
  const std::string models =
      ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02\n";
  // Ground is the net 0 and one net is called "and"; the circuit has no ports.
  fs::path c = written("reserved.sp", ".subckt top\n"
                                      "M1 and a1 vdd vdd pmos l=1u w=1u\nM2 and a1 0 0 nmos l=1u w=1u\n"
                                      "M3 b2 and vdd vdd pmos l=1u w=1u\nM4 b2 and 0 0 nmos l=1u w=1u\n"
                                      "R1 b2 0 10k\n.ends top\n" +
                                          models);
  Loaded r = extract_and_load("reserved", c, written("empty.sp", ""), "");
  EXPECT_TRUE(r.ok) << r.messages << r.netlist;
  EXPECT_NE(r.netlist.find(" module top (vdd, \\0 ); \n input vdd, \\0 ;\n wire  \\and , a1;\n"), std::string::npos)
      << r.netlist;
}
