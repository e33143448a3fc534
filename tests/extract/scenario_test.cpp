#include <gtest/gtest.h>

#include <string>

#include "flat_pipeline.h"

namespace {

const char* kWired = "It's wired, because there is only one branch connected with pn_node\n";

int count_of(const std::string& text, const std::string& piece) {
  int n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(FlatScenario, InverterChain) {
  FlatRun r = run_flat(
      "M1 mid2 in1 vdd vdd pmos\nM2 mid2 in1 gnd gnd nmos\n"
      "M3 out3 mid2 vdd vdd pmos\nM4 out3 mid2 gnd gnd nmos\n");
  EXPECT_EQ(r.out, "num n branchs2 num p branches 2\nvalid n branchs2 heihei valid p branches 2\n");
  ASSERT_EQ(num_of_gates, 2);
  CGate* g0 = hash_gate_list[0];
  EXPECT_STREQ(g0->gatename, "gate0");
  EXPECT_STREQ(g0->n_branch->headername, "INV");
  EXPECT_STREQ(g0->p_branch->headername, "INV");
  EXPECT_STREQ(g0->n_branch->mos_list->g, "~a");
  EXPECT_TRUE(g0->cmos_gate);
  EXPECT_EQ(FlatRun::names(g0->inlist), "in1");
  EXPECT_EQ(FlatRun::names(hash_gate_list[1]->inlist), "mid2");
  EXPECT_STREQ(r.node("mid2")->output_of_gate_name, "gate0");
  EXPECT_STREQ(r.node("out3")->output_of_gate_name, "gate1");
  EXPECT_EQ(FlatRun::names(r.node("mid2")->input_of_gate_list), "gate1");
  EXPECT_EQ(r.node("mid2")->num_of_inputs, 1);
  EXPECT_EQ(r.node("in1")->num_of_inputs, 0);  // feeds gate0 but is no pn node
  EXPECT_EQ(r.group->left_transistor_list, nullptr);
}

TEST(FlatScenario, NandAndNorInBothChainOrders) {
  const char* in[] = {"A", "B", "C", "D"};
  for (int k = 2; k <= 4; ++k) {
    for (bool from_output : {true, false}) {
      for (bool nand : {true, false}) {
        // The series side runs y, x1, ..., rail; the parallel side joins y and its rail.
        std::string chain, fan;
        const char* srail = nand ? "gnd" : "vdd";
        const char* prail = nand ? "vdd" : "gnd";
        for (int i = 0; i < k; ++i) {
          int j = from_output ? i : k - 1 - i;
          std::string top = j == 0 ? "y" : "x" + std::to_string(j);
          std::string bottom = j == k - 1 ? srail : "x" + std::to_string(j + 1);
          chain += "Ms" + std::to_string(j) + " " + top + " " + in[j] + " " + bottom + " " + srail + " " +
                   (nand ? "nmos" : "pmos") + "\n";
          fan += "Mp" + std::to_string(j + 10) + " y " + in[j] + " " + prail + " " + prail + " " + (nand ? "pmos" : "nmos") +
                 "\n";
        }
        FlatRun r = run_flat(chain + fan);
        std::string what = (nand ? "NAND" : "NOR") + std::to_string(k) + (from_output ? " down" : " up");
        ASSERT_EQ(num_of_gates, 1) << what;
        CGate* g = hash_gate_list[0];
        std::string series = "NAND" + std::to_string(k), parallel = "NOR" + std::to_string(k);
        EXPECT_STREQ(g->n_branch->headername, (nand ? series : parallel).c_str()) << what;
        EXPECT_STREQ(g->p_branch->headername, (nand ? parallel : series).c_str()) << what;
        EXPECT_TRUE(g->cmos_gate) << what;
        EXPECT_EQ(g->n_branch->num_of_mos, k) << what;
        EXPECT_EQ(count_of(FlatRun::names(g->inlist), " ") + 1, k) << what;
      }
    }
  }
}

TEST(FlatScenario, AoiWithTransmissionGateAndPseudoNor) {
  FlatRun r = run_flat(
      ".subckt chip A B C en q z\n"
      "M11 out A y vdd pmos\nM12 out B y vdd pmos\nM13 y C vdd vdd pmos\n"
      "M14 out A m15 gnd nmos\nM16 out C gnd gnd nmos\nM15 m15 B gnd gnd nmos\n"
      "M21 n2 out vdd vdd pmos\nM22 n2 out gnd gnd nmos\n"
      "M31 n2 s n3 vdd pmos\nM32 n2 sb n3 gnd nmos\n"
      "M41 q n3 vdd vdd pmos\nM42 q n3 gnd gnd nmos\n"
      "M51 z en vdd vdd pmos\nM52 z A gnd gnd nmos\nM53 z B gnd gnd nmos\n");
  EXPECT_EQ(r.out, "num n branchs6 num p branches 4\nvalid n branchs4 heihei valid p branches 4\n");
  ASSERT_EQ(num_of_gates, 4);
  // Numbered outputs first, then unnumbered ones in the order first met.
  EXPECT_STREQ(r.node("n2")->output_of_gate_name, "gate0");
  EXPECT_STREQ(r.node("out")->output_of_gate_name, "gate1");
  EXPECT_STREQ(r.node("z")->output_of_gate_name, "gate2");
  EXPECT_STREQ(r.node("q")->output_of_gate_name, "gate3");
  CGate* aoi = hash_gate_list[1];
  EXPECT_STREQ(aoi->n_branch->headername, "AOI12");
  EXPECT_STREQ(aoi->p_branch->headername, "OAI12");
  EXPECT_TRUE(aoi->cmos_gate);
  EXPECT_EQ(FlatRun::letters(aoi->n_branch), "B=a C=c A=b");
  EXPECT_EQ(FlatRun::names(aoi->inlist), "B A C");
  EXPECT_EQ(aoi->p_branch->num_of_mos, 3);
  CGate* pseudo = hash_gate_list[2];
  EXPECT_STREQ(pseudo->n_branch->headername, "NOR2");
  EXPECT_FALSE(pseudo->cmos_gate);  // 2 against 1 MOSFET
  EXPECT_EQ(FlatRun::names(pseudo->inlist), "B en A");  // a p-only net stands behind the first
  ASSERT_EQ(num_of_trans, 1);
  TRANSLIST* t = hash_trans_list.get(0);
  ASSERT_NE(t, nullptr);
  EXPECT_STREQ(t->transname, "trans0");
  EXPECT_STREQ(t->input, "n2");
  EXPECT_STREQ(t->output, "n3");
  EXPECT_STREQ(t->p_g, "s");
  EXPECT_STREQ(t->n_g, "sb");
  EXPECT_STREQ(r.node("n3")->output_of_trans_name, "trans0");
  EXPECT_EQ(r.node("n3")->num_of_inputs, 2);  // q's gate and the transmission gate
  EXPECT_EQ(r.node("n2")->num_of_inputs, 1);
  EXPECT_EQ(FlatRun::names(r.node("A")->input_of_gate_list), "gate1 gate2");
}

TEST(FlatScenario, PseudoNmosLoadWithGateOnGround) {
  FlatRun r = run_flat(
      "M1 n1 a gnd gnd nmos\nM2 n1 b gnd gnd nmos\nM3 n1 gnd vdd vdd pmos\n"
      "M4 w n1 gnd gnd nmos\nM5 w n1 vdd vdd pmos\n");
  // The load's gate sits on ground, yet it seeds no pull-down.
  EXPECT_EQ(r.out, "num n branchs3 num p branches 2\nvalid n branchs2 heihei valid p branches 2\n");
  ASSERT_EQ(num_of_gates, 2);
  CGate* nor = hash_gate_list[0];
  EXPECT_STREQ(nor->n_branch->pn_node, "n1");
  EXPECT_STREQ(nor->n_branch->headername, "NOR2");
  EXPECT_STREQ(nor->p_branch->headername, "INV");
  EXPECT_STREQ(nor->p_branch->mos_list->mosname, "M3");
  EXPECT_FALSE(nor->cmos_gate);
  EXPECT_EQ(FlatRun::names(nor->inlist), "a gnd b");
  EXPECT_TRUE(hash_gate_list[1]->cmos_gate);
}

TEST(FlatScenario, ParallelPassTransistorsLeaveCounterGaps) {
  FlatRun r = run_flat(
      "M1 n1 a vdd vdd pmos\nM2 n1 a gnd gnd nmos\nM3 n2 b vdd vdd pmos\nM4 n2 b gnd gnd nmos\n"
      "M8 y9 n2 vdd vdd pmos\nM9 y9 n2 gnd gnd nmos\n"
      "M5 n2 s n1 gnd nmos\nM6 n1 t n2 vdd pmos\nM7 n1 u n2 gnd nmos\n");
  // M5 turns round so its gate-driving side is the source; M5 and M7 match
  // first (same type: a number, no record), then M5 and M6 form trans1.
  ASSERT_EQ(num_of_trans, 2);
  EXPECT_EQ(hash_trans_list.get(0), nullptr);
  TRANSLIST* t = hash_trans_list.get(1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(TransHead, t);
  EXPECT_EQ(t->next, nullptr);
  EXPECT_STREQ(t->input, "n1");
  EXPECT_STREQ(t->output, "n2");
  EXPECT_STREQ(t->p_g, "t");
  EXPECT_STREQ(t->n_g, "s");
  EXPECT_STREQ(hash_mos_list.get(5)->d, "n1");
  ASSERT_NE(r.group->left_transistor_list, nullptr);
  EXPECT_STREQ(r.group->left_transistor_list->mosname, "M7");
  EXPECT_EQ(r.group->left_transistor_list->next, nullptr);
  EXPECT_STREQ(r.node("n2")->output_of_trans_name, "trans1");
  EXPECT_STREQ(r.node("n1")->input_of_trans_name, "trans1");
}

TEST(FlatScenario, WiredNodeAndLargeOrOddBranches) {
  FlatRun wired = run_flat(
      "M1 n2 b4 gnd gnd nmos\nM2 n2 b4 vdd vdd pmos\nM3 n1 a3 gnd gnd nmos\nM4 n1 c5 n2 vdd pmos\n"
      "M5 y6 n1 gnd gnd nmos\nM6 y6 n1 vdd vdd pmos\n");
  EXPECT_EQ(count_of(wired.out, kWired), 1);
  EXPECT_EQ(num_of_gates, 2);
  EXPECT_EQ(wired.node("n1")->output_of_gate_name, nullptr);
  EXPECT_STREQ(wired.group->left_transistor_list->mosname, "M4");

  // Seven in series and seven in parallel: a gate without a type or inputs.
  std::string seven;
  for (int i = 0; i < 7; ++i) {
    std::string g = "i" + std::to_string(i + 10), top = i ? "x" + std::to_string(i) : "y";
    std::string bottom = i < 6 ? "x" + std::to_string(i + 1) : "gnd";
    seven += "Mn" + std::to_string(i) + " " + top + " " + g + " " + bottom + " gnd nmos\n";
    seven += "Mp" + std::to_string(i + 20) + " y " + g + " vdd vdd pmos\n";
  }
  FlatRun big = run_flat(seven);
  EXPECT_EQ(count_of(big.out, "can't handle"), 0);
  ASSERT_EQ(num_of_gates, 1);
  EXPECT_EQ(hash_gate_list[0]->n_branch->num_of_mos, 7);
  EXPECT_EQ(hash_gate_list[0]->n_branch->headername, nullptr);
  EXPECT_FALSE(hash_gate_list[0]->cmos_gate);
  EXPECT_EQ(hash_gate_list[0]->inlist, nullptr);

  // An AOI211 whose product is met first reads as an expression outside the table.
  FlatRun odd = run_flat(
      "M2 x B gnd gnd nmos\nM1 out A x gnd nmos\nM3 out C gnd gnd nmos\nM4 out D gnd gnd nmos\n"
      "M5 out A z vdd pmos\nM6 out B z vdd pmos\nM7 z C w vdd pmos\nM8 w D vdd vdd pmos\n");
  EXPECT_EQ(count_of(odd.out, "This n_branch contains more than 7 mosfets, can't handle\n"
                              "Branch name = N_Model_a, Logic function is: \n"),
            1);
  EXPECT_EQ(count_of(odd.out, "Branch name = P_Model_a, Logic function is: \n"), 1);
  EXPECT_STREQ(hash_gate_list[0]->n_branch->mos_list->g, "~~((c & d) | (a | b))");
  EXPECT_EQ(hash_gate_list[0]->n_branch->greatthan4, 1);
}

TEST(FlatScenario, GateNumbersFollowNodeIndexes) {
  FlatRun r = run_flat(
      "M1 zz y7 vdd vdd pmos\nM2 zz y7 gnd gnd nmos\n"
      "M3 y7 3 vdd vdd pmos\nM4 y7 3 gnd gnd nmos\n"
      "M5 3 a vdd vdd pmos\nM6 3 b vdd vdd pmos\nM7 3 a x9 gnd nmos\nM8 x9 b gnd gnd nmos\n");
  EXPECT_STREQ(r.node("3")->output_of_gate_name, "gate0");
  EXPECT_STREQ(r.node("out3")->output_of_gate_name, "gate0");  // same number, same node
  EXPECT_STREQ(r.node("y7")->output_of_gate_name, "gate1");
  EXPECT_STREQ(r.node("zz")->output_of_gate_name, "gate2");
  EXPECT_STREQ(hash_gate_list[0]->n_branch->headername, "NAND2");
}

TEST(FlatScenario, ManyUnnumberedNodesAndHugeNumbers) {
  auto name = [](int i) {
    std::string s = "w";
    for (; i; i /= 26) s += static_cast<char>('a' + i % 26);
    return s;
  };
  std::string cards;
  for (int i = 1; i <= 600; ++i) {
    cards += "Mp" + std::to_string(i) + " " + name(i + 1) + " " + name(i) + " vdd vdd pmos\n";
    cards += "Mn" + std::to_string(i + 1000) + " " + name(i + 1) + " " + name(i) + " gnd gnd nmos\n";
  }
  cards += "Mp700 n2147483000 " + name(601) + " vdd vdd pmos\nMn1700 n2147483000 " + name(601) + " gnd gnd nmos\n";
  FlatRun r = run_flat(cards);
  EXPECT_EQ(node_biggest, 2147483000);
  ASSERT_EQ(num_of_gates, 601);
  EXPECT_STREQ(hash_gate_list[0]->n_branch->pn_node, "n2147483000");
  // Met in list order: name(2), name(1), vdd, name(601), gnd, name(600) ... name(3),
  // so the last of the 603 names lies past the 499th and past the int range.
  EXPECT_EQ(flat_unnumbered_index(name(2).c_str()), 2147483000LL + 1);
  EXPECT_EQ(flat_unnumbered_index(name(3).c_str()), 2147483000LL + 603);
  EXPECT_STREQ(r.node(name(1).c_str())->nodename, name(1).c_str());
  for (int i = 1; i < num_of_gates; ++i) EXPECT_TRUE(hash_gate_list[i]->cmos_gate);
}

TEST(FlatScenario, MissingRailsAndRailToRailMosfets) {
  FlatRun n_only = run_flat("M1 y a x gnd nmos\nM2 x b gnd gnd nmos\n");
  EXPECT_EQ(n_only.out, "num n branchs0 num p branches 0\nvalid n branchs0 heihei valid p branches 0\n");
  EXPECT_EQ(num_of_gates, 0);
  FlatRun p_only = run_flat(".subckt top a vdd\nM1 y a vdd vdd pmos\n");
  EXPECT_EQ(num_of_gates, 0);
  EXPECT_EQ(OutputHead, nullptr);
  ASSERT_NE(InputHead->next, nullptr);  // the supply left the ports, the input stays
  EXPECT_STREQ(InputHead->next->pinname, "a");
  EXPECT_EQ(InputHead->next->next, nullptr);

  // A MOSFET straight across the rails grows no branch of its own.
  FlatRun across = run_flat(
      "M1 y a vdd vdd pmos\nM2 y a gnd gnd nmos\nM3 vdd c gnd gnd nmos\nM4 gnd d vdd vdd pmos\n");
  EXPECT_EQ(across.out, "num n branchs1 num p branches 1\nvalid n branchs1 heihei valid p branches 1\n");
  EXPECT_EQ(num_of_gates, 1);
  EXPECT_FALSE(hash_mos_list.get(3)->in_branch);
  EXPECT_FALSE(hash_mos_list.get(4)->in_branch);
}

}  // namespace
