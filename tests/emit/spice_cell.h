#pragma once
// One cell file read by the SPICE profile's own reader, flattened, with its
// rails assigned by the default names.
#include <string>

#include "profile/circuit/device_kinds.h"
#include "profile/circuit/rails.h"
#include "profile/spice/flattener.h"
#include "profile/spice/reader.h"

inline circuit::Circuit read_spice_cell(const std::string& path) {
  spice::Deck deck;
  auto quiet = [](const std::string&) {};
  spice::Reader(deck, quiet).read_netlist(path);
  circuit::DeviceKinds kinds({}, {}, deck.model_channels());
  circuit::Circuit c = spice::Flattener(deck, kinds, quiet).flatten_top("", "cell");
  circuit::Rails({}, {}, deck.global_names()).assign(c);
  return c;
}
