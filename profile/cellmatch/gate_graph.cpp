#include "profile/cellmatch/gate_graph.h"

#include <algorithm>

namespace cellmatch {

NetId GateGraph::add_net(std::uint8_t flags) {
  net_flags_.push_back(flags);
  return static_cast<NetId>(net_flags_.size() - 1);
}

void GateGraph::add_flags(NetId net, std::uint8_t flags) { net_flags_[net] |= flags; }

LabelId GateGraph::intern(std::string_view name) {
  auto it = label_ids_.find(name);
  if (it != label_ids_.end()) return it->second;
  it = label_ids_.emplace(std::string(name), static_cast<LabelId>(labels_.size())).first;
  labels_.push_back(it->first);
  return it->second;
}

LabelId GateGraph::find_label(std::string_view name) const {
  auto it = label_ids_.find(name);
  return it == label_ids_.end() ? kNone : it->second;
}

GateId GateGraph::add_gate(std::string_view label, std::uint32_t mosfets, std::span<const Pin> pins) {
  for (const Pin& p : pins) {
    if (p.net >= net_flags_.size()) return kNone;
    for (const Pin& q : pins)
      if (q.cls == p.cls && q.role != p.role) return kNone;
  }
  Gate g{intern(label), mosfets, static_cast<std::uint32_t>(pins_.size()), static_cast<std::uint32_t>(pins.size())};
  pins_.insert(pins_.end(), pins.begin(), pins.end());
  auto by_class = [](const Pin& a, const Pin& b) { return a.cls < b.cls; };
  if (!std::is_sorted(pins_.begin() + g.first_pin, pins_.end(), by_class))
    std::stable_sort(pins_.begin() + g.first_pin, pins_.end(), by_class);
  gates_.push_back(g);
  return static_cast<GateId>(gates_.size() - 1);
}

void GateGraph::finish() {
  conn_begin_.assign(net_flags_.size() + 1, 0);
  for (const Pin& p : pins_) ++conn_begin_[p.net + 1];
  for (std::size_t n = 0; n < net_flags_.size(); ++n) conn_begin_[n + 1] += conn_begin_[n];
  conns_.resize(pins_.size());
  std::vector<std::uint32_t> fill(conn_begin_.begin(), conn_begin_.end() - 1);
  // Gates in ascending order, so every net lists its connections by gate.
  for (GateId g = 0; g < gates_.size(); ++g)
    for (std::uint32_t i = 0; i < gates_[g].pin_count; ++i)
      conns_[fill[pins_[gates_[g].first_pin + i].net]++] = Connection{g, i};
}

}  // namespace cellmatch
