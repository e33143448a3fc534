#include "core/verilog/identifier.h"

#include <string_view>
#include <unordered_set>

namespace {

// Reserved words of Verilog and of SystemVerilog: a netlist may be read by
// either, and an escaped name means the same to both.
const std::unordered_set<std::string_view>& reserved_words() {
  static const std::unordered_set<std::string_view> words = {
      "accept_on", "alias", "always", "always_comb", "always_ff", "always_latch", "and", "assert", "assign",
      "assume", "automatic", "before", "begin", "bind", "bins", "binsof", "bit", "break", "buf", "bufif0",
      "bufif1", "byte", "case", "casex", "casez", "cell", "chandle", "checker", "class", "clocking", "cmos",
      "config", "const", "constraint", "context", "continue", "cover", "covergroup", "coverpoint", "cross",
      "deassign", "default", "defparam", "design", "disable", "dist", "do", "edge", "else", "end", "endcase",
      "endchecker", "endclass", "endclocking", "endconfig", "endfunction", "endgenerate", "endgroup",
      "endinterface", "endmodule", "endpackage", "endprimitive", "endprogram", "endproperty", "endspecify",
      "endsequence", "endtable", "endtask", "enum", "event", "eventually", "expect", "export", "extends",
      "extern", "final", "first_match", "for", "force", "foreach", "forever", "fork", "forkjoin", "function",
      "generate", "genvar", "global", "highz0", "highz1", "if", "iff", "ifnone", "ignore_bins", "illegal_bins",
      "implements", "implies", "import", "incdir", "include", "initial", "inout", "input", "inside", "instance",
      "int", "integer", "interconnect", "interface", "intersect", "join", "join_any", "join_none", "large",
      "let", "liblist", "library", "local", "localparam", "logic", "longint", "macromodule", "matches", "medium",
      "modport", "module", "nand", "negedge", "nettype", "new", "nexttime", "nmos", "nor", "noshowcancelled",
      "not", "notif0", "notif1", "null", "or", "output", "package", "packed", "parameter", "pmos", "posedge",
      "primitive", "priority", "program", "property", "protected", "pull0", "pull1", "pulldown", "pullup",
      "pulsestyle_ondetect", "pulsestyle_onevent", "pure", "rand", "randc", "randcase", "randsequence", "rcmos",
      "real", "realtime", "ref", "reg", "reject_on", "release", "repeat", "restrict", "return", "rnmos", "rpmos",
      "rtran", "rtranif0", "rtranif1", "s_always", "s_eventually", "s_nexttime", "s_until", "s_until_with",
      "scalared", "sequence", "shortint", "shortreal", "showcancelled", "signed", "small", "soft", "solve",
      "specify", "specparam", "static", "string", "strong", "strong0", "strong1", "struct", "super", "supply0",
      "supply1", "sync_accept_on", "sync_reject_on", "table", "tagged", "task", "this", "throughout", "time",
      "timeprecision", "timeunit", "tran", "tranif0", "tranif1", "tri", "tri0", "tri1", "triand", "trior",
      "trireg", "type", "typedef", "union", "unique", "unique0", "unsigned", "until", "until_with", "untyped",
      "use", "uwire", "var", "vectored", "virtual", "void", "wait", "wait_order", "wand", "weak", "weak0",
      "weak1", "while", "wildcard", "wire", "with", "within", "wor", "xnor", "xor"};
  return words;
}

bool letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

}  // namespace

bool is_plain_identifier(const char* name) { return name && is_plain_identifier(std::string_view(name)); }

bool is_plain_identifier(std::string_view name) {
  if (name.empty() || !letter(name[0])) return false;
  for (char c : name.substr(1)) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '$') return false;
  }
  return reserved_words().count(name) == 0;
}

void write_identifier(FILE* fp, const char* name) {
  if (!name || !*name) return;
  if (is_plain_identifier(name)) {
    fputs(name, fp);
  } else {
    fprintf(fp, "\\%s ", name);
  }
}

void write_identifier(FILE* fp, std::string_view name) {
  if (name.empty()) return;
  bool plain = is_plain_identifier(name);
  if (!plain) fputc('\\', fp);
  fwrite(name.data(), 1, name.size(), fp);
  if (!plain) fputc(' ', fp);
}

std::string verilog_identifier(const std::string& name) {
  if (name.empty() || is_plain_identifier(name.c_str())) return name;
  return "\\" + name + " ";
}
