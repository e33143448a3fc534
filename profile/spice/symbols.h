#pragma once
// Interned names of a deck. SPICE names are case-insensitive: two spellings
// that differ only in case are one name. A subcircuit or model is written as
// first spelled in the deck; a net as first spelled in its own body.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory/huge_allocator.h"

namespace spice {

using SymbolId = std::uint32_t;
inline constexpr SymbolId kNoSymbol = ~SymbolId{0};

class Symbols {
 public:
  SymbolId intern(std::string_view name);
  // intern() of each of `count` names, in order, into `ids`. The table's
  // lines of the names are fetched from memory ahead of their turn, not one
  // miss after another: the nets of a large deck are mostly far apart in the
  // table, so the more names at once the better.
  void intern_all(const std::string_view* names, std::size_t count, SymbolId* ids);
  // kNoSymbol when the name was never interned.
  SymbolId find(std::string_view name) const;
  std::string spelling(SymbolId id) const { return std::string(view(id)); }
  // The lower-case form, which decides identity.
  std::string key(SymbolId id) const;
  std::size_t size() const { return entries_.size(); }
  // Room for about `count` names without growing.
  void reserve(std::size_t count);

  // Two words a user of the table may keep with each name (initially
  // kNoSymbol and 0): they sit beside the name, so a lookup that found the
  // name finds them at no further cost.
  std::uint32_t& tag(SymbolId id) { return entries_[id].tag; }
  std::uint32_t& value(SymbolId id) { return entries_[id].value; }

 private:
  // Open addressing over the ids, hashed on the lower-case form: one probe
  // sequence and no lower-case copy per lookup, which a reader makes for
  // every word of a million-card deck.
  std::size_t slot_of(std::string_view name, std::uint64_t hash) const;
  SymbolId intern_hashed(std::string_view name, std::uint64_t hash);
  void grow(std::size_t slots);

  // A slot holds an id and the upper half of its name's hash, so that most
  // probes that miss touch no name.
  struct Slot {
    SymbolId id = kNoSymbol;
    std::uint32_t hash = 0;
  };
  // A short name is kept in its entry, where the probe that compares it
  // finds it; a longer one in `long_names_`, its offset in `chars`.
  static constexpr std::size_t kInline = 12;
  struct Entry {
    std::uint32_t size = 0;
    std::uint32_t tag = kNoSymbol;
    std::uint32_t value = 0;
    char chars[kInline] = {};
  };
  std::string_view view(SymbolId id) const;
  std::vector<Slot, core::HugeAllocator<Slot>> slots_;  // size a power of two
  std::vector<Entry, core::HugeAllocator<Entry>> entries_;
  std::vector<char, core::HugeAllocator<char>> long_names_;
  std::vector<std::uint64_t> hashes_;  // of the names intern_all() is taking
};

// Lower-case copy (ASCII: SPICE names are).
std::string lower(std::string_view s);

}  // namespace spice
