#include "profile/spice/deck.h"

namespace spice {

std::uint32_t Body::store(std::string_view name) {
  auto offset = static_cast<std::uint32_t>(pool->size());
  pool->insert(pool->end(), name.begin(), name.end());
  pool->push_back('\0');
  return offset;
}

std::uint32_t Body::add_local(SymbolId name, std::string_view spelling) {
  locals.push_back(name);
  spellings.push_back(store(spelling));
  return static_cast<std::uint32_t>(locals.size() - 1);
}

std::vector<std::string> Deck::global_names() const {
  std::vector<std::string> names;
  for (SymbolId g : globals) names.push_back(symbols.spelling(g));
  return names;
}

circuit::ModelChannels Deck::model_channels() const {
  circuit::ModelChannels channels;
  for (auto [name, type] : models)
    channels.emplace(symbols.key(name), type == ModelType::NMos   ? std::optional(circuit::Channel::N)
                                        : type == ModelType::PMos ? std::optional(circuit::Channel::P)
                                                                  : std::nullopt);
  return channels;
}

}  // namespace spice
