// Generated modules: covers that compute their function, and the values a
// stage cannot drive (fights, floating nets) written as they must be.
#include <gtest/gtest.h>

#include <random>

#include "profile/design/function_modules.h"
#include "profile/design/sop_minimizer.h"

namespace {

using recognize::Value;

TEST(SopMinimizer, CoverIsExactOnTheOnSetAndFreeOnDontCares) {
  std::mt19937 rng(7);
  for (std::uint32_t n = 0; n <= 7; ++n)
    for (int trial = 0; trial < 20; ++trial) {
      std::vector<bool> on(1u << n), dc(1u << n);
      for (std::uint32_t m = 0; m < on.size(); ++m) {
        unsigned r = rng() % 4;
        on[m] = r == 0;
        dc[m] = r == 1;
      }
      std::vector<design::Cube> cover = design::SopMinimizer::minimize(n, on, dc);
      for (std::uint32_t m = 0; m < on.size(); ++m) {
        bool covered = false;
        for (const design::Cube& c : cover) covered = covered || (m & c.care) == c.value;
        if (on[m] || !dc[m]) {
          EXPECT_EQ(covered, on[m]) << n << " " << m;
        }
      }
    }
  EXPECT_EQ(design::SopMinimizer::expression({}, {"a"}), "1'b0");
  EXPECT_EQ(design::SopMinimizer::expression({design::Cube{0, 0}}, {"a"}), "1'b1");
  // Adjacent minterms merge: a & b | a & ~b is a.
  std::vector<design::Cube> a = design::SopMinimizer::minimize(2, {false, true, false, true}, {false, false, false, false});
  EXPECT_EQ(design::SopMinimizer::expression(a, {"a", "b"}), "a");
}

std::string module_text(const recognize::Stage& s) {
  design::FunctionModules modules;
  modules.module_for(s);
  char* buf = nullptr;
  std::size_t size = 0;
  FILE* f = open_memstream(&buf, &size);
  modules.write(f);
  std::fclose(f);
  std::string text(buf, size);
  std::free(buf);
  return text;
}

// Fights hold; floating outputs float or hold, each condition tested only
// where the earlier ones failed; gates read as the shorter of function and
// complement. Pieces of the module, each found after the one before.
TEST(FunctionModules, ConditionsAndCoversAsWritten) {
  const Value I = Value::One, O = Value::Zero;
  const struct {
    recognize::StageKind kind;
    std::vector<Value> values;  // over the inputs a, b[, c], to one output y
    bool floats;
    const char* label;
    std::vector<const char*> written;
  } rows[] = {
      {recognize::StageKind::Network, {I, O, Value::X, Value::Z}, true, "2.1:4e",
       {"(~a & ~b) ? 1'b1 : (~b) ? 1'b0 : (a) ? 1'bz : y;"}},
      {recognize::StageKind::Network, {I, O, Value::X, Value::Z}, false, "2.1:4e",
       {"module N2x1_4e_h(a, b, y);", "(~a & ~b) ? 1'b1 : (~b) ? 1'b0 : y;"}},
      {recognize::StageKind::Gate, {I, I, I, O, O, O, O, O}, false, "inverting",
       {"module F3_07(a, b, c, y);", "assign y = ~((a & b) | c);"}},
      {recognize::StageKind::Gate, {O, I, I, I, I, I, I, I}, false, "or", {"assign y = ~(~a & ~b & ~c);"}},
      // The complement of a negated literal is the literal: `~~a` does not compile.
      {recognize::StageKind::Gate, {O, I, O, I}, false, "buffer", {"assign y = a;"}},
  };
  for (const auto& row : rows) {
    recognize::Stage s;
    s.kind = row.kind;
    s.table.inputs = row.values.size() == 4 ? 2 : 3;
    s.table.outputs = 1;
    s.table.values = row.values;
    s.label = row.label;
    s.floats_to_z = {row.floats};
    std::string text = module_text(s);
    std::size_t at = 0;
    for (const char* piece : row.written) EXPECT_NE(at = text.find(piece, at), std::string::npos) << piece << "\n" << text;
  }
}

}  // namespace
