// Whole runs of the extractor on small netlists with subcircuit definitions.
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

const char* kModels =
    ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02\n";
// MOSFET cards; every MOSFET gets a number of its own.
std::string mos(const std::string& d, const std::string& g, const std::string& s, bool p) {
  static int n = 0;
  return "M" + std::to_string(++n) + " " + d + " " + g + " " + s + (p ? " vdd pmos" : " gnd nmos") + " l=1u w=1u\n";
}
std::string inv(const std::string& in, const std::string& out) {
  return mos(out, in, "vdd", true) + mos(out, in, "gnd", false);
}
std::string nand(const std::string& a, const std::string& b, const std::string& out) {
  return mos(out, a, "vdd", true) + mos(out, b, "vdd", true) + mos(out, a, out + "x", false) +
         mos(out + "x", b, "gnd", false);
}

struct Outcome {
  int status;
  std::string out, netlist;
};

Outcome extract(const std::string& name, const std::string& circuit, const std::string& lib) {
  fs::path d = fs::path(testing::TempDir()) / ("match_" + name);
  fs::create_directories(d);
  std::ofstream(d / "c.sp") << circuit << kModels;
  std::ofstream(d / "l.sp") << lib;
  std::string cmd = "cd '" + d.string() + "' && '" PARSER_EXE "' c.sp l.sp n.v h.v > out.txt";
  int status = std::system(cmd.c_str());
  return {status, slurp(d / "out.txt"), slurp(d / "n.v")};
}

std::string buf_def(const std::string& name) {
  return ".macromodel " + name + " IN OUT\n" + kModels + inv("IN", "mid") + inv("mid", "OUT") + ".endm " + name + "\n";
}

}  // namespace

TEST(WholeRun, BufferOverThreeInverters) {
  Outcome r = extract("buf", ".subckt top a d\n" + inv("a", "b") + inv("b", "c") + inv("c", "d") + ".ends top\n",
                      buf_def("BUF"));
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.netlist.find("BUF  X2 ( .IN(a), .OUT(c) );"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("INV  U1 ( .a(c), .out(d) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, DefinitionsTakenByMosfetCount) {
  // INVX comes first in the list but BUF has more MOSFETs.
  std::string invx = ".macromodel INVX A Y\n" + std::string(kModels) + inv("A", "Y") + ".endm INVX\n";
  Outcome r = extract("order", ".subckt top a d\n" + inv("a", "b") + inv("b", "c") + inv("c", "d") + ".ends top\n",
                      invx + buf_def("BUF"));
  ASSERT_EQ(r.status, 0);
  EXPECT_LT(r.out.find("matching for ............ : BUF"), r.out.find("matching for ............ : INVX"));
  EXPECT_NE(r.netlist.find("BUF  X1 ( .IN(a), .OUT(c) );"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("INVX  X2 ( .A(c), .Y(d) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, FirstGateTypeNowhere) {
  Outcome r = extract("nowhere", ".subckt top a c\n" + inv("a", "b") + inv("b", "c") + ".ends top\n",
                      ".macromodel ND A B Y\n" + std::string(kModels) + nand("A", "B", "Y") + ".endm ND\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("first gate name:gate0 p logic: NOR2 n logic: NAND2\n Wire gen ended\n"), std::string::npos);
  EXPECT_EQ(r.netlist.find("ND "), std::string::npos);
}

TEST(WholeRun, PinsFoundThroughRelationGroup) {
  Outcome r = extract("relation", ".subckt top a b z\n" + nand("a", "b", "y") + inv("y", "z") + ".ends top\n",
                      ".macromodel ND A B Y\n" + std::string(kModels) + nand("A", "B", "Y") + ".endm ND\n");
  ASSERT_EQ(r.status, 0);
  std::string open = "Can find this pinname use the relation_pin method!\nRelation_pin method failed! \n";
  EXPECT_NE(r.out.find(" Unfound pin: A\n" + open + " Unfound pin: B\n" + open), std::string::npos) << r.out;
  EXPECT_NE(r.netlist.find("ND  X2 ( .A(a), .B(b), .Y(y) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, LatchDefinitionTerminates) {
  std::string latch = nand("S", "QB", "Q") + nand("R", "Q", "QB");
  Outcome r = extract("latch", ".subckt top s r q qb\n" + nand("s", "qb", "q") + nand("r", "q", "qb") + ".ends top\n",
                      ".macromodel SR S R Q QB\n" + std::string(kModels) + latch + ".endm SR\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.netlist.find("SR  X1 ("), std::string::npos) << r.out << r.netlist;
}
