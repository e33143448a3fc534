#include "verilog/wire.h"

#include "circuit_fixture.h"

using Names = std::vector<std::string>;

TEST_F(CircuitTest, WireListKeepsFirstNetFirstThenNewestAndLeavesPortsOut) {
  InputHead = ports({"top", "a", "b"});
  OutputHead = ports({"y"});
  nodes({"a", "b", "y", "top", "p", "q", "r", "gnd"});
  gate("NAND2", "~(a & b)", {}, "y", true, {"a", "p", "top"});
  gate("INV", "~a", {}, "z", true, {"never"});
  gate("NOR2", "~(a | b)", {}, "y", false, {"q", "p", "gnd", "b"});
  hash_gate_list[1] = nullptr;  // folded into an instance
  instance("half", pins({{"A", "q"}, {"B", "r"}}), pins({{"Y", "y"}}));
  Wire().generate_wirelist();
  // p, q, gnd, r discovered in that order; the ground net is no port.
  EXPECT_EQ(wire_names(), (Names{"p", "r", "gnd", "q"}));
}

TEST_F(CircuitTest, WireFlagIsSharedByNamesOfOneNodeAndUnnodedNetsAreDeclaredOnce) {
  InputHead = ports({"top"});
  nodes({"n7"});
  gate("NAND2", "~(a & b)", {}, "y", true, {"n7", "x07", "ghost", "ghost"});
  Wire wire;
  wire.generate_wirelist();
  EXPECT_EQ(wire_names(), (Names{"n7", "ghost"}));
  EXPECT_TRUE(wire.get_node(hash_node_list.get(7)->nodename)->wire);
  EXPECT_TRUE(wire.query_is_terminal(InputHead->pinname));
  EXPECT_FALSE(wire.query_is_terminal(nullptr));
}

TEST_F(CircuitTest, NoGatesAndNoInstancesGiveNoWires) {
  Wire().generate_wirelist();
  EXPECT_EQ(WireHead, nullptr);
}
