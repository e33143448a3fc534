#include "core/gates/header_modules.h"

#include <cstring>

// The texts are written exactly as the simulation library expects them,
// oddities included (the blank in "( c & d)", the OAI33 product).
const HeaderModule kHeaderModules[] = {
    {"TRANS", "in", "in"},
    {"INV", "a", "~a"},
    {"NAND2", "a, b", "~(a & b)"},
    {"NOR2", "a, b", "~(a | b)"},
    {"NAND3", "a, b, c", "~(a & b & c)"},
    {"NOR3", "a, b, c", "~(a | b | c)"},
    {"AOI12", "a, b, c", "~((a & b) | c)"},
    {"OAI12", "a, b, c", "~((a | b) & c)"},
    {"NAND4", "a, b, c, d", "~(a & b & c & d)"},
    {"NOR4", "a, b, c, d", "~(a | b | c | d)"},
    {"AOI22", "a, b, c, d", "~((a & b) | (c & d))"},
    {"OAI22", "a, b, c, d", "~((a | b) & (c | d))"},
    {"AOI13", "a, b, c, d", "~((a & b & c) | d)"},
    {"OAI13", "a, b, c, d", "~((a | b | c) & d)"},
    {"AOOI112", "a, b, c, d", "~((a & b) | c | d)"},
    {"OAAI112", "a, b, c, d", "~((a | b) & c & d)"},
    {"AOAI112", "a, b, c, d", "~(((a & b) | c) & d)"},
    {"OAOI112", "a, b, c, d", "~(((a | b) & c) | d)"},
    {"AOI23", "a, b, c, d, e", "~((a & b & c) | (d & e))"},
    {"AOI311", "a, b, c, d, e", "~((a | b) | (c & d & e))"},
    {"AOI221", "a, b, c, d, e", "~((a & b) | (c & d) | e)"},
    {"OAI23", "a, b, c, d, e", "~((a | b | c) & (d | e))"},
    {"OAI311", "a, b, c, d, e", "~((a | b | c) & d & e)"},
    {"OAI221", "a, b, c, d, e", "~((a | b) & (c | d) & e)"},
    {"OAOI212", "a, b, c, d, e", "~(((a | b) & c) | (d & e))"},
    {"OAOI2111", "a, b, c, d, e", "~(((a | b) & e) | (c | d))"},
    {"AOAI212", "a, b, c, d, e", "~((a | b) & ((c & d) | e))"},
    {"AOAI2111", "a, b, c, d, e", "~(((a & b) | e) & (c & d))"},
    {"AOI33", "a, b, c, d, e, f", "~((a & b & c) | (d & e & f))"},
    {"AOI321", "a, b, c, d, e, f", "~((a & b & c) | (d & e) | f)"},
    {"AOI222", "a, b, c, d, e, f", "~((a & b) | ( c & d) | (e & f))"},
    {"OAI222", "a, b, c, d, e, f", "~((a | b) & (c | d) & (e | f))"},
    {"OAI33", "a, b, c, d, e, f", "~((a | b | c) & (d & e & f))"},
    {"OAI321", "a, b, c, d, e, f", "~((a | b | c) & (d | e) & f)"},
};

const int kNumHeaderModules = sizeof(kHeaderModules) / sizeof(kHeaderModules[0]);

const HeaderModule* find_header_module(const char* name) {
  if (!name) return nullptr;
  for (const HeaderModule& m : kHeaderModules)
    if (std::strcmp(m.name, name) == 0) return &m;
  return nullptr;
}

void write_header_module(FILE* fp, const HeaderModule& m) {
  fprintf(fp, "module %s(%s, out);\n", m.name, m.inputs);
  fprintf(fp, "input %s;\n", m.inputs);
  fputs("output out;\n", fp);
  fprintf(fp, "assign out = %s;\n", m.expr);
  fputs("endmodule\n", fp);
  fputs("\n", fp);
}
