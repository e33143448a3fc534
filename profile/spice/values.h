#pragma once
// Numbers as SPICE writes them (`650000u`, `1e+06u`, `10meg`, `2.5`), and
// parameter values: a number, a `.param` name, or an expression of numbers
// and names with + - * / and parentheses, in braces or quotes or bare.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace spice {

// Lower-case parameter name -> value.
using Params = std::unordered_map<std::string, double>;

// A number with an optional scale (t g meg k m mil u n p f, any case) and
// unit letters after it, which are ignored; nothing when the text is not one.
std::optional<double> spice_number(std::string_view text);

// The value of a parameter text; nothing when it names an unknown parameter
// or does not read as an expression.
std::optional<double> evaluate(std::string_view text, const Params& params);

}  // namespace spice
