#include "emit/identifier.h"

#include <string>

#include "verilog/identifier.h"

namespace emit {

bool is_simple_identifier(std::string_view name) { return is_plain_identifier(std::string(name).c_str()); }

std::string verilog_identifier(std::string_view name) {
  if (is_simple_identifier(name)) return std::string(name);
  // An escaped identifier runs to the next white space; printable
  // characters only, so anything else is replaced.
  std::string s = "\\";
  for (char c : name) s += (c > ' ' && c < 127) ? c : '_';
  if (name.empty()) s += '_';
  s += ' ';
  return s;
}

}  // namespace emit
