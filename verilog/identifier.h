#pragma once
// Names as Verilog identifiers: a name that is not a legal simple identifier
// (letters, digits, `_`, `$`, not starting with a digit or `$`) or that is a
// reserved word is written as an escaped identifier, `\` + name + blank.
#include <string>
#include <string_view>

bool is_simple_identifier(std::string_view name);
std::string verilog_identifier(std::string_view name);
