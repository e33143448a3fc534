#pragma once
// Interned names of a deck. SPICE names are case-insensitive: two spellings
// that differ only in case are one name. A subcircuit or model is written as
// first spelled in the deck; a net as first spelled in its own body.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace spice {

using SymbolId = std::uint32_t;
inline constexpr SymbolId kNoSymbol = ~SymbolId{0};

class Symbols {
 public:
  SymbolId intern(std::string_view name);
  // kNoSymbol when the name was never interned.
  SymbolId find(std::string_view name) const;
  const std::string& spelling(SymbolId id) const { return spellings_[id]; }
  // The lower-case form, which decides identity.
  const std::string& key(SymbolId id) const { return keys_[id]; }
  std::size_t size() const { return spellings_.size(); }

 private:
  void fold(std::string_view name) const;

  std::unordered_map<std::string, SymbolId> ids_;
  std::vector<std::string> spellings_;
  std::vector<std::string> keys_;
  mutable std::string folded_;  // reused so a lookup allocates nothing
};

// Lower-case copy (ASCII: SPICE names are).
std::string lower(std::string_view s);

}  // namespace spice
