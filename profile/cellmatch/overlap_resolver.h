#pragma once
// Chooses, among occurrences that may share circuit gates, the ones to keep.
//
// Occurrences are ranked and taken greedily, each kept when none of its
// gates is taken yet. The rank, first criterion first:
//  1. more MOSFETs;
//  2. met first in the circuit: the occurrence's circuit gate numbers, sorted
//     ascending, compared as sequences (lower first);
//  3. the cell name, bytewise (two cells with the same network on the same
//     gates);
//  4. the circuit nets per cell net, compared as sequences.
// Nothing in the rank depends on the order in which cells were given.
#include <string>
#include <vector>

#include "profile/cellmatch/occurrence.h"

namespace cellmatch {

class OverlapResolver {
 public:
  // `cell_names[o.cell]` names each occurrence's cell. Returns the indices of
  // the kept occurrences in rank order.
  static std::vector<std::size_t> choose(const std::vector<Occurrence>& found, const std::vector<std::string>& cell_names,
                                         std::uint32_t circuit_gates);
};

}  // namespace cellmatch
