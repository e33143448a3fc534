#pragma once
// One occurrence of a library cell in the circuit: where each of the cell's
// gates and nets landed.
#include <cstdint>
#include <span>
#include <vector>

#include "profile/cellmatch/gate_graph.h"

namespace cellmatch {

struct Occurrence {
  std::uint32_t cell = 0;       // the cell's number in the order cells were given
  std::uint64_t mosfets = 0;    // of the circuit gates it covers
  std::vector<GateId> gates;    // circuit gate per cell gate
  std::vector<NetId> nets;      // circuit net per cell net; kNone where the cell net touches no gate
  double size_gap = 0;          // how far its device sizes are from the cell's; 0: equal

  // The circuit net of each of the cell's `ports`, in their order: a port no
  // gate touches is the circuit's rail of its kind when it is a rail (its
  // stages may reach the rails only through MOSFETs), else kNone.
  std::vector<NetId> port_nets(const GateGraph& cell, std::span<const NetId> ports, NetId supply, NetId ground) const;
};

}  // namespace cellmatch
