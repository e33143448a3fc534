#pragma once
// The logic of a gate module as Yosys internal cells, built from its
// function table rather than from the text the Verilog form prints, so the
// two forms are two derivations of one table.
//
// Per output, over the combinations that drive it (to 0 or 1), that float
// (written as z) and that hold (everything else: fights, and floating that
// keeps its charge):
//   driven everywhere     a sum of products of the ones, or the complement
//                         of one of the zeros when that has no more
//                         literals;
//   floating somewhere    a `$tribuf` whose enable is where it drives and
//                         whose data is the ones (free where it floats);
//   holding somewhere     a `$dlatch`, enable where it drives, data the
//                         ones: `y = drive ? ones : y` is a transparent
//                         latch;
// an output that both floats and holds may keep a z, which no two-valued
// storage holds: it has no logic here (see `buildable`). Above
// SopMinimizer::kMaxInputs inputs a condition is a `$shiftx` lookup into
// its table instead, as the Verilog form's lookup constant is. Products and
// inverted inputs are made once per module.
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "profile/design/sop_minimizer.h"
#include "profile/recognize/gate_network.h"

namespace emit {

// A bit of a module: the constants 0 and 1, or a signal numbered from 2.
using Bit = std::uint64_t;
inline constexpr Bit kZeroBit = 0, kOneBit = 1;

enum class LogicType : std::uint8_t { Pos, Not, And, Or, Tribuf, Dlatch, Shiftx };

// One cell: Y = op(A, B); Tribuf Y = S ? A : z; Dlatch Y follows A while S
// is 1; Shiftx Y = A[B]. Every operand is one bit but Shiftx's (A its table,
// bit k for index k; B the index, lowest bit first).
struct LogicCell {
  LogicType type = LogicType::Pos;
  std::vector<Bit> a, b;
  Bit s = kZeroBit;
  Bit y = kZeroBit;
};

class GateLogic {
 public:
  // Input k of the table is bit inputs[k]; new signals are numbered from
  // `next`.
  GateLogic(std::vector<Bit> inputs, Bit next) : inputs_(std::move(inputs)), inverted_(inputs_.size()), next_(next) {}

  // Whether output `out` of `t` can be built: it never both floats (as z)
  // and holds.
  static bool buildable(const recognize::FunctionTable& t, std::uint32_t out, bool floats_to_z);

  // Adds the cells that drive bit `y` as output `out` of `t` (buildable).
  void drive(Bit y, const recognize::FunctionTable& t, std::uint32_t out, bool floats_to_z);

  const std::vector<LogicCell>& cells() const { return cells_; }
  Bit next() const { return next_; }

 private:
  static constexpr Bit kFresh = ~Bit{0};

  Bit add(LogicType type, std::vector<Bit> a, std::vector<Bit> b, Bit s, Bit into);
  Bit input(std::uint32_t k, bool value);
  Bit literal(std::uint32_t k, bool value, Bit into);
  Bit condition(const std::vector<bool>& set, const std::vector<bool>& dc, Bit into);
  Bit cover(const std::vector<design::Cube>& cubes, Bit into);
  Bit product(const design::Cube& cube, Bit into);
  Bit chain(LogicType type, std::vector<Bit> operands, Bit into);

  std::vector<Bit> inputs_;
  std::vector<Bit> inverted_;  // per input, its complement once made (0: none yet)
  std::map<std::pair<std::uint32_t, std::uint32_t>, Bit> products_;  // by care and value
  std::vector<LogicCell> cells_;
  Bit next_;
};

}  // namespace emit
