#pragma once
// Warnings about nets that extraction would take silently: a net that MOSFET
// gates read but nothing drives, a port that touches nothing, and a net that
// looks like a rail but is not one, which a stage then reads as an input.
#include <string>

#include "profile/circuit/circuit.h"
#include "profile/spice/reader.h"

namespace spice {

// `where` is the location the messages start with (the top's .subckt line).
void warn_loose_nets(const circuit::Circuit& c, const std::string& where, const WarningSink& warn);
void warn_rail_like_nets(const circuit::Circuit& c, const std::string& where, const WarningSink& warn);

}  // namespace spice
