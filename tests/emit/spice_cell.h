#pragma once
// One cell file read by the SPICE profile's own reader, flattened, with its
// rails assigned by the default names.
#include <string>

#include "profile/spice/device_kinds.h"
#include "profile/spice/flattener.h"
#include "profile/spice/rails.h"
#include "profile/spice/reader.h"

inline spice::Circuit read_spice_cell(const std::string& path) {
  spice::Deck deck;
  auto quiet = [](const std::string&) {};
  spice::Reader(deck, quiet).read_netlist(path);
  spice::DeviceKinds kinds(deck, {}, {});
  spice::Circuit c = spice::Flattener(deck, kinds, quiet).flatten_top("", "cell");
  spice::Rails(deck, {}, {}).assign(c);
  return c;
}
