#pragma once
// Nets a circuit holds at a rail whatever its inputs do: constants. Tie cells
// make them in three ways, and every library writes one of them:
//   - through short devices and resistors alone (no MOSFET channel reaches
//     the group);
//   - through MOSFETs whose channels reach the net only from one rail, one of
//     them always conducting: its gate on the net itself (diode-connected),
//     on a rail that turns it on, or on another such constant that does (a
//     two-MOSFET loop that can settle only one way).
#include <cstdint>
#include <vector>

#include "profile/circuit/circuit.h"

namespace circuit {

// Per net: -1 not held, 0 held at ground, 1 held at the supply.
using HeldValues = std::vector<std::int8_t>;

// Held through shorts and resistors; black boxes marked in `skip` (the shorts
// of tie cells found as cells) do not count.
HeldValues held_by_wires(const Circuit& c, const std::vector<char>& skip = {});

struct MosfetTies {
  HeldValues value;                    // per net
  std::vector<std::uint32_t> mosfets;  // the MOSFETs that hold them, ascending
};

// Held by MOSFETs; `known` (held_by_wires) may turn gates on. MOSFETs marked
// in `skip` (those of tie cells found as cells) do not count.
MosfetTies held_by_mosfets(const Circuit& c, const HeldValues& known, const std::vector<char>& skip = {});

}  // namespace circuit
