// A recognised network as the search sees it, and a cell found in one.
#include <gtest/gtest.h>

#include "profile/cellmatch/cell_matcher.h"
#include "profile/cellmatch/stage_graph.h"

using namespace cellmatch;

namespace {

// The shape of a recognised network, as much of it as the graph reads.
enum class Kind { Gate, Tristate, Network };
struct Stage {
  Kind kind = Kind::Gate;
  std::string name;
  std::vector<circuit::NetId> inputs;
  std::vector<std::uint32_t> classes;
  std::vector<circuit::NetId> outputs;
  std::uint32_t mosfets = 0;
  const std::string& label() const { return name; }
  const std::vector<std::uint32_t>& input_class() const { return classes; }
};
struct NetInfo {
  circuit::NetRole role = circuit::NetRole::Signal;
};
struct Network {
  std::vector<Stage> stages;
  std::vector<NetInfo> nets;
};

}  // namespace

TEST(StageGraph, StagesBecomeGatesAndACellIsFoundInThem) {
  // Cell: nets 0 A, 1 B, 2 n, 3 Y, 4 vdd, 5 gnd: NAND2 then an inverter.
  Network cell;
  cell.nets.resize(6);
  cell.nets[4].role = circuit::NetRole::Supply;
  cell.nets[5].role = circuit::NetRole::Ground;
  cell.stages = {{Kind::Gate, "nand", {0, 1}, {0, 0}, {2}, 4}, {Kind::Gate, "inv", {2}, {0}, {3}, 2}};
  std::vector<circuit::NetId> cell_ports = {0, 1, 3, 4, 5};
  GateGraph cg = stage_graph(cell, cell_ports, {});
  EXPECT_TRUE(cg.is_rail(4) && cg.is_rail(5));
  EXPECT_EQ(cg.pins(0)[2].cls, kFirstOutputClass);

  // Circuit: the same with inputs swapped, a second copy whose inside net an
  // element touches, and an inverter of two fingers (another label).
  Network top;
  top.nets.resize(12);
  top.stages = {{Kind::Gate, "nand", {1, 0}, {0, 0}, {2}, 4}, {Kind::Gate, "inv", {2}, {0}, {3}, 2},
                {Kind::Gate, "nand", {4, 5}, {0, 0}, {6}, 4}, {Kind::Gate, "inv", {6}, {0}, {7}, 2},
                {Kind::Gate, "nand", {8, 9}, {0, 0}, {10}, 4}, {Kind::Gate, "inv", {10}, {0}, {11}, 3}};
  std::vector<circuit::NetId> outside = {6};
  GateGraph tg = stage_graph(top, {}, outside);
  EXPECT_NE(tg.label(4), tg.label(5));
  EXPECT_NE(tg.label(1), tg.label(5));

  CellMatcher m(tg);
  m.add_cell("and2", cg);
  auto kept = m.run();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].gates, (std::vector<GateId>{0, 1}));
  EXPECT_EQ(kept[0].nets[0], 1u);  // A lands on the NAND input it reads in the circuit
  EXPECT_EQ(kept[0].nets[3], 3u);
  // Ports in the cell's order; the rails no stage touches become the
  // circuit's rails.
  EXPECT_EQ(kept[0].port_nets(cg, cell_ports, 100, 101), (std::vector<NetId>{1, 0, 3, 100, 101}));
}
