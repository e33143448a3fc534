#include "classic/verilog/wire.h"

#include "circuit_fixture.h"
#include "classic/algo/tables.h"


TEST_F(CircuitTest, WireListOrderAndExclusions) {
  InputHead = ports({"top", "a", "b"});
  OutputHead = ports({"y"});
  hash_node_list.set(7, arena_new<NODELIST>());
  gate("NAND2", "", {}, "y", true, {"a", "p", "top"});
  gate("INV", "", {}, "z", true, {"never"});
  gate("NOR2", "", {}, "y", false, {"q", "p", "gnd", "b", "n7", "x07", "ghost", "ghost"});
  hash_gate_list[1] = nullptr;  // folded into an instance
  ResultHead = instance("half", {{"A", "q"}, {"B", "r"}}, {{"Y", "y"}});
  Wire().generate_wirelist();
  // Found p, q, gnd, n7, ghost, r: the ground net is no port, x07 is node 7;
  // nets without a node record are guarded by name.
  std::string names;
  for (WIRELIST* w = WireHead; w; w = w->next) names += std::string(w->wirename) + " ";
  EXPECT_EQ(names, "p r ghost n7 gnd q ");
}
