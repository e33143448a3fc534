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
// or does not read as an expression. Names are looked up in `params`, then
// in `outer` (a subcircuit's parameters before the deck's).
std::optional<double> evaluate(std::string_view text, const Params& params, const Params* outer = nullptr);

// A MOSFET's drawn size in metres from the texts of its w, l and m (empty:
// not given; a value that does not evaluate counts as not given): W times
// the multiplier, and L.
struct DrawnSize {
  float width = 0, length = 0;
};
DrawnSize drawn_size(std::string_view w, std::string_view l, std::string_view m, const Params& params,
                     const Params* outer = nullptr);

}  // namespace spice
