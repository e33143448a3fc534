#include "profile/cellmatch/overlap_resolver.h"

#include <algorithm>
#include <numeric>

namespace cellmatch {

std::vector<std::size_t> OverlapResolver::choose(const std::vector<Occurrence>& found,
                                                 const std::vector<std::string>& cell_names,
                                                 std::uint32_t circuit_gates) {
  std::vector<std::vector<GateId>> sorted(found.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    sorted[i] = found[i].gates;
    std::sort(sorted[i].begin(), sorted[i].end());
  }
  std::vector<std::size_t> rank(found.size());
  std::iota(rank.begin(), rank.end(), 0);
  std::sort(rank.begin(), rank.end(), [&](std::size_t a, std::size_t b) {
    if (found[a].mosfets != found[b].mosfets) return found[a].mosfets > found[b].mosfets;
    if (sorted[a] != sorted[b]) return sorted[a] < sorted[b];
    if (found[a].cell != found[b].cell) {
      int c = cell_names[found[a].cell].compare(cell_names[found[b].cell]);
      if (c != 0) return c < 0;
    }
    return found[a].nets < found[b].nets;
  });
  std::vector<char> taken(circuit_gates, 0);
  std::vector<std::size_t> kept;
  for (std::size_t i : rank) {
    const auto& gates = found[i].gates;
    if (std::any_of(gates.begin(), gates.end(), [&](GateId g) { return taken[g] != 0; })) continue;
    for (GateId g : gates) taken[g] = 1;
    kept.push_back(i);
  }
  return kept;
}

}  // namespace cellmatch
