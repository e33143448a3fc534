// Recognition by function: fingers, every table type whatever the transistor
// order, gates outside the table, a bridge, and the kinds of stage that
// transmission gates and clocked inverters make.
#include <gtest/gtest.h>

#include <cstring>

#include "core/gates/expression.h"
#include "core/gates/header_modules.h"
#include "profile/recognize/recognizer.h"
#include "tests/recognize/cmos_gate.h"

namespace {

using recognize::GateNetwork;
using recognize::Stage;
using recognize::StageKind;
using recognize::Value;

GateNetwork recognise(const circuit::Circuit& c) { return recognize::Recognizer().run(c); }

const Stage* driver_of(const GateNetwork& g, const circuit::Circuit& c, const std::string& net) {
  for (circuit::NetId n = 0; n < c.net_count(); ++n)
    if (c.net_names[n] == net && g.nets[n].driver != recognize::kNoStage) return &g.stages[g.nets[n].driver];
  return nullptr;
}

// Whether the stage's table is `expr`, input k being the letter letter(k).
template <class Letter>
bool computes(const Stage& s, const char* expr, Letter letter) {
  for (std::uint32_t combo = 0; combo < s.table().combos(); ++combo) {
    unsigned letters = 0;
    for (std::uint32_t k = 0; k < s.inputs.size(); ++k)
      if ((combo >> k) & 1u) letters |= 1u << (letter(k) - 'a');
    if ((evaluate_expression(expr, letters).value() ? Value::One : Value::Zero) != s.table().at(combo, 0)) return false;
  }
  return true;
}

// ... over the one-letter names of its input nets.
bool computes(const Stage& s, const circuit::Circuit& c, const char* expr) {
  return computes(s, expr, [&](std::uint32_t k) { return c.net_names[s.inputs[k]].at(0); });
}

// The table type's module, connected by the stage's pins, computes the
// stage's function.
bool module_matches(const Stage& s) {
  return computes(s, kHeaderModules[s.table_type].expr, [&](std::uint32_t k) { return s.table_pins()[k]; });
}

// Parallel and series fingers of one gate and channel are one device; a
// chain whose middle net something else reads, or of other gates, is not.
TEST(Fingers, FingersAreOneDevice) {
  CircuitBuilder two("parallel"), chain("series"), eight("eight"), port("tap"), gate("gate"), nand("nand");
  two.ports({"a", "y"}).n("y", "a", "gnd").n("gnd", "a", "y").p("y", "a", "vdd").p("vdd", "a", "y");
  chain.ports({"a", "y"}).n("y", "a", "m").n("gnd", "a", "m").p("y", "a", "vdd");
  // Two parallel chains of two, and four in parallel.
  eight.ports({"a", "y"}).n("y", "a", "m1").n("m1", "a", "gnd").n("y", "a", "m2").n("m2", "a", "gnd");
  for (int i = 0; i < 4; ++i) eight.p("y", "a", "vdd");
  // The middle net of a chain is a port, or a gate: it is an output.
  port.ports({"a", "y", "m"}).n("y", "a", "m").n("m", "a", "gnd").p("y", "a", "vdd");
  gate.ports({"a", "y", "z"}).n("y", "a", "m").n("m", "a", "gnd").p("y", "a", "vdd");
  gate.n("z", "m", "gnd").p("z", "m", "vdd");
  nand.ports({"a", "b", "y"}).n("y", "a", "m").n("m", "b", "gnd").p("y", "a", "vdd").p("y", "b", "vdd");
  const struct {
    const CircuitBuilder* b;
    std::uint32_t devices, mosfets;
    std::size_t outputs;
  } rows[] = {{&two, 2, 4, 1},  {&chain, 2, 3, 1}, {&eight, 2, 8, 1},
              {&port, 3, 3, 2}, {&gate, 3, 3, 2},  {&nand, 4, 4, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.b->circuit().name);
    const Stage s = recognise(row.b->circuit()).stages.at(0);
    EXPECT_EQ(s.devices, row.devices);
    EXPECT_EQ(s.mosfets, row.mosfets);
    EXPECT_EQ(s.outputs.size(), row.outputs);
  }
}

// Every table type, and gates outside the table, by function in several
// transistor orders: one gate stage, of one label whatever the order.
TEST(Recognition, GatesByFunctionInSeveralTransistorOrders) {
  std::vector<std::pair<std::string, const char*>> cases = {
      // expression, and the table type with that function or null
      {"~((c & d) | (a | b))", "AOOI112"},  // AOI211 in another form
      {"~((c | d) & a & b)", "OAAI112"},    // OAI211
      {"~((a & b & c & d) | e)", nullptr},  // AOI41
      {"~((a | b | c | d) & e)", nullptr},  // OAI41
      {"~((a & b) | c | d | e)", nullptr},  // AOI2111
      {"~((a | b) & c & d & e)", nullptr},  // OAI2111
  };
  for (int m = 0; m < kNumHeaderModules; ++m)
    if (std::strcmp(kHeaderModules[m].name, "TRANS") != 0)
      cases.emplace_back(kHeaderModules[m].expr, kHeaderModules[m].name);
  for (const auto& [expr, type] : cases) {
    std::string label;
    for (unsigned seed = 1; seed <= 6; ++seed) {
      SCOPED_TRACE(expr + " seed " + std::to_string(seed));
      circuit::Circuit c = CmosGateBuilder(expr, seed).build();
      GateNetwork g = recognise(c);
      ASSERT_EQ(g.stages.size(), 1u);
      const Stage& s = g.stages[0];
      EXPECT_EQ(s.kind, StageKind::Gate);
      EXPECT_TRUE(computes(s, c, expr.c_str()));
      if (seed == 1) label = s.label();
      EXPECT_EQ(s.label(), label);
      if (!type) {
        EXPECT_EQ(s.table_type, -1);
        continue;
      }
      ASSERT_GE(s.table_type, 0);
      EXPECT_STREQ(kHeaderModules[s.table_type].name, type);
      EXPECT_TRUE(module_matches(s));
    }
  }
}

TEST(Recognition, BridgeNetwork) {
  // Pull-down: a bridge, not series-parallel; pull-up: its complement.
  CircuitBuilder b("bridge");
  b.ports({"a", "b", "c", "d", "e", "y"});
  b.n("y", "a", "n1").n("y", "b", "n2").n("n1", "c", "n2").n("n1", "d", "gnd").n("n2", "e", "gnd");
  b.p("vdd", "a", "p1").p("p1", "b", "y").p("vdd", "d", "p2").p("p2", "e", "y");
  b.p("vdd", "a", "p3").p("p3", "c", "p4").p("p4", "e", "y").p("vdd", "b", "p5").p("p5", "c", "p6").p("p6", "d", "y");
  GateNetwork g = recognise(b.circuit());
  ASSERT_EQ(g.stages.size(), 1u);
  EXPECT_EQ(g.stages[0].kind, StageKind::Gate);
  EXPECT_TRUE(computes(g.stages[0], b.circuit(), "~((a & d) | (b & e) | (a & c & e) | (b & c & d))"));
}

TEST(Recognition, LabelsAndInterchangeableInputs) {
  // AOI12's two AND inputs are interchangeable, its OR input is not; OAI12
  // is another label.
  for (unsigned seed = 1; seed <= 5; ++seed) {
    const Stage s = recognise(CmosGateBuilder("~((a & b) | c)", seed).build()).stages[0];
    ASSERT_EQ(s.input_class().size(), 3u);
    int same = (s.input_class()[0] == s.input_class()[1]) + (s.input_class()[0] == s.input_class()[2]) +
               (s.input_class()[1] == s.input_class()[2]);
    EXPECT_EQ(same, 1);
  }
  EXPECT_NE(recognise(CmosGateBuilder("~((a | b) & c)", 1).build()).stages[0].label(),
            recognise(CmosGateBuilder("~((a & b) | c)", 1).build()).stages[0].label());
}

TEST(Recognition, ClockedInverterIsATristateStage) {
  CircuitBuilder b("einv");
  b.ports({"a", "en", "enb", "y"}).p("vdd", "a", "m1").p("m1", "enb", "y").n("y", "en", "m2").n("m2", "a", "gnd");
  GateNetwork g = recognise(b.circuit());
  ASSERT_EQ(g.stages.size(), 1u);
  const Stage& s = g.stages[0];
  EXPECT_EQ(s.kind, StageKind::Tristate);
  EXPECT_EQ(s.table_type, -1);
  // Floats exactly while the enables are off.
  for (std::uint32_t combo = 0; combo < s.table().combos(); ++combo) {
    bool a = false, en = false, enb = false;
    for (std::uint32_t k = 0; k < 3; ++k) {
      bool v = (combo >> k) & 1u;
      std::string_view n = b.circuit().net_names[s.inputs[k]];
      (n == "a" ? a : n == "en" ? en : enb) = v;
    }
    Value want = !a && !enb ? Value::One : a && en ? Value::Zero : Value::Z;
    EXPECT_EQ(s.table().at(combo, 0), want) << combo;
  }
}

TEST(Recognition, TransmissionGatesJoinTheirDriversAndReadInputPorts) {
  // y = s ? b : a through two transmission gates from input ports.
  CircuitBuilder b("tgmux");
  b.ports({"a", "b", "s", "y"}).n("sb", "s", "gnd").p("sb", "s", "vdd");
  b.n("a", "sb", "y").p("a", "s", "y").n("b", "s", "y").p("b", "sb", "y");
  GateNetwork g = recognise(b.circuit());
  ASSERT_EQ(g.stages.size(), 2u);
  const Stage* mux = driver_of(g, b.circuit(), "y");
  ASSERT_NE(mux, nullptr);
  EXPECT_EQ(mux->inputs.size(), 4u);  // a, b, s, sb
  EXPECT_EQ(mux->kind, StageKind::Network);  // s and sb both high: a fight
  EXPECT_EQ(mux->mosfets, 4u);
}

// A port a rail reaches through pass devices is driven only where nothing
// else is fed on the way: a leaf of a multiplexer tree whose other leaf is a
// gate's output and whose root a gate reads stays an input, while a tree's
// root on a port is driven.
TEST(Recognition, PortsOnPassNetworksAreDataUnlessDrivenAlone) {
  struct Case {
    const char* name;
    bool root_read;  // the tree's root is read by a gate, not a port
    const char* root;
    const char* port;
    bool input;
  } cases[] = {{"leaf", true, "r", "d", true}, {"root", false, "y", "y", false}};
  for (const Case& k : cases) {
    CircuitBuilder b(k.name);
    b.ports({"a", "d", "s", "t", "u", "y"});
    b.n("ab", "a", "gnd").p("ab", "a", "vdd");  // a gate's output on one leaf
    b.n("ab", "s", "m").n("d", "t", "m");         // the port d on the other
    if (k.root_read) b.n("m", "u", "r").n("y", "r", "gnd").p("y", "r", "vdd");
    else b.n("m", "u", "y");
    GateNetwork g = recognise(b.circuit());
    const Stage* pass = driver_of(g, b.circuit(), k.root);
    ASSERT_NE(pass, nullptr) << k.name;
    const circuit::NetId port = b.net(k.port);
    auto has = [&](const std::vector<circuit::NetId>& v) { return std::find(v.begin(), v.end(), port) != v.end(); };
    EXPECT_EQ(has(pass->inputs), k.input) << k.name;
    EXPECT_EQ(has(pass->outputs), !k.input) << k.name;
  }
  // A transmission gate from a port to a node nothing reads passes nothing
  // on: the port stays an input.
  CircuitBuilder lone("lone");
  lone.ports({"d", "s", "sb"}).n("d", "s", "m").p("d", "sb", "m");
  for (const Stage& s : recognise(lone.circuit()).stages)
    EXPECT_EQ(std::count(s.outputs.begin(), s.outputs.end(), lone.net("d")), 0);
}

// Rails and input ports drive their nets whatever joins them: with a and
// the enables s, t at 1 and b at 0, a fight between two sources stays
// between them and a node one source reaches takes its value.
TEST(Recognition, FightsStayBetweenTheSourcesJoined) {
  struct Case {
    const char* name;
    void (*build)(CircuitBuilder&);
    Value m;
  } cases[] = {
      {"ports", [](CircuitBuilder& b) { b.n("a", "s", "b").n("a", "t", "m"); }, Value::One},
      // f fights; the device joining it to m is off.
      {"rails", [](CircuitBuilder& b) { b.n("f", "s", "vdd").n("f", "t", "gnd").n("vdd", "t", "m").n("m", "b", "f"); },
       Value::One},
      {"node", [](CircuitBuilder& b) { b.n("a", "s", "m").n("m", "t", "b"); }, Value::X},
  };
  for (const Case& k : cases) {
    CircuitBuilder b(k.name);
    b.ports({"a", "b", "s", "t", "y"});
    k.build(b);
    b.n("y", "m", "gnd").p("y", "m", "vdd");  // m read by a gate
    GateNetwork g = recognise(b.circuit());
    const Stage* pass = driver_of(g, b.circuit(), "m");
    ASSERT_NE(pass, nullptr) << k.name;
    std::uint32_t combo = 0;
    for (std::uint32_t i = 0; i < pass->inputs.size(); ++i)
      if (b.circuit().net_names[pass->inputs[i]] != "b") combo |= 1u << i;
    EXPECT_EQ(pass->table().at(combo, 0), k.m) << k.name;
  }
}

}  // namespace
