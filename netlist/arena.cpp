#include "netlist/arena.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace arena {
namespace {

constexpr std::size_t kBlock = 1 << 20;
constexpr std::size_t kAlign = alignof(std::max_align_t);

char* cur = nullptr;
// Every block stays listed so that the records stay reachable until exit.
std::vector<void*>& blocks() {
  static auto* b = new std::vector<void*>();
  return *b;
}
std::size_t left = 0;
std::size_t used = 0;

[[noreturn]] void out_of_memory() {
  std::fputs("Out of memory\n", stdout);
  std::fflush(stdout);
  std::_Exit(1);
}

std::unordered_set<std::string_view>& pool() {
  static auto* p = new std::unordered_set<std::string_view>();
  return *p;
}

}  // namespace

void* alloc(std::size_t size) {
  size = (size + kAlign - 1) & ~(kAlign - 1);
  if (size == 0) size = kAlign;
  used += size;
  if (size > kBlock / 4) {
    void* big = std::calloc(1, size);
    if (!big) out_of_memory();
    blocks().push_back(big);
    return big;
  }
  if (size > left) {
    // calloc hands out zeroed pages; blocks are never given back.
    cur = static_cast<char*>(std::calloc(1, kBlock));
    if (!cur) out_of_memory();
    blocks().push_back(cur);
    left = kBlock;
  }
  void* p = cur;
  cur += size;
  left -= size;
  return p;
}

namespace {
// Strings need no alignment; packing them apart from the records keeps a
// million short names from costing sixteen bytes each.
char* text_cur = nullptr;
std::size_t text_left = 0;

char* alloc_text(std::size_t size) {
  if (size > kBlock / 4) return static_cast<char*>(alloc(size));
  used += size;
  if (size > text_left) {
    text_cur = static_cast<char*>(std::calloc(1, kBlock));
    if (!text_cur) out_of_memory();
    blocks().push_back(text_cur);
    text_left = kBlock;
  }
  char* p = text_cur;
  text_cur += size;
  text_left -= size;
  return p;
}
}  // namespace

char* strndup(const char* s, std::size_t len) {
  char* d = alloc_text(len + 1);
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
