#pragma once
// Behind-head insertions of the analysis records and the small list questions
// that the flat stages and their subcircuit twins ask alike. Names stored in a
// new record are shared with the record they come from, never copied.
#include <charconv>
#include <cstring>

#include "classic/algo/records.h"
#include "classic/algo/text.h"
#include "classic/netlist/arena.h"

namespace lists {

// prefix followed by a number in decimal (gate12, trans0), held in place.
struct NumberedName {
  NumberedName(const char* prefix, long long number) {
    std::size_t len = std::strlen(prefix);
    std::memcpy(text, prefix, len);
    *std::to_chars(text + len, text + sizeof text - 1, number).ptr = '\0';
  }
  char text[48];
};

// Records in a list.
template <class T>
int count(const T* head) {
  int n = 0;
  for (; head; head = head->next) ++n;
  return n;
}

// A new zero-filled record, filled by fill(record), linked behind the head.
template <class T, class Fill>
T* link_new(T* head, Fill fill) {
  T* rec = arena_new<T>();
  fill(*rec);
  return link_behind_head(head, rec);
}

// Moves every record of `from`, in its order, behind the head of `head`
// (as copies inserted one by one would stand); returns the new head.
template <class T>
T* move_behind_head(T* head, T* from) {
  while (from) {
    T* after = from->next;
    head = link_behind_head(head, from);
    from = after;
  }
  return head;
}

// Unlinks every record after the first whose name `drop` accepts; the first
// record (a circuit's name, a definition's first terminal) always stays.
template <class Drop>
void unlink_after_first(INOUTLIST* head, Drop drop) {
  if (!head) return;
  for (INOUTLIST* prev = head; prev->next;) {
    INOUTLIST* cur = prev->next;
    if (drop(cur->pinname))
      prev->next = cur->next;
    else
      prev = cur;
  }
}

DEVICELIST* insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype);
NODELIST* insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename);
INOUTLIST* insert_output(INOUTLIST* head, INOUTLIST* curr);
BRANCHNODELIST* insert_node(BRANCHNODELIST* head, char* node);
// A copy of `mos` as it stands.
MOSLIST* insert_mos(MOSLIST* head, MOSLIST* mos);
// A copy of `mos` that is in no branch.
MOSLIST* insert_free_mos(MOSLIST* head, MOSLIST* mos);
TRANSLIST* insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g);
PINLIST* insert_pin(PINLIST* head, char* name);
bool query_in_pinlist(const char* name, const PINLIST* plist);

}  // namespace lists
