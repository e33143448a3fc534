#include "profile/recognize/component_builder.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

namespace recognize {

using circuit::NetId;

namespace {

class DeviceUnion {
 public:
  explicit DeviceUnion(std::size_t n) : parent_(n) {
    for (std::uint32_t i = 0; i < n; ++i) parent_[i] = i;
  }
  std::uint32_t find(std::uint32_t d) {
    while (parent_[d] != d) {
      parent_[d] = parent_[parent_[d]];
      d = parent_[d];
    }
    return d;
  }
  void unite(std::uint32_t x, std::uint32_t y) {
    x = find(x);
    y = find(y);
    if (x != y) parent_[std::max(x, y)] = std::min(x, y);
  }

 private:
  std::vector<std::uint32_t> parent_;
};

void sort_unique(std::vector<NetId>& v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

ComponentBuilder::ComponentBuilder(const circuit::Circuit& circuit, const std::vector<Device>& devices)
    : circuit_(circuit), devices_(devices) {
  gate_.assign(circuit.net_count(), false);
  outside_.assign(circuit.net_count(), false);
  port_.assign(circuit.net_count(), false);
  for (const circuit::Mosfet& m : circuit.mosfets)
    if (m.gate < gate_.size()) gate_[m.gate] = true;
  for (NetId p : circuit.ports)
    if (p < outside_.size()) outside_[p] = port_[p] = true;
  for (const circuit::Element& e : circuit.elements)
    for (NetId n : e.nets)
      if (n < outside_.size()) outside_[n] = true;
  for (const circuit::BlackBox& b : circuit.black_boxes)
    for (NetId n : b.pins)
      if (n < outside_.size()) outside_[n] = true;
  gates_only_.assign(circuit.net_count(), false);
  // An instance's inputs are read by the MOSFET gates of its module, as in
  // the flat circuit.
  for (NetId n : circuit.instance_pins)
    if (n < outside_.size() && !outside_[n]) outside_[n] = gates_only_[n] = gate_[n] = true;
  // What an instance drives enters the channels here as an input port's
  // value does.
  for (NetId n : circuit.instance_outputs)
    if (n < port_.size()) {
      port_[n] = true;
      gates_only_[n] = false;
    }
}

std::uint32_t ComponentBuilder::run() {
  DeviceUnion u(devices_.size());
  std::vector<std::uint32_t> first(circuit_.net_count(), FingerMerger::kNoDevice);
  for (std::uint32_t d = 0; d < devices_.size(); ++d) {
    for (NetId n : {devices_[d].a, devices_[d].b}) {
      if (circuit_.is_rail(n)) continue;
      if (first[n] == FingerMerger::kNoDevice) first[n] = d;
      else u.unite(first[n], d);
    }
  }
  std::vector<std::uint32_t>().swap(first);
  // Roots are each component's lowest device, so numbering by root keeps
  // the components in the order of their first device.
  component_of_.assign(devices_.size(), FingerMerger::kNoDevice);
  std::uint32_t count = 0;
  for (std::uint32_t d = 0; d < devices_.size(); ++d) {
    std::uint32_t r = u.find(d);
    component_of_[d] = r == d ? count++ : component_of_[r];
  }
  members_ = Runs(count, [&](auto add) {
    for (std::uint32_t d = 0; d < devices_.size(); ++d) add(component_of_[d], d);
  });
  return count;
}

void ComponentBuilder::fill(std::uint32_t k, Component& c) const {
  std::span<const std::uint32_t> devices = members_.of(k);
  c.devices.assign(devices.begin(), devices.end());
  c.nets.clear();
  c.inputs.clear();
  c.outputs.clear();
  c.sources.clear();
  for (std::uint32_t d : c.devices) {
    const Device& dev = devices_[d];
    for (NetId n : {dev.a, dev.b})
      if (!circuit_.is_rail(n)) c.nets.push_back(n);
    if (!circuit_.is_rail(dev.gate)) c.inputs.push_back(dev.gate);
  }
  sort_unique(c.nets);
  find_sources(c);
  for (NetId n : c.sources) c.inputs.push_back(n);
  sort_unique(c.inputs);
  for (NetId n : c.nets)
    if ((gate_[n] || outside_[n]) && !std::binary_search(c.sources.begin(), c.sources.end(), n))
      c.outputs.push_back(n);
  if (c.outputs.empty()) unread_outputs(c);
}

// A gate whose output nothing reads is still a gate: its outputs are the
// nets where both channels meet.
void ComponentBuilder::unread_outputs(Component& c) const {
  std::unordered_map<NetId, unsigned> channels;  // bit 0: n-channel, bit 1: p-channel
  for (std::uint32_t d : c.devices)
    for (NetId n : {devices_[d].a, devices_[d].b})
      channels[n] |= devices_[d].type == circuit::Channel::P ? 2u : 1u;
  for (NetId n : c.nets)
    if (channels[n] == 3u && !std::binary_search(c.sources.begin(), c.sources.end(), n)) c.outputs.push_back(n);
}

// A port on a channel net is driven from outside when no channel path from
// a rail reaches it without passing another port or a net that gates read:
// pass transistors and transmission gates from an input port then read it
// as a signal source. So is one that a rail reaches only on its way to a
// net something reads.
// Sources stay in ascending order.
void ComponentBuilder::find_sources(Component& c) const {
  // Only a port can be a source: most components, inside the circuit, hold
  // none and need no search.
  if (std::none_of(c.nets.begin(), c.nets.end(), [&](NetId n) { return port_[n]; })) return;
  std::unordered_map<NetId, std::vector<std::uint32_t>> touching;
  for (std::uint32_t d : c.devices) {
    touching[devices_[d].a].push_back(d);
    touching[devices_[d].b].push_back(d);
  }
  std::unordered_map<NetId, bool> reached;
  std::deque<NetId> queue;
  for (std::uint32_t d : c.devices)
    for (NetId n : {devices_[d].a, devices_[d].b})
      if (circuit_.is_rail(n) && !reached[n]) {
        reached[n] = true;
        queue.push_back(n);
      }
  while (!queue.empty()) {
    NetId n = queue.front();
    queue.pop_front();
    for (std::uint32_t d : touching[n]) {
      NetId o = devices_[d].a == n ? devices_[d].b : devices_[d].a;
      if (reached[o]) continue;
      reached[o] = true;
      // Ports and nets that gates read are ends: what lies beyond them is
      // passed through them, as a latch's data input is passed to its
      // storage node.
      if (!circuit_.is_rail(o) && !port_[o] && !gate_[o]) queue.push_back(o);
    }
  }
  // The nets the search passed through fall into regions, each joined to
  // the rails. A region that carries a rail's value both to a read net and
  // to a port feeds the read net; the port is one of its data inputs, met
  // on the way (a multiplexer tree whose other leaf is a gate's output).
  std::unordered_map<NetId, NetId> region;  // passed net -> a net of its region
  auto find = [&](NetId n) {
    while (region[n] != n) n = region[n] = region[region[n]];
    return n;
  };
  auto passed = [&](NetId n) { return reached[n] && !circuit_.is_rail(n) && !port_[n] && !gate_[n]; };
  for (NetId n : c.nets)
    if (passed(n)) region[n] = n;
  for (std::uint32_t d : c.devices)
    if (passed(devices_[d].a) && passed(devices_[d].b)) region[find(devices_[d].a)] = find(devices_[d].b);
  std::unordered_map<NetId, bool> feeds_read;  // per region root
  for (std::uint32_t d : c.devices)
    for (auto [n, o] : {std::pair{devices_[d].a, devices_[d].b}, std::pair{devices_[d].b, devices_[d].a}})
      if (passed(n) && !port_[o] && (gate_[o] || outside_[o])) feeds_read[find(n)] = true;
  for (NetId n : c.nets)
    if (passed(n) && outside_[n]) feeds_read[find(n)] = true;
  // A port the stage drives: next to a rail, or to a region feeding no read
  // net.
  auto driven = [&](NetId port) {
    for (std::uint32_t d : touching[port]) {
      NetId o = devices_[d].a == port ? devices_[d].b : devices_[d].a;
      if (circuit_.is_rail(o) || (passed(o) && !feeds_read[find(o)])) return true;
    }
    return false;
  };
  for (NetId n : c.nets)
    if (port_[n] && (!reached[n] || !driven(n))) c.sources.push_back(n);
  // With every channel net of a railless pass network a port, the ports
  // where most channels meet (a multiplexer's output) are taken as driven.
  // A lone port has nothing to pass on: it stays an input.
  bool drives = false;
  for (NetId n : c.nets)
    drives = drives || (!std::binary_search(c.sources.begin(), c.sources.end(), n) && (gate_[n] || outside_[n]));
  if (drives || c.sources.size() < 2) return;
  std::size_t most = 0;
  for (NetId n : c.sources) most = std::max(most, touching[n].size());
  std::erase_if(c.sources, [&](NetId n) { return touching[n].size() == most; });
}

}  // namespace recognize
