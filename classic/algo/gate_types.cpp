#include "classic/algo/gate_types.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

const GateTypeRow kGateTypeTable[] = {
    {"NOR2", {"~(a | b)"}},
    {"NAND2", {"~(a & b)"}},
    {"NOR3", {"~(a | b | c)", "~((a | b) | c)"}},
    {"NAND3", {"~(a & b & c)", "~((a & b) & c)"}},
    {"OAI12", {"~((a | b) & c)"}},
    {"AOI12", {"~((a & b) | c)"}},
    {"NOR4", {"~((a | b) | (c | d))", "~((a | b | c) | d)", "~(a | b | c | d)"}},
    {"NAND4", {"~((a & b) & (c & d))", "~((a & b & c) & d)", "~(a & b & c & d)"}},
    {"AOI22", {"~((a & b) | (c & d))"}},
    {"OAI22", {"~((a | b) & (c | d))"}},
    {"AOI13", {"~((a & b & c) | d)", "~(((a & b) & c) | d)"}},
    {"OAI13", {"~((a | b | c) & d)", "~(((a | b) | c) & d)"}},
    {"OAOI112", {"~(((a | b) & c) | d)"}},
    {"AOOI112", {"~((a | b) | (c & d))"}},
    {"OAAI112", {"~((a | b) & c & d)", "~((a | b) & (c & d))", "~(((a | b) & c) & d)"}},
    {"AOAI112", {"~(((a & b) | c) & d)"}},
    {"AOI23",
     {"~((a & b) | (c & d & e))", "~((a & b) | ((c & d) & e))", "~((a & b & c) | (d & e))",
      "~(((a & b) & e) | (c & d))"}},
    {"AOI311", {"~((a | b) | (c & d & e))", "~((a | b) | ((c & d) & e))"}},
    {"AOI221", {"~((a & b) | (c & d) | e)", "~((a & b) | e | (c & d))"}},
    {"OAI23", {"~((a | b | c) & (d | e))", "~((a | b) & (c | d | e))"}},
    {"OAI311",
     {"~((a | b | c) & d & e)", "~(((a | b | c) & d) & e)", "~((a | b | c) & (d & e))", "~((d & e) & (a | b | c))"}},
    {"OAI221",
     {"~((a | b) & (c | d) & e)", "~((a | b) & e & (c | d))", "~(((a | b) & (c | d)) & e)",
      "~(((a | b) & e) & (c | d))"}},
    {"OAOI212", {"~(((a | b) & c) | (d & e))", "~(((a | b) & e) | (c & d))"}},
    {"OAOI2111", {"~(((a | b) & e) | (c | d))", "~((a | b) | ((c | d) & e))"}},
    {"AOAI212", {"~((a | b) & ((c & d) | e))"}},
    {"AOAI2111",
     {"~(((a & b) | e) & (c & d))", "~((a & b) & ((c & d) | e))", "~(((a & b) | c) & d & e)",
      "~((((a & b) | c) & d) & e)"}},
    {"AOI33", {"~((a & b & c) | (d & e & f))", "~((a & b & c) | ((d & e) & f))"}},
    {"AOI321",
     {"~((a & b & c) | (d & e) | f)", "~(((a & b) & e) | (c & d) | f)", "~((a & b) | (c & d & e) | f)",
      "~((a & b) | ((c & d) & e) | f)", "~((a & b & c) | f | (d & e))", "~(((a & b) & e) | f | (c & d))",
      "~((a & b) | f | (c & d & e))", "~((a & b) | f | ((c & d) & e))"}},
    {"AOI222", {"~((a & b) | (c & d) | (e & f))"}},
    {"OAI222", {"~((a | b) & (c | d) & (e | f))"}},
    {"OAI33", {"~((a | b | c) & (d & e & f))"}},
    {"OAI321",
     {"~((a | b | c) & (d | e) & f)", "~((a | b) & (c | d | e) & f)", "~((a | b | c) & f & (d | e))",
      "~((a | b) & f & (c | d | e))"}},
};

const int kNumGateTypeRows = sizeof(kGateTypeTable) / sizeof(kGateTypeTable[0]);

namespace {

const std::unordered_map<std::string_view, const char*>& form_index() {
  static const auto* index = [] {
    auto* m = new std::unordered_map<std::string_view, const char*>();
    for (const GateTypeRow& row : kGateTypeTable)
      for (const char* form : row.forms)
        if (form) m->emplace(form, row.name);  // first row in table order wins
    return m;
  }();
  return *index;
}

const char* const kDualPairs[][2] = {
    {"INV", "INV"},         {"NAND2", "NOR2"},      {"NAND3", "NOR3"},   {"OAI12", "AOI12"},
    {"NOR4", "NAND4"},      {"AOI22", "OAI22"},     {"AOI13", "OAI13"},  {"OAOI112", "AOAI112"},
    {"AOOI112", "OAAI112"}, {"AOI23", "OAI23"},     {"AOI311", "OAI311"}, {"AOI221", "OAI221"},
    {"OAOI212", "AOAI212"}, {"OAOI2111", "AOAI2111"}, {"AOI33", "OAI33"}, {"AOI321", "OAI321"},
    {"AOI222", "OAI222"},
};

}  // namespace

const char* lookup_gate_type(const char* marked_expression) {
  if (!marked_expression) return nullptr;
  auto it = form_index().find(marked_expression);
  return it == form_index().end() ? nullptr : it->second;
}

bool is_dual_pair(const char* ntype, const char* ptype) {
  if (!ntype || !ptype) return false;
  for (const auto& pair : kDualPairs) {
    if ((std::strcmp(ntype, pair[0]) == 0 && std::strcmp(ptype, pair[1]) == 0) ||
        (std::strcmp(ntype, pair[1]) == 0 && std::strcmp(ptype, pair[0]) == 0))
      return true;
  }
  return false;
}
