#pragma once
// Reusable records for the short-lived lists of one match attempt (neighbour
// lists, found-gate lists, relation results). A definition is tried from every
// flat gate of its first gate's type, so these lists are built many thousands
// of times; recycling them keeps memory at the size of the largest list
// instead of growing with every attempt.
#include <cstring>

#include "classic/netlist/arena.h"

template <class T>
class ScratchPool {
 public:
  // A zero-filled record.
  T* get() {
    T* r = free_;
    if (!r) return static_cast<T*>(arena::alloc(sizeof(T)));
    free_ = r->next;
    std::memset(static_cast<void*>(r), 0, sizeof(T));
    return r;
  }
  // Takes back every record of a list built from get().
  void put_list(T* head) {
    while (head) {
      T* next = head->next;
      head->next = free_;
      free_ = head;
      head = next;
    }
  }

 private:
  T* free_ = nullptr;
};
