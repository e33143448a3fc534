#include "spice/deck.h"

namespace spice {

std::uint32_t Body::local(SymbolId name, std::string_view spelling) {
  auto [it, added] = local_of.try_emplace(name, static_cast<std::uint32_t>(locals.size()));
  if (added) {
    locals.push_back(name);
    spellings.emplace_back(spelling);
  }
  return it->second;
}

}  // namespace spice
