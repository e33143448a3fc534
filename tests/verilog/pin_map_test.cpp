#include "verilog/pin_map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "extract/gate_types.h"
#include "verilog/header_writer.h"

namespace {
int letters_of(const char* inputs) { return static_cast<int>((std::string(inputs).size() + 2) / 3); }
}  // namespace

TEST(PinMap, EvaluatorReadsTheGateExpressions) {
  EXPECT_EQ(evaluate_expression("~((a & b) | c)", 0b011), false);
  EXPECT_EQ(evaluate_expression("~((a & b) | c)", 0b001), true);
  EXPECT_EQ(evaluate_expression("a | b & c", 0b001), true);  // & binds tighter
  EXPECT_EQ(evaluate_expression("~~f", 0b100000), true);
  EXPECT_FALSE(evaluate_expression("~(a & b", 0).has_value());
  EXPECT_FALSE(evaluate_expression("a & g", 0).has_value());
  EXPECT_FALSE(evaluate_expression("a b", 0).has_value());
  EXPECT_FALSE(evaluate_expression(nullptr, 0).has_value());
}

// Every recognised form, instantiated through its pin mapping, must compute
// exactly the form's function in its module.
TEST(PinMap, EveryFormComputesItsFunctionInItsModule) {
  int forms = 0, non_identity = 0;
  for (int r = 0; r < kNumGateTypeRows; ++r) {
    const GateTypeRow& row = kGateTypeTable[r];
    const HeaderModule* module = find_header_module(row.name);
    ASSERT_NE(module, nullptr) << row.name;
    int n = letters_of(module->inputs);
    for (const char* form : row.forms) {
      if (!form) break;
      ++forms;
      const char* mapping = pin_mapping_for(row.name, form);
      if (mapping) ++non_identity;
      for (unsigned v = 0; v < (1u << n); ++v) {
        unsigned w = 0;
        for (int k = 0; k < n; ++k)
          if ((v >> k) & 1u) w |= 1u << (map_pin_letter(mapping, static_cast<char>('a' + k)) - 'a');
        ASSERT_EQ(evaluate_expression(form, v), evaluate_expression(module->expr, w)) << form << " v=" << v;
      }
    }
  }
  EXPECT_EQ(forms, 70);
  EXPECT_EQ(non_identity, 18);
  EXPECT_STREQ(pin_mapping_for("AOOI112", "~((a | b) | (c & d))"), "cdab");
  EXPECT_STREQ(smallest_pin_mapping("~(a & b)", "~(a & b)").c_str(), "ab");
  EXPECT_EQ(smallest_pin_mapping("~(a & b)", "~(a | b)"), "");
  EXPECT_EQ(smallest_pin_mapping("~(a & b)", "~(a & b & c)"), "");
  EXPECT_EQ(pin_mapping_for("AOI12", "~((a & b) | c)"), nullptr);  // identity
  EXPECT_EQ(pin_mapping_for("INV", "~a"), nullptr);
  EXPECT_EQ(pin_mapping_for("N_Model_a", "~((c & d) | (a | b))"), nullptr);
  EXPECT_EQ(pin_mapping_for("AOI22", "~((a | b) | (c & d))"), nullptr);  // form of another type
  EXPECT_EQ(map_pin_letter("cdab", 'e'), 'e');
}

// Lists the forms whose letters are moved, as "TYPE form -> pins".
TEST(PinMap, PrintsTheMappingTable) {
  for (int r = 0; r < kNumGateTypeRows; ++r)
    for (const char* form : kGateTypeTable[r].forms)
      if (const char* mapping = pin_mapping_for(kGateTypeTable[r].name, form))
        printf("%-9s %-34s -> %s\n", kGateTypeTable[r].name, form, mapping);
}
