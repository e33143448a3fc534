#pragma once
// Canonical form of a function table under permutations of its inputs and
// outputs, so that two stages computing the same function with their inputs
// met in another order get the same label.
//
// Inputs are first ordered by a signature that no permutation changes (per
// output, how often each value occurs with the input at 1); only inputs with
// equal signatures are then tried in every order, and interchangeable
// (symmetric) inputs are never tried against each other. Of the tables so
// obtained, outputs sorted, the smallest is the canonical one. When the
// orders to try exceed a budget, the first ones tried decide and the label
// is marked inexact (equal labels still mean equal functions).
#include <cstdint>
#include <string>
#include <vector>

#include "profile/recognize/gate_network.h"

namespace recognize {

struct CanonicalForm {
  std::string label;
  std::vector<std::uint32_t> order;         // canonical input k is input order[k]
  std::vector<std::uint32_t> output_order;  // canonical output j is output output_order[j]
  std::vector<std::uint32_t> input_class;   // per canonical input
  FunctionTable table;                      // in canonical order
  bool exact = true;
};

class FunctionCanon {
 public:
  static CanonicalForm canonicalize(const FunctionTable& t);

  // The table with inputs reordered: input k of the result is input
  // order[k] of t; outputs reordered likewise when output_order is given.
  static FunctionTable permute(const FunctionTable& t, const std::vector<std::uint32_t>& order,
                               const std::vector<std::uint32_t>* output_order = nullptr);

  // Whether swapping inputs i and j leaves every output unchanged.
  static bool symmetric(const FunctionTable& t, std::uint32_t i, std::uint32_t j);

  // Label text of a table taken as canonical.
  static std::string label_of(const FunctionTable& t);
};

}  // namespace recognize
