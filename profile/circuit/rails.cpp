#include "profile/circuit/rails.h"

#include <algorithm>

#include "profile/circuit/device_kinds.h"

namespace circuit {

namespace {

std::unordered_set<std::string> lowered(const std::vector<std::string>& names, bool take_usual,
                                        std::initializer_list<const char*> usual) {
  std::unordered_set<std::string> out;
  if (take_usual)
    for (const char* u : usual) out.insert(u);
  for (const std::string& n : names) out.insert(lower_case(n));
  return out;
}

// What reaches a net.
struct Reach {
  bool bulk = false, other = false, n_side = false, p_side = false, gate = false, passive = false;
  int n_bulks = 0, p_bulks = 0;
};

std::vector<Reach> reach_of(const Circuit& c) {
  std::vector<Reach> reach(c.net_count());
  for (const Mosfet& m : c.mosfets) {
    for (NetId n : {m.drain, m.source}) {
      reach[n].other = true;
      (m.type == Channel::N ? reach[n].n_side : reach[n].p_side) = true;
    }
    reach[m.gate].other = true;
    reach[m.gate].gate = true;
    reach[m.bulk].bulk = true;
    ++(m.type == Channel::N ? reach[m.bulk].n_bulks : reach[m.bulk].p_bulks);
  }
  for (const Element& e : c.elements)
    for (NetId n : e.nets) reach[n].other = reach[n].passive = true;
  for (const BlackBox& b : c.black_boxes)
    for (NetId n : b.pins) reach[n].other = reach[n].passive = true;
  for (NetId n : c.instance_pins) reach[n].other = reach[n].passive = true;
  return reach;
}

// The rail the MOSFETs make of a net, or Signal.
NetRole found_role(const Reach& r) {
  if (r.p_bulks >= Rails::kFoundBulks && r.p_side && !r.n_side && r.n_bulks == 0) return NetRole::Supply;
  if (r.n_bulks >= Rails::kFoundBulks && r.n_side && !r.p_side && r.p_bulks == 0) return NetRole::Ground;
  return NetRole::Signal;
}

}  // namespace

Rails::Rails(const std::vector<std::string>& supply, const std::vector<std::string>& ground,
             const std::vector<std::string>& globals, bool usual)
    : supply_(lowered(supply, usual, {"vdd", "vcc", "vpwr", "vdda", "vddd", "vddio", "vdd!", "vcc!", "vccd", "vcca",
                               "avdd", "dvdd", "vpp"})),
      ground_(lowered(ground, usual, {"gnd", "vss", "vgnd", "0", "gnd!", "vss!", "vssa", "vssd", "vssio", "agnd",
                               "dgnd", "avss", "dvss"})),
      usual_(usual) {
  for (const std::string& g : globals) globals_.insert(lower_case(g));
  for (const auto* names : {&supply, &ground})
    for (const std::string& n : *names) given_.insert(lower_case(n));
}

std::vector<RailFound> Rails::assign(Circuit& c) const {
  const std::vector<Reach> reach = reach_of(c);
  std::vector<RailFound> rails;
  c.net_roles.assign(c.net_count(), NetRole::Signal);
  std::vector<RailReason> why(c.net_count(), RailReason::FromMosfets);
  std::vector<char> decided(c.net_count(), 0);
  std::size_t longest = 0;
  for (const auto* set : {&supply_, &ground_, &globals_})
    for (const std::string& name : *set) longest = std::max(longest, name.size());
  // By name first; only names as short as a rail's need a look.
  std::string key;
  for (NetId n = 0; n < c.net_count(); ++n) {
    if (c.net_names[n].size() > longest) continue;
    key = lower_case(c.net_names[n]);
    if (supply_.count(key)) c.net_roles[n] = NetRole::Supply;
    else if (ground_.count(key)) c.net_roles[n] = NetRole::Ground;
    decided[n] = c.net_roles[n] != NetRole::Signal;
    if (decided[n]) why[n] = given_.count(key) ? RailReason::Given : RailReason::UsualName;
  }
  // A DC voltage source from a net to a ground makes the net a supply when
  // its value is positive, a ground when it is 0; a ground made so may hold
  // the next source.
  for (bool changed = true; changed;) {
    changed = false;
    for (const Element& e : c.elements) {
      if (e.source != SourceKind::DcVoltage || e.nets.size() != 2) continue;
      for (int side = 0; side < 2; ++side) {
        NetId net = e.nets[side], other = e.nets[1 - side];
        double volts = side == 0 ? e.volts : -e.volts;
        if (decided[net] || c.net_roles[other] != NetRole::Ground || volts < 0) continue;
        c.net_roles[net] = volts > 0 ? NetRole::Supply : NetRole::Ground;
        decided[net] = 1;
        why[net] = RailReason::Source;
        changed = true;
      }
    }
  }
  for (NetId n = 0; n < c.net_count(); ++n) {
    if (decided[n]) {
      rails.push_back({n, c.net_roles[n], why[n]});
      continue;
    }
    const Reach& r = reach[n];
    if (r.bulk && !r.other) {
      c.net_roles[n] = NetRole::BulkOnly;
      continue;
    }
    if (!globals_.empty() && c.net_names[n].size() <= longest && globals_.count(lower_case(c.net_names[n])) &&
        r.p_side != r.n_side) {
      c.net_roles[n] = r.p_side ? NetRole::Supply : NetRole::Ground;
      rails.push_back({n, c.net_roles[n], RailReason::Global});
    } else if (usual_) {
      c.net_roles[n] = found_role(r);
      if (c.is_rail(n)) rails.push_back({n, c.net_roles[n], RailReason::FromMosfets});
    }
  }
  return rails;
}

std::vector<NetId> Rails::rail_like(const Circuit& c) {
  const std::vector<Reach> reach = reach_of(c);
  std::vector<NetId> out;
  for (NetId n = 0; n < c.net_count(); ++n) {
    const Reach& r = reach[n];
    bool one_side = r.p_side != r.n_side;
    bool bulks_only_beside = r.bulk && !r.gate && !r.passive;
    if (c.net_roles[n] == NetRole::Signal && one_side && bulks_only_beside && (r.p_side ? r.p_bulks : r.n_bulks) > 0)
      out.push_back(n);
  }
  return out;
}

}  // namespace circuit
