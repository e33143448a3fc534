// Generated modules: covers that compute their function, and the values a
// stage cannot drive (fights, floating nets) written as they must be.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "profile/design/function_modules.h"
#include "profile/design/sop_minimizer.h"
#include "tests/emit/bench.h"

namespace {

using recognize::Value;

// Ternary values of a sum of products and of a set over one assignment
// (per input 0, 1 or 2 for unknown): 0, 1, or 2 when the completions differ.
int sum_value(const std::vector<design::Cube>& cubes, const std::vector<int>& at) {
  int sum = 0;
  for (const design::Cube& c : cubes) {
    int product = 1;
    for (std::uint32_t k = 0; k < at.size(); ++k) {
      if (!((c.care >> k) & 1u)) continue;
      int lit = at[k] == 2 ? 2 : at[k] == static_cast<int>((c.value >> k) & 1u);
      product = lit == 0 || product == 0 ? 0 : lit == 2 || product == 2 ? 2 : 1;
    }
    sum = product == 1 || sum == 1 ? 1 : product == 2 || sum == 2 ? 2 : 0;
  }
  return sum;
}

// What the sum must be over one assignment: 1 where every completion is on
// or free and one is on, 0 where none is either, x where some is on and
// some is neither; -1 where it may be anything (only free completions, or
// free ones and neither).
int wanted_value(const std::vector<bool>& on, const std::vector<bool>& dc, const std::vector<int>& at) {
  bool some_on = false, some_off = false, some_in = false;
  for (std::uint32_t m = 0; m < on.size(); ++m) {
    bool fits = true;
    for (std::uint32_t k = 0; k < at.size(); ++k)
      fits = fits && (at[k] == 2 || at[k] == static_cast<int>((m >> k) & 1u));
    if (!fits) continue;
    some_on = some_on || on[m];
    some_in = some_in || on[m] || dc[m];
    some_off = some_off || !(on[m] || dc[m]);
  }
  if (!some_in) return 0;
  if (!some_on) return -1;
  return some_off ? 2 : 1;
}

// The sum of all primes is known wherever the known inputs decide: what the
// written logic needs so as not to be x where the transistors are not.
TEST(SopMinimizer, SumOfPrimesIsExactInThreeValuedLogic) {
  std::mt19937 rng(7);
  for (std::uint32_t n = 0; n <= 5; ++n)
    for (int trial = 0; trial < 20; ++trial) {
      std::vector<bool> on(1u << n), dc(1u << n);
      for (std::uint32_t m = 0; m < on.size(); ++m) {
        unsigned r = rng() % 4;
        on[m] = r == 0;
        dc[m] = r == 1;
      }
      std::vector<design::Cube> primes = design::SopMinimizer::primes(n, on, dc);
      std::vector<int> at(n, 0);
      for (std::uint32_t t = 0; t < std::pow(3, n); ++t) {
        for (std::uint32_t k = 0, r = t; k < n; ++k, r /= 3) at[k] = static_cast<int>(r % 3);
        int want = wanted_value(on, dc, at);
        if (want >= 0) {
          EXPECT_EQ(sum_value(primes, at), want) << n << " " << t;
        }
      }
    }
  EXPECT_EQ(design::SopMinimizer::expression({}, {"a"}), "1'b0");
  EXPECT_EQ(design::SopMinimizer::expression({design::Cube{0, 0}}, {"a"}), "1'b1");
  // A multiplexer keeps its consensus term: ~s & a | s & b | a & b.
  std::vector<design::Cube> mux = design::SopMinimizer::primes(
      3, {false, false, true, false, false, true, true, true}, std::vector<bool>(8, false));
  EXPECT_EQ(design::SopMinimizer::expression(mux, {"s", "a", "b"}), "(~s & a) | (s & b) | (a & b)");
}

std::string module_text(const recognize::Stage& s, bool floats_to_z) {
  design::FunctionModules modules;
  modules.module_for(s, std::vector<bool>(s.table().outputs, floats_to_z));
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
      // Held values are a variable of the logic, set by a process.
      {recognize::StageKind::Network, {I, O, Value::X, Value::Z}, true, "2.1:4e",
       {"reg y;", "always @(a, b) y = ((~a & ~b) | (~a & y)) ? 1'b1 : (~a | ~b) ? 1'b0 : 1'bz;"}},
      {recognize::StageKind::Network, {I, O, Value::X, Value::Z}, false, "2.1:4e",
       {"module N2x1_4e_h(a, b, y);", "always @(a, b) y = (~a & ~b) | (~a & y) | (b & y);"}},
      {recognize::StageKind::Tristate, {I, O, Value::Z, Value::Z}, true, "2.1:4a",
       {"assign y = (~a & ~b) ? 1'b1 : (~b) ? 1'b0 : 1'bz;"}},
      {recognize::StageKind::Gate, {I, I, I, O, O, O, O, O}, false, "inverting",
       {"module F3_07(a, b, c, y);", "assign y = ~((a & b) | c);"}},
      {recognize::StageKind::Gate, {O, I, I, I, I, I, I, I}, false, "or", {"assign y = ~(~a & ~b & ~c);"}},
      // The complement of a negated literal is the literal: `~~a` does not compile.
      {recognize::StageKind::Gate, {O, I, O, I}, false, "buffer", {"assign y = a;"}},
  };
  for (const auto& row : rows) {
    recognize::Stage s;
    s.kind = row.kind;
    s.function = std::make_shared<recognize::StageFunction>(
        recognize::StageFunction{row.label, {row.values.size() == 4 ? 2u : 3u, 1, row.values}, {}, {}});
    std::string text = module_text(s, row.floats);
    std::size_t at = 0;
    for (const char* piece : row.written) EXPECT_NE(at = text.find(piece, at), std::string::npos) << piece << "\n" << text;
  }
}

// What a stage with every input combination's value in `values` drives
// for one assignment of 0, 1 and x ('0', '1', 'x'): the common value of all
// completions, else x.
char merged_value(const std::vector<Value>& values, const std::string& at) {
  char merged = 0;
  for (std::uint32_t m = 0; m < values.size(); ++m) {
    bool fits = true;
    for (std::size_t k = 0; k < at.size(); ++k)
      fits = fits && (at[k] == 'x' || at[k] - '0' == static_cast<int>((m >> k) & 1u));
    if (!fits) continue;
    char v = values[m] == Value::One ? '1' : values[m] == Value::Zero ? '0' : 'z';
    merged = merged == 0 || merged == v ? v : 'x';
  }
  return merged;
}

// Simulated with unknown inputs, a written tristate stage is known (or
// floats) wherever every completion agrees: as sums of primes up to eight
// inputs, as a lookup that tries the completions above.
TEST(FunctionModules, UnknownInputsThatDoNotMatterLeaveTheOutputKnown) {
  if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  std::mt19937 rng(11);
  for (std::uint32_t n : {3u, 10u}) {
    recognize::Stage s;
    s.kind = recognize::StageKind::Tristate;
    auto f = std::make_shared<recognize::StageFunction>();
    f->table.inputs = n;
    f->table.outputs = 1;
    // Few floating combinations, and runs of equal values for unknown
    // inputs not to matter.
    for (std::uint32_t m = 0; m < (1u << n); ++m) {
      unsigned r = rng() % 8;
      f->table.values.push_back(r == 0 ? Value::Z : ((m >> 1) ^ (r == 1)) & 1 ? Value::One : Value::Zero);
    }
    f->label = "tri" + std::to_string(n);
    s.function = f;
    std::string text = module_text(s, true);
    std::string name = text.substr(text.find("module ") + 7);
    name = name.substr(0, name.find('('));
    std::vector<std::string> pins = design::FunctionModules::input_pins(n);
    std::string all;
    for (std::size_t k = pins.size(); k-- > 0;) all += pins[k] + (k ? ", " : "");
    std::string bench = "module tb;\nreg " + all + ";\nwire y;\n" + name + " dut(" + connect(pins) + ", .y(y));\n" +
                        "initial begin\n";
    for (int t = 0; t < 200; ++t) {
      std::string at;
      for (std::uint32_t k = 0; k < n; ++k) at += "01x"[rng() % (n > 3 ? 4 : 3) % 3];
      std::string bits(at.rbegin(), at.rend());
      bench += "  {" + all + "} = " + std::to_string(n) + "'b" + bits + ";\n  #1;\n";
      bench += "  if (y !== 1'b" + std::string(1, merged_value(s.table().values, at)) + ") $display(\"MISMATCH " + at +
               " %b\", y);\n";
    }
    bench += "  $display(\"DONE\");\nend\nendmodule\n";
    std::string module = scratch_path(name + ".v"), tb = scratch_path(name + "_tb.v");
    write_text(module, text);
    write_text(tb, bench);
    expect_clean(simulate({module, tb}, "tb"), text);
    std::remove(module.c_str());
    std::remove(tb.c_str());
  }
}

// A latch's node keeps its value while its clock is unknown if the data
// agrees with it, and is x only when they differ.
TEST(FunctionModules, HeldValueDecidesWhereTheInputsAgreeWithIt) {
  if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  recognize::Stage s;
  s.kind = recognize::StageKind::Network;
  // a: data, b: clock
  s.function = std::make_shared<recognize::StageFunction>(
      recognize::StageFunction{"latch", {2, 1, {Value::Z, Value::Z, Value::Zero, Value::One}}, {}, {}});
  std::string text = module_text(s, false);
  std::string name = text.substr(text.find("module ") + 7);
  name = name.substr(0, name.find('('));
  std::string bench = "module tb;\nreg a, b;\nwire y;\n" + name + " dut(.a(a), .b(b), .y(y));\ninitial begin\n";
  const char* steps[][3] = {{"1", "1", "1"}, {"1", "x", "1"}, {"1", "0", "1"}, {"0", "x", "x"},
                            {"0", "1", "0"}, {"0", "x", "0"}, {"x", "0", "0"}, {"x", "1", "x"}};
  for (const auto& st : steps)
    bench += std::string("  a = 1'b") + st[0] + "; b = 1'b" + st[1] + ";\n  #1;\n  if (y !== 1'b" + st[2] +
             ") $display(\"MISMATCH a=" + st[0] + " b=" + st[1] + " %b\", y);\n";
  bench += "  $display(\"DONE\");\nend\nendmodule\n";
  std::string module = scratch_path("latch.v"), tb = scratch_path("latch_tb.v");
  write_text(module, text);
  write_text(tb, bench);
  expect_clean(simulate({module, tb}, "tb"), text);
  std::remove(module.c_str());
  std::remove(tb.c_str());
}

}  // namespace
