#include "extract/recognition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/branch.h"
#include "netlist/arena.h"

namespace {

struct Card {
  const char *name, *d, *g, *s;
};

// A branch whose mos_list holds the cards head first, in the given order.
Branch* branch_of(const std::vector<Card>& cards, const char* out) {
  auto* br = arena_new<Branch>(0);
  MOSLIST* tail = nullptr;
  for (const Card& c : cards) {
    auto* m = arena_new<MOSLIST>();
    m->mosname = arena::strdup(c.name);
    m->d = arena::strdup(c.d);
    m->g = arena::strdup(c.g);
    m->s = arena::strdup(c.s);
    (tail ? tail->next : br->mos_list) = m;
    tail = m;
  }
  br->pn_node = arena::strdup(out);
  br->num_of_mos = static_cast<int>(cards.size());
  return br;
}

std::string letters(const Branch* br) {
  std::string s;
  for (NAMELIST* n = br->name_list; n; n = n->next) s += std::string(n->gatename) + "=" + n->virtual_name + " ";
  return s;
}

TEST(Recognition, WorkedAoiExampleKeepsLettersAndInputGroups) {
  Branch* br = branch_of({{"M4", "out", "A", "y"}, {"M6", "out", "C", "GND"}, {"M5", "y", "B", "GND"}}, "out");
  recognition::branch_recognition(br, "VDD", "GND", "N_Model_", "msg\n");
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

TEST(Recognition, ChainOrderDecidesNesting) {
  // Output down: the third MOSFET joins the existing product without new parentheses.
  Branch* down = branch_of({{"M1", "out", "A", "x"}, {"M2", "x", "B", "y"}, {"M3", "y", "C", "GND"}}, "out");
  recognition::branch_recognition(down, "VDD", "GND", "N_Model_", "msg\n");
  EXPECT_STREQ(down->mos_list->g, "~(a & b & c)");
  EXPECT_STREQ(down->headername, "NAND3");
  Branch* up = branch_of({{"M3", "y", "C", "GND"}, {"M2", "x", "B", "y"}, {"M1", "out", "A", "x"}}, "out");
  recognition::branch_recognition(up, "VDD", "GND", "N_Model_", "msg\n");
  EXPECT_STREQ(up->headername, "NAND3");
  Branch* par = branch_of({{"M1", "VDD", "A", "out"}, {"M2", "out", "A", "VDD"}}, "out");
  recognition::branch_recognition(par, "VDD", "GND", "P_Model_", "msg\n");
  EXPECT_STREQ(par->mos_list->g, "~(a | b)");
  EXPECT_EQ(letters(par), "A=a A=b ");
}

}  // namespace
