#include "verilog/identifier.h"

#include <string>
#include <unordered_set>

namespace {

bool reserved(std::string_view name) {
  // The reserved words of Verilog-2005 and of SystemVerilog, so that the
  // netlist reads in either.
  static const std::unordered_set<std::string_view> words = {
      "always", "and", "assign", "automatic", "begin", "buf", "bufif0", "bufif1", "case", "casex", "casez",
      "cell", "cmos", "config", "deassign", "default", "defparam", "design", "disable", "edge", "else", "end",
      "endcase", "endconfig", "endfunction", "endgenerate", "endmodule", "endprimitive", "endspecify",
      "endtable", "endtask", "event", "for", "force", "forever", "fork", "function", "generate", "genvar",
      "highz0", "highz1", "if", "ifnone", "incdir", "include", "initial", "inout", "input", "instance",
      "integer", "join", "large", "liblist", "library", "localparam", "macromodule", "medium", "module",
      "nand", "negedge", "nmos", "nor", "noshowcancelled", "not", "notif0", "notif1", "or", "output",
      "parameter", "pmos", "posedge", "primitive", "pull0", "pull1", "pulldown", "pullup",
      "pulsestyle_onevent", "pulsestyle_ondetect", "rcmos", "real", "realtime", "reg", "release", "repeat",
      "rnmos", "rpmos", "rtran", "rtranif0", "rtranif1", "scalared", "showcancelled", "signed", "small",
      "specify", "specparam", "strong0", "strong1", "supply0", "supply1", "table", "task", "time", "tran",
      "tranif0", "tranif1", "tri", "tri0", "tri1", "triand", "trior", "trireg", "unsigned", "use", "uwire",
      "vectored", "wait", "wand", "weak0", "weak1", "while", "wire", "wor", "xnor", "xor", "alias",
      "always_comb", "always_ff", "always_latch", "assert", "assume", "before", "bind", "bins", "binsof",
      "bit", "break", "byte", "chandle", "class", "clocking", "const", "constraint", "context", "continue",
      "cover", "covergroup", "coverpoint", "cross", "dist", "do", "endclass", "endclocking", "endgroup",
      "endinterface", "endpackage", "endprogram", "endproperty", "endsequence", "enum", "expect", "export",
      "extends", "extern", "final", "first_match", "foreach", "forkjoin", "iff", "ignore_bins",
      "illegal_bins", "import", "inside", "int", "interface", "intersect", "join_any", "join_none", "local",
      "logic", "longint", "matches", "modport", "new", "null", "package", "packed", "priority", "program",
      "property", "protected", "pure", "rand", "randc", "randcase", "randsequence", "ref", "return",
      "sequence", "shortint", "shortreal", "solve", "static", "string", "struct", "super", "tagged", "this",
      "throughout", "timeprecision", "timeunit", "type", "typedef", "union", "unique", "var", "virtual",
      "void", "wait_order", "wildcard", "with", "within"};
  return words.count(name) != 0;
}

bool letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool is_simple_identifier(std::string_view name) {
  if (name.empty() || !letter(name[0])) return false;
  for (char c : name)
    if (!letter(c) && !digit(c) && c != '$') return false;
  return !reserved(name);
}

std::string verilog_identifier(std::string_view name) {
  if (is_simple_identifier(name)) return std::string(name);
  std::string out = "\\";
  out += name;
  out += ' ';
  return out;
}
