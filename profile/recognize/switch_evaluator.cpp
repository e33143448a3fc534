#include "profile/recognize/switch_evaluator.h"

#include <unordered_map>

namespace recognize {

using circuit::NetId;
using circuit::NetRole;

namespace {

// Local node numbers: the two rails first, then the component's nets.
constexpr std::uint32_t kHigh = 0;
constexpr std::uint32_t kLow = 1;

// Where a device's gate value comes from: a rail or an input.
struct LocalDevice {
  std::uint32_t a, b;
  std::int32_t gate_input;  // input index, or -1 for a rail
  bool rail_gate_high;
  bool p_channel;
};

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
  std::unordered_map<NetId, std::uint32_t> local;
  for (std::uint32_t i = 0; i < c.nets.size(); ++i) local.emplace(c.nets[i], 2 + i);
  std::unordered_map<NetId, std::int32_t> input_index;
  for (std::uint32_t i = 0; i < c.inputs.size(); ++i) input_index.emplace(c.inputs[i], static_cast<std::int32_t>(i));
  auto node = [&](NetId n) -> std::uint32_t {
    if (circuit_.net_roles[n] == NetRole::Supply) return kHigh;
    if (circuit_.net_roles[n] == NetRole::Ground) return kLow;
    return local.at(n);
  };
  std::vector<LocalDevice> devs;
  devs.reserve(c.devices.size());
  for (std::uint32_t d : c.devices) {
    const Device& dev = devices_[d];
    LocalDevice ld{node(dev.a), node(dev.b), -1, false, dev.type == circuit::Channel::P};
    if (circuit_.is_rail(dev.gate)) ld.rail_gate_high = circuit_.net_roles[dev.gate] == NetRole::Supply;
    else ld.gate_input = input_index.at(dev.gate);
    devs.push_back(ld);
  }
  // Rails and input ports on channel nets drive their own value, whatever
  // the devices joining them to others do: a device conducts into a source,
  // never through it.
  const std::uint32_t nodes = 2 + static_cast<std::uint32_t>(c.nets.size());
  std::vector<std::int32_t> source_input(nodes, -1);  // per node: input it drives, or -1
  std::vector<bool> is_source(nodes, false);
  is_source[kHigh] = is_source[kLow] = true;
  for (NetId s : c.sources) {
    source_input[local.at(s)] = input_index.at(s);
    is_source[local.at(s)] = true;
  }
  std::vector<std::uint32_t> out_nodes;
  for (NetId o : c.outputs) out_nodes.push_back(local.at(o));

  FunctionTable t;
  t.inputs = static_cast<std::uint32_t>(c.inputs.size());
  t.outputs = static_cast<std::uint32_t>(c.outputs.size());
  t.values.resize(std::size_t{t.combos()} * t.outputs);
  std::vector<std::uint8_t> drive(nodes);  // bit 0: reaches 0, bit 1: reaches 1
  std::vector<std::pair<std::uint32_t, std::uint32_t>> fed;  // node, the source it touches
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
