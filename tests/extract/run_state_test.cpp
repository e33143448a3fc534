#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "classic/algo/gate_input_trim.h"
#include "classic/algo/list_ops.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/run/pipeline.h"
#include "flat_pipeline.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"

namespace {

// The stage table: unique names in run order, slices by name, every fixed
// progress message taken from messages.h.
TEST(StageTable, NamesSlicesAndMessages) {
  auto table = classic_pipeline();
  std::set<std::string> seen;
  for (const Stage& s : table) EXPECT_TRUE(seen.insert(s.name).second) << s.name;
  EXPECT_STREQ(table.front().name, "parse");
  EXPECT_STREQ(table.back().name, "report");

  auto flat = stages(table, "tellnp", "gen_num_for_macromodel");
  EXPECT_STREQ(flat.front().name, "tellnp");
  EXPECT_STREQ(flat.back().name, "gen_num_for_macromodel");
  EXPECT_STREQ(flat.front().message, msg::kTellNPDone);
  EXPECT_STREQ(flat.back().message, msg::kNumForMacromodel);
  EXPECT_EQ(stages(table, "couple_p_n_branch", "couple_p_n_branch").size(), 1u);
#ifndef EXTRACTOR_CHECKS
  EXPECT_TRUE(stages(table, "report", "parse").empty());  // wrong way round
#endif
}

// One reset brings back the start of a run: the unnumbered node names, the
// folded-cards flag, the tables and the lists.
TEST(RunState, OneResetClearsEverything) {
  run_flat("M1 y a gnd gnd nmos\nM1 y a vdd vdd pmos\nM2 z y gnd gnd nmos\nM3 z y vdd vdd pmos\n");
  ASSERT_NE(flat_get_node("y"), nullptr);
  EXPECT_TRUE(run_state().cards_folded);  // the two cards named M1
  EXPECT_GT(num_of_gates, 0);
  reset_run();
  EXPECT_EQ(flat_get_node("y"), nullptr);
  EXPECT_TRUE(run_state().unnumbered.empty());
  EXPECT_FALSE(run_state().cards_folded);
  EXPECT_EQ(num_of_gates, 0);
  EXPECT_EQ(hash_gate_list, nullptr);
  EXPECT_EQ(MosHead, nullptr);
}

// A removal from a long gate list is deferred, yet every read sees it; a
// reset writes back what is still pending.
TEST(RunState, DeferredTrimIsSeenByEveryRead) {
  reset_run();
  auto* node = arena_new<NODELIST>();
  std::string after;  // gate1 to gate39 but gate5
  for (int i = 39; i >= 0; --i) {
    std::string name = "gate" + std::to_string(i);
    if (i != 0 && i != 5) after = name + (i < 39 ? " " : "") + after;
    auto* p = arena_new<PINLIST>();
    p->NodeName = arena::strdup(name.c_str());
    p->next = node->input_of_gate_list.list();
    node->input_of_gate_list.set(p);
  }
  remove_input_gates(node, {"gate0", "gate5"});
  EXPECT_EQ(run_state().gate_trims.size(), 1u);
  // Removing gate0 keeps gate1 first and walks the rest backwards; removing
  // gate5 then walks them forwards again.
  EXPECT_EQ(names(node->input_of_gate_list.list()), after);
  EXPECT_TRUE(run_state().gate_trims.empty());

  remove_input_gates(node, {"gate1"});
  EXPECT_EQ(run_state().gate_trims.size(), 1u);
  reset_run();
  EXPECT_TRUE(run_state().gate_trims.empty());
  EXPECT_EQ(lists::count(node->input_of_gate_list.list()), 37);
}

}  // namespace
