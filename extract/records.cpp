#include "extract/records.h"

#include <string_view>
#include <unordered_map>

#include "netlist/arena.h"

namespace {
// Unnumbered node names and their table indexes; names in that region are
// distinct, so a name finds the one slot a scan of the region would find.
// Keys view stored copies of the names, so a lookup builds no string.
std::unordered_map<std::string_view, long long>& unnumbered() {
  static auto* m = new std::unordered_map<std::string_view, long long>();
  return *m;
}
}  // namespace

long long flat_unnumbered_index(const char* name) {
  if (!name) return -1;
  auto it = unnumbered().find(name);
  return it == unnumbered().end() ? -1 : it->second;
}

void flat_register_unnumbered(const char* name, long long index) {
  if (!name || unnumbered().count(name)) return;
  unnumbered().emplace(arena::intern(name), index);
}

void flat_reset_unnumbered() { unnumbered().clear(); }

NODELIST* flat_get_node(const char* name) {
  if (!name) return nullptr;
  int n = return_number(name);
  if (n >= 0) return hash_node_list.get(n);
  long long i = flat_unnumbered_index(name);
  return i < 0 ? nullptr : hash_node_list.get(i);
}
