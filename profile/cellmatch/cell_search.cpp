#include "profile/cellmatch/cell_search.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string_view>
#include <unordered_map>

#include "profile/cellmatch/cell_matcher.h"
#include "profile/circuit/device_kinds.h"
#include "profile/cellmatch/stage_facts.h"
#include "profile/cellmatch/stage_graph.h"
#include "profile/recognize/recognizer.h"
#include "profile/recognize/stage_sizes.h"

namespace cellmatch {

namespace {

using circuit::NetId;

// Input permutations are tried exhaustively only on stages this narrow.
constexpr std::uint32_t kMaxPermutedInputs = 8;
constexpr std::size_t kMaxVersions = 64;

// Nets that something other than an evaluated stage touches: elements, black
// boxes, MOSFETs written as switches or joining no stage. An occurrence must
// not swallow them.
std::vector<NetId> outside_nets(const circuit::Circuit& c, const recognize::GateNetwork& network) {
  std::vector<NetId> out;
  for (const circuit::Element& e : c.elements) out.insert(out.end(), e.nets.begin(), e.nets.end());
  for (const circuit::BlackBox& b : c.black_boxes) out.insert(out.end(), b.pins.begin(), b.pins.end());
  out.insert(out.end(), c.instance_pins.begin(), c.instance_pins.end());
  auto add_mosfet = [&](std::uint32_t m) {
    const circuit::Mosfet& mos = c.mosfets[m];
    for (NetId n : {mos.drain, mos.gate, mos.source})
      if (!c.is_rail(n)) out.push_back(n);
  };
  for (const auto& component : network.unevaluated)
    for (std::uint32_t m : component) add_mosfet(m);
  for (std::uint32_t m : network.unused_mosfets) add_mosfet(m);
  for (std::uint32_t m : network.tie_mosfets) add_mosfet(m);
  std::erase_if(out, [&](NetId n) { return n >= c.net_count(); });
  return out;
}

// A cell can stand for part of the circuit only when its stages are all it
// does: no black box or element that the instance would repeat or drop, no
// MOSFET outside an evaluated stage.
CellStatus searchable(const circuit::Circuit& cell, const recognize::GateNetwork& network) {
  if (!cell.black_boxes.empty()) return CellStatus::BlackBoxCall;
  if (!cell.elements.empty()) return CellStatus::Element;
  if (!network.unevaluated.empty()) return CellStatus::TooWide;
  if (network.stages.empty()) return CellStatus::NoStages;
  if (!network.unused_mosfets.empty() || !network.tie_mosfets.empty()) return CellStatus::OutsideStage;
  return CellStatus::Searched;
}

// Per port of the cell that only reaches MOSFET bulks: the channel whose
// bulk it is.
std::vector<int> bulk_ports(const circuit::Circuit& cell) {
  std::vector<int> side(cell.ports.size(), -1);
  for (std::size_t p = 0; p < cell.ports.size(); ++p) {
    if (cell.net_roles[cell.ports[p]] != circuit::NetRole::BulkOnly) continue;
    for (const circuit::Mosfet& mos : cell.mosfets)
      if (mos.bulk == cell.ports[p]) {
        side[p] = mos.type == circuit::Channel::N ? 0 : 1;
        break;
      }
  }
  return side;
}

// The orders of a stage's inputs under which it computes the same table,
// one per arrangement that the pins' classes cannot reach by swapping pins of
// one class (a multiplexer's two data inputs together with the select and
// its complement). The stage's label fixes one of them; a circuit's stage of
// the same label may have been given any other.
std::vector<std::vector<NetId>> equivalent_orders(const recognize::Stage& st) {
  std::vector<std::vector<NetId>> orders{st.inputs};
  // A loop's table shows only what it settles to; its wiring is its label.
  if (st.kind == recognize::StageKind::Loop) return orders;
  const recognize::FunctionTable& t = st.table();
  std::uint32_t n = t.inputs;
  if (n < 2 || n > kMaxPermutedInputs || st.inputs.size() != n) return orders;
  auto key = [&](const std::vector<NetId>& order) {
    std::vector<std::pair<std::uint32_t, NetId>> k;
    for (std::uint32_t i = 0; i < n; ++i) k.emplace_back(st.input_class()[i], order[i]);
    std::sort(k.begin(), k.end());
    return k;
  };
  std::set<std::vector<std::pair<std::uint32_t, NetId>>> seen{key(st.inputs)};
  std::vector<std::uint32_t> perm(n);
  for (std::uint32_t i = 0; i < n; ++i) perm[i] = i;
  while (std::next_permutation(perm.begin(), perm.end())) {
    bool same = true;
    for (std::uint32_t c = 0; c < t.combos() && same; ++c) {
      std::uint32_t from = 0;  // new input k reads old input perm[k]
      for (std::uint32_t k = 0; k < n; ++k)
        if (c >> k & 1) from |= 1u << perm[k];
      for (std::uint32_t o = 0; o < t.outputs && same; ++o) same = t.at(c, o) == t.at(from, o);
    }
    if (!same) continue;
    std::vector<NetId> order(n);
    for (std::uint32_t k = 0; k < n; ++k) order[k] = st.inputs[perm[k]];
    if (seen.insert(key(order)).second) orders.push_back(std::move(order));
  }
  return orders;
}

// The cell's network once per combination of its stages' equivalent input
// orders, at most kMaxVersions of them.
std::vector<recognize::GateNetwork> versions(const recognize::GateNetwork& network) {
  std::vector<recognize::GateNetwork> out{network};
  for (std::size_t s = 0; s < network.stages.size(); ++s) {
    std::vector<std::vector<NetId>> orders = equivalent_orders(network.stages[s]);
    std::size_t have = out.size();
    for (std::size_t k = 1; k < orders.size() && out.size() < kMaxVersions; ++k)
      for (std::size_t v = 0; v < have && out.size() < kMaxVersions; ++v) {
        out.push_back(out[v]);
        out.back().stages[s].inputs = orders[k];
      }
  }
  return out;
}

// Smaller than any difference of sizes, so that it only breaks their ties.
constexpr double kOtherCellGap = 1e-6;

// The circuit stage computes what the cell stage computes when each cell
// net is read as the circuit net `image` gives it: every input combination
// of a stage narrow enough to try them all, else positions of equal
// interchangeability class only.
template <class Image>
bool same_function(const recognize::Stage& want, const recognize::Stage& have, const Image& image) {
  const std::size_t n = want.inputs.size();
  if (n != have.inputs.size() || want.outputs.size() != have.outputs.size()) return false;
  std::vector<std::uint32_t> at(n), out_at(want.outputs.size());
  for (std::size_t k = 0; k < n; ++k) {
    auto it = std::find(have.inputs.begin(), have.inputs.end(), image(want.inputs[k]));
    if (it == have.inputs.end()) return false;
    at[k] = static_cast<std::uint32_t>(it - have.inputs.begin());
  }
  for (std::size_t o = 0; o < want.outputs.size(); ++o) {
    auto it = std::find(have.outputs.begin(), have.outputs.end(), image(want.outputs[o]));
    if (it == have.outputs.end()) return false;
    out_at[o] = static_cast<std::uint32_t>(it - have.outputs.begin());
  }
  if (want.kind == recognize::StageKind::Loop || have.kind == recognize::StageKind::Loop) {
    for (std::size_t k = 0; k < n; ++k)
      if (at[k] != k) return false;
    for (std::size_t o = 0; o < out_at.size(); ++o)
      if (out_at[o] != o) return false;
    return want.label() == have.label();
  }
  const recognize::FunctionTable& wt = want.table();
  const recognize::FunctionTable& ht = have.table();
  if (n > kMaxPermutedInputs || wt.inputs != n || ht.inputs != n) {
    for (std::size_t k = 0; k < n; ++k)
      if (have.input_class()[at[k]] != want.input_class()[k]) return false;
    return true;
  }
  for (std::uint32_t c = 0; c < wt.combos(); ++c) {
    std::uint32_t mapped = 0;
    for (std::size_t k = 0; k < n; ++k)
      if (c >> k & 1) mapped |= 1u << at[k];
    for (std::uint32_t o = 0; o < wt.outputs; ++o)
      if (wt.at(c, o) != ht.at(mapped, out_at[o])) return false;
  }
  return true;
}

// Interchangeable inputs (a NOR's A and B) land on the nets that drive the
// same devices of the cell: where the occurrence is exactly one call of the
// input, each input port takes the gate net of the circuit MOSFET that bears
// the name of a cell MOSFET the port drives. The new pins are kept only when
// every stage still computes the cell's function under them.
void pins_by_transistors(const circuit::Circuit& top, const recognize::GateNetwork& network, StageFacts& facts,
                         const circuit::Circuit& cell, const recognize::GateNetwork& cell_network,
                         const cellmatch::Occurrence& occ, std::vector<NetId>& pins) {
  std::uint32_t call = facts.common_call(occ.gates);
  if (call == circuit::Mosfet::kNoCall) return;
  std::unordered_map<std::string_view, std::uint32_t> by_name;
  const std::string_view path = top.calls[call].path;
  for (cellmatch::GateId s : occ.gates)
    for (std::uint32_t m : network.stages[s].mosfet_ids) {
      std::string_view name = top.mosfets[m].name;
      if (name.size() > path.size() + 1 && name.compare(0, path.size(), path) == 0 && name[path.size()] == '/')
        by_name.emplace(name.substr(path.size() + 1), m);
    }
  if (by_name.size() != top.calls[call].mosfets) return;
  std::vector<NetId> moved = pins;
  for (std::size_t p = 0; p < cell.ports.size() && p < moved.size(); ++p) {
    if (cell.is_rail(cell.ports[p])) continue;
    for (const circuit::Mosfet& m : cell.mosfets) {
      if (m.gate != cell.ports[p]) continue;
      auto it = by_name.find(m.name);
      if (it == by_name.end()) return;
      moved[p] = top.mosfets[it->second].gate;
      break;
    }
  }
  if (moved == pins) return;
  // The circuit net of each cell net under the moved pins.
  auto image = [&](NetId n) {
    for (std::size_t p = 0; p < cell.ports.size() && p < moved.size(); ++p)
      if (cell.ports[p] == n) return moved[p];
    return n < occ.nets.size() ? occ.nets[n] : cellmatch::kNone;
  };
  for (std::size_t i = 0; i < occ.gates.size() && i < cell_network.stages.size(); ++i) {
    const recognize::Stage& want = cell_network.stages[i];
    const recognize::Stage& have = network.stages[occ.gates[i]];
    if (!same_function(want, have, image)) return;
  }
  pins = std::move(moved);
}

// A tie cell holds constants and nothing else: its outputs reach the rails
// through short devices, or through MOSFETs that hold them. Where the input
// calls one and the circuit holds the same constants with the same devices,
// the call is found as that cell, on the nets it was called with.
void find_tie_cells(const circuit::Circuit& top, const recognize::GateNetwork& network,
                    const std::vector<circuit::Circuit>& cells, CellSearchResult& result) {
  std::unordered_map<std::string_view, std::uint32_t> tie_of;  // cell name -> library entry
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const circuit::Circuit& cell = cells[k];
    bool tie = cell.elements.empty() && (!cell.black_boxes.empty() || !cell.mosfets.empty()) &&
               result.networks[k].tie_mosfets.size() == cell.mosfets.size() &&
               std::all_of(cell.black_boxes.begin(), cell.black_boxes.end(),
                           [](const circuit::BlackBox& b) { return circuit::is_short_device(b.cell, b.pins.size()); });
    if (!tie) continue;
    result.cells[k].status = CellStatus::TieCell;
    tie_of.emplace(cell.name, static_cast<std::uint32_t>(result.library.size()));
    result.library.push_back({&cell, &result.networks[k]});
  }
  if (tie_of.empty()) return;
  // The top's shorts and tie MOSFETs by the call they came from, in order.
  struct Devices {
    std::vector<std::uint32_t> shorts, ties;
  };
  std::unordered_map<std::uint32_t, Devices> devices_of;
  std::vector<std::uint32_t> order;
  auto of_tie_call = [&](std::uint32_t call) -> Devices* {
    if (call == circuit::Mosfet::kNoCall || !tie_of.count(top.call_cells[top.calls[call].cell])) return nullptr;
    auto [it, fresh] = devices_of.try_emplace(call);
    if (fresh) order.push_back(call);
    return &it->second;
  };
  for (std::uint32_t b = 0; b < top.black_boxes.size(); ++b) {
    const circuit::BlackBox& box = top.black_boxes[b];
    if (!circuit::is_short_device(box.cell, box.pins.size())) continue;
    if (Devices* d = of_tie_call(box.call)) d->shorts.push_back(b);
  }
  for (std::uint32_t m : network.tie_mosfets)
    if (Devices* d = of_tie_call(top.mosfets[m].call)) d->ties.push_back(m);
  std::sort(order.begin(), order.end());
  for (std::uint32_t call : order) {
    std::uint32_t entry = tie_of.at(top.call_cells[top.calls[call].cell]);
    const circuit::Circuit& cell = *result.library[entry].circuit;
    Devices& d = devices_of[call];
    const circuit::Call& c = top.calls[call];
    // Every device of the call, and each one a tie here as in the cell.
    if (d.shorts.size() != cell.black_boxes.size() || d.ties.size() != cell.mosfets.size() ||
        c.mosfets != cell.mosfets.size())
      continue;
    CellOccurrence occ;
    occ.cell = entry;
    occ.shorts = std::move(d.shorts);
    occ.ties = std::move(d.ties);
    occ.pins.assign(top.call_pins.begin() + c.first_pin, top.call_pins.begin() + c.first_pin + cell.ports.size());
    result.occurrences.push_back(std::move(occ));
  }
}

}  // namespace

CellSearchResult find_library_cells(const circuit::Circuit& top, const recognize::GateNetwork& network,
                                    const std::vector<circuit::Circuit>& cells, core::WorkMeter* meter) {
  CellSearchResult result;
  result.networks.resize(cells.size());
  result.cells.resize(cells.size());
  recognize::Recognizer recognizer;
  std::vector<NetId> outside = outside_nets(top, network);
  cellmatch::GateGraph circuit = cellmatch::stage_graph(network, top.ports, outside);
  cellmatch::CellMatcher matcher(circuit);
  matcher.set_meter(meter);
  // Graphs must stay where the matcher saw them.
  std::vector<std::unique_ptr<cellmatch::GateGraph>> graphs;
  std::vector<std::size_t> cell_of;     // library entry -> index into cells
  std::vector<std::uint32_t> entry_of;  // graph given to the matcher -> library entry
  for (std::size_t k = 0; k < cells.size(); ++k) {
    result.networks[k] = recognizer.run(cells[k]);
    result.cells[k].status = searchable(cells[k], result.networks[k]);
    if (result.cells[k].status != CellStatus::Searched) continue;
    std::vector<NetId> cell_outside = outside_nets(cells[k], result.networks[k]);
    for (const recognize::GateNetwork& version : versions(result.networks[k])) {
      graphs.push_back(std::make_unique<cellmatch::GateGraph>(cellmatch::stage_graph(version, cells[k].ports, cell_outside)));
      entry_of.push_back(static_cast<std::uint32_t>(cell_of.size()));
      matcher.add_cell(cells[k].name, *graphs.back());
    }
    cell_of.push_back(k);
  }
  for (std::size_t k : cell_of) result.library.push_back({&cells[k], &result.networks[k]});
  find_tie_cells(top, network, cells, result);
  if (cell_of.empty()) return result;

  // Cells of one network and other sizes (drive strengths) land on the same
  // stages; the sizes rank them. Each cell stage's list of sizes is numbered
  // from wanted_base of its cell.
  std::vector<std::vector<std::vector<recognize::DeviceSize>>> cell_sizes(cells.size());
  std::vector<std::uint32_t> wanted_base(cells.size(), 0);
  std::uint32_t wanted_lists = 0;
  for (std::size_t k : cell_of) {
    wanted_base[k] = wanted_lists;
    for (const recognize::Stage& st : result.networks[k].stages) cell_sizes[k].push_back(recognize::stage_sizes(cells[k], st));
    wanted_lists += static_cast<std::uint32_t>(cell_sizes[k].size());
  }
  StageFacts facts(top, network);
  // Occurrences no call tells apart, by the stages they cover (sorted, in
  // `covered`), to find the cells that fit the same stages equally well.
  struct Seen {
    std::uint32_t first, count;  // the stages in `covered`
    std::size_t cell;
    double gap;
  };
  std::vector<Seen> seen;
  std::vector<cellmatch::GateId> covered;
  matcher.set_size_gaps([&](std::span<cellmatch::Occurrence> found) {
    std::vector<char> used(network.stages.size(), 0);
    for (const cellmatch::Occurrence& o : found)
      for (cellmatch::GateId g : o.gates) used[g] = 1;
    facts.read(used);
    for (cellmatch::Occurrence& o : found) {
      const std::size_t k = cell_of[entry_of[o.cell]];
      const auto& wanted = cell_sizes[k];
      double gap = 0;
      for (std::size_t i = 0; i < o.gates.size() && i < wanted.size(); ++i)
        gap += facts.size_gap(wanted_base[k] + static_cast<std::uint32_t>(i), wanted[i], o.gates[i]);
      // Cells equal in network and sizes (a buffer and a clock buffer): where
      // every device came from one call of the input, the cell it called wins.
      std::uint32_t call = facts.common_call(o.gates);
      if (call != circuit::Mosfet::kNoCall && top.call_cells[top.calls[call].cell] != cells[k].name) gap += kOtherCellGap;
      // Without a call to tell, cells whose sizes fit equally well on the same
      // stages cannot be told apart: noted here, said once per pair.
      if (call == circuit::Mosfet::kNoCall) {
        auto first = static_cast<std::uint32_t>(covered.size());
        covered.insert(covered.end(), o.gates.begin(), o.gates.end());
        std::sort(covered.begin() + first, covered.end());
        seen.push_back({first, static_cast<std::uint32_t>(o.gates.size()), k, gap});
      }
      o.size_gap = gap;
    }
  });
  std::vector<cellmatch::Occurrence> kept = matcher.run();
  // A cell whose stages do not meet is so in every version.
  for (std::size_t g = 0; g < matcher.reports().size(); ++g) {
    const CellReport& report = matcher.reports()[g];
    CellSearch& cell = result.cells[cell_of[entry_of[g]]];
    cell.given_up += report.search.given_up;
    if (report.status == SearchPlan::Status::Disconnected) cell.status = CellStatus::Disconnected;
  }
  // Per set of stages, in the order found: the best fit so far, and the
  // other cells that fit as well as it.
  auto stages_of = [&](const Seen& e) {
    return std::span<const cellmatch::GateId>(covered.data() + e.first, e.count);
  };
  // Sorted with each set's lowest stage copied beside it: most comparisons
  // read nothing else.
  struct ByStages {
    cellmatch::GateId low;
    std::uint32_t count, seen;
  };
  std::vector<ByStages> by_stages(seen.size());
  for (std::uint32_t i = 0; i < seen.size(); ++i)
    by_stages[i] = {seen[i].count ? covered[seen[i].first] : cellmatch::kNone, seen[i].count, i};
  std::stable_sort(by_stages.begin(), by_stages.end(), [&](const ByStages& a, const ByStages& b) {
    if (a.count && b.count && a.low != b.low) return a.low < b.low;
    auto x = stages_of(seen[a.seen]), y = stages_of(seen[b.seen]);
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end());
  });
  std::vector<std::uint32_t> order(seen.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = by_stages[i].seen;
  std::set<std::pair<std::string, std::string>> pairs;
  std::vector<std::size_t> ties;
  for (std::size_t i = 0; i < order.size();) {
    const Seen* fit = &seen[order[i]];
    ties.clear();
    std::size_t j = i + 1;
    for (; j < order.size() && std::ranges::equal(stages_of(seen[order[j]]), stages_of(*fit)); ++j) {
      const Seen& e = seen[order[j]];
      if (cells[fit->cell].name == cells[e.cell].name) continue;
      if (e.gap < fit->gap) {
        fit = &e;
        ties.clear();
      } else if (e.gap == fit->gap) {
        ties.push_back(e.cell);
      }
    }
    for (std::size_t other : ties) pairs.emplace(std::minmax(cells[fit->cell].name, cells[other].name));
    i = j;
  }
  for (const auto& [a, b] : pairs) result.indistinct.emplace_back(a, b);
  std::vector<std::vector<int>> bulk_sides;
  for (std::size_t k : cell_of) bulk_sides.push_back(bulk_ports(cells[k]));
  for (cellmatch::Occurrence& occ : kept) {
    std::uint32_t entry = entry_of[occ.cell];
    const circuit::Circuit& cell = cells[cell_of[entry]];
    CellOccurrence out;
    out.cell = entry;
    out.stages = occ.gates;
    // The nets of the cell's ports that no stage touches: rails reached only
    // through channels, bulk-only wells.
    StageFacts::Terminals t = facts.terminals(out.stages);
    out.pins = occ.port_nets(*graphs[occ.cell], cell.ports, t.supply, t.ground);
    pins_by_transistors(top, network, facts, cell, result.networks[cell_of[entry]], occ, out.pins);
    const std::vector<int>& side = bulk_sides[entry];
    for (std::size_t p = 0; p < out.pins.size(); ++p)
      if (out.pins[p] == cellmatch::kNone && side[p] >= 0) out.pins[p] = side[p] == 0 ? t.bulk_n : t.bulk_p;
    result.occurrences.push_back(std::move(out));
  }
  return result;
}

}  // namespace cellmatch
