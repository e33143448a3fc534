#include "profile/recognize/switch_evaluator.h"

#include <algorithm>

namespace recognize {

using circuit::NetId;
using circuit::NetRole;

namespace {

// Local node numbers: the two rails first, then the component's nets.
constexpr std::uint32_t kHigh = 0;
constexpr std::uint32_t kLow = 1;

}  // namespace

SwitchEvaluator::SwitchEvaluator(const circuit::Circuit& circuit, const std::vector<Device>& devices)
    : circuit_(circuit), devices_(devices) {}

std::uint32_t SwitchEvaluator::find(std::uint32_t x) {
  while (parent_[x] != x) {
    parent_[x] = parent_[parent_[x]];
    x = parent_[x];
  }
  return x;
}

std::optional<FunctionTable> SwitchEvaluator::evaluate(const Component& c) {
  if (c.inputs.size() > kMaxInputs) return std::nullopt;
  // The component's nets and inputs are ascending: a position is a search.
  auto position = [](const std::vector<NetId>& in, NetId n) {
    return static_cast<std::uint32_t>(std::lower_bound(in.begin(), in.end(), n) - in.begin());
  };
  auto node = [&](NetId n) -> std::uint32_t {
    if (circuit_.net_roles[n] == NetRole::Supply) return kHigh;
    if (circuit_.net_roles[n] == NetRole::Ground) return kLow;
    return 2 + position(c.nets, n);
  };
  std::vector<LocalDevice>& devs = devs_;
  devs.clear();
  for (std::uint32_t d : c.devices) {
    const Device& dev = devices_[d];
    LocalDevice ld{node(dev.a), node(dev.b), -1, false, dev.type == circuit::Channel::P};
    if (circuit_.is_rail(dev.gate)) ld.rail_gate_high = circuit_.net_roles[dev.gate] == NetRole::Supply;
    else ld.gate_input = static_cast<std::int32_t>(position(c.inputs, dev.gate));
    devs.push_back(ld);
  }
  // Rails and input ports on channel nets drive their own value, whatever
  // the devices joining them to others do: a device conducts into a source,
  // never through it.
  const std::uint32_t nodes = 2 + static_cast<std::uint32_t>(c.nets.size());
  std::vector<std::int32_t>& source_input = source_input_;  // per node: input it drives, or -1
  source_input.assign(nodes, -1);
  std::vector<char>& is_source = is_source_;
  is_source.assign(nodes, 0);
  is_source[kHigh] = is_source[kLow] = 1;
  for (NetId s : c.sources) {
    source_input[2 + position(c.nets, s)] = static_cast<std::int32_t>(position(c.inputs, s));
    is_source[2 + position(c.nets, s)] = 1;
  }
  std::vector<std::uint32_t>& out_nodes = out_nodes_;
  out_nodes.clear();
  for (NetId o : c.outputs) out_nodes.push_back(2 + position(c.nets, o));

  FunctionTable t;
  t.inputs = static_cast<std::uint32_t>(c.inputs.size());
  t.outputs = static_cast<std::uint32_t>(c.outputs.size());
  t.values.resize(std::size_t{t.combos()} * t.outputs);
  std::vector<std::uint8_t>& drive = drive_;  // bit 0: reaches 0, bit 1: reaches 1
  drive.resize(nodes);
  std::vector<std::pair<std::uint32_t, std::uint32_t>>& fed = fed_;  // node, the source it touches
  for (std::uint32_t combo = 0; combo < t.combos(); ++combo) {
    parent_.resize(nodes);
    for (std::uint32_t i = 0; i < nodes; ++i) parent_[i] = i;
    fed.clear();
    for (const LocalDevice& d : devs) {
      bool g = d.gate_input < 0 ? d.rail_gate_high : ((combo >> d.gate_input) & 1u) != 0;
      if (g == d.p_channel) continue;
      if (is_source[d.a] || is_source[d.b]) {
        if (!is_source[d.a]) fed.emplace_back(d.a, d.b);
        else if (!is_source[d.b]) fed.emplace_back(d.b, d.a);
        continue;
      }
      std::uint32_t x = find(d.a), y = find(d.b);
      if (x != y) parent_[x] = y;
    }
    std::fill(drive.begin(), drive.end(), 0);
    for (auto [n, src] : fed) {
      std::int32_t input = source_input[src];
      bool high = input < 0 ? src == kHigh : ((combo >> input) & 1u) != 0;
      drive[find(n)] |= high ? 2 : 1;
    }
    for (std::uint32_t o = 0; o < out_nodes.size(); ++o) {
      static constexpr Value kByDrive[4] = {Value::Z, Value::Zero, Value::One, Value::X};
      t.values[std::size_t{combo} * t.outputs + o] = kByDrive[drive[find(out_nodes[o])]];
    }
  }
  return t;
}

}  // namespace recognize
