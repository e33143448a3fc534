#pragma once
// The subcircuits of a deck kept as modules of their own: each recognised
// once on its own circuit, in which the calls it keeps in turn are
// instances. A call of a subcircuit not kept is flattened into its caller,
// as every call is when the hierarchy is not kept.
#include <cstdint>
#include <string>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/recognize/gate_network.h"
#include "profile/recognize/port_uses.h"

namespace design {

struct Submodule {
  std::uint32_t definition = 0;  // in the deck
  bool library = false;          // a cell of a --library file
  circuit::Circuit circuit;
  recognize::GateNetwork network;
  std::vector<recognize::PortUse> ports;  // by port
  std::uint64_t uses = 0;                 // times it stands in the flat circuit
};

struct Hierarchy {
  // Each before the modules that call it; circuit::Instance::module
  // indexes it.
  std::vector<Submodule> modules;
  // Subcircuits called and flattened into their callers.
  std::uint64_t flattened = 0;
};

}  // namespace design
