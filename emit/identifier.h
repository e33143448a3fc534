#pragma once
// Verilog identifiers for names kept as written: a name that is not a legal
// simple identifier, or is a keyword, becomes an escaped identifier.
#include <string>
#include <string_view>

namespace emit {

bool is_simple_identifier(std::string_view name);

// `name` itself, or `\name ` (backslash, name, blank).
std::string verilog_identifier(std::string_view name);

}  // namespace emit
