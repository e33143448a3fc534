#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classic/algo/list_ops.h"
#include "classic/algo/tables.h"
#include "classic/match/network_dump.h"
#include "flat_pipeline.h"

namespace {

// What the stages printed and the gate network, then the gate count, the
// transmission-gate numbers used and records made, the gates whose branches
// read other inputs, the left-over MOSFETs and the ports.
std::string shown(const FlatRun& r) {
  std::string unmatched;
  for (int k = 0; k < num_of_gates; ++k)
    if (!hash_gate_list[k]->pn_input_match) unmatched += " " + std::string(hash_gate_list[k]->gatename);
  return r.out + dump_gate_network() + "gates=" + std::to_string(num_of_gates) + " trans=" +
         std::to_string(num_of_trans) + "/" + std::to_string(lists::count(TransHead)) + " unmatched=" + unmatched +
         " left=" + names(r.group->left_transistor_list) + " ports=" + names(InputHead) + "/" + names(OutputHead) +
         "\n";
}

// A NAND (NOR) of k inputs: k MOSFETs in series from y down to the rail,
// listed from y or from the rail, and k in parallel.
std::string series_parallel(int k, bool from_y, bool nand) {
  const char* rail = nand ? "gnd" : "vdd";
  std::string cards;
  for (int i = 0; i < k; ++i) {
    int j = from_y ? i : k - 1 - i;
    cards += "Ms" + std::to_string(j) + (j ? " x" + std::to_string(j) : " y") + " " + "ABCDEFG"[j] + " " +
             (j == k - 1 ? rail : "x" + std::to_string(j + 1)) + " " + rail + (nand ? " nmos\n" : " pmos\n");
  }
  for (int j = 0; j < k; ++j)
    cards += "Mp" + std::to_string(j + 10) + " y " + "ABCDEFG"[j] + (nand ? " vdd vdd pmos\n" : " gnd gnd nmos\n");
  return cards;
}

struct Scenario {
  const char* what;
  std::string cards;
  const char* run;                                              // shown()
  std::vector<std::pair<const char*, const char*>> nodes = {};  // name, node_text()
  std::vector<std::pair<int, const char*>> mos = {};            // number, "drain,source" and " in branch" if so
};

const Scenario kScenarios[] = {
    {"an inverter chain; in1 feeds gate0 but is no pn node",
     "M1 mid2 in1 vdd vdd pmos\nM2 mid2 in1 gnd gnd nmos\nM3 out3 mid2 vdd vdd pmos\nM4 out3 mid2 gnd gnd nmos\n",
     "num n branchs2 num p branches 2\nvalid n branchs2 heihei valid p branches 2\ngate gate0 cmos INV INV out=mid2 "
     "in=in1\ngate gate1 cmos INV INV out=out3 in=mid2\ngates=2 trans=0/0 unmatched= left= ports=/\n",
     {{"mid2", "M1:D M2:D M3:G M4:G pn out=gate0 in=gate1 inputs=1"}, {"in1", "M1:G M2:G in=gate0"}}},
    {"AOI, transmission gate, pseudo NOR: numbered outputs first, then others as met; inputs in letter order",
     ".subckt chip A B C en q z\nM11 out A y vdd pmos\nM12 out B y vdd pmos\nM13 y C vdd vdd pmos\n"
     "M14 out A m15 gnd nmos\nM16 out C gnd gnd nmos\nM15 m15 B gnd gnd nmos\nM21 n2 out vdd vdd pmos\n"
     "M22 n2 out gnd gnd nmos\nM31 n2 s n3 vdd pmos\nM32 n2 sb n3 gnd nmos\nM41 q n3 vdd vdd pmos\n"
     "M42 q n3 gnd gnd nmos\nM51 z en vdd vdd pmos\nM52 z A gnd gnd nmos\nM53 z B gnd gnd nmos\n",
     "num n branchs6 num p branches 4\nvalid n branchs4 heihei valid p branches 4\ngate gate0 cmos INV INV out=n2 "
     "in=out\ngate gate1 cmos AOI12 OAI12 out=out in=B,A,C\ngate gate2 pseudo NOR2 INV out=z in=B,en,A\n"
     "gate gate3 cmos INV INV out=q in=n3\ntrans trans0 in=n2 out=n3 n=sb p=s\n"
     "gates=4 trans=1/1 unmatched= gate2 left= ports=chip en C B A/z q\n",
     {{"n3", "M42:G M31:S M32:S M41:G pn in=gate3 inputs=2 tout=trans0"},
      {"n2", "M32:D M21:D M22:D M31:D pn out=gate0 inputs=1 tin=trans0"}, {"A", "M11:G M14:G M52:G in=gate1,gate2"}}},
    {"a pseudo-NMOS load whose gate sits on ground seeds no pull-down; a p-only net stands behind the first",
     "M1 n1 a gnd gnd nmos\nM2 n1 b gnd gnd nmos\nM3 n1 gnd vdd vdd pmos\nM4 w n1 gnd gnd nmos\nM5 w n1 vdd vdd pmos\n",
     "num n branchs3 num p branches 2\nvalid n branchs2 heihei valid p branches 2\ngate gate0 pseudo NOR2 INV "
     "out=n1 in=a,gnd,b\ngate gate1 cmos INV INV out=w in=n1\ngates=2 trans=0/0 unmatched= gate0 left= ports=/\n"},
    // M5 turns round so its gate-driving side is the source; M5 and M7 match
    // first (same type: a number, no record), then M5 and M6 form trans1.
    {"parallel pass transistors leave counter gaps",
     "M1 n1 a vdd vdd pmos\nM2 n1 a gnd gnd nmos\nM3 n2 b vdd vdd pmos\nM4 n2 b gnd gnd nmos\n"
     "M8 y9 n2 vdd vdd pmos\nM9 y9 n2 gnd gnd nmos\nM5 n2 s n1 gnd nmos\nM6 n1 t n2 vdd pmos\nM7 n1 u n2 gnd nmos\n",
     "num n branchs3 num p branches 3\nvalid n branchs3 heihei valid p branches 3\ngate gate0 cmos INV INV out=n1 "
     "in=a\ngate gate1 cmos INV INV out=n2 in=b\ngate gate2 cmos INV INV out=y9 in=n2\n"
     "trans trans1 in=n1 out=n2 n=s p=t\ngates=3 trans=2/1 unmatched= left=M7 ports=/\n",
     {{"n2", "M7:S M3:D M4:D M8:G M9:G M5:D M6:S pn out=gate1 in=gate2 inputs=2 tout=trans1"},
      {"n1", "M1:D M2:D M5:S M6:D M7:D pn out=gate0 inputs=1 tin=trans1"}},
     {{5, "n1,n2"}}},
    {"a wired node: one branch on it",
     "M1 n2 b4 gnd gnd nmos\nM2 n2 b4 vdd vdd pmos\nM3 n1 a3 gnd gnd nmos\nM4 n1 c5 n2 vdd pmos\n"
     "M5 y6 n1 gnd gnd nmos\nM6 y6 n1 vdd vdd pmos\n",
     "num n branchs3 num p branches 2\nvalid n branchs3 heihei valid p branches 2\n"
     "It's wired, because there is only one branch connected with pn_node\ngate gate0 cmos INV INV out=n2 in=b4\n"
     "gate gate1 cmos INV INV out=y6 in=n1\ngates=2 trans=0/0 unmatched= left=M4 ports=/\n",
     {{"n1", "M6:G M3:D M4:D M5:G pn in=gate1 inputs=1"}}},
    {"seven in series and in parallel: a gate without type or inputs, silent", series_parallel(7, true, true),
     "num n branchs1 num p branches 7\nvalid n branchs1 heihei valid p branches 1\n"
     "gate gate0 pseudo - - out=y in=\ngates=1 trans=0/0 unmatched= left= ports=/\n"},
    {"no p-channel MOSFET", "M1 y a x gnd nmos\nM2 x b gnd gnd nmos\n",
     "num n branchs0 num p branches 0\nvalid n branchs0 heihei valid p branches 0\n"
     "gates=0 trans=0/0 unmatched= left=M1 M2 ports=/\n"},
    {"no n-channel MOSFET: the supply leaves the ports", ".subckt top a vdd\nM1 y a vdd vdd pmos\n",
     "num n branchs0 num p branches 0\nvalid n branchs0 heihei valid p branches 0\n"
     "gates=0 trans=0/0 unmatched= left=M1 ports=top a/\n"},
    {"a MOSFET straight across the rails grows no branch of its own",
     "M1 y a vdd vdd pmos\nM2 y a gnd gnd nmos\nM3 vdd c gnd gnd nmos\nM4 gnd d vdd vdd pmos\n",
     "num n branchs1 num p branches 1\nvalid n branchs1 heihei valid p branches 1\n"
     "gate gate0 cmos INV INV out=y in=a\ngates=1 trans=0/0 unmatched= left= ports=/\n",
     {}, {{3, "vdd,gnd"}, {4, "gnd,vdd"}}},
    {"a pull-up reading a net its pull-down does not is no complement; the same inputs in another order are",
     "M1 y a x1 gnd nmos\nM2 x1 b gnd gnd nmos\nM3 y a vdd vdd pmos\nM4 y c vdd vdd pmos\nM5 z y gnd gnd nmos\n"
     "M6 z y vdd vdd pmos\nM7 w z x2 gnd nmos\nM8 x2 a gnd gnd nmos\nM10 w z vdd vdd pmos\nM9 w a vdd vdd pmos\n",
     "num n branchs3 num p branches 5\nvalid n branchs3 heihei valid p branches 3\ngate gate0 pseudo NAND2 NOR2 "
     "out=y in=a,c,b\ngate gate1 cmos NAND2 NOR2 out=w in=a,z\ngate gate2 cmos INV INV out=z in=y\n"
     "gates=3 trans=0/0 unmatched= gate0 left= ports=/\n"},
};

TEST(FlatScenario, Table) {
  for (const Scenario& c : kScenarios) {
    SCOPED_TRACE(c.what);
    FlatRun r = run_flat(c.cards);
    EXPECT_EQ(shown(r), c.run);
    for (auto [name, want] : c.nodes) EXPECT_EQ(node_text(r.node(name)), want) << name;
    for (auto [number, want] : c.mos) {
      MOSLIST* m = hash_mos_list.get(number);
      EXPECT_EQ(std::string(m->d) + "," + m->s + (m->in_branch ? " in branch" : ""), want) << number;
    }
  }
}

// One gate of k one-letter inputs ("A,B,C\n"), whichever way round the chain is listed.
TEST(FlatScenario, NandAndNorInBothChainOrders) {
  for (int k = 2; k <= 4; ++k)
    for (bool from_y : {true, false})
      for (bool nand : {true, false}) {
        run_flat(series_parallel(k, from_y, nand));
        std::string series = "NAND" + std::to_string(k), parallel = "NOR" + std::to_string(k);
        std::string types = nand ? series + " " + parallel : parallel + " " + series;
        std::string gate = "gate gate0 cmos " + types + " out=y in=";
        std::string dump = dump_gate_network();
        EXPECT_EQ(dump.substr(0, gate.size()) + std::to_string(dump.size() - gate.size()), gate + std::to_string(2 * k))
            << k << (nand ? " nand" : " nor") << (from_y ? " from y" : " from rail");
      }
}

TEST(FlatScenario, ManyUnnumberedNodesAndHugeNumbers) {
  auto name = [](int i) {
    std::string s = "w";
    for (; i; i /= 26) s += static_cast<char>('a' + i % 26);
    return s;
  };
  std::string cards;
  for (int i = 1; i <= 600; ++i)
    cards += "Mp" + std::to_string(i) + " " + name(i + 1) + " " + name(i) + " vdd vdd pmos\nMn" +
             std::to_string(i + 1000) + " " + name(i + 1) + " " + name(i) + " gnd gnd nmos\n";
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

}  // namespace
