// Occurrences of one cell: what counts as one, and what the search costs.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "profile/cellmatch/occurrence_search.h"
#include "tests/cellmatch/builder.h"

using namespace cellmatch;

namespace {

struct Found {
  build::Graph circuit, cell;
  std::vector<Occurrence> all;
  SearchStats stats;
  SearchPlan::Status status = SearchPlan::Status::Ready;

  // The circuit net an occurrence puts a cell net on, and a circuit net.
  NetId at(std::size_t k, const std::string& cell_net) const { return all.at(k).nets[cell.nets.at(cell_net)]; }
  NetId net(const std::string& name) const { return circuit.nets.at(name); }
  // Occurrences found from different first gates may be one occurrence
  // seen through a symmetry of the cell: count gate sets.
  std::size_t distinct() const {
    std::set<std::vector<GateId>> sets;
    for (const Occurrence& o : all) {
      auto g = o.gates;
      std::sort(g.begin(), g.end());
      sets.insert(g);
    }
    return sets.size();
  }
};

Found find_cell(const std::string& circuit, const std::string& cell,
             std::uint64_t step_limit = OccurrenceSearch::kStepLimit) {
  Found f{build::Graph(circuit), build::Graph(cell), {}, {}};
  LabelIndex index(f.circuit.done());
  SearchPlan plan(f.cell.done(), f.circuit.g, index);
  f.status = plan.status();
  f.stats = OccurrenceSearch(f.circuit.g, index, step_limit).find(f.cell.g, plan, 0, f.all);
  return f;
}

}  // namespace

TEST(Soundness, OneCircuitGateNeverStandsForTwoCellGates) {
  // A cell fanning one input out through two NANDs; the circuit is the same
  // network, so A and B must land on distinct nets.
  Found f = find_cell("ports a21 a22 a23 n6; INV a21 > n1; NAND2 n1 a22 > n2; NAND2 n1 a23 > n3; INV n2 > n4;"
                   "INV n3 > n5; NAND2 n4 n5 > n6",
                   "ports IN A B OUT; INV IN > n1; NAND2 n1 A > n2; NAND2 n1 B > n3; INV n2 > n4; INV n3 > n5;"
                   "NAND2 n4 n5 > OUT");
  ASSERT_EQ(f.distinct(), 1u);
  EXPECT_NE(f.at(0, "A"), f.at(0, "B"));
  EXPECT_EQ(f.at(0, "IN"), f.net("a21"));
  std::vector<GateId> gates = f.all[0].gates;
  std::sort(gates.begin(), gates.end());
  EXPECT_EQ(std::unique(gates.begin(), gates.end()), gates.end());
}

// Whether a cell is found, and where its nets land when it is.
TEST(Soundness, OccurrencesOnlyWhereEveryRuleHolds) {
  const std::string inv2nand = "ports A B Y; INV A > n1; INV B > n2; NAND2 n1 n2 > Y",
                    in_inv2nand = "ports a b y; INV a > n1; INV b > n2; NAND2 n1 n2 > y";
  // x3 = ~((a1 & b2) | ~(a1 | b2)): the AND pair reads the NOR's inputs.
  const std::string aoi = "ports a1 b2 x3; NOR2 a1 b2 > n4; AOI21 a1 b2 | n4 > x3",
                    in_aoi = "ports in1 in2 in3 in4 out6; NOR2 in1 in2 > w5; INV n14 > out6; AOI21 ";
  const std::string railed = "ports A Y; ground VSS; NAND2 A VSS > Y";
  // A latch: D passes to x while GATE is high; x -> qb -> Q and Q back to x
  // while GATE is low.
  const std::string latch = "ports D GATE Q; INV GATE > gb; TG D x : GATE | gb; INV x > qb; INV qb > Q;"
                            "TG Q x : gb | GATE",
                    in_latch = "ports d en q; INV en > gb; INV x > qb; INV qb > q; TG q x : gb | en; TG ";
  const struct {
    std::string circuit, cell;
    std::size_t found;
    std::vector<std::pair<const char*, const char*>> lands = {};  // cell net, circuit net
  } rows[] = {
      {in_inv2nand, inv2nand, 1, {{"n1", "n1"}, {"Y", "y"}}},
      {in_inv2nand + "; INV n2 > z", inv2nand, 0},  // another gate reads an inside net
      {in_inv2nand + "; ports n1", inv2nand, 0},    // an inside net is a port
      {in_inv2nand + "; outside n1", inv2nand, 0},  // something that is no gate touches it
      {in_aoi + "in3 in4 | w5 > n14", aoi, 0},
      {in_aoi + "in2 in1 | w5 > n14", aoi, 1, {{"x3", "n14"}}},  // interchangeable inputs in the other order
      // Rails only onto rails of their kind; a signal net never onto a rail.
      {"ports a y; ground t; NAND2 a t > y", railed, 1},
      {"ports a y; supply t; NAND2 a t > y", railed, 0},
      {"ports a y t; NAND2 a t > y", railed, 0},
      {"ports y; ground g; INV g > y", "ports A Y; INV A > Y", 0},
      // Two gates that share only their inputs, which other gates also read.
      {"ports a b c; NAND2 a c > z0; NOR2 b c > z1; NOR2 b a > y2; INV a > z2; NAND2 a b > y1; NAND2 y1 y2 > z3",
       "ports A B Y1 Y2; NAND2 A B > Y1; NOR2 A B > Y2", 1, {{"Y1", "y1"}, {"Y2", "y2"}}},
      // One stage with two outputs (not interchangeable): a carry and a sum.
      {"ports x y z c s; FA x y z > c > s; INV c > k", "ports A B CI CO S; FA A B CI > CO > S", 1,
       {{"CO", "c"}, {"S", "s"}}},
      // A loop of transmission gates and inverters, a channel's ends swapped;
      // the controls are not interchangeable.
      {in_latch + "x d : en | gb; INV q > out", latch, 1, {{"D", "d"}, {"Q", "q"}}},
      {in_latch + "d x : gb | en", latch, 0},
  };
  for (const auto& row : rows) {
    Found f = find_cell(row.circuit, row.cell);
    ASSERT_EQ(f.all.size(), row.found) << row.circuit;
    for (auto [cell_net, net] : row.lands) EXPECT_EQ(f.at(0, cell_net), f.net(net)) << row.circuit << " " << cell_net;
  }
}

TEST(Cost, AbsentCellCostsItsRarestLabel) {
  // 2000 NAND2s and three XOR gates; the cell needs an XOR fed by a NAND2,
  // and only the first XOR is.
  std::string c;
  for (int i = 0; i < 2000; ++i) c += "NAND2 p" + std::to_string(i) + " q > o" + std::to_string(i) + ";";
  c += "XOR2 o0 r > x0; XOR2 s1 r > x1; XOR2 s2 r > x2";
  Found f = find_cell(c, "ports A B C Y; NAND2 A B > n; XOR2 n C > Y");
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(f.at(0, "n"), f.net("o0"));
  EXPECT_EQ(f.stats.candidates, 3u);
  EXPECT_LT(f.stats.trials, 100u);
  f = find_cell(c, "ports A Y; MAJ3 A A A > Y");
  EXPECT_EQ(f.status, SearchPlan::Status::AbsentLabel);
  EXPECT_EQ(f.stats.candidates, 0u);
}

TEST(Cost, SymmetricTreesStayBounded) {
  // A balanced tree of 31 NAND2s over 32 inputs: 2^31 ways to order the
  // interchangeable inputs, one occurrence.
  // Gate k reads nets 2k and 2k + 1; nets 32 to 63 are the inputs.
  auto tree = [](const std::string& p) {
    auto n = [&](int k) { return p + "n" + std::to_string(k); };
    std::string s = "ports " + n(1);
    for (int k = 1; k < 64; ++k)
      s += k < 32 ? "; NAND2 " + n(2 * k) + " " + n(2 * k + 1) + " > " + n(k) : "; ports " + n(k);
    return s;
  };
  Found f = find_cell(tree("u/") + ";" + tree("v/"), tree(""));
  EXPECT_EQ(f.distinct(), 2u);
  EXPECT_EQ(f.stats.given_up, 0u);
  EXPECT_LT(f.stats.trials, 200000u);

  // The same cell against a tree whose inside net next to the output is
  // also read elsewhere: nowhere, and the search ends quickly.
  const std::string near = tree("") + "; INV n3 > w";
  f = find_cell(near, tree(""));
  EXPECT_EQ(f.all.size(), 0u);
  EXPECT_EQ(f.stats.given_up, 0u);
  EXPECT_LT(f.stats.trials, 200000u);
  std::uint64_t trials = f.stats.trials;

  // Under a tight limit the candidates that need more are given up, and the
  // trials stay within the limit per candidate.
  f = find_cell(near, tree(""), 20);
  EXPECT_EQ(f.all.size(), 0u);
  EXPECT_GT(f.stats.given_up, 0u);
  EXPECT_LE(f.stats.trials, 21 * f.stats.candidates);
  EXPECT_LT(f.stats.trials, trials);
}

TEST(Plan, CellsInPiecesAreNotSearched) {
  EXPECT_EQ(find_cell("ports a y; INV a > y", "ports A B Y Z; INV A > Y; INV B > Z").status,
            SearchPlan::Status::Disconnected);
}
