#pragma once
// Which model names and names of device subcircuits defined nowhere are n-
// and p-channel MOSFETs: the --nmos/--pmos globs first, then the type of a
// `.model` card, then names holding nfet, nmos, nch / pfet, pmos, pch. Globs
// given for a channel replace its name rule, so that a name the rule would
// misread can be left out by naming the others.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "profile/circuit/circuit.h"

namespace circuit {

// Case-insensitive glob: `*` any run, `?` one character, `[abc]` a set.
bool glob_match(std::string_view pattern, std::string_view text);

// The lower-case form of a name (ASCII letters only), as names compare.
std::string lower_case(std::string_view name);

// The channel of each `.model` card by its lower-case name; none for a
// model of another device.
using ModelChannels = std::unordered_map<std::string, std::optional<Channel>>;

// A call of a two-terminal device named as a diode (a layout tool writes one
// for every antenna diode): it holds no logic.
bool is_diode_device(std::string_view name, std::size_t terminals);

// A short device (a zero-ohm link, as tie cells hold): its first two
// terminals are one net.
bool is_short_device(std::string_view name, std::size_t terminals);

class DeviceKinds {
 public:
  DeviceKinds(std::vector<std::string> nmos, std::vector<std::string> pmos, ModelChannels models)
      : nmos_(std::move(nmos)), pmos_(std::move(pmos)), models_(std::move(models)) {}

  // The channel of a MOSFET of model or device subcircuit `name`; empty when
  // the name is no MOSFET.
  std::optional<Channel> channel(std::string_view name) const;

 private:
  std::vector<std::string> nmos_, pmos_;
  ModelChannels models_;
};

}  // namespace circuit
