#include "match/scratch.h"

#include "match/records.h"

ScratchPool<PINLIST>& pinlist_pool() {
  static ScratchPool<PINLIST> pool;
  return pool;
}

ScratchPool<GATENAMELIST>& gatenamelist_pool() {
  static ScratchPool<GATENAMELIST> pool;
  return pool;
}

ScratchPool<RGLIST>& rglist_pool() {
  static ScratchPool<RGLIST> pool;
  return pool;
}

void release_rglist(RGLIST* list) { rglist_pool().put_list(list); }
