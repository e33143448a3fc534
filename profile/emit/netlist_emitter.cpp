#include "profile/emit/netlist_emitter.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "core/verilog/identifier.h"

namespace emit {

using recognize::GateNetwork;
using recognize::Stage;
using circuit::NetId;

namespace {

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
      if (inner < cell.network->nets.size() && cell.network->nets[inner].driver != recognize::kNoStage &&
          occ.pins[p] < driven.size())
        driven[occ.pins[p]] = true;
    }
  }
  return driven;
}

// Channel steps from the nearest rail to each net of a component.
std::unordered_map<NetId, std::uint32_t> rail_depths(const circuit::Circuit& c, const std::vector<std::uint32_t>& mosfets) {
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

std::string one_line(const std::string& text) {
  std::string s = text;
  for (char& ch : s)
    if (ch == '\n' || ch == '\r') ch = ' ';
  return s;
}

}  // namespace

NetlistEmitter::NetlistEmitter(FILE* out, const std::vector<LibraryCell>& cells) : out_(out), cells_(cells) {}

void NetlistEmitter::write(const circuit::Circuit& top, const GateNetwork& network,
                           const std::vector<CellOccurrence>& occurrences) {
  // Latches and flip-flops are loops of continuous assignments.
  std::fputs("/* verilator lint_off UNOPTFLAT */\n", out_);
  modules_.reserve(top.name);
  std::vector<bool> used(cells_.size(), false);
  for (const CellOccurrence& occ : occurrences) used[occ.cell] = true;
  for (std::size_t k = 0; k < cells_.size(); ++k)
    if (used[k]) modules_.reserve(cells_[k].circuit->name);
  for (const circuit::BlackBox& b : top.black_boxes) modules_.reserve(b.cell);

  write_module(top, network, occurrences);
  for (std::size_t k = 0; k < cells_.size(); ++k)
    if (used[k]) write_module(*cells_[k].circuit, *cells_[k].network, {});
  modules_.write(out_);
  write_black_boxes();
}

void NetlistEmitter::write_module(const circuit::Circuit& c, const GateNetwork& network,
                                  const std::vector<CellOccurrence>& occurrences) {
  std::vector<bool> replaced(network.stages.size(), false);
  for (const CellOccurrence& occ : occurrences)
    for (std::uint32_t s : occ.stages)
      if (s < replaced.size()) replaced[s] = true;
  std::vector<bool> driven = driven_nets(c, network, replaced, occurrences, cells_);
  auto name = [&](NetId n) { return verilog_identifier(std::string(c.net_names[n])); };

  // Components too large to evaluate are written MOSFET by MOSFET as switch
  // primitives; the ports on their channels are inout.
  std::vector<bool> switched(c.net_count(), false);
  bool rails_used = false;
  for (const auto& component : network.unevaluated)
    for (std::uint32_t m : component) {
      const circuit::Mosfet& mos = c.mosfets[m];
      for (NetId n : {mos.drain, mos.source}) {
        if (c.is_rail(n)) rails_used = true;
        else switched[n] = true;
      }
    }
  std::vector<bool> is_port(c.net_count(), false);
  std::string port_list;
  for (std::size_t i = 0; i < c.ports.size(); ++i) {
    is_port[c.ports[i]] = true;
    port_list += (i ? ", " : "") + name(c.ports[i]);
  }
  std::fprintf(out_, "module %s(%s);\n", verilog_identifier(c.name).c_str(), port_list.c_str());
  // A port listed twice on the .subckt line is declared once.
  std::vector<bool> declared(c.net_count(), false);
  for (NetId p : c.ports) {
    if (declared[p]) continue;
    declared[p] = true;
    std::fprintf(out_, "%s %s;\n", switched[p] ? "inout" : driven[p] ? "output" : "input", name(p).c_str());
  }
  // Internal nets that something connects to.
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
      if (n < wired.size()) wired[n] = true;
  for (const auto& component : network.unevaluated)
    for (std::uint32_t m : component)
      for (NetId n : {c.mosfets[m].drain, c.mosfets[m].gate, c.mosfets[m].source})
        if (!c.is_rail(n)) wired[n] = true;
  for (NetId n = 0; n < c.net_count(); ++n)
    if (wired[n] && !is_port[n]) std::fprintf(out_, "wire %s;\n", name(n).c_str());

  // Instance names must not clash with net names in the module's scope.
  std::unordered_set<std::string_view> nets(c.net_names.begin(), c.net_names.end());
  std::unordered_set<std::string> instances;
  auto instance_name = [&](std::string base) {
    while (nets.count(base) || !instances.insert(base).second) base += "_";
    return verilog_identifier(base);
  };

  std::uint32_t cell_count = 0;
  std::vector<std::size_t> occ_at(network.stages.size(), occurrences.size());
  for (std::size_t i = 0; i < occurrences.size(); ++i)
    if (!occurrences[i].stages.empty()) occ_at[*std::min_element(occurrences[i].stages.begin(), occurrences[i].stages.end())] = i;
  auto write_occurrence = [&](const CellOccurrence& occ) {
    const circuit::Circuit& cell = *cells_[occ.cell].circuit;
    std::fprintf(out_, "%s %s (", verilog_identifier(cell.name).c_str(),
                 instance_name(cell.name + "_" + std::to_string(++cell_count)).c_str());
    for (std::size_t p = 0; p < occ.pins.size() && p < cell.ports.size(); ++p)
      // A port the circuit gives no net (a well the cell alone names) is left open.
      std::fprintf(out_, "%s .%s(%s)", p ? "," : "", verilog_identifier(std::string(cell.net_names[cell.ports[p]])).c_str(),
                   occ.pins[p] < c.net_count() ? name(occ.pins[p]).c_str() : "");
    std::fputs(" );\n", out_);
  };
  // Stages and cells in stage order; a cell where its first stage was.
  for (std::uint32_t s = 0; s < network.stages.size(); ++s) {
    if (occ_at[s] < occurrences.size()) write_occurrence(occurrences[occ_at[s]]);
    if (replaced[s]) continue;
    const Stage& st = network.stages[s];
    std::string module = modules_.module_for(st);
    std::fprintf(out_, "%s %s (", module.c_str(), instance_name(std::string("U").append(std::to_string(s + 1))).c_str());
    if (st.table_type >= 0) {
      // Header pins in letter order.
      std::vector<std::pair<char, NetId>> pins;
      for (std::size_t k = 0; k < st.inputs.size(); ++k) pins.emplace_back(st.table_pins[k], st.inputs[k]);
      std::sort(pins.begin(), pins.end());
      for (auto [pin, net] : pins) std::fprintf(out_, " .%c(%s),", pin, name(net).c_str());
      std::fprintf(out_, " .out(%s) );\n", name(st.outputs[0]).c_str());
      continue;
    }
    std::vector<std::string> ins = FunctionModules::input_pins(st.table.inputs);
    std::vector<std::string> outs = FunctionModules::output_pins(st.table.outputs);
    for (std::size_t k = 0; k < ins.size(); ++k) std::fprintf(out_, " .%s(%s),", ins[k].c_str(), name(st.inputs[k]).c_str());
    for (std::size_t k = 0; k < outs.size(); ++k)
      std::fprintf(out_, " .%s(%s)%s", outs[k].c_str(), name(st.outputs[k]).c_str(), k + 1 < outs.size() ? "," : " );\n");
  }
  for (const CellOccurrence& occ : occurrences)
    if (occ.stages.empty()) write_occurrence(occ);

  for (const circuit::BlackBox& b : c.black_boxes) {
    auto [known, fresh] = black_box_index_.emplace(b.cell, black_boxes_.size());
    if (fresh) black_boxes_.emplace_back(b.cell, b.pins.size());
    else black_boxes_[known->second].second = std::max(black_boxes_[known->second].second, b.pins.size());
    std::fprintf(out_, "%s %s (", verilog_identifier(b.cell).c_str(), instance_name(b.name).c_str());
    for (std::size_t p = 0; p < b.pins.size(); ++p) std::fprintf(out_, "%s %s", p ? "," : "", name(b.pins[p]).c_str());
    std::fputs(" );\n", out_);
  }
  if (rails_used) std::fputs("supply1 \\<supply> ;\nsupply0 \\<ground> ;\n", out_);
  auto terminal = [&](NetId n) {
    if (!c.is_rail(n)) return name(n);
    return std::string(c.net_roles[n] == circuit::NetRole::Supply ? "\\<supply> " : "\\<ground> ");
  };
  for (const auto& component : network.unevaluated) {
    std::unordered_map<NetId, std::uint32_t> depth = rail_depths(c, component);
    auto depth_of = [&](NetId n) {
      auto it = depth.find(n);
      return it == depth.end() ? ~std::uint32_t{0} : it->second;
    };
    for (std::uint32_t m : component) {
      const circuit::Mosfet& mos = c.mosfets[m];
      // Switch primitives pass one way: from the end nearer a rail.
      bool forward = depth_of(mos.source) <= depth_of(mos.drain);
      NetId data = forward ? mos.source : mos.drain, out = forward ? mos.drain : mos.source;
      std::fprintf(out_, "%s %s (%s, %s, %s);\n", mos.type == circuit::Channel::N ? "nmos" : "pmos",
                   instance_name(std::string(mos.name)).c_str(), terminal(out).c_str(), terminal(data).c_str(),
                   terminal(mos.gate).c_str());
    }
  }
  // Other elements have no Verilog form; they are kept as comments.
  for (const circuit::Element& e : c.elements) std::fprintf(out_, "// %s\n", one_line(e.text).c_str());
  std::fputs("endmodule\n\n", out_);
}

void NetlistEmitter::write_black_boxes() {
  for (const auto& [cell, pins] : black_boxes_) {
    std::string list;
    for (std::size_t p = 0; p < pins; ++p) list += (p ? ", p" : "p") + std::to_string(p);
    std::fprintf(out_, "module %s(%s);\n", verilog_identifier(cell).c_str(), list.c_str());
    // Directions are unknown; as inputs the pins drive nothing.
    if (pins) std::fprintf(out_, "input %s;\n", list.c_str());
    std::fputs("endmodule\n\n", out_);
  }
}

}  // namespace emit
