#include "profile/recognize/recognizer.h"

#include <algorithm>

#include "profile/circuit/ties.h"
#include "profile/recognize/component_builder.h"
#include "profile/recognize/finger_merger.h"
#include "profile/recognize/switch_evaluator.h"
#include "profile/recognize/table_types.h"

namespace recognize {

namespace {

StageKind kind_of(const FunctionTable& t, const std::vector<NetId>& inputs, const std::vector<NetId>& outputs) {
  if (t.outputs != 1) return StageKind::Network;
  if (std::find(inputs.begin(), inputs.end(), outputs[0]) != inputs.end()) return StageKind::Network;
  bool floats = false;
  for (Value v : t.values) {
    if (v == Value::X) return StageKind::Network;
    if (v == Value::Z) floats = true;
  }
  return floats ? StageKind::Tristate : StageKind::Gate;
}

}  // namespace

const CanonicalForm& Recognizer::canonical(const FunctionTable& t) {
  std::string key = std::to_string(t.inputs) + "." + std::to_string(t.outputs) + ":";
  for (Value v : t.values) key += static_cast<char>('0' + static_cast<int>(v));
  auto it = cache_.find(key);
  if (it == cache_.end()) it = cache_.emplace(std::move(key), FunctionCanon::canonicalize(t)).first;
  return it->second;
}

GateNetwork Recognizer::run(const circuit::Circuit& circuit) {
  GateNetwork net;
  net.nets.resize(circuit.net_count());
  for (NetId n = 0; n < circuit.net_count(); ++n) net.nets[n].role = circuit.net_roles[n];
  for (NetId p : circuit.ports)
    if (p < net.nets.size()) net.nets[p].port = true;

  // Constants first: the MOSFETs that make them are no logic.
  circuit::HeldValues wires = circuit::held_by_wires(circuit);
  circuit::MosfetTies ties = circuit::held_by_mosfets(circuit, wires);
  for (NetId n = 0; n < circuit.net_count(); ++n) net.nets[n].constant = ties.value[n] >= 0 ? ties.value[n] : wires[n];
  std::vector<char> tied(circuit.mosfets.size(), 0);
  for (std::uint32_t m : ties.mosfets) tied[m] = 1;
  net.tie_mosfets = std::move(ties.mosfets);

  FingerMerger fingers(circuit, tied);
  fingers.run();
  ComponentBuilder builder(circuit, fingers.devices());
  std::vector<Component> components = builder.run();

  // MOSFETs of each component, and the ones in none.
  std::vector<std::uint32_t> component_of_device(fingers.devices().size());
  for (std::uint32_t c = 0; c < components.size(); ++c)
    for (std::uint32_t d : components[c].devices) component_of_device[d] = c;
  std::vector<std::vector<std::uint32_t>> mosfets(components.size());
  for (std::uint32_t m = 0; m < circuit.mosfets.size(); ++m) {
    std::uint32_t d = fingers.device_of()[m];
    if (tied[m]) continue;
    if (d == FingerMerger::kNoDevice) net.unused_mosfets.push_back(m);
    else mosfets[component_of_device[d]].push_back(m);
  }
  // Stages go in the order of their first MOSFET as read.
  std::vector<std::uint32_t> order(components.size());
  for (std::uint32_t c = 0; c < order.size(); ++c) order[c] = c;
  std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) { return mosfets[x][0] < mosfets[y][0]; });

  SwitchEvaluator evaluator(circuit, fingers.devices());
  for (std::uint32_t ci : order) {
    const Component& c = components[ci];
    if (c.outputs.empty()) {
      net.unused_mosfets.insert(net.unused_mosfets.end(), mosfets[ci].begin(), mosfets[ci].end());
      continue;
    }
    std::optional<FunctionTable> table = evaluator.evaluate(c);
    if (!table) {
      net.unevaluated.push_back(mosfets[ci]);
      continue;
    }
    const CanonicalForm& f = canonical(*table);
    Stage s;
    s.label = f.label;
    s.table = f.table;
    s.input_class = f.input_class;
    for (std::uint32_t k : f.order) s.inputs.push_back(c.inputs[k]);
    for (std::uint32_t o : f.output_order) {
      s.outputs.push_back(c.outputs[o]);
      s.floats_to_z.push_back(builder.read_outside(c.outputs[o]));
    }
    s.kind = kind_of(s.table, s.inputs, s.outputs);
    if (s.kind == StageKind::Gate)
      if (const TableType* type = TableTypes::instance().find(s.label)) {
        s.table_type = type->module;
        s.table_pins = type->pins;
      }
    s.devices = static_cast<std::uint32_t>(c.devices.size());
    s.mosfet_ids = mosfets[ci];
    s.mosfets = static_cast<std::uint32_t>(s.mosfet_ids.size());
    for (NetId o : s.outputs) net.nets[o].driver = static_cast<std::uint32_t>(net.stages.size());
    net.stages.push_back(std::move(s));
  }
  std::sort(net.unused_mosfets.begin(), net.unused_mosfets.end());
  return net;
}

}  // namespace recognize
