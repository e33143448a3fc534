#pragma once
// What a run did, counted once at its end from what it made: the design
// (so the counts are those of the written netlist), the gate network, the
// cell search, the rails found, the warnings and the steps' costs. The
// summary and the JSON report print these; nothing here scans a list twice.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "profile/cellmatch/cell_search.h"
#include "profile/circuit/circuit.h"
#include "profile/circuit/rails.h"
#include "profile/design/design.h"
#include "profile/messages/warning_log.h"
#include "profile/recognize/gate_network.h"
#include "profile/report/step_usage.h"

namespace report {

struct CellCount {
  std::string_view name;
  std::uint64_t instances = 0;
};

struct LibraryEntry {
  std::string_view name;
  cellmatch::CellStatus status = cellmatch::CellStatus::Searched;
  std::uint64_t instances = 0;  // in all netlist modules
  std::uint64_t given_up = 0;
};

struct RailEntry {
  std::string_view net;
  circuit::NetRole role = circuit::NetRole::Supply;
  circuit::RailReason why = circuit::RailReason::UsualName;
};

struct WarningCount {
  messages::Message kind{};
  std::uint64_t count = 0, printed = 0;
};

// What the counts are taken from; all of it outlives the counts.
struct RunFacts {
  const circuit::Circuit& top;
  const recognize::GateNetwork& network;
  const std::vector<circuit::Circuit>& cells;
  const cellmatch::CellSearchResult& found;
  const design::Design& design;
  const std::vector<circuit::RailFound>& rails;
  const messages::WarningLog& warnings;
  const std::vector<StepUsage>& steps;
  // Of a run that keeps the hierarchy: the MOSFETs read and folded as the
  // flat circuit would hold them, the subcircuits kept as modules and those
  // flattened into their callers.
  std::uint64_t mosfets = 0, folded = 0;
  std::uint64_t kept_modules = 0, flattened_subcircuits = 0;
  bool hierarchical = false;
};

struct RunStats {
  std::string_view top;
  std::uint64_t mosfets = 0, folded = 0;  // read, and devices once fingers are merged
  // Modules written: the top, library cells, table and generated modules,
  // black-box cells.
  std::uint64_t modules = 0, library_modules = 0, gate_modules = 0, black_box_modules = 0;
  // Instances of the top module, by kind; library cells by cell, most
  // instances first (then by name).
  std::uint64_t instances = 0, cell_instances = 0;
  std::vector<CellCount> cells;
  std::uint64_t table_gates = 0, functions = 0, tristates = 0, networks = 0, loops = 0;
  std::uint64_t switches = 0, black_boxes = 0, submodules = 0;
  // Subcircuits kept as modules (written besides the top and the library
  // cells) and flattened into their callers.
  std::uint64_t kept_modules = 0, flattened_subcircuits = 0;
  std::uint64_t ones = 0, zeros = 0;  // nets of the top held at 1 and at 0
  std::uint64_t diodes = 0, cells_without_logic = 0;
  // MOSFETs in no stage: never conducting, in components driving nothing
  // read, holding constants, in components too wide to evaluate.
  std::uint64_t idle = 0, dangling = 0, holding = 0, too_wide = 0;
  std::vector<LibraryEntry> library;  // in the order of the library files
  std::vector<RailEntry> rails;       // of the top
  std::vector<WarningCount> warnings;  // in the order first met
  std::vector<StepUsage> steps;

  std::uint64_t stages() const { return table_gates + functions + tristates + networks + loops; }
};

RunStats count_run(const RunFacts& facts);

// Whether the cell was searched for (as a tie cell, by its calls).
bool searched(cellmatch::CellStatus status);
// The message that says why a cell was not searched for.
messages::Message why_not_searched(cellmatch::CellStatus status);
// The message that says why a net is a rail.
messages::Message rail_reason(circuit::RailReason why);

}  // namespace report
