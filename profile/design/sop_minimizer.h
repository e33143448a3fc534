#pragma once
// Two-level minimisation (prime implicants by Quine-McCluskey, then
// essential primes and a greedy cover) for the expressions of generated
// modules: short sums of products keep the written functions readable and
// give definite values in simulation where an input is unknown but does not
// matter.
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
  // Above this many inputs generated modules use a lookup table instead.
  static constexpr std::uint32_t kMaxInputs = 8;

  // A cover of `on` (minterm flags over `inputs` bits) that may also cover
  // `dc` minterms.
  static std::vector<Cube> minimize(std::uint32_t inputs, const std::vector<bool>& on, const std::vector<bool>& dc);

  // The cover as an expression over the given names: "1'b0" when empty,
  // "1'b1" for a product of no literals.
  static std::string expression(const std::vector<Cube>& cover, const std::vector<std::string>& names);

  static std::uint32_t literals(const std::vector<Cube>& cover);
};

}  // namespace design
