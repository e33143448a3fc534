#pragma once
// Small shared rules of pattern matching: what kind of object a name names,
// and when two gates (of the flat circuit or of a subcircuit) have the same
// logic type.
#include <cstring>
#include <functional>
#include <string_view>

#include "classic/algo/text.h"

// A name whose first four characters are "gate" names a gate; any other name
// names a transmission gate.
inline bool is_gate_name(const char* name) { return name && std::strncmp(name, "gate", 4) == 0; }

// The logic type of a gate: its n-branch and p-branch type names. A gate with
// an untyped branch (or no gate at all) has no logic type.
struct LogicType {
  const char* n = nullptr;
  const char* p = nullptr;
  bool valid() const { return n && p; }
  bool operator==(const LogicType& o) const {
    // Type names are mostly shared texts: equal pointers need no compare.
    return valid() && o.valid() && (n == o.n || std::strcmp(n, o.n) == 0) && (p == o.p || std::strcmp(p, o.p) == 0);
  }
};

template <class Gate>
LogicType logic_type_of(const Gate* g) {
  LogicType t;
  if (g && g->n_branch && g->p_branch) {
    t.n = g->n_branch->headername;
    t.p = g->p_branch->headername;
  }
  return t;
}

template <class GateA, class GateB>
bool same_logic_type(const GateA* a, const GateB* b) {
  return logic_type_of(a) == logic_type_of(b);
}

// Hash of a valid logic type, consistent with LogicType::operator==.
struct LogicTypeHash {
  std::size_t operator()(const LogicType& t) const {
    std::size_t h = std::hash<std::string_view>()(t.n ? t.n : "");
    return h * 31 + std::hash<std::string_view>()(t.p ? t.p : "");
  }
};

// The output node name of a gate (the pn_node of its n-branch), or null.
template <class Gate>
const char* output_node_of(const Gate* g) {
  return g && g->n_branch ? g->n_branch->pn_node : nullptr;
}
