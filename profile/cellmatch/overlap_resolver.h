#pragma once
// Chooses, among occurrences that may share circuit gates, the ones to keep:
// a cover of the circuit's gates by gate-disjoint occurrences that holds the
// most MOSFETs, then the fewest instances, so that a larger cell does not
// re-tile its neighbours' gates when a cover placing all of them exists.
//
// Occurrences are ranked, first criterion first:
//  1. more MOSFETs;
//  2. sizes closer to the cell's (cells of one network and other sizes,
//     drive strengths, on the same gates);
//  3. met first in the circuit: the occurrence's circuit gate numbers, sorted
//     ascending, compared as sequences (lower first);
//  4. the cell name, bytewise (two cells with the same network on the same
//     gates);
//  5. the circuit nets per cell net, compared as sequences.
// Occurrences that share no gate, directly or through others, are decided
// apart (components). Each component is covered greedily in rank order, then
// improved by trading one kept occurrence for the larger set it alone
// blocked; a component of at most kExactLimit occurrences is then searched
// exactly (branch and bound, a bounded number of steps), so its cover is the
// best there is. Among equal covers the one taking better-ranked occurrences
// first wins. Nothing depends on the order in which cells were given, and the
// cost is near-linear in the occurrences where components stay small.
#include <string>
#include <vector>

#include "profile/cellmatch/occurrence.h"

namespace cellmatch {

class OverlapResolver {
 public:
  static constexpr std::size_t kExactLimit = 40;

  // `cell_names[o.cell]` names each occurrence's cell. Returns the indices of
  // the kept occurrences in rank order.
  static std::vector<std::size_t> choose(const std::vector<Occurrence>& found, const std::vector<std::string>& cell_names,
                                         std::uint32_t circuit_gates);
};

}  // namespace cellmatch
