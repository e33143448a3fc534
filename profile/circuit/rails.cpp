#include "profile/circuit/rails.h"

#include <algorithm>

#include "profile/circuit/device_kinds.h"

namespace circuit {

namespace {

std::unordered_set<std::string> lowered(const std::vector<std::string>& names,
                                        std::initializer_list<const char*> usual) {
  std::unordered_set<std::string> out;
  if (names.empty())
    for (const char* u : usual) out.insert(u);
  for (const std::string& n : names) out.insert(lower_case(n));
  return out;
}

// What reaches a net.
struct Reach {
  bool bulk = false, other = false, n_side = false, p_side = false;
};

}  // namespace

Rails::Rails(const std::vector<std::string>& supply, const std::vector<std::string>& ground,
             const std::vector<std::string>& globals)
    : supply_(lowered(supply, {"vdd", "vcc", "vpwr", "vdda", "vddd", "vddio", "vdd!", "vcc!", "vccd", "vcca",
                               "avdd", "dvdd", "vpp"})),
      ground_(lowered(ground, {"gnd", "vss", "vgnd", "0", "gnd!", "vss!", "vssa", "vssd", "vssio", "agnd",
                               "dgnd", "avss", "dvss"})) {
  for (const std::string& g : globals) globals_.insert(lower_case(g));
}

void Rails::assign(Circuit& c) const {
  std::vector<Reach> reach(c.net_count());
  for (const Mosfet& m : c.mosfets) {
    for (NetId n : {m.drain, m.source}) {
      reach[n].other = true;
      (m.type == Channel::N ? reach[n].n_side : reach[n].p_side) = true;
    }
    reach[m.gate].other = true;
    reach[m.bulk].bulk = true;
  }
  for (const Element& e : c.elements)
    for (NetId n : e.nets) reach[n].other = true;
  for (const BlackBox& b : c.black_boxes)
    for (NetId n : b.pins) reach[n].other = true;
  c.net_roles.assign(c.net_count(), NetRole::Signal);
  std::size_t longest = 0;
  for (const auto* set : {&supply_, &ground_, &globals_})
    for (const std::string& name : *set) longest = std::max(longest, name.size());
  std::string key;
  for (NetId n = 0; n < c.net_count(); ++n) {
    // Only names as short as a rail's need a look.
    const Reach& r = reach[n];
    if (c.net_names[n].size() > longest) {
      if (r.bulk && !r.other) c.net_roles[n] = NetRole::BulkOnly;
      continue;
    }
    key = lower_case(c.net_names[n]);
    if (supply_.count(key))
      c.net_roles[n] = NetRole::Supply;
    else if (ground_.count(key))
      c.net_roles[n] = NetRole::Ground;
    else if (r.bulk && !r.other)
      c.net_roles[n] = NetRole::BulkOnly;
    else if (globals_.count(key) && r.p_side != r.n_side)
      c.net_roles[n] = r.p_side ? NetRole::Supply : NetRole::Ground;
  }
}

}  // namespace circuit
