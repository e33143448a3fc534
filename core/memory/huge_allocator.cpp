#include "core/memory/huge_allocator.h"

#include <sys/mman.h>

#include <cstdlib>

#include "core/memory/heap_pages.h"

namespace core {

namespace {

// From this size on a block is mapped apart: below it the heap serves
// better, and a huge page (2 MiB) would be mostly empty.
constexpr std::size_t kMapped = std::size_t{4} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFromHeap = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kFromHeap = true;
#else
constexpr bool kFromHeap = false;
#endif
#else
constexpr bool kFromHeap = false;
#endif

}  // namespace

bool blocks_from_heap() { return kFromHeap; }

namespace {

// Set once the heap serves large blocks too (see heap_pages.h).
bool heap_serves_all = false;

}  // namespace

void serve_large_blocks_from_heap() { heap_serves_all = !kFromHeap; }

void* map_block(std::size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  // A huge page (2 MiB) would be mostly empty in a smaller block.
  if (bytes >= (std::size_t{2} << 20)) madvise(p, bytes, MADV_HUGEPAGE);
  return p;
}

// Under the address sanitizer every block comes from the heap, where it can
// check the accesses; so does every block once the heap serves large ones.
void* allocate_block(std::size_t bytes) {
  if (kFromHeap || heap_serves_all || bytes < kMapped) {
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (!p) throw std::bad_alloc();
    // Huge pages over the heap before a large block is first touched.
    if (heap_serves_all && bytes >= kMapped) advise_huge_heap_pages();
    return p;
  }
  void* p = map_block(bytes);
  if (!p) throw std::bad_alloc();
  return p;
}

void free_block(void* p, std::size_t bytes) noexcept {
  if (!p) return;
  if (kFromHeap || heap_serves_all || bytes < kMapped)
    std::free(p);
  else
    munmap(p, bytes);
}

}  // namespace core
