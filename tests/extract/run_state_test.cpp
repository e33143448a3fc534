#include <gtest/gtest.h>

#include <set>
#include <string>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/run/pipeline.h"
#include "flat_pipeline.h"

namespace {

// The stage table: unique names, so that a slice by name is one; slices
// take both ends.
TEST(StageTable, NamesAndSlices) {
  auto table = classic_pipeline();
  std::set<std::string> seen;
  for (const Stage& s : table) EXPECT_TRUE(seen.insert(s.name).second) << s.name;
  auto flat = stages(table, "tellnp", "gen_num_for_macromodel");
  EXPECT_EQ(std::string(flat.front().name) + " " + flat.back().name, "tellnp gen_num_for_macromodel");
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

}  // namespace
