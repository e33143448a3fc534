#include "profile/design/design_builder.h"

#include <algorithm>

#include "core/diag/assert.h"
#include "profile/circuit/device_kinds.h"
#include "profile/circuit/net_name_index.h"
#include "profile/circuit/ties.h"

namespace design {

using circuit::NetId;
using recognize::GateNetwork;
using recognize::Stage;

namespace {

bool is_short(const circuit::BlackBox& b) { return circuit::is_short_device(b.cell, b.pins.size()); }

// Ports a module drives: outputs of its stages, or output pins of its cells.
std::vector<bool> driven_nets(const circuit::Circuit& c, const GateNetwork& network,
                              const std::vector<bool>& replaced, const std::vector<CellOccurrence>& occurrences,
                              const std::vector<LibraryCell>& cells) {
  std::vector<bool> driven(c.net_count(), false);
  for (std::uint32_t s = 0; s < network.stages.size(); ++s)
    if (!replaced[s])
      for (NetId o : network.stages[s].outputs) driven[o] = true;
  for (const CellOccurrence& occ : occurrences) {
    const LibraryCell& cell = cells[occ.cell];
    for (std::size_t p = 0; p < occ.pins.size() && p < cell.circuit->ports.size(); ++p) {
      NetId inner = cell.circuit->ports[p];
      if (inner < cell.network->nets.size() &&
          (cell.network->nets[inner].driver != recognize::kNoStage || cell.network->nets[inner].constant >= 0) &&
          occ.pins[p] < driven.size())
        driven[occ.pins[p]] = true;
    }
  }
  return driven;
}

// Channel steps from the nearest rail to each net of a component.
std::unordered_map<NetId, std::uint32_t> rail_depths(const circuit::Circuit& c,
                                                     const std::vector<std::uint32_t>& mosfets) {
  std::unordered_map<NetId, std::vector<NetId>> next;
  std::unordered_map<NetId, std::uint32_t> depth;
  std::vector<NetId> queue;
  for (std::uint32_t m : mosfets) {
    const circuit::Mosfet& mos = c.mosfets[m];
    next[mos.drain].push_back(mos.source);
    next[mos.source].push_back(mos.drain);
    for (NetId n : {mos.drain, mos.source})
      if (c.is_rail(n) && depth.emplace(n, 0).second) queue.push_back(n);
  }
  for (std::size_t i = 0; i < queue.size(); ++i)
    for (NetId o : next[queue[i]])
      if (depth.emplace(o, depth[queue[i]] + 1).second) queue.push_back(o);
  return depth;
}

std::string one_line(std::string_view text) {
  std::string s(text);
  for (char& ch : s)
    if (ch == '\n' || ch == '\r') ch = ' ';
  return s;
}

// The path steps before the last `/` of a name ("" for none).
std::string_view parent(std::string_view name) {
  std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : name.substr(0, slash);
}

}  // namespace

NameId DesignBuilder::letter(char pin) {
  NameId& id = letters_[static_cast<unsigned char>(pin) % 128];
  if (id == kNoName) id = fixed(std::string(1, pin));
  return id;
}

NameId DesignBuilder::fixed(const std::string& text) {
  auto it = fixed_.find(text);
  if (it != fixed_.end()) return it->second;
  NameId id = design_.make_name(text);
  fixed_.emplace(text, id);
  return id;
}

NameId DesignBuilder::path_of(std::string_view instance) {
  std::string_view path = parent(instance);
  auto [it, fresh] = paths_.emplace(path, 0);
  if (fresh) it->second = design_.add_name(path);
  return it->second;
}

NameId DesignBuilder::path_of(const circuit::Circuit& c, std::span<const std::uint32_t> devices) {
  if (devices.empty()) return path_of(std::string_view());
  std::string_view path = parent(c.mosfets[devices.front()].name);
  for (std::uint32_t m : devices) {
    std::string_view name = c.mosfets[m].name;
    // Shorten to the steps both share.
    while (!path.empty() && !(name.size() > path.size() && name.compare(0, path.size(), path) == 0 &&
                              name[path.size()] == '/'))
      path = parent(path);
  }
  auto [it, fresh] = paths_.emplace(path, 0);
  if (fresh) it->second = design_.add_name(path);
  return it->second;
}

Design DesignBuilder::build(const circuit::Circuit& top, const GateNetwork& network,
                            const std::vector<CellOccurrence>& occurrences, const Hierarchy* hierarchy,
                            const std::vector<std::vector<CellOccurrence>>* found_in) {
  design_ = Design();
  fixed_.clear();
  letters_.fill(kNoName);
  paths_.clear();
  black_boxes_.clear();
  black_box_index_.clear();
  hierarchy_ = hierarchy;
  const std::size_t kept = hierarchy ? hierarchy->modules.size() : 0;
  port_names_.assign(kept, {});
  auto found_in_module = [&](std::size_t k) -> const std::vector<CellOccurrence>& {
    static const std::vector<CellOccurrence> kNone;
    return found_in && k < found_in->size() ? (*found_in)[k] : kNone;
  };
  design_.functions.reserve(top.name);
  std::vector<bool> used(cells_.size(), false);
  for (const CellOccurrence& occ : occurrences) used[occ.cell] = true;
  for (std::size_t k = 0; k < kept; ++k)
    for (const CellOccurrence& occ : found_in_module(k)) used[occ.cell] = true;
  // A library cell the deck calls by name is one module, found or called.
  std::unordered_map<std::string_view, std::size_t> library_cell;
  for (std::size_t k = 0; k < cells_.size(); ++k) library_cell.emplace(cells_[k].circuit->name, k);
  std::vector<bool> written_as_cell(kept, false);
  for (std::size_t k = 0; k < kept; ++k) {
    const Submodule& s = hierarchy->modules[k];
    auto it = s.library ? library_cell.find(s.circuit.name) : library_cell.end();
    if (it != library_cell.end()) {
      used[it->second] = true;
      written_as_cell[k] = true;
    }
  }
  for (std::size_t k = 0; k < cells_.size(); ++k)
    if (used[k]) design_.functions.reserve(cells_[k].circuit->name);
  for (std::size_t k = 0; k < kept; ++k) design_.functions.reserve(hierarchy->modules[k].circuit.name);
  for (const circuit::BlackBox& b : top.black_boxes) design_.functions.reserve(std::string(b.cell));
  for (std::size_t k = 0; k < kept; ++k)
    for (const circuit::BlackBox& b : hierarchy->modules[k].circuit.black_boxes)
      design_.functions.reserve(std::string(b.cell));

  add_module(top, network, occurrences);
  // In the order first called, level by level from the top, as a reader
  // follows them down.
  std::vector<std::uint32_t> order;
  std::vector<bool> queued(kept, false);
  auto enqueue = [&](const circuit::Circuit& c) {
    for (const circuit::Instance& inst : c.instances)
      if (!queued[inst.module]) {
        queued[inst.module] = true;
        order.push_back(inst.module);
      }
  };
  enqueue(top);
  for (std::size_t i = 0; i < order.size(); ++i) enqueue(hierarchy->modules[order[i]].circuit);
  for (std::uint32_t k : order) {
    const Submodule& s = hierarchy->modules[k];
    if (s.library) continue;
    add_module(s.circuit, s.network, found_in_module(k));
    design_.modules.back().subcircuit = true;
  }
  for (std::size_t k = 0; k < cells_.size(); ++k)
    if (used[k]) add_module(*cells_[k].circuit, *cells_[k].network, {});
  // Cells called by name that the search does not take (a cell holding an
  // element, a black box): written from their own circuits.
  for (std::uint32_t k : order) {
    const Submodule& s = hierarchy->modules[k];
    if (s.library && !written_as_cell[k]) add_module(s.circuit, s.network, found_in_module(k));
  }
  add_black_box_modules();
  return std::move(design_);
}

bool DesignBuilder::tied_to_rail(const circuit::Circuit& c, const circuit::Instance& ci, std::uint32_t pin) const {
  const std::vector<recognize::PortUse>& uses = hierarchy_->modules[ci.module].ports;
  return pin < uses.size() && uses[pin] == recognize::PortUse::Input && c.is_rail(c.instance_pins[ci.first_pin + pin]);
}

std::uint32_t DesignBuilder::add_instances(const circuit::Circuit& c, Module& m,
                                           const std::function<NameId(std::string_view)>& call_name, NetId supply,
                                           NetId ground) {
  std::uint32_t cells = 0;
  for (const circuit::Instance& ci : c.instances) {
    const Submodule& s = hierarchy_->modules[ci.module];
    Instance inst;
    inst.kind = s.library ? InstanceKind::LibraryCell : InstanceKind::Submodule;
    inst.cell = fixed(s.circuit.name);
    inst.name = call_name(ci.name);
    inst.first_pin = static_cast<std::uint32_t>(m.pins.size());
    inst.first_device = static_cast<std::uint32_t>(m.devices.size());
    // Pin names once per module, not per call.
    std::vector<NameId>& names = port_names_[ci.module];
    if (names.empty())
      for (NetId port : s.circuit.ports) names.push_back(fixed(std::string(s.circuit.net_names[port])));
    for (std::uint32_t p = 0; p < ci.pin_count && p < names.size(); ++p) {
      NetId n = c.instance_pins[ci.first_pin + p];
      if (tied_to_rail(c, ci, p)) n = c.net_roles[n] == circuit::NetRole::Supply ? supply : ground;
      m.pins.push_back(Pin{names[p], n});
    }
    inst.pin_count = static_cast<std::uint32_t>(m.pins.size()) - inst.first_pin;
    // The call itself is where its devices came from.
    inst.path = design_.name(inst.name) == ci.name ? inst.name : design_.add_name(ci.name);
    m.instances.push_back(inst);
    if (s.library) ++cells;
  }
  return cells;
}

void DesignBuilder::add_module(const circuit::Circuit& c, const GateNetwork& network,
                               const std::vector<CellOccurrence>& occurrences) {
  Module m;
  m.name = design_.add_name(c.name);
  std::vector<bool> replaced(network.stages.size(), false);
  for (const CellOccurrence& occ : occurrences)
    for (std::uint32_t s : occ.stages)
      if (s < replaced.size()) replaced[s] = true;
  std::vector<bool> driven = driven_nets(c, network, replaced, occurrences, cells_);
  for (NetId n : c.instance_outputs) driven[n] = true;
  // The network was recognised on this circuit.
  EXTRACTOR_ASSERT(network.nets.empty() || network.nets.size() == c.net_count());

  design_.names.reserve(design_.names.size() + c.net_count() + 2 * network.stages.size() + 16);
  m.nets.resize(c.net_count());
  for (NetId n = 0; n < c.net_count(); ++n) m.nets[n].name = design_.add_name(c.net_names[n]);
  std::vector<char> found_shorts(c.black_boxes.size(), 0);
  for (const CellOccurrence& occ : occurrences)
    for (std::uint32_t b : occ.shorts)
      if (b < found_shorts.size()) found_shorts[b] = 1;
  std::vector<char> found_ties(c.mosfets.size(), 0);
  for (const CellOccurrence& occ : occurrences)
    for (std::uint32_t k : occ.ties) found_ties[k] = 1;
  // Constants but those of the tie cells found: those drive their own, still
  // turning on the MOSFETs they reach.
  const circuit::HeldValues wires = circuit::held_by_wires(c, found_shorts);
  circuit::HeldValues known(c.net_count(), -1);
  for (NetId n = 0; n < c.net_count() && n < network.nets.size(); ++n) known[n] = network.nets[n].constant;
  const circuit::MosfetTies ties = circuit::held_by_mosfets(c, known, found_ties);
  for (NetId n = 0; n < c.net_count(); ++n) {
    std::int8_t v = ties.value[n] >= 0 ? ties.value[n] : wires[n];
    if (v < 0) continue;
    m.constants.emplace_back(n, v == 1);
    driven[n] = true;
  }

  // Components too large to evaluate become switch primitives; the ports on
  // their channels are inout.
  std::vector<bool> switched(c.net_count(), false);
  bool rails_used = false;
  for (const auto& component : network.unevaluated)
    for (std::uint32_t k : component) {
      const circuit::Mosfet& mos = c.mosfets[k];
      for (NetId n : {mos.drain, mos.source}) {
        if (c.is_rail(n)) rails_used = true;
        else switched[n] = true;
      }
    }
  // A port driven weakly is driven from outside too.
  std::vector<bool> weakly(c.net_count(), false);
  for (std::uint32_t s = 0; s < network.stages.size(); ++s)
    if (!replaced[s] && network.stages[s].weak)
      for (NetId o : network.stages[s].outputs) weakly[o] = true;
  m.ports = c.ports;
  for (std::size_t i = 0; i < c.ports.size(); ++i) {
    NetId p = c.ports[i];
    Net& net = m.nets[p];
    // A port listed twice on the .subckt line is declared once.
    if (net.kind == NetKind::Port) continue;
    m.declared.push_back(p);
    net.kind = NetKind::Port;
    net.direction = switched[p] || weakly[p] ? Direction::Inout : driven[p] ? Direction::Output : Direction::Input;
    // A direction the input gives wins; a rail stays an input, as every
    // rail is written.
    switch (i < c.port_directions.size() ? c.port_directions[i] : circuit::PinDirection::Unknown) {
      case circuit::PinDirection::Unknown: break;
      case circuit::PinDirection::Input: net.direction = Direction::Input; break;
      case circuit::PinDirection::Output: net.direction = Direction::Output; break;
      case circuit::PinDirection::Inout: net.direction = c.is_rail(p) ? Direction::Input : Direction::Inout; break;
    }
  }
  // Internal nets that something connects to are wires.
  std::vector<bool> wired(c.net_count(), false);
  for (std::uint32_t s = 0; s < network.stages.size(); ++s) {
    if (replaced[s]) continue;
    for (NetId n : network.stages[s].inputs) wired[n] = true;
    for (NetId n : network.stages[s].outputs) wired[n] = true;
  }
  for (const CellOccurrence& occ : occurrences)
    for (NetId n : occ.pins)
      if (n < wired.size()) wired[n] = true;
  for (const circuit::BlackBox& b : c.black_boxes)
    for (NetId n : b.pins)
      if (n < wired.size() && !is_short(b)) wired[n] = true;
  for (const auto& [n, value] : m.constants) wired[n] = true;
  for (NetId n : c.instance_pins) wired[n] = true;
  for (const auto& component : network.unevaluated)
    for (std::uint32_t k : component)
      for (NetId n : {c.mosfets[k].drain, c.mosfets[k].gate, c.mosfets[k].source})
        if (!c.is_rail(n)) wired[n] = true;
  for (NetId n = 0; n < c.net_count(); ++n)
    if (wired[n] && m.nets[n].kind != NetKind::Port) m.nets[n].kind = NetKind::Wire;
  // A rail on a signal pin of an instance is a constant there, as it is to
  // the devices in the flat circuit.
  for (const circuit::Instance& ci : c.instances)
    for (std::uint32_t p = 0; p < ci.pin_count; ++p)
      if (tied_to_rail(c, ci, p)) rails_used = true;
  // Switches and such pins reach the rails through two nets of their own.
  NetId supply = kOpen, ground = kOpen;
  if (rails_used) {
    supply = static_cast<NetId>(m.nets.size());
    m.nets.push_back(Net{fixed("<supply>"), NetKind::Supply, Direction::Input});
    ground = static_cast<NetId>(m.nets.size());
    m.nets.push_back(Net{fixed("<ground>"), NetKind::Ground, Direction::Input});
  }

  // Instance names must not clash with net names in the module's scope.
  const circuit::NetNameIndex nets(c);
  // Names taken, viewed where the design or the circuit keeps them.
  std::unordered_set<std::string_view> taken;
  auto instance_name = [&](std::string base) {
    while (nets.contains(base) || taken.count(base)) base += "_";
    NameId id = design_.make_name(base);
    taken.insert(design_.name(id));
    return id;
  };
  // A call's name as the circuit holds it, copied only when it clashes.
  auto call_name = [&](std::string_view name) {
    if (!nets.contains(name) && taken.insert(name).second) return design_.add_name(name);
    return instance_name(std::string(name));
  };

  std::uint32_t cell_count = 0;
  std::unordered_map<std::string_view, std::uint32_t> per_path;  // MOSFETs by the path they are named under
  std::vector<std::size_t> occ_at(network.stages.size(), occurrences.size());
  for (std::size_t i = 0; i < occurrences.size(); ++i)
    if (!occurrences[i].stages.empty())
      occ_at[*std::min_element(occurrences[i].stages.begin(), occurrences[i].stages.end())] = i;
  // Opens an instance whose pins and devices are then appended to the
  // module's lists; close() counts them and finds the devices' path.
  auto open = [&](InstanceKind kind, NameId cell, NameId name) {
    Instance inst;
    inst.kind = kind;
    inst.cell = cell;
    inst.name = name;
    inst.first_pin = static_cast<std::uint32_t>(m.pins.size());
    inst.first_device = static_cast<std::uint32_t>(m.devices.size());
    m.instances.push_back(inst);
  };
  auto close = [&](bool sort_devices) {
    Instance& inst = m.instances.back();
    inst.pin_count = static_cast<std::uint32_t>(m.pins.size()) - inst.first_pin;
    inst.device_count = static_cast<std::uint32_t>(m.devices.size()) - inst.first_device;
    auto devices = m.devices.begin() + inst.first_device;
    if (sort_devices) std::sort(devices, m.devices.end());
    inst.path = path_of(c, m.devices_of(inst));
  };
  auto add_occurrence = [&](const CellOccurrence& occ) {
    const circuit::Circuit& cell = *cells_[occ.cell].circuit;
    ++cell_count;
    open(InstanceKind::LibraryCell, fixed(cell.name), kNoName);
    for (std::size_t p = 0; p < occ.pins.size() && p < cell.ports.size(); ++p)
      m.pins.push_back(Pin{design_.add_name(cell.net_names[cell.ports[p]]),
                           occ.pins[p] < c.net_count() ? occ.pins[p] : kOpen});
    for (std::uint32_t s : occ.stages)
      if (s < network.stages.size())
        m.devices.insert(m.devices.end(), network.stages[s].mosfet_ids.begin(), network.stages[s].mosfet_ids.end());
    m.devices.insert(m.devices.end(), occ.ties.begin(), occ.ties.end());
    close(true);
    // The devices of exactly one call of the input: the instance is that
    // call, and keeps its name.
    Instance& inst = m.instances.back();
    std::span<const std::uint32_t> devices = m.devices_of(inst);
    std::uint32_t call = devices.empty() ? circuit::Mosfet::kNoCall : c.mosfets[devices.front()].call;
    bool one_call = call != circuit::Mosfet::kNoCall && c.calls[call].mosfets == devices.size() &&
                    std::all_of(devices.begin(), devices.end(), [&](std::uint32_t d) { return c.mosfets[d].call == call; });
    std::string name = one_call ? std::string(c.calls[call].path) : cell.name + "_" + std::to_string(cell_count);
    // A deck flattened by another tool names its devices by path
    // (`xu0/X0`): the devices of exactly one such path are that instance.
    if (!one_call && !devices.empty()) {
      std::string_view path = parent(c.mosfets[devices.front()].name);
      bool same = !path.empty() && std::all_of(devices.begin(), devices.end(), [&](std::uint32_t d) {
        return parent(c.mosfets[d].name) == path;
      });
      if (same) {
        if (per_path.empty()) {
          // A path's devices mostly stand together: counted a run at a time.
          std::string_view run;
          std::uint32_t length = 0;
          for (const circuit::Mosfet& mos : c.mosfets) {
            std::string_view p = parent(mos.name);
            if (length > 0 && p == run) {
              ++length;
              continue;
            }
            if (length > 0) per_path[run] += length;
            run = p;
            length = 1;
          }
          if (length > 0) per_path[run] += length;
        }
        if (per_path[path] == devices.size()) name = std::string(path);
      }
    }
    // A tie cell is named by the call its shorts came from.
    if (devices.empty() && !occ.shorts.empty()) {
      std::uint32_t tie_call = c.black_boxes[occ.shorts.front()].call;
      if (tie_call != circuit::Mosfet::kNoCall) name = std::string(c.calls[tie_call].path);
    }
    inst.name = instance_name(name);
  };
  // A module of many calls grows its lists once.
  m.instances.reserve(c.instances.size() + network.stages.size() + c.black_boxes.size());
  m.pins.reserve(c.instance_pins.size() + 4 * network.stages.size());
  // Library cells called by name count among the cells, as when found.
  if (!c.instances.empty()) cell_count = add_instances(c, m, call_name, supply, ground);
  std::vector<std::pair<char, NetId>> pairs;
  // Stages and cells in stage order; a cell where its first stage was.
  for (std::uint32_t s = 0; s < network.stages.size(); ++s) {
    if (occ_at[s] < occurrences.size()) add_occurrence(occurrences[occ_at[s]]);
    if (replaced[s]) continue;
    const Stage& st = network.stages[s];
    NameId cell = fixed(design_.functions.module_for(st, recognize::floats_to_z(network, st)));
    NameId name = instance_name(std::string("U").append(std::to_string(s + 1)));
    if (st.table_type >= 0) {
      // Table pins in letter order. A table type has one pin letter per
      // input and one output.
      EXTRACTOR_ASSERT(st.table_pins().size() == st.inputs.size() && st.outputs.size() == 1);
      open(InstanceKind::TableGate, cell, name);
      pairs.clear();
      for (std::size_t k = 0; k < st.inputs.size(); ++k) pairs.emplace_back(st.table_pins()[k], st.inputs[k]);
      std::sort(pairs.begin(), pairs.end());
      for (auto [pin, net] : pairs) m.pins.push_back(Pin{letter(pin), net});
      m.pins.push_back(Pin{fixed("out"), st.outputs[0]});
    } else {
      open(InstanceKind::Function, cell, name);
      std::vector<std::string> ins = FunctionModules::input_pins(st.table().inputs);
      std::vector<std::string> outs = FunctionModules::output_pins(st.table().outputs);
      // The table's columns are the stage's nets.
      EXTRACTOR_ASSERT(ins.size() == st.inputs.size() && outs.size() == st.outputs.size());
      for (std::size_t k = 0; k < ins.size(); ++k) m.pins.push_back(Pin{fixed(ins[k]), st.inputs[k]});
      for (std::size_t k = 0; k < outs.size(); ++k) m.pins.push_back(Pin{fixed(outs[k]), st.outputs[k]});
    }
    m.instances.back().stage = st.kind;
    m.devices.insert(m.devices.end(), st.mosfet_ids.begin(), st.mosfet_ids.end());
    close(false);
  }
  for (const CellOccurrence& occ : occurrences)
    if (occ.stages.empty()) add_occurrence(occ);

  for (const circuit::BlackBox& b : c.black_boxes) {
    if (circuit::is_diode_device(b.cell, b.pins.size())) {
      ++design_.diodes_left_out;
      continue;
    }
    // A short is written as the constant it makes, or as nothing.
    if (is_short(b)) continue;
    auto [known, fresh] = black_box_index_.emplace(b.cell, black_boxes_.size());
    if (fresh) black_boxes_.emplace_back(b.cell, b.pins.size());
    else black_boxes_[known->second].second = std::max(black_boxes_[known->second].second, b.pins.size());
    open(InstanceKind::BlackBox, design_.add_name(b.cell), instance_name(std::string(b.name)));
    for (NetId n : b.pins) m.pins.push_back(Pin{kNoName, n});
    close(false);
    m.instances.back().path = path_of(b.name);
  }
  auto terminal = [&](NetId n) {
    if (!c.is_rail(n)) return n;
    return c.net_roles[n] == circuit::NetRole::Supply ? supply : ground;
  };
  for (const auto& component : network.unevaluated) {
    std::unordered_map<NetId, std::uint32_t> depth = rail_depths(c, component);
    auto depth_of = [&](NetId n) {
      auto it = depth.find(n);
      return it == depth.end() ? ~std::uint32_t{0} : it->second;
    };
    for (std::uint32_t k : component) {
      const circuit::Mosfet& mos = c.mosfets[k];
      // Switch primitives pass one way: from the end nearer a rail.
      bool forward = depth_of(mos.source) <= depth_of(mos.drain);
      NetId data = forward ? mos.source : mos.drain, out = forward ? mos.drain : mos.source;
      open(InstanceKind::Switch, fixed(mos.type == circuit::Channel::N ? "nmos" : "pmos"),
           instance_name(std::string(mos.name)));
      // Named for netlist formats that connect by name; Verilog's switch
      // primitives take them in this order.
      m.pins.push_back(Pin{fixed("out"), terminal(out)});
      m.pins.push_back(Pin{fixed("in"), terminal(data)});
      m.pins.push_back(Pin{fixed("gate"), terminal(mos.gate)});
      m.devices.push_back(k);
      close(false);
    }
  }
  for (const circuit::Element& e : c.elements) {
    if (e.kind == 'd') {
      ++design_.diodes_left_out;
      continue;
    }
    m.comments.push_back(one_line(c.card(e)));
  }
  // Calls of cells that hold devices themselves but none in a stage.
  std::vector<char> has_logic(c.calls.size(), 0);
  auto mark = [&](std::uint32_t k) {
    if (c.mosfets[k].call != circuit::Mosfet::kNoCall) has_logic[c.mosfets[k].call] = 1;
  };
  for (const recognize::Stage& st : network.stages)
    for (std::uint32_t k : st.mosfet_ids) mark(k);
  for (const auto& component : network.unevaluated)
    for (std::uint32_t k : component) mark(k);
  for (std::uint32_t k : network.tie_mosfets) mark(k);
  // A tie cell's shorts are its logic.
  for (const circuit::BlackBox& b : c.black_boxes)
    if (is_short(b) && b.call != circuit::Mosfet::kNoCall) has_logic[b.call] = 1;
  for (std::size_t k = 0; k < c.calls.size(); ++k)
    if (!has_logic[k] && c.calls[k].children == 0) ++design_.cells_without_logic;
  design_.modules.push_back(std::move(m));
}

// Directions are unknown; as inputs the pins drive nothing.
void DesignBuilder::add_black_box_modules() {
  for (const auto& [cell, pins] : black_boxes_) {
    Module m;
    m.kind = ModuleKind::BlackBox;
    m.name = design_.add_name(cell);
    for (std::size_t p = 0; p < pins; ++p) {
      m.ports.push_back(static_cast<NetId>(p));
      m.declared.push_back(static_cast<NetId>(p));
      m.nets.push_back(Net{fixed(std::string("p").append(std::to_string(p))), NetKind::Port, Direction::Input});
    }
    design_.modules.push_back(std::move(m));
  }
}

}  // namespace design
