#include "profile/design/hierarchy_builder.h"

#include <algorithm>

#include "profile/circuit/device_kinds.h"
#include "profile/messages/messages.h"

namespace design {

using circuit::NetId;
using recognize::PortUse;

void HierarchyBuilder::mark_instance_outputs(circuit::Circuit& c, const Hierarchy& h) {
  for (const circuit::Instance& inst : c.instances) {
    const std::vector<PortUse>& uses = h.modules[inst.module].ports;
    for (std::uint32_t p = 0; p < inst.pin_count && p < uses.size(); ++p)
      if (uses[p] == PortUse::Output) c.instance_outputs.push_back(c.instance_pins[inst.first_pin + p]);
  }
}

void HierarchyBuilder::claim_rails(circuit::Circuit& c, const Hierarchy& h, std::vector<circuit::RailFound>* found) {
  bool any = false;
  for (const circuit::Instance& inst : c.instances) {
    const circuit::Circuit& callee = h.modules[inst.module].circuit;
    for (std::uint32_t p = 0; p < inst.pin_count && p < callee.ports.size(); ++p) {
      if (!callee.is_rail(callee.ports[p])) continue;
      NetId n = c.instance_pins[inst.first_pin + p];
      if (c.is_rail(n)) continue;
      c.net_roles[n] = callee.net_roles[callee.ports[p]];
      if (found) found->push_back({n, c.net_roles[n], circuit::RailReason::FromCall});
      any = true;
    }
  }
  if (any && found)
    std::stable_sort(found->begin(), found->end(),
                     [](const circuit::RailFound& a, const circuit::RailFound& b) { return a.net < b.net; });
}

std::vector<std::uint32_t> HierarchyBuilder::callees_first(const std::vector<std::uint32_t>& roots) {
  enum : std::uint8_t { kNew, kOpen, kDone, kCycle };
  std::vector<std::uint8_t> state(deck_.definitions.size(), kNew);
  std::vector<std::uint32_t> order;
  // Each frame: a definition and the next of its callees to visit.
  struct Frame {
    std::uint32_t definition;
    std::vector<std::uint32_t> callees;
    std::size_t next = 0;
  };
  std::vector<Frame> stack;
  for (std::uint32_t root : roots) {
    if (state[root] != kNew) continue;
    state[root] = kOpen;
    stack.push_back({root, flattener_.cells_called(deck_.definitions[root].body)});
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.next < f.callees.size()) {
        std::uint32_t d = f.callees[f.next++];
        if (state[d] == kOpen) {
          // A cycle: none of those on it is kept.
          for (const Frame& g : stack) state[g.definition] = kCycle;
          continue;
        }
        if (state[d] != kNew) continue;
        state[d] = kOpen;
        stack.push_back({d, flattener_.cells_called(deck_.definitions[d].body)});
        continue;
      }
      std::uint32_t d = f.definition;
      stack.pop_back();
      if (state[d] == kOpen) {
        state[d] = kDone;
        order.push_back(d);
      }
    }
  }
  return order;
}

void HierarchyBuilder::judge(std::uint32_t definition, Hierarchy& h) {
  const spice::Definition& d = deck_.definitions[definition];
  // Sizes a call passes would make each call another circuit.
  if (d.has_params) {
    ++h.flattened;
    return;
  }
  // A library cell is one module, as the cell search finds it.
  flattener_.set_keeping(!d.from_library);
  circuit::Circuit c = flattener_.flatten_definition(d);
  flattener_.set_keeping(true);
  std::vector<NetId> globals = flattener_.global_nets();
  mark_instance_outputs(c, h);
  rails_.assign(c);
  claim_rails(c, h, nullptr);
  // A global net is one net everywhere: as a signal it would join what a
  // module boundary cuts.
  bool global_signal = false;
  for (NetId n : globals)
    if (!c.is_rail(n) && c.net_roles[n] != circuit::NetRole::BulkOnly &&
        std::find(c.ports.begin(), c.ports.end(), n) == c.ports.end())
      global_signal = true;
  recognize::GateNetwork network = recognizer_.run(c);
  recognize::PortUses uses = recognize::port_uses(c, network);
  std::string where = deck_.files[d.file];
  where.append(":").append(std::to_string(d.line));
  recognize::warn_wide_stages(c, network, where, warn_);
  // Constants count where a port shows them (a tie cell), not where they
  // only hold a decap's nodes.
  bool logic = !network.stages.empty() || !network.unevaluated.empty() || !c.instances.empty() ||
               std::find(uses.ports.begin(), uses.ports.end(), PortUse::Output) != uses.ports.end() ||
               std::any_of(c.black_boxes.begin(), c.black_boxes.end(), [](const circuit::BlackBox& b) {
                 return !circuit::is_diode_device(b.cell, b.pins.size());
               });
  if (!uses.sound() && warn_) {
    warn_(messages::Message::Flattened,
          messages::located(where, messages::Message::Flattened,
                            {c.name, c.net_names[c.ports[uses.first_shared]]}));
  }
  if (!uses.sound() || !logic || global_signal) {
    ++h.flattened;
    return;
  }
  auto module = static_cast<std::uint32_t>(h.modules.size());
  Submodule& s = h.modules.emplace_back();
  s.definition = definition;
  s.library = d.from_library;
  s.circuit = std::move(c);
  s.network = std::move(network);
  s.ports = std::move(uses.ports);
  flattener_.keep_as_module(definition, module);
}

circuit::Circuit HierarchyBuilder::build(const std::string& top, const std::string& deck_name, Hierarchy& h) {
  std::optional<std::uint32_t> top_definition = flattener_.choose_top(top);
  std::vector<std::uint32_t> roots =
      top_definition ? flattener_.cells_called(deck_.definitions[*top_definition].body) : flattener_.cells_called(deck_.top);
  for (std::uint32_t d : callees_first(roots))
    if (d != top_definition) judge(d, h);
  circuit::Circuit c =
      top_definition ? flattener_.flatten_definition(deck_.definitions[*top_definition]) : flattener_.flatten_deck(deck_name);
  mark_instance_outputs(c, h);
  // Uses flow from the top down, callers before callees; a hierarchy that
  // multiplies past 2^64 stops counting there.
  auto add = [](std::uint64_t& to, std::uint64_t n) { to = n > ~to ? ~std::uint64_t{0} : to + n; };
  for (const circuit::Instance& inst : c.instances) add(h.modules[inst.module].uses, 1);
  for (std::size_t k = h.modules.size(); k-- > 0;) {
    const Submodule& s = h.modules[k];
    for (const circuit::Instance& inst : s.circuit.instances) add(h.modules[inst.module].uses, s.uses);
  }
  return c;
}

}  // namespace design
