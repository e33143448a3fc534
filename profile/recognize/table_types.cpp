#include "profile/recognize/table_types.h"

#include <cstring>

#include "core/gates/expression.h"
#include "core/gates/header_modules.h"
#include "profile/recognize/function_canon.h"

namespace recognize {

TableTypes::TableTypes() {
  for (int m = 0; m < kNumHeaderModules; ++m) {
    const HeaderModule& hm = kHeaderModules[m];
    // The transmission-gate module is a buffer, not a gate type.
    if (std::strcmp(hm.name, "TRANS") == 0) continue;
    FunctionTable t;
    t.inputs = static_cast<std::uint32_t>(std::strlen(hm.inputs) + 2) / 3;
    t.outputs = 1;
    for (std::uint32_t c = 0; c < t.combos(); ++c)
      t.values.push_back(evaluate_expression(hm.expr, c).value_or(false) ? Value::One : Value::Zero);
    CanonicalForm f = FunctionCanon::canonicalize(t);
    TableType type{m, std::string()};
    for (std::uint32_t k : f.order) type.pins += static_cast<char>('a' + k);
    by_label_.emplace(f.label, type);
  }
}

const TableTypes& TableTypes::instance() {
  static const TableTypes types;
  return types;
}

const TableType* TableTypes::find(const std::string& label) const {
  auto it = by_label_.find(label);
  return it == by_label_.end() ? nullptr : &it->second;
}

}  // namespace recognize
