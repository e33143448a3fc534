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

TEST(Soundness, InsideNetTouchedFromOutsideRejects) {
  const std::string cell = "ports A B Y; INV A > n1; INV B > n2; NAND2 n1 n2 > Y";
  const std::string circuit = "ports a b y; INV a > n1; INV b > n2; NAND2 n1 n2 > y";
  const std::pair<const char*, std::size_t> rows[] = {
      {"", 1},
      {"; INV n2 > z", 0},  // a third inverter reads the cell's inside net n2
      {"; ports n1", 0},    // the inside net is a circuit port
      {"; outside n1", 0},  // something that is no gate touches it
  };
  for (auto [extra, want] : rows) EXPECT_EQ(find_cell(circuit + extra, cell).all.size(), want) << extra;
}

TEST(Soundness, InputGroupsMustMatchAcrossGates) {
  // x3 = ~((a1 & b2) | ~(a1 | b2)): the AND pair reads the NOR's inputs.
  const std::string cell = "ports a1 b2 x3; NOR2 a1 b2 > n4; AOI21 a1 b2 | n4 > x3";
  auto circuit = [](const std::string& pq) {
    return "ports in1 in2 in3 in4 out6; NOR2 in1 in2 > w5; AOI21 " + pq + " | w5 > n14; INV n14 > out6";
  };
  EXPECT_EQ(find_cell(circuit("in3 in4"), cell).all.size(), 0u);
  Found f = find_cell(circuit("in2 in1"), cell);  // interchangeable inputs in the other order
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(f.at(0, "x3"), f.net("n14"));
}

TEST(Soundness, RailsOnlyOntoRailsOfTheirKind) {
  const std::string cell = "ports A Y; ground VSS; NAND2 A VSS > Y";
  for (auto [kind, want] : {std::pair<std::string, std::size_t>{"ground", 1}, {"supply", 0}, {"ports", 0}})
    EXPECT_EQ(find_cell("ports a y; " + kind + " t; NAND2 a t > y", cell).all.size(), want) << kind;
  // A signal net of the cell never lands on a rail.
  EXPECT_EQ(find_cell("ports y; ground g; INV g > y", "ports A Y; INV A > Y").all.size(), 0u);
}

TEST(Shapes, SeveralOutputsAndGatesMeetingOnlyAtInputs) {
  // Y1 = ~(A & B), Y2 = ~(A | B): the two gates share only their inputs,
  // which other gates of the circuit also read.
  Found f = find_cell("ports a b c; NAND2 a c > z0; NOR2 b c > z1; NOR2 b a > y2; INV a > z2; NAND2 a b > y1;"
                   "NAND2 y1 y2 > z3",
                   "ports A B Y1 Y2; NAND2 A B > Y1; NOR2 A B > Y2");
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(f.at(0, "Y1"), f.net("y1"));
  EXPECT_EQ(f.at(0, "Y2"), f.net("y2"));
  // One stage with two outputs (not interchangeable): a carry and a sum.
  f = find_cell("ports x y z c s; FA x y z > c > s; INV c > k", "ports A B CI CO S; FA A B CI > CO > S");
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(f.at(0, "CO"), f.net("c"));
  EXPECT_EQ(f.at(0, "S"), f.net("s"));
}

TEST(Shapes, LoopOfTransmissionGatesAndInverters) {
  // A latch: D passes to x while GATE is high; x -> qb -> Q and Q back to x
  // while GATE is low.
  const std::string cell = "ports D GATE Q; INV GATE > gb; TG D x : GATE | gb; INV x > qb; INV qb > Q;"
                           "TG Q x : gb | GATE";
  Found f = find_cell(
      "ports d en q; INV en > gb; TG x d : en | gb; INV x > qb; INV qb > q; TG q x : gb | en; INV q > out", cell);
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(f.at(0, "D"), f.net("d"));
  EXPECT_EQ(f.at(0, "Q"), f.net("q"));
  // The controls are not interchangeable: swapped ones are another circuit.
  const std::string swapped = "ports d en q; INV en > gb; TG d x : gb | en; INV x > qb; INV qb > q; TG q x : gb | en";
  EXPECT_EQ(find_cell(swapped, cell).all.size(), 0u);
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
  auto tree = [](const std::string& p) {
    std::vector<std::string> level;
    std::string s = "ports";
    for (int i = 0; i < 32; ++i) level.push_back(p + "i" + std::to_string(i)), s += " " + level.back();
    s += " " + p + "out";
    for (int k = 0; level.size() > 1;) {
      std::vector<std::string> next;
      for (std::size_t i = 0; i < level.size(); i += 2) {
        next.push_back(level.size() == 2 ? p + "out" : p + "t" + std::to_string(k++));
        s += "; NAND2 " + level[i] + " " + level[i + 1] + " > " + next.back();
      }
      level = next;
    }
    return s;
  };
  Found f = find_cell(tree("u/") + ";" + tree("v/"), tree(""));
  EXPECT_EQ(f.distinct(), 2u);
  EXPECT_EQ(f.stats.given_up, 0u);
  EXPECT_LT(f.stats.trials, 200000u);

  // The same cell against a tree whose deepest inside net is also read
  // elsewhere: nowhere, and the search ends quickly.
  const std::string near = tree("") + "; INV t29 > w";
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
