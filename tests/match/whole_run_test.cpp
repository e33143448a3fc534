// Whole runs of the extractor on small netlists with subcircuit definitions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "classic/messages/messages.h"

namespace {

namespace fs = std::filesystem;

const std::string kModels =
    ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02\n";
// MOSFET cards; every MOSFET gets a number of its own.
std::string mos(const std::string& d, const std::string& g, const std::string& s, bool p) {
  static int n = 0;
  return "M" + std::to_string(++n) + " " + d + " " + g + " " + s + (p ? " vdd pmos" : " gnd nmos") + " l=1u w=1u\n";
}
std::string inv(const std::string& in, const std::string& out) {
  return mos(out, in, "vdd", true) + mos(out, in, "gnd", false);
}
// Gates over numbered nets: the series node is named by the caller, since a
// suffix on a numbered name would be read as a second word.
std::string nand(const std::string& a, const std::string& b, const std::string& out, const std::string& mid) {
  return mos(out, a, "vdd", true) + mos(out, b, "vdd", true) + mos(out, a, mid, false) + mos(mid, b, "gnd", false);
}
std::string nor(const std::string& a, const std::string& b, const std::string& out, const std::string& mid) {
  return mos(mid, a, "vdd", true) + mos(out, b, mid, true) + mos(out, a, "gnd", false) + mos(out, b, "gnd", false);
}
// ~((a & b) | c)
std::string aoi21(const std::string& a, const std::string& b, const std::string& c, const std::string& out,
                  const std::string& nmid, const std::string& pmid) {
  return mos(out, a, nmid, false) + mos(nmid, b, "gnd", false) + mos(out, c, "gnd", false) +
         mos(pmid, a, "vdd", true) + mos(pmid, b, "vdd", true) + mos(out, c, pmid, true);
}
// The load's gate is the ground net, which no pin stands for.
std::string pseudo_nor(const std::string& a, const std::string& b, const std::string& out) {
  return mos(out, a, "gnd", false) + mos(out, b, "gnd", false) + mos(out, "gnd", "vdd", true);
}

std::string top(const std::string& ports, const std::string& cards) {
  return ".subckt top " + ports + "\n" + cards + ".ends top\n";
}
std::string def(const std::string& name, const std::string& pins, const std::string& cards) {
  return ".macromodel " + name + " " + pins + "\n" + kModels + cards + ".endm " + name + "\n";
}
const std::string kBuf = def("BUF", "IN OUT", inv("IN", "mid") + inv("mid", "OUT"));
const std::string kNand = def("ND", "A B Y", nand("A", "B", "Y", "Yx"));

// The rejection line, cut after the condition's number when no text is given.
std::string rejection(const std::string& def, const std::string& anchor, int condition, const char* why = nullptr) {
  char line[512];
  std::snprintf(line, sizeof line, msg::kOccurrenceRejected, def.c_str(), anchor.c_str(), condition, why ? why : "");
  std::string s(line);
  return why ? s : s.substr(0, s.size() - 1);
}
// What every rejection line starts with.
const std::string kRejected(msg::kOccurrenceRejected, std::string_view(msg::kOccurrenceRejected).find('%'));

struct Case {
  const char* name;
  std::string circuit, library;
  // Pieces of the printed text (in this order) and of the netlist; "!" before
  // one the text must not hold.
  std::vector<std::string> out, netlist;
};

// Each unsound match a reproducer of one way the search pairs gates that do
// not correspond, beside (except for the first) a true copy of the
// definition on nets of its own, which must still be found.
const Case kRuns[] = {
    {"BufferOverThreeInverters", top("a d", inv("a", "b") + inv("b", "c") + inv("c", "d")), kBuf, {},
     {"BUF  X2 ( .IN(a), .OUT(c) );", "INV  U1 ( .a(c), .out(d) );"}},
    {"DefinitionsTakenByMosfetCount",  // INVX comes first in the list but BUF has more MOSFETs.
     top("a d", inv("a", "b") + inv("b", "c") + inv("c", "d")), def("INVX", "A Y", inv("A", "Y")) + kBuf,
     {"matching for ............ : BUF", "matching for ............ : INVX"},
     {"BUF  X1 ( .IN(a), .OUT(c) );", "INVX  X2 ( .A(c), .Y(d) );"}},
    {"FirstGateTypeNowhere", top("a c", inv("a", "b") + inv("b", "c")), kNand,
     {"first gate name:gate0 p logic: NOR2 n logic: NAND2\n Wire gen ended\n"}, {"!ND "}},
    {"PinsFoundThroughRelationGroup", top("a b z", nand("a", "b", "y", "yx") + inv("y", "z")), kNand,
     {" Unfound pin: A\nCan find this pinname use the relation_pin method!\nRelation_pin method failed! \n"
      " Unfound pin: B\nCan find this pinname use the relation_pin method!\nRelation_pin method failed! \n"},
     {"ND  X2 ( .A(a), .B(b), .Y(y) );"}},
    {"LatchDefinitionTerminates", top("s r q qb", nand("s", "qb", "q", "qx") + nand("r", "q", "qb", "qbx")),
     def("SR", "S R Q QB", nand("S", "QB", "Q", "Qx") + nand("R", "Q", "QB", "QBx")), {}, {"SR  X1 ("}},
    // Both NAND2 of the definition are paired with the last fitting circuit
    // NAND2; the same happens on every copy, so no AMB instance may appear.
    {"OneCircuitGateForTwoDefinitionGatesIsRejected",
     top("a21 a22 a23 n6", inv("a21", "n1") + nand("n1", "a22", "n2", "x102") + nand("n1", "a23", "n3", "x103") +
                               inv("n2", "n4") + inv("n3", "n5") + nand("n4", "n5", "n6", "x106")),
     def("AMB", "IN A B OUT",
         inv("IN", "p") + nand("p", "A", "q", "u") + nand("p", "B", "r", "v") + inv("q", "s") + inv("r", "t") +
             nand("s", "t", "OUT", "z")),
     {rejection("AMB", "gate0", 1, msg::kFaultSharedGate)}, {"NAND2  U2 ( .a(a22), .b(n1), .out(n2) );", "!AMB "}},
    {"InternalNetReadOutsideIsRejected",
     top("a21 a22 n3 n4 a31 a32 n33", inv("a21", "n1") + inv("a22", "n2") + nand("n1", "n2", "n3", "x103") +
                                          inv("n2", "n4") + inv("a31", "n11") + inv("a32", "n12") +
                                          nand("n11", "n12", "n33", "x113")),
     def("SUB", "A B Y", inv("A", "p") + inv("B", "q") + nand("p", "q", "Y", "z")),
     {rejection("SUB", "gate0", 3, msg::kFaultInternalNet)},
     {"INV  U4 ( .a(n2), .out(n4) );", "INV  U2 ( .a(a22), .out(n2) );", "SUB  X5 ( .A(a31), .B(a32), .Y(n33) );"}},
    {"InternalNetOnAPortIsRejected",  // the buffer's middle net is a port: the instance would hide it
     top("a1 b2 c3 a11 c13", inv("a1", "b2") + inv("b2", "c3") + inv("a11", "b12") + inv("b12", "c13")), kBuf,
     {rejection("BUF", "gate0", 3)}, {"INV  U1 ( .a(a1), .out(b2) );", "BUF  X3 ( .IN(a11), .OUT(c13) );"}},
    {"InputsSettledThroughAnotherGateAreChecked",
     top("in1 in2 in3 in4 out6 in21 in22 out26",
         nor("in1", "in2", "w5", "x105") + aoi21("in3", "in4", "w5", "n14", "x114", "y214") + inv("n14", "out6") +
             nor("in21", "in22", "w25", "x125") + aoi21("in21", "in22", "w25", "n34", "x134", "y234")),
     def("XOR", "a1 b2 x3", nor("a1", "b2", "n4", "u") + aoi21("a1", "b2", "n4", "x3", "v", "w")),
     {rejection("XOR", "gate0", 2, msg::kFaultGatesDiffer)},
     {"AOI12  U3 ( .a(in3), .c(w5), .b(in4), .out(n14) );", "XOR  X4 ( .a1(in21), .b2(in22), .x3(n34) );"}},
    // The circuit lists the AND pair's transistors the other way round; either
    // way the pins settle and the function is the same: no rejection.
    {"InterchangeableInputsInAnotherOrderAreAccepted",
     top("a1 b2 c3 y5", aoi21("b2", "a1", "c3", "n4", "x104", "y204") + inv("n4", "y5")),
     def("AO", "A B C Y", aoi21("A", "B", "C", "m", "u", "v") + inv("m", "Y")), {"!" + kRejected},
     {"AO  X1 (", ".C(c3)"}},
    {"PseudoGateWithLoadOnTheRailIsAccepted", top("a1 b2 y4", pseudo_nor("a1", "b2", "n3") + inv("n3", "y4")),
     def("PS", "A B Y", pseudo_nor("A", "B", "m") + inv("m", "Y")), {"!" + kRejected},
     {"PS  X1 ( .A(a1), .B(b2), .Y(y4) );"}},
    // The definition's pass device between its two inverters belongs to no
    // gate; the first copy has it, the second lacks it and is another circuit.
    {"MosfetOutsideTheGatesNeedsItsCounterpart",
     top("a1 y2 b3 z4", inv("a1", "n5") + inv("n5", "y2") + mos("y2", "a1", "n5", false) + inv("b3", "n6") +
                            inv("n6", "z4")),
     def("LK", "A Y", inv("A", "x21") + inv("x21", "Y") + mos("Y", "A", "x21", false)),
     {rejection("LK", "gate3", 5, msg::kFaultLoneMosfet)},
     {"LK  X3 ( .A(a1), .Y(y2) );", "INV  U2 ( .a(b3), .out(n6) );"}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class WholeRun : public testing::TestWithParam<Case> {};

TEST_P(WholeRun, Extract) {
  const Case& r = GetParam();
  fs::path d = fs::path(testing::TempDir()) / ("match_" + std::string(r.name));
  fs::create_directories(d);
  std::ofstream(d / "c.sp") << r.circuit << kModels;
  std::ofstream(d / "l.sp") << r.library;
  std::string cmd = "cd '" + d.string() + "' && '" PARSER_EXE "' c.sp l.sp n.v h.v > out.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::stringstream out, netlist;
  out << std::ifstream(d / "out.txt").rdbuf();
  netlist << std::ifstream(d / "n.v").rdbuf();
  auto check = [](const std::string& text, const std::vector<std::string>& pieces, bool ordered) {
    std::size_t at = 0;
    for (const std::string& piece : pieces) {
      bool absent = piece[0] == '!';
      std::size_t found = text.find(piece.substr(absent), ordered && !absent ? at : 0);
      EXPECT_EQ(found == std::string::npos, absent) << piece << "\n" << text;
      if (!absent) at = found;
    }
  };
  check(out.str(), r.out, true);
  check(netlist.str(), r.netlist, false);
}

INSTANTIATE_TEST_SUITE_P(Netlists, WholeRun, testing::ValuesIn(kRuns),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
