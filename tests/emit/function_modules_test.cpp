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

TEST(FunctionModules, FightsHoldAndFloatingOutputsFloatOrHold) {
  recognize::Stage s;
  s.kind = recognize::StageKind::Network;
  s.table.inputs = 2;
  s.table.outputs = 1;
  s.table.values = {Value::One, Value::Zero, Value::X, Value::Z};
  s.label = "2.1:4e";
  // Each condition is tested only where the earlier ones failed.
  s.floats_to_z = {true};
  std::string z = module_text(s);
  EXPECT_NE(z.find("(~a & ~b) ? 1'b1 : (~b) ? 1'b0 : (a) ? 1'bz : y;"), std::string::npos) << z;
  s.floats_to_z = {false};
  std::string held = module_text(s);
  EXPECT_NE(held.find("(~a & ~b) ? 1'b1 : (~b) ? 1'b0 : y;"), std::string::npos) << held;
  EXPECT_NE(held.find("module N2x1_4e_h(a, b, y);"), std::string::npos) << held;
}

TEST(FunctionModules, GatesReadAsTheShorterOfFunctionAndComplement) {
  recognize::Stage s;
  s.kind = recognize::StageKind::Gate;
  s.table.inputs = 3;
  s.table.outputs = 1;
  // ~((a & b) | c) and a | b | c
  for (unsigned c = 0; c < 8; ++c) s.table.values.push_back(((c & 3) == 3 || (c & 4)) ? Value::Zero : Value::One);
  s.label = "inverting";
  std::string inv = module_text(s);
  EXPECT_NE(inv.find("module F3_07(a, b, c, y);"), std::string::npos) << inv;
  EXPECT_NE(inv.find("assign y = ~((a & b) | c);"), std::string::npos) << inv;
  for (unsigned c = 0; c < 8; ++c) s.table.values[c] = c ? Value::One : Value::Zero;
  s.label = "or";
  EXPECT_NE(module_text(s).find("assign y = ~(~a & ~b & ~c);"), std::string::npos) << module_text(s);
}

}  // namespace
