// The graph's own rules: pin layout by class, roles per class, net index.
#include <gtest/gtest.h>

#include "profile/cellmatch/gate_graph.h"

using namespace cellmatch;

TEST(GateGraph, PinsSortedByClassAndNetsListTheirConnections) {
  GateGraph g;
  NetId a = g.add_net(kPort), b = g.add_net(), y = g.add_net(), vss = g.add_net(kGround);
  // Given out of class order: the output first.
  std::vector<Pin> pins = {{y, 2, PinRole::Output}, {b, 1, PinRole::Input}, {a, 0, PinRole::Input}, {vss, 0, PinRole::Input}};
  GateId g0 = g.add_gate("AOI21", 6, pins);
  std::vector<Pin> inv = {{y, 0, PinRole::Input}, {b, 1, PinRole::Output}};
  GateId g1 = g.add_gate("INV", 2, inv);
  g.finish();
  auto p = g.pins(g0);
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].net, a);  // class 0 keeps its order
  EXPECT_EQ(p[1].net, vss);
  EXPECT_EQ(p[2].net, b);
  EXPECT_EQ(p[3].net, y);
  EXPECT_EQ(g.degree(y), 2u);
  EXPECT_EQ(g.connections(y)[0].gate, g0);
  EXPECT_EQ(g.connections(y)[1].gate, g1);
  EXPECT_EQ(g.first_pin(g1), 4u);
  EXPECT_TRUE(g.is_rail(vss));
  EXPECT_FALSE(g.is_closed(a));
  EXPECT_TRUE(g.is_closed(b));
  EXPECT_EQ(g.find_label("INV"), g.label(g1));
  EXPECT_EQ(g.find_label("NAND2"), kNone);

  // A class that mixes inputs and outputs, or a pin on no net, is refused.
  std::vector<Pin> mixed = {{a, 0, PinRole::Input}, {b, 0, PinRole::Output}};
  std::vector<Pin> stray = {{17, 0, PinRole::Input}};
  GateGraph h;
  h.add_net();
  h.add_net();
  h.add_net();
  EXPECT_EQ(h.add_gate("X", 2, mixed), kNone);
  EXPECT_EQ(h.add_gate("X", 2, stray), kNone);
  EXPECT_EQ(h.gate_count(), 0u);
}
