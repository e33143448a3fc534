#include "classic/match/neighbour_list.h"

namespace {
RGLIST* add_entry(RGLIST* head, const char* name, int type) {
  RGLIST* e = run_state().rglist_pool.get();
  e->gatename = const_cast<char*>(name);
  e->type = type;
  e->unique = true;
  e->unique2 = true;
  return link_behind_head(head, e);
}
}  // namespace

RGLIST* build_neighbour_list(PINLIST* input_gates, const char* input_of_trans, const char* output_of_trans) {
  RGLIST* head = nullptr;
  for (PINLIST* p = input_gates; p; p = p->next) head = add_entry(head, p->NodeName, 0);
  if (input_of_trans) head = add_entry(head, input_of_trans, 1);
  if (output_of_trans) head = add_entry(head, output_of_trans, 1);
  return head;
}

void release_rglist(RGLIST* list) { run_state().rglist_pool.put_list(list); }
