#include <random>

#include "classic/match/neighbour_list.h"
#include "tests/match/fixtures.h"

using namespace fixture;

namespace {

// What `field` gives for each record of a list.
template <class T, class F>
auto each(T* l, F field) {
  std::vector<decltype(field(l))> v;
  for (; l; l = l->next) v.push_back(field(l));
  return v;
}
Names walk(GATESTACK* g) { return each(g, [](GATESTACK* r) { return std::string(r->macromodel_name); }); }
auto flags(RGLIST* l) { return each(l, [](RGLIST* r) { return std::pair{r->unique, r->unique2}; }); }

}  // namespace

TEST(MacromodelStacks, WalkOrderAndMatchState) {
  auto m = subcircuit("S", Network({{"INV", "x", {"a"}}, {"INV", "y", {"x"}}, {"INV", "z", {"y"}}}, {{"z", "w"}}),
                      {"a"}, {"w"});
  m->initialize_gate_stack();
  m->initialize_node_stack();
  EXPECT_EQ(walk(m->gate_stack), (std::vector<std::string>{"gate0", "trans0", "gate2", "gate1"}));
  EXPECT_TRUE(m->gatestack_search_to_end());
  EXPECT_TRUE(m->check_dead_loop());  // nothing recognised yet

  GATESTACK* before = m->copy_gate_stack();
  EXPECT_EQ(walk(before), (std::vector<std::string>{"gate0", "gate1", "gate2", "trans0"}));
  EXPECT_TRUE(m->compare_two_gatestack(before, m->copy_gate_stack()));
  m->insert_gates_in_gatestack("gate2", "gate7");
  EXPECT_FALSE(m->compare_two_gatestack(before, m->copy_gate_stack()));
  EXPECT_FALSE(m->check_dead_loop());
  EXPECT_STREQ(m->gate_has_been_found("gate2"), "gate7");
  m->insert_gates_in_gatestack("gate2", "gate8");  // a later counterpart replaces the earlier one
  EXPECT_FALSE(m->query_gate_has_been_found("gate7"));

  for (const char* g : {"gate0", "gate1", "trans0"}) m->insert_gates_in_gatestack(g, "c");
  EXPECT_FALSE(m->gatestack_search_to_end());
  for (GATESTACK* r = m->gate_stack; r; r = r->next) m->set_search_flag(r, true);
  EXPECT_TRUE(m->check_dead_loop());
  m->insert_node_in_nodestack("a", "n1");
  m->insert_node_in_nodestack("w", "n2");
  EXPECT_FALSE(m->nodestack_search_to_end());

  m->reinitialize_macromodel();
  EXPECT_TRUE(m->gatestack_search_to_end());
  EXPECT_TRUE(m->nodestack_search_to_end());
  EXPECT_EQ(m->gate_has_been_found("gate2"), nullptr);
}

TEST(MacromodelStacks, RelationGroupCounterparts) {
  auto m = subcircuit("S", Network({{"NAND3", "y", {"a", "b", "c"}}}), {"a", "b", "c"}, {"y"});
  m->initialize_node_stack();
  RELATIONLIST* group = m->return_n_relation_list("a");
  ASSERT_NE(group, nullptr);
  m->insert_node_in_nodestack("b", "net7");
  EXPECT_EQ(m->relation_list_is_valid("a", group), nullptr);  // c still open
  m->insert_node_in_nodestack("c", "net9");
  EXPECT_EQ(names(m->relation_list_is_valid("a", group)), (std::vector<std::string>{"net7", "net9"}));
}

TEST(NeighbourLists, Classification) {
  auto m = subcircuit("S",
                      Network({{"INV", "o", {"i"}}, {"NAND2", "p", {"o", "u"}}, {"NAND2", "q", {"o", "u"}},
                               {"NAND2", "r", {"o", "u"}}, {"INV", "t", {"o"}}},
                              {{"o", "k"}, {"j", "o"}}),
                      {"i", "u"}, {});
  m->initialize_gate_stack();
  RGLIST* l = m->return_a_gate_list("gate0");  // gate1, trans1, trans0, gate2, gate3, gate4
  m->unique_rglist(l);
  std::pair<bool, bool> amb{false, true}, one{true, true}, none{false, false};
  EXPECT_EQ(flags(l), (std::vector<std::pair<bool, bool>>{amb, none, none, amb, amb, one}));

  // One transmission gate is unique; a matched entry is not, whatever its type.
  m->insert_gates_in_gatestack("gate4", "gate9");
  m->insert_gates_in_gatestack("trans1", "trans9");
  release_rglist(l);
  l = m->return_a_gate_list("gate0");
  m->unique_rglist(l);
  EXPECT_EQ(flags(l), (std::vector<std::pair<bool, bool>>{amb, none, one, amb, amb, none}));
}

// The grouping must give the flags and the number of empty-slot reports of
// the plain pairwise rule.
TEST(NeighbourLists, GroupingAgreesWithPairwiseRule) {
  std::mt19937 rng(7);
  for (int round = 0; round < 400; ++round) {
    int n = 1 + rng() % 9;
    std::map<std::string, NeighbourGate> gates;
    std::vector<std::string> matched;
    const char* types[] = {"A", "B", "C"};
    RGLIST *fast = nullptr, *slow = nullptr;
    for (int i = 0; i < n; ++i) {
      std::string name = "gate" + std::to_string(i);
      int kind = rng() % 6;
      gates[name] = {kind == 0, kind >= 2 ? LogicType{types[kind % 3], "p"} : LogicType{}};
      if (rng() % 5 == 0) matched.push_back(name);
      int type = rng() % 4 == 0;
      for (RGLIST** l : {&fast, &slow}) {
        auto* e = arena_new<RgList>();
        e->gatename = s(name);
        e->type = type;
        e->unique = e->unique2 = true;
        *l = link_behind_head(*l, e);
      }
    }
    auto is_matched = [&](const char* g) { return std::find(matched.begin(), matched.end(), g) != matched.end(); };
    auto gate_of = [&](const char* g) { return gates[g]; };
    long long reports = classify_neighbours(fast, is_matched, gate_of);

    long long expected = 0;  // the pairwise rule, on the second copy
    for (RGLIST* e = slow; e; e = e->next)
      if (is_matched(e->gatename)) e->unique = e->unique2 = false;
    for (RGLIST* a = slow; a && slow->next; a = a->next)
      for (RGLIST* b = a->unique ? a->next : nullptr; b; b = b->next) {  // on after a pair: a meets every b
        if (!b->unique || a->type != b->type) continue;
        NeighbourGate ga = gates[a->gatename], gb = gates[b->gatename];
        if (a->type == 1)
          a->unique = a->unique2 = b->unique = b->unique2 = false;
        else if (ga.missing || gb.missing)
          ++expected;
        else if (ga.type == gb.type)
          a->unique = b->unique = false, a->unique2 = b->unique2 = true;
      }
    ASSERT_EQ(flags(fast), flags(slow)) << "round " << round;
    ASSERT_EQ(reports, expected) << "round " << round;
  }
}

TEST(FirstGate, BackwardWalk) {
  // inv1 -> inv2 -> inv3, inv2's output also feeds inv4: the walk starts at
  // inv2's output, visits inv2 and inv1, and stops at the pin in.
  auto chain = subcircuit(
      "C", Network({{"INV", "x3", {"x2"}}, {"INV", "x2", {"x1"}}, {"INV", "x1", {"in"}}, {"INV", "x4", {"x2"}}}),
      {"in"}, {"x3", "x4"});
  EXPECT_STREQ(chain->locate_first_gate()->gatename, "gate2");

  // A latch: the walk comes back to a gate it has met and ends there.
  auto latch =
      subcircuit("L", Network({{"NAND2", "q", {"s", "qb"}}, {"NAND2", "qb", {"r", "q"}}}), {"s", "r"}, {"q", "qb"});
  EXPECT_STREQ(latch->locate_first_gate()->gatename, "gate1");

  // No output feeds anything: the lowest-numbered gate; no gate at all: none.
  auto flat = subcircuit("F", Network({{"INV", "y", {"a"}}, {"INV", "z", {"b"}}}), {"a", "b"}, {"y", "z"});
  EXPECT_STREQ(flat->locate_first_gate()->gatename, "gate0");
  EXPECT_EQ(subcircuit("E", Network({}), {}, {})->locate_first_gate(), nullptr);

  // A walk that ends on a transmission gate answers the last gate it met.
  auto tg = subcircuit("T", Network({{"INV", "b", {"a"}}, {"INV", "y", {"m"}}, {"INV", "z", {"y"}}}, {{"i", "m"}}),
                       {"a", "i"}, {"b", "z"});
  EXPECT_STREQ(tg->locate_first_gate()->gatename, "gate1");
}
