#include "spice/symbols.h"

namespace spice {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

void Symbols::fold(std::string_view name) const {
  folded_.assign(name);
  for (char& c : folded_)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

SymbolId Symbols::intern(std::string_view name) {
  fold(name);
  auto it = ids_.find(folded_);
  if (it != ids_.end()) return it->second;
  auto id = static_cast<SymbolId>(spellings_.size());
  ids_.emplace(folded_, id);
  spellings_.emplace_back(name);
  keys_.push_back(folded_);
  return id;
}

SymbolId Symbols::find(std::string_view name) const {
  fold(name);
  auto it = ids_.find(folded_);
  return it == ids_.end() ? kNoSymbol : it->second;
}

}  // namespace spice
