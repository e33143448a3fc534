// Which occurrences are kept where they overlap, whatever the library order.
#include <gtest/gtest.h>

#include <algorithm>

#include "profile/cellmatch/cell_matcher.h"
#include "tests/cellmatch/builder.h"

using namespace cellmatch;

namespace {

struct Kept {
  std::string cell;
  std::vector<GateId> gates;
  bool operator==(const Kept&) const = default;
};

std::vector<Kept> match(build::Graph& circuit, std::vector<std::pair<std::string, build::Graph*>> cells) {
  circuit.done();
  CellMatcher m(circuit.g);
  std::vector<std::string> names;
  for (auto& [name, g] : cells) {
    g->done();
    m.add_cell(name, g->g);
    names.push_back(name);
  }
  std::vector<Kept> out;
  for (const Occurrence& o : m.run()) out.push_back({names[o.cell], o.gates});
  return out;
}

build::Graph inv_cell() {
  build::Graph c;
  c.port({"A", "Y"});
  c.inv("A", "Y");
  return c;
}
build::Graph buf_cell() {
  build::Graph c;
  c.port({"A", "Y"});
  c.inv("A", "n");
  c.inv("n", "Y");
  return c;
}
build::Graph nand_cell() {
  build::Graph c;
  c.port({"A", "B", "Y"});
  c.nand({"A", "B"}, "Y");
  return c;
}
build::Graph and_cell() {
  build::Graph c;
  c.port({"A", "B", "Y"});
  c.nand({"A", "B"}, "n");
  c.inv("n", "Y");
  return c;
}

}  // namespace

TEST(Overlap, LargerCellWinsOverTheCellsItContains) {
  // and2 and buf placed; each output read twice, so the inner cells stand
  // alone only where placed alone: one nand2 and one inv.
  build::Graph c;
  c.port({"a", "b", "z0", "z1", "z2", "z3"});
  c.nand({"a", "b"}, "n");  // 0
  c.inv("n", "y");          // 1  and2
  c.inv("y", "m");          // 2
  c.inv("m", "w");          // 3  buf
  c.nand({"y", "w"}, "z0");  // 4  nand2
  c.inv("w", "z1");         // 5  inv
  c.nand({"z0", "a"}, "z2");  // 6  nand2
  c.nand({"z0", "b"}, "z3");  // 7  nand2
  auto i = inv_cell(), b = buf_cell(), n = nand_cell(), a = and_cell();
  auto kept = match(c, {{"inv", &i}, {"buf", &b}, {"nand2", &n}, {"and2", &a}});
  std::vector<Kept> want = {{"and2", {0, 1}}, {"buf", {2, 3}}, {"nand2", {4}}, {"nand2", {6}}, {"nand2", {7}}, {"inv", {5}}};
  EXPECT_EQ(kept, want);

  // Any library order gives the same result.
  build::Graph c2 = c;
  auto i2 = inv_cell(), b2 = buf_cell(), n2 = nand_cell(), a2 = and_cell();
  EXPECT_EQ(match(c2, {{"and2", &a2}, {"nand2", &n2}, {"inv", &i2}, {"buf", &b2}}), want);
}

TEST(Overlap, TiesGoToTheLowerGatesThenTheCellName) {
  // A chain of three inverters holds buf twice, overlapping: the one on the
  // lower gates is kept, and the last inverter stands alone.
  build::Graph c;
  c.port({"a", "d"});
  c.inv("a", "b");
  c.inv("b", "x");
  c.inv("x", "d");
  auto i = inv_cell(), b = buf_cell();
  std::vector<Kept> want = {{"buf", {0, 1}}, {"inv", {2}}};
  EXPECT_EQ(match(c, {{"inv", &i}, {"buf", &b}}), want);

  // Two cells with one network: the name decides, not the order given.
  build::Graph c2;
  c2.port({"a", "y"});
  c2.inv("a", "y");
  auto z = inv_cell(), y = inv_cell();
  std::vector<Kept> by_name = {{"inv_a", {0}}};
  EXPECT_EQ(match(c2, {{"inv_b", &z}, {"inv_a", &y}}), by_name);
}

TEST(Overlap, SymmetricCellIsKeptOnce) {
  // Cross-coupled NANDs (an SR latch, a loop) map onto themselves two ways.
  auto sr = [](build::Graph& g, const char* s, const char* r, const char* q, const char* qb) {
    g.port({s, r, q, qb});
    g.nand({s, qb}, q);
    g.nand({r, q}, qb);
  };
  build::Graph cell, c;
  sr(cell, "S", "R", "Q", "QB");
  sr(c, "s", "r", "q", "qb");
  c.inv("q", "z");
  auto kept = match(c, {{"sr", &cell}});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].cell, "sr");
}

TEST(Overlap, CoverPlacesEveryCellWhereALargerOneWouldRetile) {
  // or2 driving and2: a cell made of the or2's output inverter and the
  // whole and2 holds more MOSFETs than either, but taking it would leave the
  // NOR2 bare; the cover keeps both placed cells.
  build::Graph c;
  c.port({"a", "b", "d", "z"});
  c.nor({"a", "b"}, "n1");   // 0
  c.inv("n1", "y");          // 1  or2
  c.nand({"y", "d"}, "n2");  // 2
  c.inv("n2", "z");          // 3  and2
  build::Graph or2, and2, and2b;
  or2.port({"A", "B", "Y"});
  or2.nor({"A", "B"}, "n");
  or2.inv("n", "Y");
  and2 = and_cell();
  and2b.port({"A_N", "B", "Y"});
  and2b.inv("A_N", "m");
  and2b.nand({"m", "B"}, "n");
  and2b.inv("n", "Y");
  std::vector<Kept> want = {{"and2", {2, 3}}, {"or2", {0, 1}}};
  auto kept = match(c, {{"and2b", &and2b}, {"or2", &or2}, {"and2", &and2}});
  std::sort(kept.begin(), kept.end(), [](const Kept& x, const Kept& y) { return x.cell < y.cell; });
  EXPECT_EQ(kept, want);
}
