#include "extract/recognition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/branch.h"
#include "netlist/arena.h"

namespace {

struct Card {
  const char *d, *g, *s;
};

// A branch on output "out" whose mos_list holds the cards head first.
Branch* branch_of(const std::vector<Card>& cards) {
  auto* br = arena_new<Branch>(0);
  MOSLIST* tail = nullptr;
  int k = 0;
  for (const Card& c : cards) {
    auto* m = arena_new<MOSLIST>();
    m->mosname = arena::strdup(("M" + std::to_string(k++)).c_str());
    m->d = arena::strdup(c.d);
    m->g = arena::strdup(c.g);
    m->s = arena::strdup(c.s);
    (tail ? tail->next : br->mos_list) = m;
    tail = m;
  }
  br->pn_node = arena::strdup("out");
  br->num_of_mos = static_cast<int>(cards.size());
  return br;
}

std::string recognize(Branch* br) {
  testing::internal::CaptureStdout();
  recognition::branch_recognition(br, "vdd", "gnd", "N_Model_", "This n_branch contains more than 7 mosfets, can't handle\n");
  return testing::internal::GetCapturedStdout();
}

std::string letters(const Branch* br) {
  std::string s;
  for (NAMELIST* n = br->name_list; n; n = n->next) s += std::string(n->gatename) + "=" + n->virtual_name + " ";
  return s;
}

TEST(Recognition, WorkedAoiExampleKeepsLettersAndInputGroups) {
  Branch* br = branch_of({{"out", "A", "y"}, {"out", "C", "gnd"}, {"y", "B", "gnd"}});
  EXPECT_EQ(recognize(br), "");
  EXPECT_STREQ(br->mos_list->g, "~((a & b) | c)");
  EXPECT_EQ(br->mos_list->next, nullptr);
  EXPECT_STREQ(br->headername, "AOI12");
  EXPECT_EQ(letters(br), "A=a C=c B=b ");
  ASSERT_NE(br->relation_list, nullptr);
  EXPECT_EQ(br->relation_list->type, 1);
  EXPECT_STREQ(br->relation_list->gatename_list->name, "A");
  EXPECT_STREQ(br->relation_list->gatename_list->next->name, "B");
  RELATIONLIST* alone = recognition::query_alone_list(br->relation_list);
  ASSERT_NE(alone, nullptr);
  EXPECT_STREQ(alone->gatename_list->name, "C");
  EXPECT_EQ(br->greatthan4, 0);
}

TEST(Recognition, ListOrderDecidesNestingAndLetters) {
  Branch* down = branch_of({{"out", "A", "x"}, {"x", "B", "y"}, {"y", "C", "gnd"}});
  recognize(down);
  EXPECT_STREQ(down->mos_list->g, "~(a & b & c)");
  Branch* up = branch_of({{"out", "A", "x"}, {"y", "C", "gnd"}, {"x", "B", "y"}});
  recognize(up);
  EXPECT_STREQ(up->mos_list->g, "~((a & b) & c)");
  EXPECT_STREQ(up->headername, "NAND3");
  // One net on two transistors gets two letters.
  Branch* twice = branch_of({{"out", "A", "gnd"}, {"gnd", "A", "out"}});
  recognize(twice);
  EXPECT_STREQ(twice->mos_list->g, "~(a | b)");
  EXPECT_EQ(letters(twice), "A=a A=b ");
  // Several single nets joining records in different passes share the type-0 group.
  Branch* oai = branch_of({{"out", "A", "x"}, {"out", "B", "x"}, {"x", "C", "gnd"}, {"out", "D", "gnd"}});
  recognize(oai);
  EXPECT_STREQ(oai->headername, "OAOI112");
  RELATIONLIST* alone = recognition::query_alone_list(oai->relation_list);
  ASSERT_NE(alone, nullptr);
  EXPECT_STREQ(alone->gatename_list->name, "C");
  EXPECT_STREQ(alone->gatename_list->next->name, "D");
}

TEST(Recognition, EveryGateTypeIsReachable) {
  struct Row {
    const char* type;
    std::vector<Card> cards;
  };
  const std::vector<Row> rows = {
      {"NOR2", {{"out", "A", "gnd"}, {"out", "B", "gnd"}}},
      {"NAND2", {{"out", "A", "x1"}, {"x1", "B", "gnd"}}},
      {"NOR3", {{"out", "A", "gnd"}, {"out", "B", "gnd"}, {"out", "C", "gnd"}}},
      {"NAND3", {{"out", "A", "x1"}, {"x1", "B", "x2"}, {"x2", "C", "gnd"}}},
      {"OAI12", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "gnd"}}},
      {"AOI12", {{"out", "A", "x1"}, {"x1", "B", "gnd"}, {"out", "C", "gnd"}}},
      {"NOR4", {{"out", "A", "gnd"}, {"out", "B", "gnd"}, {"out", "C", "gnd"}, {"out", "D", "gnd"}}},
      {"NAND4", {{"out", "A", "x2"}, {"x2", "B", "x1"}, {"x1", "C", "x3"}, {"x3", "D", "gnd"}}},
      {"AOI22", {{"out", "A", "x1"}, {"x1", "B", "gnd"}, {"out", "C", "x2"}, {"x2", "D", "gnd"}}},
      {"OAI22", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "gnd"}, {"x1", "D", "gnd"}}},
      {"AOI13", {{"out", "A", "x1"}, {"x1", "B", "x2"}, {"x2", "C", "gnd"}, {"out", "D", "gnd"}}},
      {"OAI13", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"out", "C", "x1"}, {"x1", "D", "gnd"}}},
      {"OAOI112", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "gnd"}, {"out", "D", "gnd"}}},
      {"AOOI112", {{"out", "A", "gnd"}, {"out", "B", "gnd"}, {"out", "C", "x1"}, {"x1", "D", "gnd"}}},
      {"OAAI112", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "x2"}, {"x2", "D", "gnd"}}},
      {"AOAI112", {{"out", "A", "x2"}, {"x2", "B", "x1"}, {"out", "C", "x1"}, {"x1", "D", "gnd"}}},
      {"AOI23", {{"out", "A", "x1"}, {"x1", "B", "gnd"}, {"out", "C", "x2"}, {"x2", "D", "x3"}, {"x3", "E", "gnd"}}},
      {"AOI311", {{"out", "A", "gnd"}, {"out", "B", "gnd"}, {"out", "C", "x1"}, {"x1", "D", "x2"}, {"x2", "E", "gnd"}}},
      {"AOI221", {{"out", "A", "x1"}, {"x1", "B", "gnd"}, {"out", "C", "x2"}, {"x2", "D", "gnd"}, {"out", "E", "gnd"}}},
      {"OAI23", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"out", "C", "x1"}, {"x1", "D", "gnd"}, {"x1", "E", "gnd"}}},
      {"OAI311", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"out", "C", "x1"}, {"x1", "D", "x2"}, {"x2", "E", "gnd"}}},
      {"OAI221", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "x2"}, {"x1", "D", "x2"}, {"x2", "E", "gnd"}}},
      {"OAOI212", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "gnd"}, {"out", "D", "x2"}, {"x2", "E", "gnd"}}},
      {"OAOI2111", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "E", "gnd"}, {"out", "C", "gnd"}, {"out", "D", "gnd"}}},
      {"AOAI212", {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "x2"}, {"x2", "D", "gnd"}, {"x1", "E", "gnd"}}},
      {"AOAI2111", {{"out", "A", "x2"}, {"x2", "B", "x1"}, {"out", "E", "x1"}, {"x1", "C", "x3"}, {"x3", "D", "gnd"}}},
      {"AOI33",
       {{"out", "A", "x1"}, {"x1", "B", "x2"}, {"x2", "C", "gnd"}, {"out", "D", "x3"}, {"x3", "E", "x4"}, {"x4", "F", "gnd"}}},
      {"AOI321",
       {{"out", "A", "x1"}, {"x1", "B", "x2"}, {"x2", "C", "gnd"}, {"out", "D", "x3"}, {"x3", "E", "gnd"}, {"out", "F", "gnd"}}},
      {"AOI222",
       {{"out", "A", "x1"}, {"x1", "B", "gnd"}, {"out", "C", "x2"}, {"x2", "D", "gnd"}, {"out", "E", "x3"}, {"x3", "F", "gnd"}}},
      {"OAI222",
       {{"out", "A", "x1"}, {"out", "B", "x1"}, {"x1", "C", "x2"}, {"x1", "D", "x2"}, {"x2", "E", "gnd"}, {"x2", "F", "gnd"}}},
      {"OAI321",
       {{"out", "A", "x1"}, {"out", "B", "x1"}, {"out", "C", "x1"}, {"x1", "D", "x2"}, {"x1", "E", "x2"}, {"x2", "F", "gnd"}}},
  };
  for (const Row& row : rows) {
    Branch* br = branch_of(row.cards);
    EXPECT_EQ(recognize(br), "") << row.type;
    EXPECT_STREQ(br->headername, row.type) << br->mos_list->g;
    EXPECT_EQ(br->mos_list->next, nullptr) << row.type;
  }
  // The one OAI33 form leads with the sum, but the chain record that builds
  // the product always leads the last merge, so reduction never writes it.
  EXPECT_STREQ(lookup_gate_type("~((a | b | c) & (d & e & f))"), "OAI33");
  for (int r = 0; r < kNumGateTypeRows; ++r) {
    std::string name = kGateTypeTable[r].name;
    bool covered = name == "OAI33";
    for (const Row& row : rows) covered = covered || name == row.type;
    EXPECT_TRUE(covered) << name;
  }
}

TEST(Recognition, UntypedBranchesGetModelNamesAndReductionAlwaysEnds) {
  // A bridge: x and y each touch three records, so nothing ever merges.
  Branch* bridge = branch_of({{"out", "A", "x"}, {"out", "B", "y"}, {"x", "C", "y"}, {"x", "D", "gnd"}, {"y", "E", "gnd"}});
  // Same function as an AOOI112 written so that the product leads the sum.
  Branch* order = branch_of({{"out", "A", "x"}, {"out", "D", "gnd"}, {"out", "C", "gnd"}, {"x", "B", "gnd"}});
  bridge->next = order;
  std::string out = recognize(bridge);
  EXPECT_EQ(out,
            "This n_branch contains more than 7 mosfets, can't handle\nBranch name = N_Model_a, Logic function is: \n"
            "This n_branch contains more than 7 mosfets, can't handle\nBranch name = N_Model_b, Logic function is: \n");
  EXPECT_STREQ(bridge->headername, "N_Model_a");
  EXPECT_EQ(bridge->greatthan4, 1);
  EXPECT_STREQ(order->headername, "N_Model_b");
  EXPECT_STREQ(order->mos_list->g, "~~((c & d) | (a | b))");
  // Seven or more: left exactly as grown, untyped and silent.
  Branch* seven = branch_of({{"out", "A", "x1"}, {"x1", "B", "x2"}, {"x2", "C", "x3"}, {"x3", "D", "x4"},
                             {"x4", "E", "x5"}, {"x5", "F", "x6"}, {"x6", "G", "gnd"}});
  EXPECT_EQ(recognize(seven), "");
  EXPECT_EQ(seven->headername, nullptr);
  EXPECT_STREQ(seven->mos_list->g, "A");
  EXPECT_EQ(seven->name_list, nullptr);
}

}  // namespace
