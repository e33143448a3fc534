// The canonical form of a function table: the least table over all orders
// of the inputs, reached by the order it gives, with the budget's verdict.
#include "profile/recognize/function_canon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

using recognize::FunctionCanon;
using recognize::FunctionTable;
using recognize::Value;

// Random single-output tables up to seven inputs, some with inputs that
// can be swapped (an OR of two of them feeding the rest) and some floating.
// The one-output search drops orders early; with the output written twice
// the search tries every order: both must pick the same order, the first
// of the least tables. Equal functions with their inputs shuffled get
// equal labels.
TEST(FunctionCanon, OneOutputSearchAgreesWithTryingEveryOrder) {
  std::mt19937 rng(5);
  for (int round = 0; round < 400; ++round) {
    FunctionTable t;
    t.inputs = rng() % 8;
    t.outputs = 1;
    const bool symmetric_pair = t.inputs >= 2 && rng() % 2;
    std::vector<Value> by_rest(t.combos());
    for (Value& v : by_rest) v = static_cast<Value>(rng() % (round % 3 == 0 ? 3 : 2));
    FunctionTable twice{t.inputs, 2, {}};
    for (std::uint32_t c = 0; c < t.combos(); ++c) {
      std::uint32_t key = c;
      if (symmetric_pair) key = (c & ~3u) | ((c & 3u) != 0 ? 1u : 0u);
      t.values.push_back(by_rest[key]);
      twice.values.insert(twice.values.end(), 2, by_rest[key]);
    }
    recognize::CanonicalForm f = FunctionCanon::canonicalize(t);
    recognize::CanonicalForm g = FunctionCanon::canonicalize(twice);
    ASSERT_TRUE(f.exact && g.exact) << round;
    EXPECT_EQ(f.order, g.order) << round;
    EXPECT_EQ(FunctionCanon::permute(t, f.order).values, f.table.values) << round;
    for (std::uint32_t c = 0; c < t.combos(); ++c) ASSERT_EQ(g.table.at(c, 1), f.table.at(c, 0)) << round;
    std::vector<std::uint32_t> shuffle(t.inputs);
    std::iota(shuffle.begin(), shuffle.end(), 0u);
    std::shuffle(shuffle.begin(), shuffle.end(), rng);
    EXPECT_EQ(FunctionCanon::canonicalize(FunctionCanon::permute(t, shuffle)).label, f.label) << round;
  }
}

// Inputs alike in every count but not interchangeable, too many to try in
// every order: the search stops at its budget, and says so.
TEST(FunctionCanon, TooManyOrdersMakeAnInexactLabel) {
  FunctionTable t;
  t.inputs = 11;
  t.outputs = 1;
  // The parity of pairs of neighbours in a ring: every input looks alike
  // and no two can be swapped.
  for (std::uint32_t c = 0; c < t.combos(); ++c) {
    std::uint32_t ones = 0;
    for (std::uint32_t k = 0; k < t.inputs; ++k) ones += ((c >> k) & (c >> ((k + 1) % t.inputs)) & 1u);
    ones += ((c & 1u) && (c >> 2 & 1u));
    t.values.push_back(ones % 2 ? Value::One : Value::Zero);
  }
  recognize::CanonicalForm f = FunctionCanon::canonicalize(t);
  EXPECT_EQ(FunctionCanon::permute(t, f.order).values, f.table.values);
  EXPECT_FALSE(f.exact);
}

}  // namespace
