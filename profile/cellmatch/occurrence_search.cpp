#include "profile/cellmatch/occurrence_search.h"

#include <algorithm>

namespace cellmatch {

OccurrenceSearch::OccurrenceSearch(const GateGraph& circuit, const LabelIndex& index, std::uint64_t step_limit)
    : circuit_(circuit),
      index_(index),
      slot_(std::size_t{circuit.gate_count()} + 1, 0),
      reach_(circuit.gate_count(), 0),
      label_begin_(circuit.label_count(), 0),
      gate_view_(circuit.gate_count()),
      gate_taken_((circuit.gate_count() + 63) / 64, 0),
      net_taken_((circuit.net_count() + 63) / 64, 0),
      step_limit_(step_limit) {
  pin_view_.reserve(circuit.pin_total());
  std::uint32_t at = 0;
  for (LabelId l = 0; l < circuit.label_count(); ++l) {
    label_begin_[l] = at;
    for (GateId h : index.gates(l)) {
      const auto first = static_cast<std::uint32_t>(pin_view_.size());
      for (const Pin& p : circuit.pins(h)) {
        const std::uint32_t degree = circuit.degree(p.net);
        pin_view_.push_back({p.net, p.cls, circuit.flags(p.net),
                             static_cast<std::uint8_t>(std::min<std::uint32_t>(degree, kDegreeCap))});
        if (!circuit.is_rail(p.net)) reach_[at] += degree;
      }
      gate_view_[h] = {l, first, static_cast<std::uint32_t>(pin_view_.size()) - first};
      slot_[++at] = static_cast<std::uint32_t>(pin_view_.size());
    }
  }
}

SearchStats OccurrenceSearch::find(const GateGraph& cell, const SearchPlan& plan, std::uint32_t cell_id,
                                   std::vector<Occurrence>& out) {
  stats_ = SearchStats{};
  if (plan.status() != SearchPlan::Status::Ready) return stats_;
  cell_ = &cell;
  plan_ = &plan;
  cell_id_ = cell_id;
  out_ = &out;
  gate_map_.assign(cell.gate_count(), kNone);
  net_map_.assign(cell.net_count(), kNone);
  width_ = 0;
  for (const auto& s : plan.steps()) width_ = std::max(width_, s.pins.size());
  chosen_.assign(width_ * plan.steps().size(), 0);
  pin_taken_.assign(width_ * plan.steps().size(), 0);
  at_.assign(plan.steps().size(), nullptr);

  const auto& root = plan.steps()[0];
  std::uint64_t need = 0;  // connections the root's non-rail pins have in the cell
  for (const Pin& p : cell.pins(root.gate))
    if (!cell.is_rail(p.net)) need += cell.degree(p.net);
  const std::uint64_t budget = step_limit_ + kTrialsPerPin * circuit_.pin_total();
  const auto candidates = index_.gates(root.circuit_label);
  const std::uint32_t at = label_begin_[root.circuit_label];
  for (std::uint32_t j = 0; j < candidates.size(); ++j) {
    if (stats_.trials > budget) {
      ++stats_.given_up;
      continue;
    }
    if (reach_[at + j] < need) continue;
    ++stats_.candidates;
    steps_ = 0;
    given_up_ = false;
    try_gate(0, candidates[j], pin_view_.data() + slot_[at + j], slot_[at + j + 1] - slot_[at + j]);
    stats_.trials += steps_;
    if (given_up_) ++stats_.given_up;
  }
  return stats_;
}

bool OccurrenceSearch::place(std::size_t depth) {
  const auto& steps = plan_->steps();
  if (depth == steps.size()) {
    record();
    return true;
  }
  const auto& step = steps[depth];
  auto pins = cell_->pins(step.gate);
  // Candidates come from the reached net with the fewest circuit connections.
  std::uint32_t via = kNone;
  NetId via_net = kNone;
  for (std::uint32_t i : step.linked) {
    NetId m = net_map_[pins[i].net];
    if (via == kNone || circuit_.degree(m) < circuit_.degree(via_net)) {
      via = i;
      via_net = m;
    }
  }
  const std::uint16_t cls = pins[via].cls;
  for (const Connection& c : circuit_.connections(via_net)) {
    const GateView& v = gate_view_[c.gate];
    if (v.label != step.circuit_label || test(gate_taken_, c.gate)) continue;
    const PinView* hp = pin_view_.data() + v.first;
    if (hp[c.pin].cls != cls) continue;
    // A gate on the net through two pins of the class is tried once.
    bool repeat = false;
    for (std::uint32_t j = c.pin; j > 0 && hp[j - 1].cls == cls && !repeat; --j) repeat = hp[j - 1].net == via_net;
    if (repeat) continue;
    if (try_gate(depth, c.gate, hp, v.count)) return true;
  }
  return false;
}

bool OccurrenceSearch::try_gate(std::size_t depth, GateId h, const PinView* hp, std::uint32_t count) {
  const GateId g = plan_->steps()[depth].gate;
  auto cp = cell_->pins(g);
  if (cp.size() != count) return false;
  for (std::size_t i = 0; i < cp.size(); ++i)
    if (cp[i].cls != hp[i].cls) return false;
  flip(gate_taken_, h);
  gate_map_[g] = h;
  at_[depth] = hp;
  bool over = assign(depth, 0);
  flip(gate_taken_, h);
  gate_map_[g] = kNone;
  return over;
}

bool OccurrenceSearch::net_fits(NetId cell_net, const PinView& pin) const {
  const std::uint8_t cf = cell_->flags(cell_net) & kRail;
  if ((pin.flags & kRail) != cf) return false;
  if (cf) return true;
  if (test(net_taken_, pin.net)) return false;
  const std::uint32_t degree = pin.degree < kDegreeCap ? pin.degree : circuit_.degree(pin.net);
  if (cell_->is_closed(cell_net))
    return (pin.flags & (kPort | kOutsideUse)) == 0 && degree == cell_->degree(cell_net);
  return degree >= cell_->degree(cell_net);
}

bool OccurrenceSearch::assign(std::size_t depth, std::size_t k) {
  const auto& step = plan_->steps()[depth];
  if (k == step.pins.size()) return place(depth + 1);
  const auto& ps = step.pins[k];
  const NetId cell_net = cell_->pins(step.gate)[ps.pin].net;
  const PinView* hp = at_[depth];
  std::uint32_t* chosen = chosen_.data() + depth * width_;
  std::uint8_t* taken = pin_taken_.data() + depth * width_;
  std::uint32_t from = ps.after_twin ? chosen[k - 1] + 1 : ps.cls_begin;
  for (std::uint32_t q = from; q < ps.cls_end; ++q) {
    if (taken[q]) continue;
    if (++steps_ > step_limit_) {
      given_up_ = true;
      return true;
    }
    const NetId net = hp[q].net;
    const NetId known = net_map_[cell_net];
    bool fresh = false;
    if (known != kNone) {
      if (known != net) continue;
    } else {
      if (!net_fits(cell_net, hp[q])) continue;
      fresh = true;
      net_map_[cell_net] = net;
      if (!cell_->is_rail(cell_net)) flip(net_taken_, net);
    }
    taken[q] = 1;
    chosen[k] = q;
    bool over = assign(depth, k + 1);
    taken[q] = 0;
    if (fresh) {
      net_map_[cell_net] = kNone;
      if (!cell_->is_rail(cell_net)) flip(net_taken_, net);
    }
    if (over) return true;
  }
  return false;
}

void OccurrenceSearch::record() {
  Occurrence occ;
  occ.cell = cell_id_;
  occ.gates = gate_map_;
  occ.nets = net_map_;
  for (GateId h : gate_map_) occ.mosfets += circuit_.mosfets(h);
  out_->push_back(std::move(occ));
  ++stats_.found;
}

}  // namespace cellmatch
