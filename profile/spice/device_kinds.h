#pragma once
// Which model and device-subcircuit names are n- and p-channel MOSFETs: the
// --nmos/--pmos globs first, then the type of a `.model` card, then names
// holding nfet, nmos, nch / pfet, pmos, pch.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/spice/deck.h"

namespace spice {

// Case-insensitive glob: `*` any run, `?` one character, `[abc]` a set.
bool glob_match(std::string_view pattern, std::string_view text);

class DeviceKinds {
 public:
  DeviceKinds(const Deck& deck, std::vector<std::string> nmos, std::vector<std::string> pmos)
      : deck_(deck), nmos_(std::move(nmos)), pmos_(std::move(pmos)) {}

  // The channel of a MOSFET of model or device subcircuit `name`; empty when
  // the name is no MOSFET.
  std::optional<Channel> channel(SymbolId name) const;

 private:
  std::optional<Channel> decide(SymbolId name) const;

  const Deck& deck_;
  std::vector<std::string> nmos_, pmos_;
  mutable std::unordered_map<SymbolId, std::optional<Channel>> known_;
  // The last name asked for: cards in a row mostly name the same device.
  mutable SymbolId last_name_ = kNoSymbol;
  mutable std::optional<Channel> last_;
};

}  // namespace spice
