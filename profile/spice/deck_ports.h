#pragma once
// The ports of a top that is the deck itself (devices outside any
// `.subckt`), which has no line to list them.
#include <string>
#include <vector>

#include "profile/circuit/circuit.h"

namespace spice {

// Gives the deck circuit `c` (rails assigned) its ports: the rails,
// supplies first; the nets its independent sources drive, as inputs; then
// its outputs: the nets that `observed` (the output cards) names and the
// nets that MOSFET channels reach, no MOSFET gate reads and another element
// (a load) touches.
void add_deck_ports(circuit::Circuit& c, const std::vector<std::string>& observed);

}  // namespace spice
