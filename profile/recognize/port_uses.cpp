#include "profile/recognize/port_uses.h"

namespace recognize {

PortUses port_uses(const circuit::Circuit& c, const GateNetwork& network) {
  std::vector<char> channel(c.net_count(), 0), from_instance(c.net_count(), 0), read(c.net_count(), 0);
  for (const circuit::Mosfet& m : c.mosfets) {
    channel[m.drain] = channel[m.source] = 1;
    read[m.gate] = 1;
  }
  for (circuit::NetId n : c.instance_outputs) from_instance[n] = 1;
  for (circuit::NetId n : c.instance_pins) read[n] = 1;
  PortUses out;
  out.ports.reserve(c.ports.size());
  for (std::uint32_t i = 0; i < c.ports.size(); ++i) {
    const circuit::NetId p = c.ports[i];
    PortUse use = PortUse::Input;
    if (c.is_rail(p) || c.net_roles[p] == circuit::NetRole::BulkOnly) {
      use = PortUse::Rail;
    } else if (p < network.nets.size() && network.nets[p].constant >= 0) {
      use = PortUse::Output;
    } else if (channel[p]) {
      std::uint32_t s = p < network.nets.size() ? network.nets[p].driver : kNoStage;
      bool always = s != kNoStage && network.stages[s].kind == StageKind::Gate && !network.stages[s].weak;
      use = always ? PortUse::Output : PortUse::Shared;
    } else if (from_instance[p]) {
      use = PortUse::Output;
    } else if (!read[p]) {
      use = PortUse::Open;
    }
    if (use == PortUse::Shared && out.first_shared == PortUses::kNone) out.first_shared = i;
    out.ports.push_back(use);
  }
  return out;
}

}  // namespace recognize
