// Whole runs of the extractor on small netlists with subcircuit definitions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "classic/messages/messages.h"

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

// Gates over numbered nets: the series node is named by the caller, since a
// suffix on a numbered name would be read as a second word.
std::string nand_via(const std::string& a, const std::string& b, const std::string& out, const std::string& mid) {
  return mos(out, a, "vdd", true) + mos(out, b, "vdd", true) + mos(out, a, mid, false) + mos(mid, b, "gnd", false);
}
std::string nor_via(const std::string& a, const std::string& b, const std::string& out, const std::string& mid) {
  return mos(mid, a, "vdd", true) + mos(out, b, mid, true) + mos(out, a, "gnd", false) + mos(out, b, "gnd", false);
}
// ~((a & b) | c)
std::string aoi21_via(const std::string& a, const std::string& b, const std::string& c, const std::string& out,
                      const std::string& nmid, const std::string& pmid) {
  return mos(out, a, nmid, false) + mos(nmid, b, "gnd", false) + mos(out, c, "gnd", false) +
         mos(pmid, a, "vdd", true) + mos(pmid, b, "vdd", true) + mos(out, c, pmid, true);
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

// ---- Unsound matches are rejected ---------------------------------------------
// Each circuit holds a reproducer of one way the search pairs gates that do
// not correspond, and (except for the first) a true copy of the definition on
// nets of its own, which must still be found.

// What every rejection line starts with.
std::string rejection_start() {
  std::string format = msg::kOccurrenceRejected;
  return format.substr(0, format.find('%'));
}

// The rejection line, cut after the condition's number when no text is given.
std::string rejection(const std::string& def, const std::string& anchor, int condition, const char* why = nullptr) {
  char line[512];
  std::snprintf(line, sizeof line, msg::kOccurrenceRejected, def.c_str(), anchor.c_str(), condition, why ? why : "");
  std::string s(line);
  return why ? s : s.substr(0, s.size() - 1);
}

std::string amb_circuit(const std::string& in, const std::string& a, const std::string& b, const std::string& out,
                        int k) {
  auto n = [&](int i) { return "n" + std::to_string(k + i); };
  auto x = [&](int i) { return "x" + std::to_string(k + 100 + i); };
  return inv(in, n(1)) + nand_via(n(1), a, n(2), x(2)) + nand_via(n(1), b, n(3), x(3)) + inv(n(2), n(4)) +
         inv(n(3), n(5)) + nand_via(n(4), n(5), out, x(6));
}

TEST(WholeRun, OneCircuitGateForTwoDefinitionGatesIsRejected) {
  // Both NAND2 of the definition are paired with the last fitting circuit
  // NAND2; the same happens on every copy, so no AMB instance may appear.
  std::string def = ".macromodel AMB IN A B OUT\n" + std::string(kModels) + inv("IN", "p") +
                    nand_via("p", "A", "q", "u") + nand_via("p", "B", "r", "v") + inv("q", "s") + inv("r", "t") +
                    nand_via("s", "t", "OUT", "z") + ".endm AMB\n";
  Outcome r = extract("shared_gate",
                      ".subckt top a21 a22 a23 n6\n" + amb_circuit("a21", "a22", "a23", "n6", 0) + ".ends top\n", def);
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(rejection("AMB", "gate0", 1, msg::kFaultSharedGate)),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.netlist.find("AMB "), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("NAND2  U2 ( .a(a22), .b(n1), .out(n2) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, InternalNetReadOutsideIsRejected) {
  std::string def = ".macromodel SUB A B Y\n" + std::string(kModels) + inv("A", "p") + inv("B", "q") +
                    nand_via("p", "q", "Y", "z") + ".endm SUB\n";
  Outcome r = extract("read_outside",
                      ".subckt top a21 a22 n3 n4 a31 a32 n33\n" + inv("a21", "n1") + inv("a22", "n2") +
                          nand_via("n1", "n2", "n3", "x103") + inv("n2", "n4") + inv("a31", "n11") + inv("a32", "n12") +
                          nand_via("n11", "n12", "n33", "x113") + ".ends top\n",
                      def);
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(rejection("SUB", "gate0", 3, msg::kFaultInternalNet)), std::string::npos)
      << r.out;
  EXPECT_NE(r.netlist.find("INV  U4 ( .a(n2), .out(n4) );"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("INV  U2 ( .a(a22), .out(n2) );"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("SUB  X5 ( .A(a31), .B(a32), .Y(n33) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, InternalNetOnAPortIsRejected) {
  // The buffer's middle net is a port of the circuit: the instance would hide it.
  Outcome r = extract("port_inside",
                      ".subckt top a1 b2 c3 a11 c13\n" + inv("a1", "b2") + inv("b2", "c3") + inv("a11", "b12") +
                          inv("b12", "c13") + ".ends top\n",
                      buf_def("BUF"));
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(rejection("BUF", "gate0", 3)), std::string::npos) << r.out;
  EXPECT_NE(r.netlist.find("INV  U1 ( .a(a1), .out(b2) );"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("BUF  X3 ( .IN(a11), .OUT(c13) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, InputsSettledThroughAnotherGateAreChecked) {
  std::string def = ".macromodel XOR a1 b2 x3\n" + std::string(kModels) + nor_via("a1", "b2", "n4", "u") +
                    aoi21_via("a1", "b2", "n4", "x3", "v", "w") + ".endm XOR\n";
  Outcome r = extract("settled_pins",
                      ".subckt top in1 in2 in3 in4 out6 in21 in22 out26\n" + nor_via("in1", "in2", "w5", "x105") +
                          aoi21_via("in3", "in4", "w5", "n14", "x114", "y214") + inv("n14", "out6") +
                          nor_via("in21", "in22", "w25", "x125") +
                          aoi21_via("in21", "in22", "w25", "n34", "x134", "y234") + ".ends top\n",
                      def);
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(rejection("XOR", "gate0", 2, msg::kFaultGatesDiffer)), std::string::npos) << r.out;
  EXPECT_NE(r.netlist.find("AOI12  U3 ( .a(in3), .c(w5), .b(in4), .out(n14) );"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("XOR  X4 ( .a1(in21), .b2(in22), .x3(n34) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, InterchangeableInputsInAnotherOrderAreAccepted) {
  // The circuit lists the AND pair's transistors the other way round; either
  // way the pins settle, the function is the same, so the occurrence must not
  // be rejected.
  std::string def = ".macromodel AO A B C Y\n" + std::string(kModels) + aoi21_via("A", "B", "C", "m", "u", "v") +
                    inv("m", "Y") + ".endm AO\n";
  Outcome r = extract("interchangeable",
                      ".subckt top a1 b2 c3 y5\n" + aoi21_via("b2", "a1", "c3", "n4", "x104", "y204") +
                          inv("n4", "y5") + ".ends top\n",
                      def);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find(rejection_start()), std::string::npos) << r.out;
  EXPECT_NE(r.netlist.find("AO  X1 ("), std::string::npos) << r.out << r.netlist;
  EXPECT_NE(r.netlist.find(".C(c3)"), std::string::npos) << r.netlist;
}

TEST(WholeRun, PseudoGateWithLoadOnTheRailIsAccepted) {
  // The load's gate is the ground net, which no pin stands for.
  auto pseudo_nor = [](const std::string& a, const std::string& b, const std::string& out) {
    return mos(out, a, "gnd", false) + mos(out, b, "gnd", false) + mos(out, "gnd", "vdd", true);
  };
  std::string def = ".macromodel PS A B Y\n" + std::string(kModels) + pseudo_nor("A", "B", "m") + inv("m", "Y") +
                    ".endm PS\n";
  Outcome r = extract("pseudo_load", ".subckt top a1 b2 y4\n" + pseudo_nor("a1", "b2", "n3") + inv("n3", "y4") +
                                         ".ends top\n",
                      def);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find(rejection_start()), std::string::npos) << r.out;
  EXPECT_NE(r.netlist.find("PS  X1 ( .A(a1), .B(b2), .Y(y4) );"), std::string::npos) << r.netlist;
}

TEST(WholeRun, MosfetOutsideTheGatesNeedsItsCounterpart) {
  // The definition's pass device between the two inverters belongs to no
  // gate; the first copy has it, the second lacks it and is another circuit.
  auto pair = [](const std::string& a, const std::string& mid, const std::string& y) {
    return inv(a, mid) + inv(mid, y);
  };
  std::string def = ".macromodel LK A Y\n" + std::string(kModels) + pair("A", "x21", "Y") + mos("Y", "A", "x21", false) +
                    ".endm LK\n";
  Outcome r = extract("lone_mosfet",
                      ".subckt top a1 y2 b3 z4\n" + pair("a1", "n5", "y2") + mos("y2", "a1", "n5", false) +
                          pair("b3", "n6", "z4") + ".ends top\n",
                      def);
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(rejection("LK", "gate3", 5, msg::kFaultLoneMosfet)), std::string::npos) << r.out;
  EXPECT_NE(r.netlist.find("LK  X3 ( .A(a1), .Y(y2) );"), std::string::npos) << r.netlist;
  EXPECT_NE(r.netlist.find("INV  U2 ( .a(b3), .out(n6) );"), std::string::npos) << r.netlist;
}
