#include "profile/spice/symbols.h"

#include <algorithm>
#include <cstring>

namespace spice {

namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::uint64_t hash_folded(std::string_view s) {
  std::uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (char c : s) {
    h ^= static_cast<unsigned char>(fold(c));
    h *= 1099511628211ull;
  }
  return h ^ (h >> 29);
}

bool same_folded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Mostly a name is spelled the same each time.
  if (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

// At most three names in five slots: probes stay short, and the table of a
// large deck stays small enough that fewer of its lines miss the cache.
bool over_full(std::size_t names, std::size_t slots) { return 5 * names > 3 * slots; }

std::uint32_t upper(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

}  // namespace

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = fold(c);
  return out;
}

std::string Symbols::key(SymbolId id) const { return lower(view(id)); }

std::string_view Symbols::view(SymbolId id) const {
  const Entry& e = entries_[id];
  if (e.size <= kInline) return std::string_view(e.chars, e.size);
  std::uint64_t offset;
  std::memcpy(&offset, e.chars, sizeof offset);
  return std::string_view(long_names_.data() + offset, e.size);
}

std::size_t Symbols::slot_of(std::string_view name, std::uint64_t hash) const {
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.id == kNoSymbol || (slot.hash == upper(hash) && same_folded(view(slot.id), name))) return i;
  }
}

void Symbols::reserve(std::size_t count) {
  std::size_t slots = slots_.empty() ? 1024 : slots_.size();
  while (over_full(count, slots)) slots *= 2;
  if (slots > slots_.size()) grow(slots);
  entries_.reserve(count);
}

void Symbols::grow(std::size_t slots) {
  std::vector<Slot, core::HugeAllocator<Slot>> old;
  old.swap(slots_);
  slots_.assign(slots, Slot{});
  std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.id == kNoSymbol) continue;
    std::size_t i = hash_folded(view(slot.id)) & mask;
    while (slots_[i].id != kNoSymbol) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

SymbolId Symbols::intern(std::string_view name) { return intern_hashed(name, hash_folded(name)); }

void Symbols::intern_all(const std::string_view* names, std::size_t count, SymbolId* ids) {
  // Names far apart in the table each cost a miss on their slot and one on
  // the entry it holds. Fetching the slot a few names ahead and its entry a
  // few names after that keeps several misses in flight, not one at a time.
  constexpr std::size_t kSlotAhead = 32, kEntryAhead = 12;
  if (count == 0) return;
  std::size_t want = entries_.size() + count;
  while (over_full(want, slots_.size())) grow(slots_.empty() ? 1024 : 2 * slots_.size());
  const std::size_t mask = slots_.size() - 1;
  hashes_.resize(count);
  for (std::size_t k = 0; k < count; ++k) {
    hashes_[k] = hash_folded(names[k]);
    if (k < kSlotAhead) __builtin_prefetch(&slots_[hashes_[k] & mask]);
  }
  for (std::size_t k = 0; k < count; ++k) {
    if (k + kSlotAhead < count) __builtin_prefetch(&slots_[hashes_[k + kSlotAhead] & mask]);
    if (k + kEntryAhead < count) {
      SymbolId id = slots_[hashes_[k + kEntryAhead] & mask].id;
      if (id != kNoSymbol) __builtin_prefetch(&entries_[id]);
    }
    ids[k] = intern_hashed(names[k], hashes_[k]);
  }
}

SymbolId Symbols::intern_hashed(std::string_view name, std::uint64_t hash) {
  if (over_full(entries_.size() + 1, slots_.size())) grow(slots_.empty() ? 1024 : 2 * slots_.size());
  std::size_t i = slot_of(name, hash);
  if (slots_[i].id != kNoSymbol) return slots_[i].id;
  auto id = static_cast<SymbolId>(entries_.size());
  slots_[i] = Slot{id, upper(hash)};
  Entry& e = entries_.emplace_back();
  e.size = static_cast<std::uint32_t>(name.size());
  if (name.size() <= kInline) {
    std::memcpy(e.chars, name.data(), name.size());
  } else {
    std::uint64_t offset = long_names_.size();
    std::memcpy(e.chars, &offset, sizeof offset);
    long_names_.insert(long_names_.end(), name.begin(), name.end());
  }
  return id;
}

SymbolId Symbols::find(std::string_view name) const {
  if (slots_.empty()) return kNoSymbol;
  return slots_[slot_of(name, hash_folded(name))].id;
}

}  // namespace spice
