#pragma once
// The blocks under every arena and large array of both forms, and an
// allocator for the large arrays of a big deck: an array of some
// megabytes is mapped on its own and asks for huge pages, which spares most
// of the page faults that filling it would cost (a million-MOSFET deck
// touches some hundred megabytes). Smaller arrays come from the heap.
#include <cstddef>
#include <new>

namespace core {

// True where blocks must come from the heap (under the address sanitizer,
// which checks accesses and sees pointers only there).
bool blocks_from_heap();

// From now on large blocks come from the heap too, so that what one step
// frees the next reuses (set by prefer_huge_heap_pages).
void serve_large_blocks_from_heap();

// A zero-filled block mapped on its own, asking for huge pages from 2 MiB
// on; null when memory is out.
void* map_block(std::size_t bytes);

// Raw blocks behind the allocator: from the heap below some megabytes,
// mapped above; `bytes` must be the same in both calls.
void* allocate_block(std::size_t bytes);
void free_block(void* p, std::size_t bytes) noexcept;

template <typename T>
struct HugeAllocator {
  using value_type = T;
  HugeAllocator() = default;
  template <typename U>
  HugeAllocator(const HugeAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(allocate_block(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { free_block(p, n * sizeof(T)); }

  template <typename U>
  bool operator==(const HugeAllocator<U>&) const {
    return true;
  }
};

}  // namespace core
