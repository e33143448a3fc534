// Which occurrences are kept where they overlap, whatever the library order.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "profile/cellmatch/cell_matcher.h"
#include "tests/cellmatch/builder.h"

using namespace cellmatch;

namespace {

struct Kept {
  std::string cell;
  std::vector<GateId> gates;
  bool operator==(const Kept&) const = default;
};

// The occurrences kept of the named cells in the circuit.
std::vector<Kept> match(const std::string& circuit, const std::vector<std::pair<std::string, std::string>>& cells) {
  build::Graph c(circuit);
  CellMatcher m(c.done());
  std::deque<build::Graph> graphs;
  for (const auto& [name, text] : cells) m.add_cell(name, graphs.emplace_back(text).done());
  std::vector<Kept> out;
  for (const Occurrence& o : m.run()) out.push_back({cells[o.cell].first, o.gates});
  return out;
}

const std::string kInv = "ports A Y; INV A > Y", kBuf = "ports A Y; INV A > n; INV n > Y";
const std::string kNand = "ports A B Y; NAND2 A B > Y", kAnd = "ports A B Y; NAND2 A B > n; INV n > Y";

}  // namespace

TEST(Overlap, LargerCellWinsOverTheCellsItContains) {
  // and2 (gates 0, 1) and buf (2, 3) placed; each output read twice, so the
  // inner cells stand alone only where placed alone: one nand2 and one inv.
  const std::string c =
      "ports a b z0 z1 z2 z3; NAND2 a b > n; INV n > y; INV y > m; INV m > w; NAND2 y w > z0; INV w > z1;"
      "NAND2 z0 a > z2; NAND2 z0 b > z3";
  std::vector<Kept> want = {{"and2", {0, 1}}, {"buf", {2, 3}}, {"nand2", {4}},
                            {"nand2", {6}},    {"nand2", {7}},  {"inv", {5}}};
  EXPECT_EQ(match(c, {{"inv", kInv}, {"buf", kBuf}, {"nand2", kNand}, {"and2", kAnd}}), want);
  // Any library order gives the same result.
  EXPECT_EQ(match(c, {{"and2", kAnd}, {"nand2", kNand}, {"inv", kInv}, {"buf", kBuf}}), want);
}

TEST(Overlap, TiesGoToTheLowerGatesThenTheCellName) {
  // A chain of three inverters holds buf twice, overlapping: the one on the
  // lower gates is kept, and the last inverter stands alone.
  EXPECT_EQ(match("ports a d; INV a > b; INV b > x; INV x > d", {{"inv", kInv}, {"buf", kBuf}}),
            (std::vector<Kept>{{"buf", {0, 1}}, {"inv", {2}}}));
  // Two cells with one network: the name decides, not the order given.
  EXPECT_EQ(match("ports a y; INV a > y", {{"inv_b", kInv}, {"inv_a", kInv}}), (std::vector<Kept>{{"inv_a", {0}}}));
}

TEST(Overlap, SymmetricCellIsKeptOnce) {
  // Cross-coupled NANDs (an SR latch, a loop) map onto themselves two ways.
  auto kept = match("ports s r q qb; NAND2 s qb > q; NAND2 r q > qb; INV q > z",
                    {{"sr", "ports S R Q QB; NAND2 S QB > Q; NAND2 R Q > QB"}});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].cell, "sr");
}

TEST(Overlap, CoverPlacesEveryCellWhereALargerOneWouldRetile) {
  // or2 driving and2: a cell made of the or2's output inverter and the
  // whole and2 holds more MOSFETs than either, but taking it would leave the
  // NOR2 bare; the cover keeps both placed cells.
  auto kept = match("ports a b d z; NOR2 a b > n1; INV n1 > y; NAND2 y d > n2; INV n2 > z",
                    {{"and2b", "ports A_N B Y; INV A_N > m; NAND2 m B > n; INV n > Y"},
                     {"or2", "ports A B Y; NOR2 A B > n; INV n > Y"},
                     {"and2", kAnd}});
  std::sort(kept.begin(), kept.end(), [](const Kept& x, const Kept& y) { return x.cell < y.cell; });
  EXPECT_EQ(kept, (std::vector<Kept>{{"and2", {2, 3}}, {"or2", {0, 1}}}));
}
