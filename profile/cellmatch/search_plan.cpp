#include "profile/cellmatch/search_plan.h"

#include <algorithm>
#include <tuple>

namespace cellmatch {

namespace {

// Gates reachable from gate 0 through non-rail nets cover the whole cell.
bool connected(const GateGraph& cell) {
  std::vector<char> seen(cell.gate_count(), 0);
  std::vector<GateId> todo{0};
  seen[0] = 1;
  std::uint32_t reached = 1;
  while (!todo.empty()) {
    GateId g = todo.back();
    todo.pop_back();
    for (const Pin& p : cell.pins(g)) {
      if (cell.is_rail(p.net)) continue;
      for (const Connection& c : cell.connections(p.net))
        if (!seen[c.gate]) {
          seen[c.gate] = 1;
          ++reached;
          todo.push_back(c.gate);
        }
    }
  }
  return reached == cell.gate_count();
}

}  // namespace

SearchPlan::SearchPlan(const GateGraph& cell, const GateGraph& circuit, const LabelIndex& index) {
  const std::uint32_t n = cell.gate_count();
  if (n == 0) {
    status_ = Status::Empty;
    return;
  }
  std::vector<LabelId> label(n);
  std::vector<std::uint32_t> rarity(n);
  for (GateId g = 0; g < n; ++g) {
    label[g] = circuit.find_label(cell.label_name(cell.label(g)));
    if (label[g] == kNone) {
      status_ = Status::AbsentLabel;
      return;
    }
    rarity[g] = index.count(label[g]);
  }
  if (!connected(cell)) {
    status_ = Status::Disconnected;
    return;
  }

  std::vector<char> placed(n, 0), reached(cell.net_count(), 0);
  GateId first = 0;
  for (GateId g = 1; g < n; ++g)
    if (std::make_tuple(rarity[g], -static_cast<long>(cell.pins(g).size())) <
        std::make_tuple(rarity[first], -static_cast<long>(cell.pins(first).size())))
      first = g;

  for (std::uint32_t step = 0; step < n; ++step) {
    GateId pick = first;
    if (step > 0) {
      pick = kNone;
      long best_links = 0;
      for (GateId g = 0; g < n; ++g) {
        if (placed[g]) continue;
        long links = 0;
        for (const Pin& p : cell.pins(g))
          if (!cell.is_rail(p.net) && reached[p.net]) ++links;
        if (links == 0) continue;
        if (pick == kNone || links > best_links || (links == best_links && rarity[g] < rarity[pick])) {
          pick = g;
          best_links = links;
        }
      }
    }
    placed[pick] = 1;
    GateStep gs{pick, label[pick], {}, {}};
    auto pins = cell.pins(pick);
    // Rank 0: net reached; 1: new net shared in the cell; 2: free pin.
    std::vector<std::tuple<int, std::uint16_t, int, std::uint32_t>> order;
    for (std::uint32_t i = 0; i < pins.size(); ++i) {
      NetId net = pins[i].net;
      bool rail = cell.is_rail(net);
      if (!rail && reached[net]) gs.linked.push_back(i);
      int rank = reached[net] ? 0 : (cell.degree(net) > 1 || rail) ? 1 : 2;
      int kind = rank == 2 && cell.is_closed(net) ? 1 : 0;
      order.emplace_back(rank, rank == 2 ? pins[i].cls : 0, kind, i);
    }
    std::sort(order.begin(), order.end());
    for (std::size_t k = 0; k < order.size(); ++k) {
      std::uint32_t i = std::get<3>(order[k]);
      std::uint32_t lo = i, hi = i + 1;
      while (lo > 0 && pins[lo - 1].cls == pins[i].cls) --lo;
      while (hi < pins.size() && pins[hi].cls == pins[i].cls) ++hi;
      bool twin = k > 0 && std::get<0>(order[k]) == 2 && std::get<0>(order[k - 1]) == 2 &&
                  std::get<1>(order[k]) == std::get<1>(order[k - 1]) && std::get<2>(order[k]) == std::get<2>(order[k - 1]);
      gs.pins.push_back(PinStep{i, lo, hi, twin});
    }
    for (const Pin& p : pins) reached[p.net] = 1;
    steps_.push_back(std::move(gs));
  }
}

}  // namespace cellmatch
