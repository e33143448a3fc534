#include "profile/emit/gate_logic.h"

#include <bit>

namespace emit {

using design::Cube;
using design::SopMinimizer;
using recognize::FunctionTable;
using recognize::Value;

namespace {

// A floating output written as z floats; one kept, and a fight, hold.
bool holds(Value v, bool floats_to_z) { return v == Value::X || (v == Value::Z && !floats_to_z); }

}  // namespace

bool GateLogic::buildable(const FunctionTable& t, std::uint32_t out, bool floats_to_z) {
  bool floats = false, held = false;
  for (std::uint32_t c = 0; c < t.combos(); ++c) {
    Value v = t.at(c, out);
    floats = floats || (v == Value::Z && floats_to_z);
    held = held || holds(v, floats_to_z);
  }
  return !(floats && held);
}

void GateLogic::drive(Bit y, const FunctionTable& t, std::uint32_t out, bool floats_to_z) {
  std::vector<bool> ones(t.combos()), driven(t.combos()), undriven(t.combos());
  bool holding = false;
  for (std::uint32_t c = 0; c < t.combos(); ++c) {
    Value v = t.at(c, out);
    ones[c] = v == Value::One;
    driven[c] = v == Value::One || v == Value::Zero;
    undriven[c] = !driven[c];
    holding = holding || holds(v, floats_to_z);
  }
  std::vector<bool> none(t.combos(), false);
  if (undriven == none) {
    condition(ones, none, y);
    return;
  }
  // What it drives matters only where it drives.
  Bit data = condition(ones, undriven, kFresh);
  Bit enable = condition(driven, none, kFresh);
  add(holding ? LogicType::Dlatch : LogicType::Tribuf, {data}, {}, enable, y);
}

Bit GateLogic::add(LogicType type, std::vector<Bit> a, std::vector<Bit> b, Bit s, Bit into) {
  if (into == kFresh) into = next_++;
  cells_.push_back(LogicCell{type, std::move(a), std::move(b), s, into});
  return into;
}

Bit GateLogic::input(std::uint32_t k, bool value) {
  if (value) return inputs_[k];
  if (!inverted_[k]) inverted_[k] = add(LogicType::Not, {inputs_[k]}, {}, kZeroBit, kFresh);
  return inverted_[k];
}

Bit GateLogic::literal(std::uint32_t k, bool value, Bit into) {
  if (value || into == kFresh) return chain(LogicType::And, {input(k, value)}, into);
  return add(LogicType::Not, {inputs_[k]}, {}, kZeroBit, into);
}

Bit GateLogic::condition(const std::vector<bool>& set, const std::vector<bool>& dc, Bit into) {
  const auto n = static_cast<std::uint32_t>(inputs_.size());
  if (n > SopMinimizer::kMaxInputs) {
    // Free combinations read 0, as in the Verilog form's lookup constant.
    std::vector<Bit> table;
    for (bool v : set) table.push_back(v ? kOneBit : kZeroBit);
    return add(LogicType::Shiftx, std::move(table), inputs_, kZeroBit, into);
  }
  std::vector<bool> off(set.size());
  for (std::size_t c = 0; c < set.size(); ++c) off[c] = !set[c] && !dc[c];
  std::vector<Cube> on_cover = SopMinimizer::primes(n, set, dc);
  std::vector<Cube> off_cover = SopMinimizer::primes(n, off, dc);
  if (on_cover.empty() || off_cover.empty()) return cover(on_cover, into);
  // One literal false: its input's other value, never `~~a`.
  if (off_cover.size() == 1 && std::popcount(off_cover[0].care) == 1) {
    auto k = static_cast<std::uint32_t>(std::countr_zero(off_cover[0].care));
    return literal(k, !(off_cover[0].value >> k & 1), into);
  }
  // Inverting gates are the complement of a short product.
  if (SopMinimizer::literals(off_cover) <= SopMinimizer::literals(on_cover))
    return add(LogicType::Not, {cover(off_cover, kFresh)}, {}, kZeroBit, into);
  return cover(on_cover, into);
}

Bit GateLogic::cover(const std::vector<Cube>& cubes, Bit into) {
  if (cubes.size() == 1) return product(cubes[0], into);
  std::vector<Bit> products;
  for (const Cube& cube : cubes) products.push_back(product(cube, kFresh));
  return chain(LogicType::Or, std::move(products), into);
}

Bit GateLogic::product(const Cube& cube, Bit into) {
  if (std::popcount(cube.care) == 1) {
    auto k = static_cast<std::uint32_t>(std::countr_zero(cube.care));
    return literal(k, cube.value >> k & 1, into);
  }
  std::vector<Bit> literals;
  for (std::uint32_t k = 0; k < inputs_.size(); ++k)
    if (cube.care >> k & 1) literals.push_back(input(k, cube.value >> k & 1));
  if (into != kFresh || literals.empty()) return chain(LogicType::And, std::move(literals), into);
  auto [it, added] = products_.try_emplace({cube.care, cube.value}, kZeroBit);
  if (added) it->second = chain(LogicType::And, std::move(literals), kFresh);
  return it->second;
}

// A balanced tree of two-input cells over the operands: of none, the
// operation's identity (an empty product is 1, an empty sum 0); of one,
// that operand, copied when it must drive `into`.
Bit GateLogic::chain(LogicType type, std::vector<Bit> operands, Bit into) {
  if (operands.empty()) operands.push_back(type == LogicType::And ? kOneBit : kZeroBit);
  if (operands.size() == 1) return into == kFresh ? operands[0] : add(LogicType::Pos, {operands[0]}, {}, kZeroBit, into);
  while (operands.size() > 2) {
    std::vector<Bit> next;
    for (std::size_t i = 0; i + 1 < operands.size(); i += 2)
      next.push_back(add(type, {operands[i]}, {operands[i + 1]}, kZeroBit, kFresh));
    if (operands.size() % 2) next.push_back(operands.back());
    operands = std::move(next);
  }
  return add(type, {operands[0]}, {operands[1]}, kZeroBit, into);
}

}  // namespace emit
