// The first flat stages (numbering, the node graph) and the run around them
// (the stage table, the reset between runs).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/extract/tellnp.h"
#include "classic/messages/messages.h"
#include "classic/run/pipeline.h"
#include "flat_pipeline.h"

namespace {

TEST(Numbering, NameRuleAndLargestNumbers) {
  TellNP t;
  const std::pair<const char*, int> cases[] = {
      {"12", 12}, {"out12", 12}, {"M3", 3}, {"net_5", 5}, {"x-5", 5}, {"out007", 7}, {"0", 0}, {"out1a", -1},
      {"a1b2", -1}, {"VDD", -1}, {"", -1}, {"12abc", -1}, {"n2000000000", 2000000000}, {"n2147483648", -1},
      {"\xe9" "7", 7}};
  for (auto [name, number] : cases) EXPECT_EQ(t.return_number(name), number) << name;

  reset_run();
  load_cards(".model odd Pch\n.model odd nch\n.model nmos NMOS\n.model pmos pmos\n"
             "M7 out4 in9 vdd b120 pmos\nMx out4 in9 gnd gnd nmos\nM30 a b c gnd odd\n");
  t.mos_np_netlist();
  EXPECT_EQ(t.return_node_biggest(), 9);  // the bulk's 120 is not a node number
  EXPECT_EQ(t.return_device_biggest(), 30);
  // Lower-case p; M30: the later card of "odd" (nch) decides; upper-case N.
  EXPECT_EQ(join(MosHead, [](auto* m) { return std::to_string(m->nptype); }), "1 0 0");
}

TEST(NodeGraph, PnNodesDeviceRecordsAndPorts) {
  FlatRun r = run_flat(
      ".subckt top nowhere gnd Pc vdd Pb a Pa\nM1 Pa a vdd vdd pmos\nM2 Pa a gnd gnd nmos\nM3 Pb Pa vdd vdd pmos\n"
      "M4 Pb Pa sx gnd nmos\nM5 sx a gnd gnd nmos\nM6 Pc Pb vdd vdd pmos\nM7 Pc Pb gnd gnd nmos\n"
      "M8 z9 q z9 gnd nmos\nM9 w q q gnd nmos\nM9 w a vdd vdd pmos\nMx w Pc gnd gnd nmos\n");
  EXPECT_EQ(r.out.substr(0, 46), msg::kBadMosfetName);
  EXPECT_EQ(r.out.find("please", 46), std::string::npos);  // once, for Mx only
  // Drain and source on one node: once, as drain; gate and source: once, as
  // gate. The second card named M9 is not listed again where the first is.
  const std::pair<const char*, const char*> nodes[] = {
      {"Pa", "M1:D M2:D M3:G M4:G pn out=gate0 in=gate2 inputs=1"}, {"a", "M1:G M2:G M5:G M9:G in=gate0,gate2"},
      {"sx", "M5:D M4:S"},  // inside a series stack: no pn node
      {"z9", "M8:D"}, {"q", "M9:G M8:G"}, {"w", "Mx:D M9:D pn"}};
  for (auto [name, want] : nodes) EXPECT_EQ(node_text(r.node(name)), want) << name;
  EXPECT_EQ(r.node("9"), r.node("z9"));  // one number, one node
  EXPECT_STREQ(hash_mos_list.get(9)->g, "q");  // the later card in list order is filed
  // Rails leave the ports; outputs stand behind-head; a port on no node stays an input.
  EXPECT_EQ(names(OutputHead) + " / " + names(InputHead), "Pa Pc Pb / top a nowhere");
  EXPECT_TRUE(r.node("Pb")->terminal && !r.node("sx")->terminal);
}

// Cards are walked first card first, then the others from the last one up.
TEST(NodeGraph, NamesMergedByTheirNumberAreSaid) {
  FlatRun r = run_flat(
      "M1 y3 in1 n1 gnd nmos\nM2 n1 b2 gnd gnd nmos\nM3 y3 01 vdd vdd pmos\nM4 y3 b2 vdd vdd pmos\n"
      "Mn5 z5 y3 gnd gnd nmos\nMp5 z5 y3 vdd vdd pmos\nM5 z5 in1 vdd vdd pmos\nM6 w6 a gnd gnd nmos\n"
      "M6 w6 a vdd vdd pmos\n");
  // Each other spelling once, against the name the node keeps; a card of the
  // same name and the unnumbered rails are no merge.
  EXPECT_EQ(r.out.substr(0, r.out.find("num n")),
            "Node names in1 and n1 both carry the number 1: they are one node\n"
            "Node names in1 and 01 both carry the number 1: they are one node\n"
            "Mosfet Mp5 replaces Mosfet M5: both names carry the number 5\n"
            "Mosfet Mn5 replaces Mosfet Mp5: both names carry the number 5\n");
  EXPECT_STREQ(r.node("01")->nodename, "in1");
}

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
  EXPECT_TRUE(num_of_gates == 0 && !hash_gate_list && !MosHead);
}

}  // namespace
