#include "profile/spice/loose_nets.h"

#include <vector>

#include "profile/circuit/rails.h"
#include "profile/messages/messages.h"

namespace spice {

void warn_loose_nets(const circuit::Circuit& c, const std::string& where, const WarningSink& warn) {
  if (!warn) return;
  std::vector<unsigned char> read(c.net_count(), 0), driven(c.net_count(), 0), port(c.net_count(), 0);
  for (const circuit::Mosfet& m : c.mosfets) {
    read[m.gate] = 1;
    driven[m.drain] = driven[m.source] = 1;
    read[m.bulk] = 1;
  }
  for (const circuit::Element& e : c.elements)
    for (circuit::NetId n : e.nets) driven[n] = 1;
  for (const circuit::BlackBox& b : c.black_boxes)
    for (circuit::NetId n : b.pins) driven[n] = 1;
  for (circuit::NetId n : c.instance_pins) read[n] = 1;
  for (circuit::NetId n : c.instance_outputs) driven[n] = 1;
  for (circuit::NetId p : c.ports) {
    port[p] = 1;
    if (!read[p] && !driven[p])
      warn(messages::Message::UnusedPort, messages::located(where, messages::Message::UnusedPort, {c.net_names[p], c.name}));
  }
  for (circuit::NetId n = 0; n < c.net_count(); ++n)
    if (read[n] && !driven[n] && !port[n] && !c.is_rail(n) && c.net_roles[n] != circuit::NetRole::BulkOnly)
      warn(messages::Message::NoDriver, messages::located(where, messages::Message::NoDriver, {c.net_names[n]}));
}

void warn_rail_like_nets(const circuit::Circuit& c, const std::string& where, const WarningSink& warn) {
  if (!warn) return;
  // A few are named; a design with rails of unusual names has many such nets.
  constexpr std::size_t kNamed = 3;
  std::vector<circuit::NetId> nets = circuit::Rails::rail_like(c);
  for (std::size_t i = 0; i < nets.size() && i < kNamed; ++i) {
    bool p = false;
    for (const circuit::Mosfet& m : c.mosfets)
      if (m.drain == nets[i] || m.source == nets[i]) {
        p = m.type == circuit::Channel::P;
        break;
      }
    warn(messages::Message::RailLike, messages::located(where, messages::Message::RailLike,
                           {c.net_names[nets[i]], p ? "supply" : "ground", p ? "p" : "n", p ? "--supply" : "--ground"}));
  }
  if (nets.size() > kNamed)
    warn(messages::Message::MoreRailLike, messages::located(where, messages::Message::MoreRailLike, {std::to_string(nets.size() - kNamed)}));
}

}  // namespace spice
