// Loops of stages: a pass network that steers itself is a plain function;
// a loop of gates that holds state is one loop.
#include <gtest/gtest.h>

#include "profile/recognize/recognizer.h"
#include "tests/recognize/circuit_builder.h"

namespace {

using recognize::StageKind;

TEST(Loops, PassXorReadingItsOwnNodesIsOneFunction) {
  CircuitBuilder b("xor3");
  b.ports({"A", "B", "C", "Y"});
  b.p("B", "A", "n3").p("C", "n3", "n2").p("A", "B", "n3").p("n3", "C", "n2");
  b.n("B", "A", "n1").n("C", "n1", "n2").n("A", "B", "n1").n("n1", "C", "n2");
  b.n("n4", "n2", "gnd").p("n4", "n2", "vdd").n("Y", "n4", "gnd").p("Y", "n4", "vdd");
  recognize::GateNetwork net = recognize::Recognizer().run(b.circuit());
  ASSERT_EQ(net.stages.size(), 3u);
  const recognize::Stage& pass = net.stages[0];
  EXPECT_EQ(pass.kind, StageKind::Gate);
  EXPECT_EQ(pass.outputs, std::vector<circuit::NetId>{b.net("n2")});
  // n2 is the odd parity of A, B, C whatever order the inputs came in.
  for (std::uint32_t combo = 0; combo < 8; ++combo)
    EXPECT_EQ(pass.table().at(combo, 0), __builtin_popcount(combo) % 2 ? recognize::Value::One : recognize::Value::Zero);
}

// Cross-coupled gates hold state: written as gates they race for ever in a
// zero-delay simulation when both inputs rise together.
// So do they when nothing reads them: they still run in simulation.
TEST(Loops, CrossCoupledNandsHoldStateInOneLoop) {
  for (bool read : {true, false}) {
    CircuitBuilder b("sr");
    if (read) b.ports({"s", "r", "q", "qb"});
    else b.ports({"s", "r"});
    b.p("q", "s", "vdd").p("q", "qb", "vdd").n("q", "s", "m1").n("m1", "qb", "gnd");
    b.p("qb", "r", "vdd").p("qb", "q", "vdd").n("qb", "r", "m2").n("m2", "q", "gnd");
    recognize::GateNetwork net = recognize::Recognizer().run(b.circuit());
    ASSERT_EQ(net.stages.size(), 1u) << read;
    EXPECT_EQ(net.stages[0].kind, StageKind::Loop) << read;
    EXPECT_EQ(net.stages[0].parts.size(), 2u) << read;
  }
}

}  // namespace
