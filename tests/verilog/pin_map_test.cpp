#include "classic/verilog/pin_map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "classic/algo/gate_types.h"
#include "classic/verilog/header_writer.h"

TEST(PinMap, EvaluatorReadsGateExpressions) {
  EXPECT_EQ(evaluate_expression("~((a & b) | c)", 0b011), false);
  EXPECT_EQ(evaluate_expression("a | b & c", 0b001), true);  // & binds tighter
  EXPECT_EQ(evaluate_expression("~~f", 0b100000), true);
  for (const char* bad : {"~(a & b", "a & g", "a b", ""}) EXPECT_FALSE(evaluate_expression(bad, 0)) << bad;
}

// Each recognised form, instantiated through its mapping, computes the form's
// own function in its module; listed as "TYPE form -> pins" where moved.
TEST(PinMap, EveryFormComputesItsFunctionInItsModule) {
  int forms = 0, moved = 0;
  for (int r = 0; r < kNumGateTypeRows; ++r) {
    const char* type = kGateTypeTable[r].name;
    const HeaderModule* module = find_header_module(type);
    ASSERT_NE(module, nullptr) << type;
    int n = static_cast<int>(std::strlen(module->inputs) + 2) / 3;
    for (const char* form : kGateTypeTable[r].forms) {
      if (!form) break;
      ++forms;
      const char* mapping = pin_mapping_for(type, form);
      if (mapping) moved += printf("%-9s %-34s -> %s\n", type, form, mapping) > 0;
      for (unsigned v = 0; v < (1u << n); ++v) {
        unsigned w = 0;
        for (int k = 0; k < n; ++k) w |= ((v >> k) & 1u) << (map_pin_letter(mapping, char('a' + k)) - 'a');
        ASSERT_EQ(evaluate_expression(form, v), evaluate_expression(module->expr, w)) << form << " v=" << v;
      }
    }
  }
  EXPECT_EQ(forms, 70);
  EXPECT_EQ(moved, 18);
  EXPECT_STREQ(pin_mapping_for("AOOI112", "~((a | b) | (c & d))"), "cdab");
  EXPECT_EQ(smallest_pin_mapping("~(a & b)", "~(a | b)"), "");
  EXPECT_EQ(smallest_pin_mapping("~(a & b)", "~(a & b & c)"), "");
  EXPECT_EQ(pin_mapping_for("AOI22", "~((a | b) | (c & d))"), nullptr);  // another type's form
}
