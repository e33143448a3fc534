#include "classic/extract/flat_lookup.h"

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/netlist/arena.h"

namespace {
// Names in the unnumbered region are distinct, so a name finds the one slot
// a scan of the region would find.
auto& unnumbered() { return run_state().unnumbered; }
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

NODELIST* flat_get_node(const char* name) {
  if (!name) return nullptr;
  int n = return_number(name);
  if (n >= 0) return hash_node_list.get(n);
  long long i = flat_unnumbered_index(name);
  return i < 0 ? nullptr : hash_node_list.get(i);
}
