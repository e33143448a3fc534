#pragma once
// Side indexes over names for the "is it already there" questions of the
// extraction stages. Names are compared by text; the stored names are never
// written through, so the indexes keep pointers to them instead of copies.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

// Text hash (FNV-1a), spread so that the low bits are usable as a slot.
inline std::uint64_t name_hash(std::string_view s) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h ^ (h >> 29);
}

// Open-addressing map from a name to a non-null value pointer: one flat
// array, no allocation per entry, which matters at a million names.
template <class T>
class NameMap {
 public:
  explicit NameMap(std::size_t expected = 0) { rehash(capacity_for(expected)); }

  // The value stored for `name`, or null.
  T* find(std::string_view name) const {
    std::uint64_t h = name_hash(name);
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (!s.value) return nullptr;
      if (s.hash == h && s.key == name) return s.value;
    }
  }

  // Stores `value` under `name` unless the name is there already; returns the
  // value that is stored afterwards.
  T* emplace(std::string_view name, T* value) {
    if ((size_ + 1) * 2 > slots_.size()) rehash(slots_.size() * 2);
    std::uint64_t h = name_hash(name);
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      Slot& s = slots_[i];
      if (!s.value) {
        s = Slot{name, h, value};
        ++size_;
        return value;
      }
      if (s.hash == h && s.key == name) return s.value;
    }
  }

 private:
  struct Slot {
    std::string_view key;
    std::uint64_t hash = 0;
    T* value = nullptr;
  };
  static std::size_t capacity_for(std::size_t n) {
    std::size_t c = 16;
    while (c < n * 2) c *= 2;
    return c;
  }
  void rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    mask_ = capacity - 1;
    size_ = 0;
    for (const Slot& s : old)
      if (s.value) {
        std::size_t i = s.hash & mask_;
        while (slots_[i].value) i = (i + 1) & mask_;
        slots_[i] = s;
        ++size_;
      }
  }
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  std::size_t size_ = 0;
};

// A set of names that stays a short inline list while small (nearly every
// branch and gate) and switches to hashing once it grows, so membership never
// goes quadratic on large walks.
class NameSet {
 public:
  bool contains(const char* name) const {
    if (!name) return false;
    if (big_) return big_->find(name) != nullptr;
    for (std::size_t i = 0; i < count_; ++i)
      if (std::strcmp(small_[i], name) == 0) return true;
    return false;
  }
  void add(const char* name) {
    if (!name) return;
    if (!big_ && count_ < kSmall) {
      small_[count_++] = name;
      return;
    }
    if (!big_) {
      big_ = std::make_unique<NameMap<const char>>();
      for (std::size_t i = 0; i < count_; ++i) big_->emplace(small_[i], small_[i]);
    }
    big_->emplace(name, name);
  }

 private:
  static constexpr std::size_t kSmall = 16;
  const char* small_[kSmall];
  std::size_t count_ = 0;
  std::unique_ptr<NameMap<const char>> big_;
};
