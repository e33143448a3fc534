#pragma once
// Sums of products for the expressions of generated modules: all prime
// implicants, by Quine-McCluskey. Their sum is the shortest that gives
// definite values in simulation wherever the known inputs decide, however
// many inputs are unknown.
#include <cstdint>
#include <string>
#include <vector>

namespace design {

struct Cube {
  std::uint32_t value = 0;  // literal values on the cared bits
  std::uint32_t care = 0;   // bits the product tests
};

class SopMinimizer {
 public:
  // Above this many inputs generated modules use a lookup instead.
  static constexpr std::uint32_t kMaxInputs = 8;

  // Every prime implicant of `on` with `dc` (minterm flags over `inputs`
  // bits) that covers an `on` minterm, longer products first. Their sum is
  // exact in three-valued logic: 1 where every completion of the unknown
  // inputs is on or free, 0 where none is, x where some is on and some
  // neither. A minimal cover can give x where the known inputs decide:
  // ~s & a | s & b, with s unknown and a = b = 1, lacks the consensus a & b.
  static std::vector<Cube> primes(std::uint32_t inputs, const std::vector<bool>& on, const std::vector<bool>& dc);

  // The cover as an expression over the given names: "1'b0" when empty,
  // "1'b1" for a product of no literals.
  static std::string expression(const std::vector<Cube>& cover, const std::vector<std::string>& names);

  static std::uint32_t literals(const std::vector<Cube>& cover);
};

}  // namespace design
