#include "core/memory/huge_allocator.h"

#include <sys/mman.h>

#include <cstdlib>

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

void* map_block(std::size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  // A huge page (2 MiB) would be mostly empty in a smaller block.
  if (bytes >= (std::size_t{2} << 20)) madvise(p, bytes, MADV_HUGEPAGE);
  return p;
}

// Under the address sanitizer every block comes from the heap, where it can
// check the accesses.
void* allocate_block(std::size_t bytes) {
  if (kFromHeap || bytes < kMapped) {
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (!p) throw std::bad_alloc();
    return p;
  }
  void* p = map_block(bytes);
  if (!p) throw std::bad_alloc();
  return p;
}

void free_block(void* p, std::size_t bytes) noexcept {
  if (!p) return;
  if (kFromHeap || bytes < kMapped)
    std::free(p);
  else
    munmap(p, bytes);
}

}  // namespace core
