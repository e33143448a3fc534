#pragma once
// The run's report as JSON (`--report FILE`): the summary's counts, and per
// instance of every netlist module the devices it covers (by name) and the
// input instance path they came from. Its form is documented in the README
// and, as a JSON Schema, in docs/report.schema.json.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "profile/circuit/circuit.h"
#include "profile/design/design.h"
#include "profile/report/run_stats.h"

namespace report {

inline constexpr int kReportVersion = 1;

// `top`, `cells` and `kept` (the subcircuits kept as modules) hold the
// circuit each netlist module was built from, found by the module's name.
nlohmann::ordered_json report_json(const RunStats& s, const std::string& output, const design::Design& d,
                                   const circuit::Circuit& top, const std::vector<circuit::Circuit>& cells,
                                   const std::vector<const circuit::Circuit*>& kept = {});

}  // namespace report
