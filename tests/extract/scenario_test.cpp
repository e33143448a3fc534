#include <gtest/gtest.h>

#include <string>

#include "classic/algo/tables.h"
#include "classic/match/network_dump.h"
#include "classic/messages/messages.h"
#include "flat_pipeline.h"

namespace {

const char* kWired = msg::kWiredOneBranch;

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
  EXPECT_EQ(std::string(g0->gatename) + g0->n_branch->headername + g0->p_branch->headername, "gate0INVINV");
  EXPECT_TRUE(g0->cmos_gate);
  EXPECT_EQ(names(g0->inlist), "in1");
  EXPECT_STREQ(r.node("mid2")->output_of_gate_name, "gate0");
  EXPECT_EQ(names(r.node("mid2")->input_of_gate_list.list()), "gate1");
  EXPECT_EQ(r.node("mid2")->num_of_inputs, 1);
  EXPECT_EQ(r.node("in1")->num_of_inputs, 0);  // feeds gate0 but is no pn node
}

// k MOSFETs in series from y down to `rail`, listed from y or from the rail.
std::string chain(int k, bool from_y, const char* rail, const char* model) {
  std::string cards;
  for (int i = 0; i < k; ++i) {
    int j = from_y ? i : k - 1 - i;
    cards += "Ms" + std::to_string(j) + (j ? " x" + std::to_string(j) : " y") + " " + "ABCD"[j] + " " +
             (j == k - 1 ? rail : "x" + std::to_string(j + 1)) + " " + rail + " " + model + "\n";
  }
  return cards;
}

TEST(FlatScenario, NandAndNorInBothChainOrders) {
  for (int k = 2; k <= 4; ++k)
    for (bool from_y : {true, false})
      for (bool nand : {true, false}) {
        std::string cards = nand ? chain(k, from_y, "gnd", "nmos") : chain(k, from_y, "vdd", "pmos");
        for (int j = 0; j < k; ++j)
          cards += "Mp" + std::to_string(j + 10) + " y " + "ABCD"[j] + (nand ? " vdd vdd pmos\n" : " gnd gnd nmos\n");
        run_flat(cards);
        std::string what = std::to_string(k) + (nand ? " nand" : " nor") + (from_y ? " from y" : " from rail");
        ASSERT_EQ(num_of_gates, 1) << what;
        CGate* g = hash_gate_list[0];
        std::string series = "NAND" + std::to_string(k), parallel = "NOR" + std::to_string(k);
        EXPECT_EQ(g->n_branch->headername, nand ? series : parallel) << what;
        EXPECT_EQ(g->p_branch->headername, nand ? parallel : series) << what;
        EXPECT_TRUE(g->cmos_gate) << what;
        EXPECT_EQ(names(g->inlist).size(), 2u * k - 1) << what;  // k one-letter nets
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
  EXPECT_EQ(std::string(aoi->n_branch->headername) + aoi->p_branch->headername, "AOI12OAI12");
  EXPECT_TRUE(aoi->cmos_gate);
  EXPECT_EQ(letters(aoi->n_branch), "B=a C=c A=b");
  EXPECT_EQ(names(aoi->inlist), "B A C");  // letter order
  EXPECT_FALSE(hash_gate_list[2]->cmos_gate);  // pseudo NOR: 2 against 1 MOSFET
  ASSERT_EQ(num_of_trans, 1);
  TRANSLIST* t = hash_trans_list.get(0);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(std::string(t->transname) + t->input + t->output + t->p_g + t->n_g, "trans0n2n3ssb");
  EXPECT_EQ(r.node("n3")->num_of_inputs, 2);  // q's gate and the transmission gate
  EXPECT_EQ(r.node("n2")->num_of_inputs, 1);
  EXPECT_EQ(names(r.node("A")->input_of_gate_list.list()), "gate1 gate2");
}

TEST(FlatScenario, PseudoNmosLoadWithGateOnGround) {
  FlatRun r = run_flat(
      "M1 n1 a gnd gnd nmos\nM2 n1 b gnd gnd nmos\nM3 n1 gnd vdd vdd pmos\n"
      "M4 w n1 gnd gnd nmos\nM5 w n1 vdd vdd pmos\n");
  // The load's gate sits on ground, yet it seeds no pull-down.
  EXPECT_EQ(r.out, "num n branchs3 num p branches 2\nvalid n branchs2 heihei valid p branches 2\n");
  ASSERT_EQ(num_of_gates, 2);
  CGate* nor = hash_gate_list[0];
  EXPECT_EQ(std::string(nor->n_branch->headername) + nor->p_branch->headername, "NOR2INV");
  EXPECT_STREQ(nor->p_branch->mos_list->mosname, "M3");
  EXPECT_FALSE(nor->cmos_gate);
  EXPECT_EQ(names(nor->inlist), "a gnd b");  // a p-only net stands behind the first
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
  ASSERT_TRUE(t && TransHead == t && !t->next);
  EXPECT_EQ(std::string(t->input) + t->output + t->p_g + t->n_g, "n1n2ts");
  EXPECT_STREQ(hash_mos_list.get(5)->d, "n1");
  MOSLIST* left = r.group->left_transistor_list;
  EXPECT_TRUE(left && !left->next && std::string(left->mosname) == "M7");
  EXPECT_STREQ(r.node("n2")->output_of_trans_name, "trans1");
  EXPECT_STREQ(r.node("n1")->input_of_trans_name, "trans1");
}

TEST(FlatScenario, WiredNodeAndSevenMosfetBranch) {
  FlatRun wired = run_flat(
      "M1 n2 b4 gnd gnd nmos\nM2 n2 b4 vdd vdd pmos\nM3 n1 a3 gnd gnd nmos\nM4 n1 c5 n2 vdd pmos\n"
      "M5 y6 n1 gnd gnd nmos\nM6 y6 n1 vdd vdd pmos\n");
  EXPECT_EQ(count_of(wired.out, kWired), 1);
  EXPECT_EQ(num_of_gates, 2);
  EXPECT_EQ(wired.node("n1")->output_of_gate_name, nullptr);
  EXPECT_STREQ(wired.group->left_transistor_list->mosname, "M4");

  // Seven in series and seven in parallel: a gate without a type or inputs.
  std::string seven;
  for (int j = 0; j < 7; ++j)
    seven += "Mn" + std::to_string(j) + (j ? " x" + std::to_string(j) : " y") + " " + "ABCDEFG"[j] +
             (j < 6 ? " x" + std::to_string(j + 1) : " gnd") + " gnd nmos\nMp" + std::to_string(j + 10) + " y " +
             "ABCDEFG"[j] + " vdd vdd pmos\n";
  FlatRun big = run_flat(seven);
  EXPECT_EQ(count_of(big.out, "can't handle"), 0);
  ASSERT_EQ(num_of_gates, 1);
  EXPECT_FALSE(hash_gate_list[0]->cmos_gate);
  EXPECT_EQ(hash_gate_list[0]->inlist, nullptr);
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
}

TEST(FlatScenario, MissingRailsAndRailToRailMosfets) {
  FlatRun n_only = run_flat("M1 y a x gnd nmos\nM2 x b gnd gnd nmos\n");
  EXPECT_EQ(n_only.out, "num n branchs0 num p branches 0\nvalid n branchs0 heihei valid p branches 0\n");
  EXPECT_EQ(num_of_gates, 0);
  FlatRun p_only = run_flat(".subckt top a vdd\nM1 y a vdd vdd pmos\n");
  EXPECT_EQ(num_of_gates, 0);
  EXPECT_TRUE(InputHead->next && !InputHead->next->next);  // the supply left the ports

  // A MOSFET straight across the rails grows no branch of its own.
  FlatRun across = run_flat(
      "M1 y a vdd vdd pmos\nM2 y a gnd gnd nmos\nM3 vdd c gnd gnd nmos\nM4 gnd d vdd vdd pmos\n");
  EXPECT_EQ(across.out, "num n branchs1 num p branches 1\nvalid n branchs1 heihei valid p branches 1\n");
  EXPECT_EQ(num_of_gates, 1);
  EXPECT_FALSE(hash_mos_list.get(3)->in_branch);
  EXPECT_FALSE(hash_mos_list.get(4)->in_branch);
}

// Cards are filed first, then last to second, so the seeds on gnd come in
// card order here. A second card of a name is left off a node that the first
// one touches: y (x) sees r1 (s) but not the other way round, so what a
// failed walk passed says little about y (x).
TEST(FlatScenario, FailedWalksAreRememberedExactly) {
  // The walk from s meets vdd after passing x; x grows its branch to out.
  FlatRun r = run_flat(
      "M2 s b gnd gnd nmos\nM1 s a x gnd nmos\nM3 s c vdd gnd nmos\nM4 x d gnd gnd nmos\n"
      "M5 out e x gnd nmos\nM6 out f vdd vdd pmos\nM1 q x r gnd nmos\n");
  EXPECT_EQ(r.out.find("num n branchs1 num p branches 1\n"), 0u);
  // r1 leads to no output; the walk from y passes it by, finds out, and the
  // branch then takes everything behind r1 too.
  r = run_flat(
      "M1 r1 a gnd gnd nmos\nM7 y d r1 gnd nmos\nM2 y e gnd gnd nmos\nM5 out f y gnd nmos\n"
      "M6 out g vdd vdd pmos\nM9 r2 c r3 gnd nmos\nM8 r1 b r2 gnd nmos\nM7 q r1 qq gnd nmos\n");
  ASSERT_NE(r.group->n_branch_list, nullptr);
  EXPECT_EQ(r.group->n_branch_list->num_of_mos, 6);
}

// Networks a walk from every seed would cover anew, and thousands of cards
// of one name: n-channel MOSFETs in parallel on an undriven net, a chain
// with a seed at every node, a chain of cards named Mx. Within the time limit
// only when each costs linear time.
TEST(FlatScenario, LargeNetworksWithoutOutputs) {
  std::string cards = "M1 y a gnd gnd nmos\nM2 y a vdd vdd pmos\n";
  for (int i = 10; i < 50010; ++i) {
    auto n = [i](const char* prefix, int offset) { return prefix + std::to_string(i + offset); };
    cards += n("M", 0) + " w" + n(" a", 0) + " gnd gnd nmos\n" + n("M", 100000) + n(" c", 100000) + " a" +
             n(" c", 100001) + " gnd nmos\n" + n("M", 200000) + n(" c", 100000) + " a gnd gnd nmos\nMx" +
             n(" x", 200001) + " a" + n(" x", 200000) + " b nmos\n";
  }
  run_flat(cards);
  EXPECT_EQ(num_of_gates, 1);
}

// Gates are paired by their types; a pull-up reading a net its pull-down does
// not is still no complement.
TEST(FlatScenario, PullUpOnOtherInputsIsPseudo) {
  FlatRun r = run_flat(
      "M1 y a x1 gnd nmos\nM2 x1 b gnd gnd nmos\nM3 y a vdd vdd pmos\nM4 y c vdd vdd pmos\n"
      "M5 z y gnd gnd nmos\nM6 z y vdd vdd pmos\n"
      "M7 w z x2 gnd nmos\nM8 x2 a gnd gnd nmos\nM10 w z vdd vdd pmos\nM9 w a vdd vdd pmos\n");
  EXPECT_EQ(r.out, "num n branchs3 num p branches 5\nvalid n branchs3 heihei valid p branches 3\n");
  ASSERT_EQ(num_of_gates, 3);
  auto gate_of = [&r](const char* out) { return hash_gate_list[return_number(r.node(out)->output_of_gate_name)]; };
  CGate* odd = gate_of("y");
  EXPECT_EQ(std::string(odd->n_branch->headername) + odd->p_branch->headername, "NAND2NOR2");
  EXPECT_FALSE(odd->pn_input_match);
  EXPECT_FALSE(odd->cmos_gate);
  EXPECT_EQ(names(odd->inlist), "a c b");
  // The same inputs, in whatever order the pull-up lists them, still match.
  for (const char* out : {"z", "w"}) {
    EXPECT_TRUE(gate_of(out)->pn_input_match) << out;
    EXPECT_TRUE(gate_of(out)->cmos_gate) << out;
  }
}

}  // namespace

// A whole extraction in one comparison: a NAND2 into an inverter, a
// transmission gate behind it and a pseudo-NMOS inverter.
TEST(FlatScenario, WholeNetworkDump) {
  run_flat(
      "M1 y1 a2 x3 gnd nmos\nM2 x3 b4 gnd gnd nmos\nM3 y1 a2 vdd vdd pmos\nM4 y1 b4 vdd vdd pmos\n"
      "M5 z5 y1 gnd gnd nmos\nM6 z5 y1 vdd vdd pmos\n"
      "M7 z5 s6 t7 gnd nmos\nM8 z5 sb8 t7 vdd pmos\n"
      "M9 w9 t7 gnd gnd nmos\nM10 w9 gnd vdd vdd pmos\n");
  EXPECT_EQ(dump_gate_network(),
            "gate gate0 cmos NAND2 NOR2 out=y1 in=a2,b4\n"
            "gate gate1 cmos INV INV out=z5 in=y1\n"
            "gate gate2 pseudo INV INV out=w9 in=t7,gnd\n"
            "trans trans0 in=z5 out=t7 n=s6 p=sb8\n");
}
