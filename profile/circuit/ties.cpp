#include "profile/circuit/ties.h"

#include <algorithm>

#include "profile/circuit/device_kinds.h"

namespace circuit {

namespace {

bool skipped(const std::vector<char>& skip, std::size_t k) { return k < skip.size() && skip[k]; }

bool is_resistor(const Element& e) { return e.nets.size() == 2 && e.kind == 'r'; }

std::int8_t rail_value(const Circuit& c, NetId n) { return c.net_roles[n] == NetRole::Supply ? 1 : 0; }

}  // namespace

HeldValues held_by_wires(const Circuit& c, const std::vector<char>& skip) {
  const NetId nets = c.net_count();
  HeldValues value(nets, -1);
  std::vector<NetId> parent(nets);
  for (NetId n = 0; n < nets; ++n) parent[n] = n;
  auto find = [&](NetId n) {
    while (parent[n] != n) n = parent[n] = parent[parent[n]];
    return n;
  };
  auto join = [&](NetId a, NetId b) {
    if (a < nets && b < nets) parent[find(a)] = find(b);
  };
  bool any = false;
  for (std::size_t k = 0; k < c.black_boxes.size(); ++k) {
    const BlackBox& b = c.black_boxes[k];
    if (!skipped(skip, k) && is_short_device(b.cell, b.pins.size())) {
      join(b.pins[0], b.pins[1]);
      any = true;
    }
  }
  for (const Element& e : c.elements)
    if (is_resistor(e)) {
      join(e.nets[0], e.nets[1]);
      any = true;
    }
  if (!any) return value;
  std::vector<std::int8_t> root_value(nets, -1);  // -1 none, 0/1, 2 both
  // A group that a MOSFET channel also reaches is pulled, not tied: a
  // resistor to a rail on a bus its drivers share.
  for (const Mosfet& mos : c.mosfets)
    for (NetId n : {mos.drain, mos.source})
      if (n < nets && !c.is_rail(n)) root_value[find(n)] = 2;
  for (NetId n = 0; n < nets; ++n) {
    if (!c.is_rail(n)) continue;
    std::int8_t v = rail_value(c, n);
    std::int8_t& r = root_value[find(n)];
    r = r < 0 || r == v ? v : 2;
  }
  for (NetId n = 0; n < nets; ++n) {
    std::int8_t r = root_value[find(n)];
    if (!c.is_rail(n) && (r == 0 || r == 1)) value[n] = r;
  }
  return value;
}

MosfetTies held_by_mosfets(const Circuit& c, const HeldValues& known, const std::vector<char>& skip) {
  const NetId nets = c.net_count();
  MosfetTies out;
  out.value.assign(nets, -1);
  // Per net: which rails reach it through one channel (bit 0 ground, bit 1
  // supply), 4 when anything else touches it. Most nets are ruled out here.
  std::vector<std::uint8_t> reach(nets, 0);
  constexpr std::uint8_t kOther = 4;
  for (const Element& e : c.elements)
    for (NetId n : e.nets)
      if (n < nets) reach[n] = kOther;
  for (const BlackBox& b : c.black_boxes)
    for (NetId n : b.pins)
      if (n < nets) reach[n] = kOther;
  for (NetId n : c.instance_pins)
    if (n < nets) reach[n] = kOther;
  bool any = false;
  for (std::uint32_t m = 0; m < c.mosfets.size(); ++m) {
    const Mosfet& mos = c.mosfets[m];
    if (skipped(skip, m) || mos.drain >= nets || mos.source >= nets) continue;
    for (auto [end, other] : {std::pair{mos.drain, mos.source}, std::pair{mos.source, mos.drain}}) {
      if (c.is_rail(end)) continue;
      if (!c.is_rail(other)) reach[end] = kOther;
      else if (reach[end] != kOther) {
        reach[end] |= rail_value(c, other) ? 2 : 1;
        any = true;
      }
    }
  }
  if (!any) return out;
  auto candidate = [&](NetId n) { return n < nets && (reach[n] == 1 || reach[n] == 2); };
  for (NetId n = 0; n < nets; ++n)
    if (candidate(n)) out.value[n] = reach[n] == 2 ? 1 : 0;

  // The MOSFETs on each candidate, and those gated by one.
  std::vector<std::pair<NetId, std::uint32_t>> on_net, gated_by;
  for (std::uint32_t m = 0; m < c.mosfets.size(); ++m) {
    const Mosfet& mos = c.mosfets[m];
    if (skipped(skip, m) || mos.drain >= nets || mos.source >= nets) continue;
    NetId end = c.is_rail(mos.drain) ? mos.source : mos.drain;
    if (!candidate(end)) continue;
    on_net.emplace_back(end, m);
    if (candidate(mos.gate) && mos.gate != end) gated_by.emplace_back(mos.gate, m);
  }
  std::sort(on_net.begin(), on_net.end());
  std::sort(gated_by.begin(), gated_by.end());
  auto run_of = [](const std::vector<std::pair<NetId, std::uint32_t>>& v, NetId n) {
    auto lo = std::lower_bound(v.begin(), v.end(), std::pair{n, std::uint32_t{0}});
    auto hi = lo;
    while (hi != v.end() && hi->first == n) ++hi;
    return std::pair{lo, hi};
  };
  // Whether a MOSFET surely conducts while every candidate still standing
  // holds its value.
  auto conducts = [&](std::uint32_t m, NetId end) {
    const Mosfet& mos = c.mosfets[m];
    if (mos.gate == end) return true;  // diode-connected: it holds its own gate
    if (mos.gate >= nets) return false;
    int g = out.value[mos.gate];
    if (c.is_rail(mos.gate)) g = rail_value(c, mos.gate);
    else if (g < 0 && mos.gate < known.size()) g = known[mos.gate];
    return g >= 0 && (mos.type == Channel::N ? g == 1 : g == 0);
  };
  auto holds = [&](NetId n) {
    auto [lo, hi] = run_of(on_net, n);
    return std::any_of(lo, hi, [&](const auto& e) { return conducts(e.second, n); });
  };
  // Candidates fall until every one left has a MOSFET that holds it.
  std::vector<NetId> work;
  for (NetId n = 0; n < nets; ++n)
    if (out.value[n] >= 0) work.push_back(n);
  while (!work.empty()) {
    NetId n = work.back();
    work.pop_back();
    if (out.value[n] < 0 || holds(n)) continue;
    out.value[n] = -1;
    auto [lo, hi] = run_of(gated_by, n);
    for (auto it = lo; it != hi; ++it) {
      const Mosfet& mos = c.mosfets[it->second];
      work.push_back(c.is_rail(mos.drain) ? mos.source : mos.drain);
    }
  }
  for (const auto& [n, m] : on_net)
    if (out.value[n] >= 0) out.mosfets.push_back(m);
  std::sort(out.mosfets.begin(), out.mosfets.end());
  return out;
}

}  // namespace circuit
