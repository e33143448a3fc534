#include "profile/report/run_stats.h"

#include <algorithm>
#include <unordered_map>

namespace report {

using design::InstanceKind;
using recognize::StageKind;

RunStats count_run(const RunFacts& f) {
  RunStats s;
  const design::Design& d = f.design;
  s.top = f.top.name;
  s.mosfets = f.hierarchical ? f.mosfets : f.top.mosfets.size();
  s.folded = f.hierarchical ? f.folded : f.network.folded_devices;
  s.kept_modules = f.kept_modules;
  s.flattened_subcircuits = f.flattened_subcircuits;

  std::uint64_t subcircuits = 0;
  for (const design::Module& m : d.modules) {
    ++s.modules;
    if (m.kind == design::ModuleKind::BlackBox) ++s.black_box_modules;
    if (m.subcircuit) ++subcircuits;
  }
  s.library_modules = s.modules - s.black_box_modules - subcircuits - (d.modules.empty() ? 0 : 1);
  s.gate_modules = d.functions.module_count();
  s.modules += s.gate_modules;

  std::unordered_map<design::NameId, std::uint64_t> per_cell;
  if (!d.modules.empty()) {
    const design::Module& top = d.modules.front();
    s.instances = top.instances.size();
    for (const design::Instance& inst : top.instances) {
      switch (inst.kind) {
        case InstanceKind::LibraryCell: ++per_cell[inst.cell]; break;
        case InstanceKind::TableGate: ++s.table_gates; break;
        case InstanceKind::Switch: ++s.switches; break;
        case InstanceKind::BlackBox: ++s.black_boxes; break;
        case InstanceKind::Submodule: ++s.submodules; break;
        case InstanceKind::Function:
          switch (inst.stage) {
            case StageKind::Gate: ++s.functions; break;
            case StageKind::Tristate: ++s.tristates; break;
            case StageKind::Network: ++s.networks; break;
            case StageKind::Loop: ++s.loops; break;
          }
          break;
      }
    }
    for (const auto& [net, one] : top.constants) ++(one ? s.ones : s.zeros);
  }
  for (const auto& [cell, n] : per_cell) {
    s.cells.push_back({d.name(cell), n});
    s.cell_instances += n;
  }
  std::sort(s.cells.begin(), s.cells.end(), [](const CellCount& a, const CellCount& b) {
    return a.instances != b.instances ? a.instances > b.instances : a.name < b.name;
  });
  s.diodes = d.diodes_left_out;
  s.cells_without_logic = d.cells_without_logic;

  s.idle = f.network.idle_mosfets;
  s.dangling = f.network.unused_mosfets.size() - f.network.idle_mosfets;
  s.holding = f.network.tie_mosfets.size();
  for (const auto& component : f.network.unevaluated) s.too_wide += component.size();

  // A cell counts as found wherever a module instantiates it: the top, or
  // a subcircuit kept as a module.
  std::unordered_map<std::string_view, std::uint64_t> by_name;
  for (const design::Module& m : d.modules)
    for (const design::Instance& inst : m.instances)
      if (inst.kind == InstanceKind::LibraryCell) ++by_name[d.name(inst.cell)];
  for (std::size_t k = 0; k < f.cells.size(); ++k) {
    LibraryEntry e;
    e.name = f.cells[k].name;
    if (k < f.found.cells.size()) {
      e.status = f.found.cells[k].status;
      e.given_up = f.found.cells[k].given_up;
    }
    auto it = by_name.find(e.name);
    e.instances = it == by_name.end() ? 0 : it->second;
    s.library.push_back(e);
  }
  for (const circuit::RailFound& r : f.rails) s.rails.push_back({f.top.net_names[r.net], r.role, r.why});
  for (messages::Message kind : f.warnings.kinds())
    s.warnings.push_back({kind, f.warnings.count(kind), f.warnings.printed(kind)});
  s.steps = f.steps;
  return s;
}

bool searched(cellmatch::CellStatus status) {
  return status == cellmatch::CellStatus::Searched || status == cellmatch::CellStatus::TieCell;
}

messages::Message why_not_searched(cellmatch::CellStatus status) {
  using cellmatch::CellStatus;
  using messages::Message;
  switch (status) {
    case CellStatus::NoStages: return Message::NoStages;
    case CellStatus::BlackBoxCall: return Message::CallsBlackBox;
    case CellStatus::Element: return Message::HasElement;
    case CellStatus::TooWide: return Message::TooWide;
    case CellStatus::OutsideStage: return Message::OutsideStage;
    case CellStatus::Searched:
    case CellStatus::TieCell:
    case CellStatus::Disconnected: break;
  }
  return Message::Disconnected;
}

messages::Message rail_reason(circuit::RailReason why) {
  using messages::Message;
  switch (why) {
    case circuit::RailReason::Given: return Message::RailGiven;
    case circuit::RailReason::UsualName: return Message::RailUsual;
    case circuit::RailReason::Global: return Message::RailGlobal;
    case circuit::RailReason::Source: return Message::RailSource;
    case circuit::RailReason::FromCall: return Message::RailCall;
    case circuit::RailReason::FromMosfets: break;
  }
  return Message::RailFound;
}

}  // namespace report
