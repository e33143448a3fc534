// Occurrences of one cell: what counts as one, and what the search costs.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "profile/cellmatch/occurrence_search.h"
#include "tests/cellmatch/builder.h"

using namespace cellmatch;

namespace {

struct Found {
  std::vector<Occurrence> all;
  SearchStats stats;
  SearchPlan::Status status;
};

Found search(build::Graph& circuit, build::Graph& cell, std::uint64_t step_limit = OccurrenceSearch::kStepLimit) {
  circuit.done();
  cell.done();
  LabelIndex index(circuit.g);
  SearchPlan plan(cell.g, circuit.g, index);
  OccurrenceSearch s(circuit.g, index, step_limit);
  Found f;
  f.status = plan.status();
  f.stats = s.find(cell.g, plan, 0, f.all);
  return f;
}

// Occurrences found from different first gates may be one occurrence seen
// through a symmetry of the cell: count gate sets.
std::size_t distinct(const Found& f) {
  std::set<std::vector<GateId>> sets;
  for (const Occurrence& o : f.all) {
    auto g = o.gates;
    std::sort(g.begin(), g.end());
    sets.insert(g);
  }
  return sets.size();
}

NetId at(const Occurrence& o, build::Graph& cell, const std::string& cell_net) { return o.nets[cell.nets.at(cell_net)]; }

}  // namespace

TEST(Soundness, OneCircuitGateNeverStandsForTwoCellGates) {
  // A cell fanning one input out through two NANDs; the circuit is the same
  // network, so A and B must land on distinct nets.
  auto make = [](build::Graph& g, const char* in, const char* a, const char* b, const char* out) {
    g.port({in, a, b, out});
    g.inv(in, "n1");
    g.nand({"n1", a}, "n2");
    g.nand({"n1", b}, "n3");
    g.inv("n2", "n4");
    g.inv("n3", "n5");
    g.nand({"n4", "n5"}, out);
  };
  build::Graph circuit, cell;
  make(circuit, "a21", "a22", "a23", "n6");
  make(cell, "IN", "A", "B", "OUT");
  Found f = search(circuit, cell);
  ASSERT_EQ(distinct(f), 1u);
  const Occurrence& o = f.all[0];
  EXPECT_NE(at(o, cell, "A"), at(o, cell, "B"));
  EXPECT_EQ(at(o, cell, "IN"), circuit.nets.at("a21"));
  std::vector<GateId> gates = o.gates;
  std::sort(gates.begin(), gates.end());
  EXPECT_EQ(std::unique(gates.begin(), gates.end()), gates.end());
}

TEST(Soundness, InsideNetTouchedFromOutsideRejects) {
  build::Graph cell;
  cell.port({"A", "B", "Y"});
  cell.inv("A", "n1");
  cell.inv("B", "n2");
  cell.nand({"n1", "n2"}, "Y");
  auto circuit_with = [](auto extra) {
    build::Graph c;
    c.port({"a", "b", "y"});
    c.inv("a", "n1");
    c.inv("b", "n2");
    c.nand({"n1", "n2"}, "y");
    extra(c);
    return c;
  };
  {
    auto c = circuit_with([](build::Graph&) {});
    EXPECT_EQ(search(c, cell).all.size(), 1u);
  }
  {  // a third inverter reads the cell's inside net n2
    auto c = circuit_with([](build::Graph& g) { g.inv("n2", "z"); });
    EXPECT_EQ(search(c, cell).all.size(), 0u);
  }
  {  // the inside net is a circuit port
    auto c = circuit_with([](build::Graph& g) { g.port({"n1"}); });
    EXPECT_EQ(search(c, cell).all.size(), 0u);
  }
  {  // something that is no gate touches it
    auto c = circuit_with([](build::Graph& g) { g.net("n1", kOutsideUse); });
    EXPECT_EQ(search(c, cell).all.size(), 0u);
  }
}

TEST(Soundness, InputGroupsMustMatchAcrossGates) {
  // x3 = ~((a1 & b2) | ~(a1 | b2)): the AND pair reads the NOR's inputs.
  build::Graph cell;
  cell.port({"a1", "b2", "x3"});
  cell.nor({"a1", "b2"}, "n4");
  cell.gate("AOI21", {{"a1", "b2"}, {"n4"}}, "x3");
  auto circuit = [](const char* p, const char* q) {
    build::Graph c;
    c.port({"in1", "in2", "in3", "in4", "out6"});
    c.nor({"in1", "in2"}, "w5");
    c.gate("AOI21", {{p, q}, {"w5"}}, "n14");
    c.inv("n14", "out6");
    return c;
  };
  auto wrong = circuit("in3", "in4");
  EXPECT_EQ(search(wrong, cell).all.size(), 0u);
  auto swapped = circuit("in2", "in1");  // interchangeable inputs in the other order
  Found f = search(swapped, cell);
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(at(f.all[0], cell, "x3"), swapped.nets.at("n14"));
}

TEST(Soundness, RailsOnlyOntoRailsOfTheirKind) {
  build::Graph cell;
  cell.port({"A", "Y"});
  cell.net("VSS", kGround);
  cell.nand({"A", "VSS"}, "Y");
  for (auto [flags, want] : {std::pair<std::uint8_t, std::size_t>{kGround, 1}, {kSupply, 0}, {kPort, 0}}) {
    build::Graph c;
    c.port({"a", "y"});
    c.net("t", flags);
    c.nand({"a", "t"}, "y");
    EXPECT_EQ(search(c, cell).all.size(), want) << int(flags);
  }
  // A signal net of the cell never lands on a rail.
  build::Graph c;
  c.port({"y"});
  c.net("g", kGround);
  c.inv("g", "y");
  build::Graph inv;
  inv.port({"A", "Y"});
  inv.inv("A", "Y");
  EXPECT_EQ(search(c, inv).all.size(), 0u);
}

TEST(Shapes, SeveralOutputsAndGatesMeetingOnlyAtInputs) {
  // Y1 = ~(A & B), Y2 = ~(A | B): the two gates share only their inputs,
  // which other gates of the circuit also read.
  build::Graph cell;
  cell.port({"A", "B", "Y1", "Y2"});
  cell.nand({"A", "B"}, "Y1");
  cell.nor({"A", "B"}, "Y2");
  build::Graph c;
  c.port({"a", "b", "c"});
  c.nand({"a", "c"}, "z0");
  c.nor({"b", "c"}, "z1");
  c.nor({"b", "a"}, "y2");
  c.inv("a", "z2");
  c.nand({"a", "b"}, "y1");
  c.nand({"y1", "y2"}, "z3");
  Found f = search(c, cell);
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(at(f.all[0], cell, "Y1"), c.nets.at("y1"));
  EXPECT_EQ(at(f.all[0], cell, "Y2"), c.nets.at("y2"));

  // One stage with two outputs (not interchangeable): a carry and a sum.
  build::Graph fa_cell, fa;
  auto stage = [](build::Graph& g, const char* a, const char* b, const char* ci, const char* co, const char* s) {
    g.port({a, b, ci, co, s});
    std::vector<Pin> pins = {{g.net(a), 0, PinRole::Input},  {g.net(b), 0, PinRole::Input},
                             {g.net(ci), 0, PinRole::Input}, {g.net(co), 1, PinRole::Output},
                             {g.net(s), 2, PinRole::Output}};
    g.g.add_gate("FA", 28, pins);
  };
  stage(fa_cell, "A", "B", "CI", "CO", "S");
  stage(fa, "x", "y", "z", "c", "s");
  fa.inv("c", "k");
  f = search(fa, fa_cell);
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(at(f.all[0], fa_cell, "CO"), fa.nets.at("c"));
  EXPECT_EQ(at(f.all[0], fa_cell, "S"), fa.nets.at("s"));
}

TEST(Shapes, LoopOfTransmissionGatesAndInverters) {
  // A latch: D passes to x while G is high; x -> qb -> Q and Q back to x
  // while G is low.
  auto latch = [](build::Graph& g, const char* d, const char* gt, const char* q, bool ends_swapped) {
    g.port({d, gt, q});
    g.inv(gt, "gb");
    g.tgate(ends_swapped ? "x" : d, ends_swapped ? d : "x", gt, "gb");
    g.inv("x", "qb");
    g.inv("qb", q);
    g.tgate(q, "x", "gb", gt);
  };
  build::Graph cell, c;
  latch(cell, "D", "GATE", "Q", false);
  latch(c, "d", "en", "q", true);
  c.inv("q", "out");
  Found f = search(c, cell);
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(at(f.all[0], cell, "D"), c.nets.at("d"));
  EXPECT_EQ(at(f.all[0], cell, "Q"), c.nets.at("q"));

  // The controls are not interchangeable: swapped ones are another circuit.
  build::Graph wrong;
  wrong.port({"d", "en", "q"});
  wrong.inv("en", "gb");
  wrong.tgate("d", "x", "gb", "en");
  wrong.inv("x", "qb");
  wrong.inv("qb", "q");
  wrong.tgate("q", "x", "gb", "en");
  EXPECT_EQ(search(wrong, cell).all.size(), 0u);
}

TEST(Cost, AbsentCellCostsItsRarestLabel) {
  // 2000 NAND2s and three XOR gates; the cell needs an XOR fed by a NAND2,
  // and only the first XOR is.
  build::Graph c, cell;
  for (int i = 0; i < 2000; ++i) c.nand({"p" + std::to_string(i), "q"}, "o" + std::to_string(i));
  c.gate("XOR2", {{"o0", "r"}}, "x0");
  c.gate("XOR2", {{"s1", "r"}}, "x1");
  c.gate("XOR2", {{"s2", "r"}}, "x2");
  cell.port({"A", "B", "C", "Y"});
  cell.nand({"A", "B"}, "n");
  cell.gate("XOR2", {{"n", "C"}}, "Y");
  Found f = search(c, cell);
  ASSERT_EQ(f.all.size(), 1u);
  EXPECT_EQ(at(f.all[0], cell, "n"), c.nets.at("o0"));
  EXPECT_EQ(f.stats.candidates, 3u);
  EXPECT_LT(f.stats.trials, 100u);

  build::Graph absent;
  absent.port({"A", "Y"});
  absent.gate("MAJ3", {{"A", "A", "A"}}, "Y");
  f = search(c, absent);
  EXPECT_EQ(f.status, SearchPlan::Status::AbsentLabel);
  EXPECT_EQ(f.stats.candidates, 0u);
}

TEST(Cost, SymmetricTreesStayBounded) {
  // A balanced tree of 31 NAND2s over 32 inputs: 2^31 ways to order the
  // interchangeable inputs, one occurrence.
  auto tree = [](build::Graph& g, const std::string& p) {
    std::vector<std::string> level;
    for (int i = 0; i < 32; ++i) {
      level.push_back(p + "i" + std::to_string(i));
      g.port({level.back()});
    }
    int k = 0;
    while (level.size() > 1) {
      std::vector<std::string> next;
      for (std::size_t i = 0; i < level.size(); i += 2) {
        next.push_back(level.size() == 2 ? p + "out" : p + "t" + std::to_string(k++));
        g.nand({level[i], level[i + 1]}, next.back());
      }
      level = next;
    }
    g.port({p + "out"});
  };
  build::Graph cell, c;
  tree(cell, "");
  tree(c, "u/");
  tree(c, "v/");
  Found f = search(c, cell);
  EXPECT_EQ(distinct(f), 2u);
  EXPECT_EQ(f.stats.given_up, 0u);
  EXPECT_LT(f.stats.trials, 200000u);

  // The same cell against a tree whose deepest inside net is also read
  // elsewhere: nowhere, and the search ends quickly.
  build::Graph near;
  tree(near, "");
  near.inv("t29", "w");
  f = search(near, cell);
  EXPECT_EQ(f.all.size(), 0u);
  EXPECT_EQ(f.stats.given_up, 0u);
  EXPECT_LT(f.stats.trials, 200000u);
  std::uint64_t trials = f.stats.trials;

  // Under a tight limit the candidates that need more are given up, and the
  // trials stay within the limit per candidate.
  build::Graph near2;
  tree(near2, "");
  near2.inv("t29", "w");
  f = search(near2, cell, 20);
  EXPECT_EQ(f.all.size(), 0u);
  EXPECT_GT(f.stats.given_up, 0u);
  EXPECT_LE(f.stats.trials, 21 * f.stats.candidates);
  EXPECT_LT(f.stats.trials, trials);
}

TEST(Plan, CellsInPiecesAreNotSearched) {
  build::Graph cell, c;
  cell.port({"A", "B", "Y", "Z"});
  cell.inv("A", "Y");
  cell.inv("B", "Z");
  c.port({"a", "y"});
  c.inv("a", "y");
  EXPECT_EQ(search(c, cell).status, SearchPlan::Status::Disconnected);
}
