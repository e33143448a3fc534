// Gate modules as Yosys cells: the cells, evaluated in the order they are
// made, compute every combination of the table (a floating output z, a
// holding one its prior value), and read nothing not yet driven.
#include "profile/emit/gate_logic.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace {

using emit::Bit;
using emit::GateLogic;
using emit::LogicCell;
using emit::LogicType;
using recognize::FunctionTable;
using recognize::Value;

constexpr int kZ = 2;

// Every bit's value for one combination: inputs are bits 2.., outputs
// follow; a latch holds `held`.
std::map<Bit, int> evaluate(const std::vector<LogicCell>& cells, std::uint32_t inputs, std::uint32_t combo, int held) {
  std::map<Bit, int> v{{emit::kZeroBit, 0}, {emit::kOneBit, 1}};
  for (std::uint32_t k = 0; k < inputs; ++k) v[k + 2] = combo >> k & 1;
  auto read = [&](Bit b) {
    EXPECT_TRUE(v.count(b)) << "bit " << b << " read before it is driven";
    return v[b];
  };
  for (const LogicCell& c : cells) {
    EXPECT_FALSE(v.count(c.y)) << "bit " << c.y << " driven twice";
    int a = read(c.a[0]);
    switch (c.type) {
      case LogicType::Pos: v[c.y] = a; break;
      case LogicType::Not: v[c.y] = !a; break;
      case LogicType::And: v[c.y] = a & read(c.b[0]); break;
      case LogicType::Or: v[c.y] = a | read(c.b[0]); break;
      case LogicType::Tribuf: v[c.y] = read(c.s) ? a : kZ; break;
      case LogicType::Dlatch: v[c.y] = read(c.s) ? a : held; break;
      case LogicType::Shiftx: {
        std::size_t index = 0;
        for (std::size_t k = 0; k < c.b.size(); ++k) index |= static_cast<std::size_t>(read(c.b[k])) << k;
        v[c.y] = read(c.a[index]);
        break;
      }
    }
  }
  return v;
}

std::vector<LogicCell> built(const FunctionTable& t, const std::vector<bool>& floats_to_z) {
  std::vector<Bit> inputs;
  for (std::uint32_t k = 0; k < t.inputs; ++k) inputs.push_back(k + 2);
  GateLogic logic(inputs, t.inputs + t.outputs + 2);
  for (std::uint32_t o = 0; o < t.outputs; ++o) logic.drive(t.inputs + o + 2, t, o, floats_to_z[o]);
  return logic.cells();
}

// Random tables of each mix of values, up to one input past the sums of
// products (a lookup there); every buildable one computes its table.
TEST(GateLogic, CellsComputeTheirTable) {
  std::mt19937 rng(11);
  const struct {
    std::vector<Value> values;
    bool floats_to_z;
  } mixes[] = {
      {{Value::Zero, Value::One}, false},
      {{Value::Zero, Value::One, Value::Z}, true},    // a tristate driver
      {{Value::Zero, Value::One, Value::Z}, false},   // floating keeps its charge
      {{Value::Zero, Value::One, Value::X}, false},   // fights hold
      {{Value::Zero, Value::One, Value::X, Value::Z}, true},
  };
  int built_outputs = 0;
  for (std::uint32_t n : {0u, 1u, 2u, 3u, 5u, design::SopMinimizer::kMaxInputs + 1})
    for (const auto& mix : mixes)
      for (int trial = 0; trial < 6; ++trial) {
        FunctionTable t;
        t.inputs = n;
        t.outputs = 1 + trial % 2;
        for (std::uint32_t k = 0; k < t.combos() * t.outputs; ++k)
          t.values.push_back(mix.values[rng() % mix.values.size()]);
        std::vector<bool> floats(t.outputs, mix.floats_to_z);
        bool buildable = true;
        for (std::uint32_t o = 0; o < t.outputs; ++o) {
          bool floats_here = false, holds = false;
          for (std::uint32_t c = 0; c < t.combos(); ++c) {
            floats_here = floats_here || (t.at(c, o) == Value::Z && mix.floats_to_z);
            holds = holds || t.at(c, o) == Value::X || (t.at(c, o) == Value::Z && !mix.floats_to_z);
          }
          EXPECT_EQ(GateLogic::buildable(t, o, mix.floats_to_z), !(floats_here && holds));
          buildable = buildable && !(floats_here && holds);
        }
        if (!buildable) continue;
        std::vector<LogicCell> cells = built(t, floats);
        // An input's inverter is shared (one may drive an output too).
        std::set<Bit> inverted;
        for (const LogicCell& c : cells) {
          bool shared = c.type == LogicType::Not && c.a[0] < n + 2 && c.y >= n + t.outputs + 2;
          EXPECT_TRUE(!shared || inverted.insert(c.a[0]).second) << "two inverters of one input";
        }
        for (std::uint32_t c = 0; c < t.combos(); ++c)
          for (int held : {0, 1}) {
            std::map<Bit, int> v = evaluate(cells, n, c, held);
            for (std::uint32_t o = 0; o < t.outputs; ++o) {
              Value want = t.at(c, o);
              int expected = want == Value::One ? 1 : want == Value::Zero ? 0 : want == Value::Z && mix.floats_to_z ? kZ : held;
              ASSERT_EQ(v[n + o + 2], expected) << n << " inputs, combination " << c << ", output " << o;
            }
          }
        built_outputs += static_cast<int>(t.outputs);
      }
  EXPECT_GT(built_outputs, 200);
}

// The common gates come out as their few cells, the output written by the
// last, never a copy of an inverter's output or `~~a`.
TEST(GateLogic, SmallGatesAsTheirCells) {
  const Value I = Value::One, O = Value::Zero, Z = Value::Z;
  const struct {
    const char* gate;
    std::uint32_t inputs;
    std::vector<Value> values;
    std::vector<LogicType> cells;
  } rows[] = {
      {"inverter", 1, {I, O}, {LogicType::Not}},
      {"buffer", 1, {O, I}, {LogicType::Pos}},
      {"constant", 1, {I, I}, {LogicType::Pos}},
      {"nand", 2, {I, I, I, O}, {LogicType::And, LogicType::Not}},
      {"nor", 2, {I, O, O, O}, {LogicType::Or, LogicType::Not}},
      {"clocked inverter: b enables", 2, {Z, Z, I, O}, {LogicType::Not, LogicType::Tribuf}},
  };
  for (const auto& row : rows) {
    FunctionTable t{row.inputs, 1, row.values};
    std::vector<LogicCell> cells = built(t, {true});
    std::vector<LogicType> types;
    for (const LogicCell& c : cells) types.push_back(c.type);
    EXPECT_EQ(types, row.cells) << row.gate;
    EXPECT_EQ(cells.back().y, row.inputs + 2) << row.gate;
  }
}

}  // namespace
