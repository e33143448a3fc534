#pragma once
// Block arena for records that live until the process ends. Every allocation
// is zero-filled; nothing is released before exit, so nothing can dangle.
#include <cstddef>
#include <new>
#include <utility>

namespace arena {

// Zero-filled storage of `size` bytes, aligned to `align` (a power of two no
// larger than the default, which suits any record type).
void* alloc(std::size_t size, std::size_t align = alignof(std::max_align_t));

// Own copy of a NUL-terminated string (null stays null).
char* strdup(const char* s);

// Copy of the first `len` characters of `s`, NUL-terminated.
char* strndup(const char* s, std::size_t len);

// Interned copy: equal texts share one stored copy. Stored strings are never
// written through, so records may share them instead of copying.
const char* intern(const char* s);

// Bytes handed out so far (for the benchmark's memory figures).
std::size_t bytes_used();

}  // namespace arena

// A zero-filled record of type T constructed with `args` in the arena.
template <class T, class... Args>
T* arena_new(Args&&... args) {
  static_assert(alignof(T) <= alignof(std::max_align_t), "arena blocks start at the fundamental alignment");
  void* p = arena::alloc(sizeof(T), alignof(T));
  return new (p) T(std::forward<Args>(args)...);
}
