// The search for occurrences of a definition: its rules, the index of the
// circuit's gates by type it walks, and the trimming of matched gates.
#include "classic/match/gate_type_index.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "classic/algo/gate_input_trim.h"
#include "classic/algo/list_ops.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/messages/messages.h"
#include "tests/match/fixtures.h"

using namespace fixture;

namespace {

// Handed to a Patternmatch, which releases it.
Macromodel* own(const char* name, Network net, Names ins, Names outs) {
  return subcircuit(name, std::move(net), std::move(ins), std::move(outs)).release();
}

// Entries linked behind the head, each unique on both counts.
RGLIST* rg(std::vector<std::string> gates) {
  RGLIST* head = nullptr;
  for (const auto& g : gates)
    head = lists::link_new(head, [&](RgList& e) { e.gatename = s(g), e.unique = e.unique2 = true; });
  return head;
}

// Gates of the given n-branch types (p-branches dual), in table order, with
// their type names copied per gate so that equal types share no pointers.
std::vector<CGate*> gates_of(const std::vector<std::string>& types) {
  std::vector<Gate> gates;
  for (std::size_t i = 0; i < types.size(); ++i) gates.push_back({types[i], std::to_string(100 + i), {"a"}});
  return Network(gates).gates<CGate, Branch>();
}

}  // namespace

TEST(NeighbourComparison, CountsAndRepeatedTypes) {
  // Subcircuit node m feeds two NAND2 and an INV; flat node c feeds three
  // NAND2 and an INV, node d two NAND2.
  Macromodel* m =
      own("S", Network({{"NAND2", "x", {"m", "u"}}, {"NAND2", "y", {"m", "u"}}, {"INV", "z", {"m"}}}), {"m", "u"}, {});
  flat_circuit(Network({{"NAND2", "x", {"c", "u"}}, {"NAND2", "y", {"c", "u"}}, {"NAND2", "w", {"c", "u"}},
                        {"INV", "z", {"c"}}, {"NAND2", "v", {"d", "u"}}, {"NAND2", "t", {"d", "u"}}}));
  m->initialize_gate_stack();
  m->initialize_node_stack();
  Patternmatch pm(m);
  RGLIST* two = rg({"gate0", "gate1"});
  EXPECT_FALSE(pm.fill_in_gate_stack(two, rg({"gate0", "gate1", "gate3"}), false));  // 2 against 3
  EXPECT_TRUE(pm.fill_in_gate_stack(two, rg({"gate0", "gate1", "gate3"}), true));    // a pin may feed more
  testing::internal::CaptureStdout();
  EXPECT_FALSE(pm.fill_in_gate_stack(rg({"gate0", "gate1", "gate2"}), rg({"gate0", "gate1", "gate2", "gate3"}), true));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), msg::kDecidedFail);
  EXPECT_TRUE(pm.decide_failed(rg({"gate0"}), nullptr, 1, 0, false));
  m->reinitialize_macromodel();

  // A unique subcircuit gate facing two circuit gates of its type passes
  // without a pair; two ambiguous ones whose outputs feed alike take the
  // last fitting circuit gate.
  RGLIST* cl = rg({"gate4", "gate5"});
  pm.unique_rglist(cl);
  EXPECT_TRUE(pm.fill_in_gate_stack(rg({"gate0"}), cl, true));
  EXPECT_EQ(m->gate_has_been_found("gate0"), nullptr);
  RGLIST* ml = rg({"gate0", "gate1"});
  m->unique_rglist(ml);
  EXPECT_TRUE(pm.fill_in_gate_stack(ml, cl, false));
  EXPECT_STREQ(m->gate_has_been_found("gate0"), "gate5");
  EXPECT_TRUE(pm.fill_in_gate_stack(rg({"gate2"}), rg({"gate3"}), false));
  EXPECT_STREQ(m->gate_has_been_found("gate2"), "gate3");
}

TEST(StallRule, DriverOfAnUnmatchedGate) {
  // Subcircuit: G (INV) feeds H (NAND2) and H2 (NAND2).
  Macromodel* m = own("S", Network({{"INV", "g", {"i"}}, {"NAND2", "h", {"g", "k"}}, {"NAND2", "h2", {"g", "k"}}}),
                      {"i", "k"}, {"h", "h2"});
  // Flat: H's inputs a and b are driven by an INV and a NAND2, then by two INVs.
  flat_circuit(Network({{"INV", "a", {"p"}}, {"NAND2", "b", {"p", "q"}}, {"NAND2", "h", {"a", "b"}},
                        {"NAND2", "h2", {"a", "b"}}, {"INV", "c", {"p"}}, {"INV", "d", {"q"}},
                        {"NAND2", "h3", {"c", "d"}}, {"NAND2", "h4", {"b", "a"}}}));
  m->initialize_node_stack();
  Patternmatch pm(m);
  EXPECT_STREQ(pm.case_one_gate("gate0", pin_list({"gate2"})), "gate0");
  EXPECT_EQ(pm.case_one_gate("gate0", pin_list({"gate6"})), nullptr);  // two candidates
  m->insert_node_in_nodestack("k", "d");
  EXPECT_STREQ(pm.case_one_gate("gate0", pin_list({"gate6"})), "gate4");  // d is taken
  EXPECT_EQ(pm.case_one_gate("gate0", pin_list({"trans0"})), nullptr);

  // Common inputs a then b; only b's driver is a NAND2.
  Macromodel* nand =
      own("N", Network({{"NAND2", "g", {"i", "j"}}, {"NAND2", "h", {"g", "k"}}}), {"i", "j", "k"}, {"h"});
  Patternmatch pn(nand);
  EXPECT_STREQ(pn.case_more_than_one_gate("gate0", pin_list({"gate2", "gate7"})), "gate1");
  EXPECT_STREQ(pm.case_more_than_one_gate("gate0", pin_list({"gate2", "gate7"})), "gate0");

  // Five matched gates fed by one unmatched gate.
  std::vector<Gate> fan_out = {{"INV", "g", {"i"}}};
  for (int i = 1; i <= 5; ++i) fan_out.push_back({"INV", "o" + std::to_string(i), {"g"}});
  Macromodel* fan = own("F", Network(fan_out), {"i"}, {});
  fan->initialize_gate_stack();
  fan->initialize_node_stack();
  for (int i = 1; i <= 5; ++i) fan->insert_gates_in_gatestack(("gate" + std::to_string(i)).c_str(), "gate0");
  Patternmatch pf(fan);
  testing::internal::CaptureStdout();
  pf.deal_with_dead_loop();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), msg::kUnknownWiredNoMark);
  EXPECT_EQ(fan->gate_has_been_found("gate0"), nullptr);
}

TEST(PinRules, GroupComparison) {
  Patternmatch pm(nullptr);

  EXPECT_STREQ(pm.compare_two_gatename_list(group({"b"}), group({"a", "b"})), "a");
  EXPECT_EQ(pm.compare_two_gatename_list(group({"x"}), group({"a", "b"})), nullptr);
  testing::internal::CaptureStdout();
  EXPECT_EQ(pm.compare_two_gatename_list(group({"a", "b"}), group({"a", "b"})), nullptr);
  EXPECT_EQ(pm.compare_two_gatename_list(group({"a"}), group({"a", "b", "c"})), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            std::string(msg::kNoPinFound) + msg::kManyPinsFound);

  // An open pin whose partner b is already matched to net b: the group {a, b}
  // of the counterpart gate gives a.
  Macromodel* m = own("S", Network({{"NAND2", "y", {"A", "B"}}}), {"A", "B"}, {"y"});
  flat_circuit(Network({{"NAND2", "y", {"a", "b"}}}));
  m->initialize_node_stack();
  m->insert_node_in_nodestack("B", "b");
  Patternmatch pa(m);
  EXPECT_STREQ(pa.case_one_gate_for_a_pin("A", hash_gate_list[0]), "a");
}

// The trimmed gate lists of a net must stand exactly as repeated single
// removals leave them, over several occurrences between two reads, after a
// read between them, and after a reset, which writes back what is pending.
TEST(GateListTrim, MatchesRepeatedSingleRemovals) {
  std::mt19937 rng(11);
  Patternmatch pm(nullptr);
  for (int round = 0; round < 300; ++round) {
    Names start;
    int n = rng() % 40;  // short lists are rebuilt at once, long ones lazily
    for (int i = 0; i < n; ++i) start.push_back("gate" + std::to_string(rng() % 30));
    auto* node = arena_new<NodeList>();
    node->input_of_gate_list.set(pin_list(start));
    PINLIST* expected = pin_list(start);
    for (int occurrence = 0; occurrence < 3; ++occurrence) {
      std::vector<const char*> gone;
      for (int g = 0; g < 30; ++g)
        if (rng() % 4 == 0) gone.push_back(s("gate" + std::to_string(g)));
      for (const auto& entry : names(expected))
        if (std::any_of(gone.begin(), gone.end(), [&](const char* g) { return entry == g; }))
          expected = pm.delete_one_in_pinlist(entry.c_str(), expected);
      remove_input_gates(node, gone);
      if (occurrence == 1 && round % 3 == 0) {
        ASSERT_EQ(names(node->input_of_gate_list.list()), names(expected)) << "round " << round;
      }
    }
    if (round % 2) {
      reset_run();
      ASSERT_TRUE(run_state().gate_trims.empty()) << "round " << round;  // nothing pending into the next run
    }
    ASSERT_EQ(names(node->input_of_gate_list.list()), names(expected)) << "round " << round;
  }
}

TEST(GateTypeIndex, GroupsByTypeInTableOrder) {
  auto gates = gates_of({"NAND2", "INV", "NAND2", "NAND3", "INV", "NAND2"});
  CGate** t = table(gates);
  t[3] = nullptr;  // an empty slot is no gate
  GateTypeIndex index;
  index.build(t, static_cast<int>(gates.size()));
  EXPECT_EQ(index.numbers_of(logic_type_of(gates[0])), (std::vector<int>{0, 2, 5}));
  EXPECT_EQ(index.numbers_of(logic_type_of(gates[1])), (std::vector<int>{1, 4}));
  EXPECT_TRUE(index.numbers_of(logic_type_of(gates[3])).empty() && index.numbers_of(LogicType{}).empty());

  // A type is found by its texts, wherever they are stored.
  LogicType copy{arena::strdup("NAND2"), arena::strdup("NOR2")};
  EXPECT_EQ(index.numbers_of(copy), (std::vector<int>{0, 2, 5}));

  // A gate with an untyped branch has no logic type and is never listed.
  gates[4]->p_branch->headername = nullptr;
  index.build(t, static_cast<int>(gates.size()));
  EXPECT_EQ(index.numbers_of(logic_type_of(gates[1])), (std::vector<int>{1}));
}

TEST(GateTypeIndex, RemovedAndAddedGatesKeepTableOrder) {
  auto gates = gates_of({"INV", "INV", "NAND2", "INV", "INV", "INV"});
  CGate** t = table(gates);
  GateTypeIndex index;
  index.build(t, 6);
  LogicType inv = logic_type_of(gates[0]);

  // Emptied while a walk is under way: the walk passes over gates emptied
  // ahead of it, whether or not the index was told.
  std::vector<std::string> seen;
  index.for_each_of_type(inv, [&](CGate* g) {
    seen.push_back(g->gatename);
    if (std::strcmp(g->gatename, "gate1") == 0) {
      index.remove(3);
      t[3] = t[4] = nullptr;
    }
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"gate0", "gate1", "gate5"}));
  index.remove(4);
  EXPECT_EQ(index.numbers_of(inv), (std::vector<int>{0, 1, 5}));

  // A slot filled again joins its group in number order, once.
  t[3] = gates[3];
  for (int twice = 0; twice < 2; ++twice) index.add(3);
  EXPECT_EQ(index.numbers_of(inv), (std::vector<int>{0, 1, 3, 5}));
  // A slot that takes a gate of another type moves it between groups.
  t[1] = gates[2];
  index.add(1);
  EXPECT_EQ(index.numbers_of(inv), (std::vector<int>{0, 3, 5}));
  EXPECT_EQ(index.numbers_of(logic_type_of(gates[2])), (std::vector<int>{1, 2}));
  // Removing what is not listed changes nothing.
  for (int i : {4, -1, 6}) index.remove(i);
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
