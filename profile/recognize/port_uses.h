#pragma once
// How each port of a subcircuit meets what the subcircuit holds, which
// decides whether it can stand as a module of its own: written once and
// instantiated per call, it must compute what its devices compute in the
// flat circuit. A port that only MOSFET gates read, or that a stage driving
// 0 or 1 for every input drives, keeps the module's function whatever the
// caller connects; a port on a channel that does not always drive it (a
// pass transistor, a transmission gate, a tristate or precharged output, a
// keeper) joins the caller's channels into one stage in the flat circuit,
// which a module boundary would cut.
#include <cstdint>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/recognize/gate_network.h"

namespace recognize {

enum class PortUse : std::uint8_t {
  Rail,    // a rail, or a well only bulks reach
  Input,   // no channel reaches it; MOSFET gates or instances read it
  Open,    // nothing of the logic touches it (an element or a black box may)
  Output,  // a stage that always drives it, a constant, or an instance's output
  Shared,  // a channel that does not always drive it
};

struct PortUses {
  std::vector<PortUse> ports;  // by port, in the order of the .subckt line
  // The first Shared port, or none.
  std::uint32_t first_shared = kNone;
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};

  bool sound() const { return first_shared == kNone; }
};

// `c` with its rails assigned and `network` recognised on it.
PortUses port_uses(const circuit::Circuit& c, const GateNetwork& network);

}  // namespace recognize
