#include "profile/spice/loose_nets.h"

#include <vector>

#include "profile/circuit/rails.h"

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
  for (circuit::NetId p : c.ports) {
    port[p] = 1;
    if (!read[p] && !driven[p]) warn(where + ": warning: port " + std::string(c.net_names[p]) + " of " + c.name + " touches nothing");
  }
  for (circuit::NetId n = 0; n < c.net_count(); ++n)
    if (read[n] && !driven[n] && !port[n] && !c.is_rail(n) && c.net_roles[n] != circuit::NetRole::BulkOnly)
      warn(where + ": warning: net " + std::string(c.net_names[n]) + " has no driver");
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
    warn(where + ": warning: net " + std::string(c.net_names[nets[i]]) + " looks like a " +
         (p ? "supply" : "ground") + " (only MOSFET bulks and " + (p ? "p" : "n") +
         "-channel sources reach it) but is read as a signal: name it with " + (p ? "--supply" : "--ground"));
  }
  if (nets.size() > kNamed)
    warn(where + ": warning: " + std::to_string(nets.size() - kNamed) + " more nets look like rails");
}

}  // namespace spice
