#include "classic/verilog/pin_map.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "classic/algo/gate_types.h"
#include "core/gates/header_modules.h"

namespace {

constexpr int kMaxLetters = 6;

// Number of letters an expression uses, provided they are a, b, ... without
// gaps; -1 otherwise.
int letter_count(const char* expr) {
  unsigned seen = 0;
  for (const char* p = expr; *p; ++p)
    if (*p >= 'a' && *p <= 'z') {
      if (*p >= 'a' + kMaxLetters) return -1;
      seen |= 1u << (*p - 'a');
    }
  int n = 0;
  while (seen & (1u << n)) ++n;
  return (seen >> n) == 0 ? n : -1;
}

// Truth table over n letters, bit v = value under assignment v; empty on a
// malformed expression.
std::optional<uint64_t> truth_table(const char* expr, int n) {
  uint64_t table = 0;
  for (unsigned v = 0; v < (1u << n); ++v) {
    std::optional<bool> r = evaluate_expression(expr, v);
    if (!r) return std::nullopt;
    if (*r) table |= uint64_t{1} << v;
  }
  return table;
}

struct FormMapping {
  const char* type_name;
  std::string pins;  // empty: written unchanged
};

// Every form of the gate-type table with the mapping it needs, computed once.
const std::unordered_map<std::string_view, FormMapping>& form_mappings() {
  static const auto* mappings = [] {
    auto* m = new std::unordered_map<std::string_view, FormMapping>();
    for (int r = 0; r < kNumGateTypeRows; ++r) {
      const GateTypeRow& row = kGateTypeTable[r];
      const HeaderModule* module = find_header_module(row.name);
      for (const char* form : row.forms) {
        if (!form) break;
        std::string pins = module ? smallest_pin_mapping(form, module->expr) : std::string();
        bool identity = true;
        for (size_t k = 0; k < pins.size(); ++k)
          if (pins[k] != static_cast<char>('a' + k)) identity = false;
        if (identity) pins.clear();
        m->emplace(form, FormMapping{row.name, std::move(pins)});  // first row wins, as in recognition
      }
    }
    return m;
  }();
  return *mappings;
}

}  // namespace

std::string smallest_pin_mapping(const char* form, const char* module_expr) {
  if (!form || !module_expr) return {};
  int n = letter_count(form);
  if (n <= 0 || n != letter_count(module_expr)) return {};
  std::optional<uint64_t> form_table = truth_table(form, n);
  std::optional<uint64_t> module_table = truth_table(module_expr, n);
  if (!form_table || !module_table) return {};

  // Permutations in lexicographic order: the first that fits is the smallest.
  std::string pins;
  for (int k = 0; k < n; ++k) pins.push_back(static_cast<char>('a' + k));
  do {
    bool equal = true;
    for (unsigned v = 0; v < (1u << n) && equal; ++v) {
      unsigned w = 0;  // the module pins' values when the form's letters take v
      for (int k = 0; k < n; ++k)
        if ((v >> k) & 1u) w |= 1u << (pins[k] - 'a');
      equal = (((*form_table >> v) ^ (*module_table >> w)) & 1u) == 0;
    }
    if (equal) return pins;
  } while (std::next_permutation(pins.begin(), pins.end()));
  return {};
}

const char* pin_mapping_for(const char* type_name, const char* expression) {
  if (!type_name || !expression) return nullptr;
  const auto& mappings = form_mappings();
  auto it = mappings.find(expression);
  if (it == mappings.end() || it->second.pins.empty()) return nullptr;
  if (std::strcmp(it->second.type_name, type_name) != 0) return nullptr;
  return it->second.pins.c_str();
}

char map_pin_letter(const char* mapping, char letter) {
  if (!mapping || letter < 'a') return letter;
  size_t k = static_cast<size_t>(letter - 'a');
  return k < std::strlen(mapping) ? mapping[k] : letter;
}
