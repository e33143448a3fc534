#include "classic/netlist/arena.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "classic/messages/messages.h"
#include "core/memory/huge_allocator.h"

namespace arena {
namespace {

constexpr std::size_t kMinBlock = 1 << 20;
constexpr std::size_t kMaxBlock = 32 << 20;
constexpr std::size_t kAlign = alignof(std::max_align_t);

std::size_t used = 0;

// Every block stays listed so that the records stay reachable until exit.
std::vector<void*>& blocks() {
  static auto* b = new std::vector<void*>();
  return *b;
}

[[noreturn]] void out_of_memory() {
  std::fputs(msg::kOutOfMemory, stdout);
  std::fflush(stdout);
  std::_Exit(1);
}

// A zeroed block that is never given back. Large blocks come straight from
// the kernel and may use huge pages, which spares most page faults on big
// netlists; under the address sanitizer they come from the heap, where its
// leak check can see the pointers stored in them.
void* new_block(std::size_t size) {
  void* p = core::blocks_from_heap() ? std::calloc(1, size) : core::map_block(size);
  if (!p) out_of_memory();
  blocks().push_back(p);
  return p;
}

// Blocks grow with the data, so a small netlist stays small and a large one
// takes few, large blocks.
std::size_t next_block_size() { return std::min(kMaxBlock, std::max(kMinBlock, used / 4)); }

// A bump region: records and texts are packed apart.
struct Region {
  char* cur = nullptr;
  std::size_t left = 0;

  // `size` bytes starting at a multiple of `align` (blocks start at kAlign).
  char* take(std::size_t size, std::size_t align = 1) {
    std::size_t pad = (align - reinterpret_cast<std::uintptr_t>(cur) % align) % align;
    if (pad + size <= left) {
      cur += pad;
      left -= pad;
    } else {
      std::size_t block = next_block_size();
      if (size > block / 4) return static_cast<char*>(new_block(size));
      cur = static_cast<char*>(new_block(block));
      left = block;
    }
    char* p = cur;
    cur += size;
    left -= size;
    return p;
  }
};

Region records;
// Strings need no alignment; packing them apart from the records keeps a
// million short names from costing sixteen bytes each.
Region texts;

std::unordered_set<std::string_view>& pool() {
  static auto* p = new std::unordered_set<std::string_view>();
  return *p;
}

}  // namespace

void* alloc(std::size_t size, std::size_t align) {
  // Texts and byte buffers need no alignment: they go with the strings.
  if (align == 1) {
    used += size;
    return texts.take(size ? size : 1);
  }
  // Records are packed at their own alignment: most hold pointers and need
  // eight bytes, not sixteen.
  size = (size + align - 1) & ~(align - 1);
  if (size == 0) size = align;
  used += size;
  return records.take(size, align);
}

char* strndup(const char* s, std::size_t len) {
  used += len + 1;
  char* d = texts.take(len + 1);
  std::memcpy(d, s, len);
  return d;
}

char* strdup(const char* s) { return s ? strndup(s, std::strlen(s)) : nullptr; }

const char* intern(const char* s) {
  if (!s) return nullptr;
  std::string_view v(s);
  auto it = pool().find(v);
  if (it != pool().end()) return it->data();
  const char* d = strndup(s, v.size());
  pool().insert(std::string_view(d, v.size()));
  return d;
}

std::size_t bytes_used() { return used; }

}  // namespace arena
