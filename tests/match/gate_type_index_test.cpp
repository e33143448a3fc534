#include "classic/match/gate_type_index.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "classic/netlist/arena.h"
#include "tests/match/fixtures.h"

using namespace fixture;

namespace {

// Gates of the given n-branch types (p-branches dual), in table order, with
// their type names copied per gate so that equal types share no pointers.
std::vector<CGate*> gates_of(const std::vector<std::string>& types) {
  std::vector<Gate> gates;
  for (std::size_t i = 0; i < types.size(); ++i) gates.push_back({types[i], std::to_string(100 + i), {"a"}});
  return Network(gates).gates<CGate, Branch>();
}

LogicType type_of(const std::vector<CGate*>& gates, int k) { return logic_type_of(gates[k]); }

}  // namespace

TEST(GateTypeIndex, GroupsByTypeInTableOrder) {
  auto gates = gates_of({"NAND2", "INV", "NAND2", "NAND3", "INV", "NAND2"});
  CGate** t = table(gates);
  t[3] = nullptr;  // an empty slot is no gate
  GateTypeIndex index;
  index.build(t, static_cast<int>(gates.size()));
  EXPECT_EQ(index.numbers_of(type_of(gates, 0)), (std::vector<int>{0, 2, 5}));
  EXPECT_EQ(index.numbers_of(type_of(gates, 1)), (std::vector<int>{1, 4}));
  EXPECT_TRUE(index.numbers_of(type_of(gates, 3)).empty());
  EXPECT_TRUE(index.numbers_of(LogicType{}).empty());

  // A type is found by its texts, wherever they are stored.
  LogicType copy{arena::strdup("NAND2"), arena::strdup("NOR2")};
  EXPECT_EQ(index.numbers_of(copy), (std::vector<int>{0, 2, 5}));

  // A gate with an untyped branch has no logic type and is never listed.
  gates[4]->p_branch->headername = nullptr;
  index.build(t, static_cast<int>(gates.size()));
  EXPECT_EQ(index.numbers_of(type_of(gates, 1)), (std::vector<int>{1}));
}

TEST(GateTypeIndex, RemovedAndAddedGatesKeepTableOrder) {
  auto gates = gates_of({"INV", "INV", "NAND2", "INV", "INV", "INV"});
  CGate** t = table(gates);
  GateTypeIndex index;
  index.build(t, 6);
  LogicType inv = type_of(gates, 0);

  // Emptied while a walk is under way: the walk passes over gates emptied
  // ahead of it, whether or not the index was told.
  std::vector<std::string> seen;
  index.for_each_of_type(inv, [&](CGate* g) {
    seen.push_back(g->gatename);
    if (std::strcmp(g->gatename, "gate1") == 0) {
      index.remove(3);
      t[3] = nullptr;
      t[4] = nullptr;
    }
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"gate0", "gate1", "gate5"}));
  index.remove(4);
  EXPECT_EQ(index.numbers_of(inv), (std::vector<int>{0, 1, 5}));

  // A slot filled again joins its group in number order, once.
  t[3] = gates[3];
  index.add(3);
  index.add(3);
  EXPECT_EQ(index.numbers_of(inv), (std::vector<int>{0, 1, 3, 5}));
  // A slot that takes a gate of another type moves it between groups.
  t[1] = gates[2];
  index.add(1);
  EXPECT_EQ(index.numbers_of(inv), (std::vector<int>{0, 3, 5}));
  EXPECT_EQ(index.numbers_of(type_of(gates, 2)), (std::vector<int>{1, 2}));
  // Removing what is not listed changes nothing.
  index.remove(4);
  index.remove(-1);
  index.remove(6);
  EXPECT_EQ(index.numbers_of(inv), (std::vector<int>{0, 3, 5}));
}

TEST(GateTypeIndex, FlatIndexFollowsTheTable) {
  flat_circuit(Network({{"INV", "b", {"a"}}, {"NAND2", "c", {"a", "b"}}, {"INV", "d", {"c"}}}));
  LogicType inv = logic_type_of(hash_gate_list[0]);
  EXPECT_EQ(flat_gate_type_index().numbers_of(inv), (std::vector<int>{0, 2}));
  // A new table (the next run's) is indexed afresh.
  flat_circuit(Network({{"NAND2", "c", {"a", "b"}}, {"INV", "d", {"c"}}}));
  EXPECT_EQ(flat_gate_type_index().numbers_of(inv), (std::vector<int>{1}));
}
