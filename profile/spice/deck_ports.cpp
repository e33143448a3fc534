#include "profile/spice/deck_ports.h"

#include <unordered_set>

#include "profile/circuit/device_kinds.h"

namespace spice {

using circuit::NetId;
using circuit::PinDirection;

void add_deck_ports(circuit::Circuit& c, const std::vector<std::string>& observed) {
  std::vector<char> port(c.net_count(), 0);
  auto add = [&](NetId n, PinDirection direction) {
    if (port[n]) return;
    port[n] = 1;
    c.ports.push_back(n);
    c.port_directions.push_back(direction);
  };
  for (circuit::NetRole role : {circuit::NetRole::Supply, circuit::NetRole::Ground})
    for (NetId n = 0; n < c.net_count(); ++n)
      if (c.net_roles[n] == role) add(n, PinDirection::Unknown);
  for (const circuit::Element& e : c.elements)
    if (e.source != circuit::SourceKind::None)
      for (NetId n : e.nets)
        if (!c.is_rail(n)) add(n, PinDirection::Input);
  std::vector<char> gate(c.net_count(), 0), channel(c.net_count(), 0), loaded(c.net_count(), 0);
  for (const circuit::Mosfet& m : c.mosfets) {
    gate[m.gate] = 1;
    channel[m.drain] = channel[m.source] = 1;
  }
  for (const circuit::Element& e : c.elements)
    if (e.source == circuit::SourceKind::None)
      for (NetId n : e.nets) loaded[n] = 1;
  std::unordered_set<std::string> named;
  for (const std::string& o : observed) named.insert(circuit::lower_case(o));
  for (NetId n = 0; n < c.net_count(); ++n) {
    if (port[n] || c.is_rail(n) || c.net_roles[n] == circuit::NetRole::BulkOnly) continue;
    if ((channel[n] && !gate[n] && loaded[n]) || (!named.empty() && named.count(circuit::lower_case(c.net_names[n]))))
      add(n, PinDirection::Unknown);
  }
}

}  // namespace spice
