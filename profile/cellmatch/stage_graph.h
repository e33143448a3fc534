#pragma once
// Builds the search's graph from a recognised gate network: one gate per
// stage, labelled by the stage's kind, function label and MOSFET count (so
// that a cell with fingers and one without stay apart); its inputs keep their
// interchangeability classes, each output is a class of its own. Rails keep
// their kind; `ports` and `outside` mark the nets seen from outside the
// network (ports of the circuit or cell, nets that elements or black boxes
// touch).
//
// Network: stages[] with kind, label(), inputs, input_class(), outputs,
// mosfets; nets[] with role (circuit::NetRole).
#include <span>
#include <string>
#include <vector>

#include "profile/cellmatch/gate_graph.h"
#include "profile/circuit/circuit.h"

namespace cellmatch {

inline constexpr std::uint16_t kFirstOutputClass = 0x8000;

template <class Network>
GateGraph stage_graph(const Network& network, std::span<const circuit::NetId> ports, std::span<const circuit::NetId> outside) {
  GateGraph g;
  for (const auto& net : network.nets) {
    std::uint8_t flags = 0;
    if (net.role == circuit::NetRole::Supply) flags |= kSupply;
    if (net.role == circuit::NetRole::Ground) flags |= kGround;
    g.add_net(flags);
  }
  for (circuit::NetId n : ports) g.add_flags(n, kPort);
  for (circuit::NetId n : outside) g.add_flags(n, kOutsideUse);
  std::vector<Pin> pins;
  std::string label;
  for (const auto& stage : network.stages) {
    pins.clear();
    for (std::size_t k = 0; k < stage.inputs.size(); ++k)
      pins.push_back({stage.inputs[k], static_cast<std::uint16_t>(stage.input_class()[k]), PinRole::Input});
    for (std::size_t o = 0; o < stage.outputs.size(); ++o)
      pins.push_back({stage.outputs[o], static_cast<std::uint16_t>(kFirstOutputClass + o), PinRole::Output});
    label = std::to_string(static_cast<int>(stage.kind));
    label += '|';
    label += stage.label();
    label += '|';
    label += std::to_string(stage.mosfets);
    g.add_gate(label, stage.mosfets, pins);
  }
  g.finish();
  return g;
}

}  // namespace cellmatch
