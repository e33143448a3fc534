// Constants held by MOSFETs: what holds (diode-connected devices, chains and
// loops of them, gates on a rail) and what only looks like it.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "profile/circuit/ties.h"
#include "profile/recognize/recognizer.h"
#include "tests/recognize/circuit_builder.h"

namespace {

struct TieCase {
  const char* what;
  std::function<void(CircuitBuilder&)> build;
  std::map<std::string, int> held;  // every net not listed: not held
  std::size_t mosfets;              // that hold them
};

const TieCase kCases[] = {
    {"diode-connected n drives a pull-up", [](CircuitBuilder& b) { b.n("a", "a", "gnd").p("hi", "a", "vdd"); },
     {{"a", 0}, {"hi", 1}}, 2},
    {"diode-connected p drives a pull-down", [](CircuitBuilder& b) { b.p("b", "b", "vdd").n("lo", "b", "gnd"); },
     {{"b", 1}, {"lo", 0}}, 2},
    {"a chain of four", [](CircuitBuilder& b) {
       b.n("n1", "n1", "gnd").p("n2", "n1", "vdd").n("n3", "n2", "gnd").p("hi", "n3", "vdd");
     }, {{"n1", 0}, {"n2", 1}, {"n3", 0}, {"hi", 1}}, 4},
    {"a loop that settles one way", [](CircuitBuilder& b) { b.n("lo", "hi", "gnd").p("hi", "lo", "vdd"); },
     {{"hi", 1}, {"lo", 0}}, 2},
    {"a gate on the rail that turns it on", [](CircuitBuilder& b) { b.n("x", "vdd", "gnd"); }, {{"x", 0}}, 1},
    {"a second pull-up on a held net is held with it",
     [](CircuitBuilder& b) { b.n("a", "a", "gnd").p("hi", "a", "vdd").p("hi", "in", "vdd"); },
     {{"a", 0}, {"hi", 1}}, 3},
    {"a pull-up gated by an input holds nothing", [](CircuitBuilder& b) { b.p("x", "in", "vdd"); }, {}, 0},
    {"a gate on the rail that keeps it off", [](CircuitBuilder& b) { b.n("x", "gnd", "gnd"); }, {}, 0},
    {"an inverter: both rails reach its output", [](CircuitBuilder& b) { b.p("y", "a", "vdd").n("y", "a", "gnd"); },
     {}, 0},
    {"a channel between two signals", [](CircuitBuilder& b) { b.n("x", "x", "gnd").n("x", "g", "y"); }, {}, 0},
    {"a loop an input can also pull", [](CircuitBuilder& b) {
       b.n("lo", "hi", "gnd").p("hi", "lo", "vdd").n("hi", "in", "gnd");
     }, {}, 0},
    {"a chain whose head is an input's", [](CircuitBuilder& b) { b.p("n2", "in", "vdd").n("n3", "n2", "gnd"); }, {}, 0},
};

TEST(Ties, HeldByMosfets) {
  for (const TieCase& t : kCases) {
    CircuitBuilder b("t");
    t.build(b);
    const circuit::Circuit& c = b.circuit();
    circuit::MosfetTies ties = circuit::held_by_mosfets(c, {});
    for (circuit::NetId n = 0; n < c.net_count(); ++n) {
      auto it = t.held.find(std::string(c.net_names[n]));
      EXPECT_EQ(ties.value[n], it == t.held.end() ? -1 : it->second) << t.what << ": " << c.net_names[n];
    }
    EXPECT_EQ(ties.mosfets.size(), t.mosfets) << t.what;
  }
}

// Skipped MOSFETs (a tie cell found as a cell) hold nothing; a constant
// given as known still turns gates on.
TEST(Ties, SkippedAndKnown) {
  CircuitBuilder b("t");
  b.n("a", "a", "gnd").p("hi", "a", "vdd").n("lo", "k", "gnd");
  const circuit::Circuit& c = b.circuit();
  circuit::HeldValues known(c.net_count(), -1);
  known[b.net("k")] = 1;
  circuit::MosfetTies ties = circuit::held_by_mosfets(c, known, {1, 1, 0});
  EXPECT_EQ(ties.value[b.net("hi")], -1);
  EXPECT_EQ(ties.value[b.net("a")], -1);
  EXPECT_EQ(ties.value[b.net("lo")], 0);
  EXPECT_EQ(ties.mosfets, std::vector<std::uint32_t>{2});
}

// Recognition leaves the devices holding constants out of every stage and
// marks the nets; the stage reading one reads it as an input.
TEST(Ties, RecognitionLeavesThemOut) {
  CircuitBuilder b("t");
  b.ports({"in", "y"}).n("a", "a", "gnd").p("hi", "a", "vdd").p("y", "in", "vdd").n("y", "in", "m").n("m", "hi", "gnd");
  recognize::GateNetwork net = recognize::Recognizer().run(b.circuit());
  ASSERT_EQ(net.stages.size(), 1u);
  EXPECT_EQ(net.stages[0].mosfet_ids, (std::vector<std::uint32_t>{2, 3, 4}));
  EXPECT_EQ(net.tie_mosfets, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(net.nets[b.net("hi")].constant, 1);
  EXPECT_EQ(net.nets[b.net("in")].constant, -1);
}

}  // namespace
