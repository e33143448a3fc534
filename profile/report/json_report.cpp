#include "profile/report/json_report.h"

#include <unordered_map>

namespace report {

using nlohmann::ordered_json;

namespace {

const char* stage_word(recognize::StageKind k) {
  switch (k) {
    case recognize::StageKind::Gate: return "gate";
    case recognize::StageKind::Tristate: return "tristate";
    case recognize::StageKind::Network: return "network";
    case recognize::StageKind::Loop: return "loop";
  }
  return "gate";
}

ordered_json library_entry(const LibraryEntry& e) {
  using cellmatch::CellStatus;
  ordered_json j;
  j["cell"] = std::string(e.name);
  bool was = searched(e.status);
  j["status"] = !was ? "not_searched" : e.instances ? "found" : "not_found";
  j["why"] = was ? ordered_json(nullptr) : ordered_json(messages::key(why_not_searched(e.status)));
  j["by_calls"] = e.status == CellStatus::TieCell;
  j["instances"] = e.instances;
  j["given_up"] = e.given_up;
  return j;
}

ordered_json module_json(const design::Design& d, const design::Module& m, const circuit::Circuit* c) {
  ordered_json j;
  j["name"] = std::string(d.name(m.name));
  j["kind"] = m.kind == design::ModuleKind::BlackBox ? "black_box" : "netlist";
  ordered_json instances = ordered_json::array();
  for (const design::Instance& inst : m.instances) {
    ordered_json i;
    i["name"] = std::string(d.name(inst.name));
    i["cell"] = std::string(d.name(inst.cell));
    i["kind"] = design::instance_kind_name(inst.kind);
    bool stage = inst.kind == design::InstanceKind::TableGate || inst.kind == design::InstanceKind::Function;
    i["stage"] = stage ? ordered_json(stage_word(inst.stage)) : ordered_json(nullptr);
    i["path"] = std::string(d.name(inst.path));
    ordered_json devices = ordered_json::array();
    for (std::uint32_t k : m.devices_of(inst))
      devices.push_back(c && k < c->mosfets.size() ? std::string(c->mosfets[k].name) : std::to_string(k));
    i["devices"] = std::move(devices);
    instances.push_back(std::move(i));
  }
  j["instances"] = std::move(instances);
  return j;
}

}  // namespace

ordered_json report_json(const RunStats& s, const std::string& output, const design::Design& d,
                         const circuit::Circuit& top, const std::vector<circuit::Circuit>& cells,
                         const std::vector<const circuit::Circuit*>& kept) {
  ordered_json j;
  j["version"] = kReportVersion;
  j["top"] = std::string(s.top);
  j["output"] = output;
  j["mosfets"] = {{"read", s.mosfets},
                  {"after_folding", s.folded},
                  {"never_conducting", s.idle},
                  {"driving_nothing", s.dangling},
                  {"holding_constants", s.holding},
                  {"too_wide", s.too_wide}};
  j["modules"] = {{"written", s.modules},
                  {"library_cells", s.library_modules},
                  {"gate_modules", s.gate_modules},
                  {"black_box_cells", s.black_box_modules},
                  {"subcircuits", s.kept_modules},
                  {"flattened_subcircuits", s.flattened_subcircuits}};
  ordered_json by_cell = ordered_json::object();
  for (const CellCount& c : s.cells) by_cell[std::string(c.name)] = c.instances;
  j["instances"] = {{"total", s.instances},       {"library_cells", s.cell_instances}, {"by_cell", by_cell},
                    {"table_gates", s.table_gates}, {"functions", s.functions},          {"tristates", s.tristates},
                    {"networks", s.networks},       {"loops", s.loops},                  {"switches", s.switches},
                    {"black_boxes", s.black_boxes}, {"modules", s.submodules}};
  j["constants"] = {{"one", s.ones}, {"zero", s.zeros}};
  j["left_out"] = {{"diodes", s.diodes}, {"cells_without_logic", s.cells_without_logic}};
  ordered_json library = ordered_json::array();
  for (const LibraryEntry& e : s.library) library.push_back(library_entry(e));
  j["library"] = std::move(library);
  ordered_json rails = ordered_json::array();
  for (const RailEntry& r : s.rails)
    rails.push_back({{"net", std::string(r.net)},
                     {"role", r.role == circuit::NetRole::Supply ? "supply" : "ground"},
                     {"why", messages::key(rail_reason(r.why))}});
  j["rails"] = std::move(rails);
  ordered_json warnings = ordered_json::array();
  for (const WarningCount& w : s.warnings)
    warnings.push_back({{"kind", messages::key(w.kind)}, {"count", w.count}, {"printed", w.printed}});
  j["warnings"] = std::move(warnings);
  ordered_json steps = ordered_json::array();
  for (const StepUsage& u : s.steps)
    steps.push_back({{"name", u.name}, {"cpu_seconds", u.cpu_seconds}, {"peak_memory_bytes", u.peak_bytes}});
  j["steps"] = std::move(steps);

  std::unordered_map<std::string_view, const circuit::Circuit*> circuit_of;
  for (const circuit::Circuit& c : cells) circuit_of.emplace(c.name, &c);
  for (const circuit::Circuit* c : kept) circuit_of.emplace(c->name, c);
  ordered_json modules = ordered_json::array();
  for (std::size_t k = 0; k < d.modules.size(); ++k) {
    const design::Module& m = d.modules[k];
    if (m.kind == design::ModuleKind::BlackBox) continue;
    const circuit::Circuit* c = &top;
    if (k > 0) {
      auto it = circuit_of.find(d.name(m.name));
      c = it == circuit_of.end() ? nullptr : it->second;
    }
    modules.push_back(module_json(d, m, c));
  }
  j["design"] = std::move(modules);
  return j;
}

}  // namespace report
