#include "core/memory/heap_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "core/memory/huge_allocator.h"

namespace core {

namespace {

char* heap_begin = nullptr;

// Large steps of address space are free only where nothing counts them: a
// limit on address space or data (ulimit -v, -d), or memory committed
// strictly, would be reached long before the memory in use does.
bool address_space_is_free() {
  for (int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur != RLIM_INFINITY) return false;
  }
  std::FILE* f = std::fopen("/proc/sys/vm/overcommit_memory", "r");
  if (!f) return true;
  int mode = std::fgetc(f);
  std::fclose(f);
  return mode != '2';
}

}  // namespace

void prefer_huge_heap_pages() {
  if (blocks_from_heap() || heap_begin || !address_space_is_free()) return;
  // Freed memory stays for reuse rather than going back to the system.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  // Grown by a quarter gigabyte at a time (address space, not memory):
  // one call of advise_huge_heap_pages covers many steps' growth.
  mallopt(M_TOP_PAD, 256 << 20);
  // The large arrays too, so that the memory a step frees (the deck, once
  // flattened) is the next step's rather than fresh pages to be cleared.
  mallopt(M_MMAP_MAX, 0);
  serve_large_blocks_from_heap();
  void* first = std::malloc(64);
  heap_begin = reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(first) & ~std::uintptr_t{4095});
  std::free(first);
  advise_huge_heap_pages();
}

void advise_huge_heap_pages() {
  if (!heap_begin) return;
  char* top = static_cast<char*>(sbrk(0));
  // Where the heap is not one run above its start (it may be mapped apart
  // when it cannot grow), there is nothing to advise here.
  if (top == reinterpret_cast<char*>(-1) || top <= heap_begin) return;
  madvise(heap_begin, static_cast<std::size_t>(top - heap_begin), MADV_HUGEPAGE);
}

}  // namespace core
