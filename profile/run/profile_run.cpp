#include "profile/run/profile_run.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "profile/run/options.h"
#include "profile/cellmatch/cell_search.h"
#include "profile/design/design_builder.h"
#include "profile/emit/verilog_writer.h"
#include "profile/recognize/recognizer.h"
#include "profile/recognize/switch_evaluator.h"
#include "profile/circuit/device_kinds.h"
#include "profile/circuit/rails.h"
#include "profile/spice/deck.h"
#include "core/diag/diagnostic.h"
#include "profile/spice/flattener.h"
#include "profile/spice/loose_nets.h"
#include "profile/spice/reader.h"

namespace {

void to_stderr(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

// What one run holds between its steps.
struct Profile {
  ProfileOptions options;
  spice::Deck deck;
  circuit::Circuit top;
  std::vector<circuit::Circuit> cells;
  std::string top_where;  // location of the top for messages
  recognize::GateNetwork network;
  cellmatch::CellSearchResult found;  // library cells found in the top
  design::Design design;
};

void read_step(Profile& run) {
  spice::Reader reader(run.deck, to_stderr);
  for (const std::string& f : run.options.netlists) reader.read_netlist(f);
  for (const std::string& f : run.options.libraries) reader.read_library(f);
}

void flatten_step(Profile& run) {
  circuit::DeviceKinds kinds(run.options.nmos, run.options.pmos, run.deck.model_channels());
  spice::Flattener flattener(run.deck, kinds, to_stderr);
  std::string deck_name = std::filesystem::path(run.options.netlists.front()).stem().string();
  run.top = flattener.flatten_top(run.options.top, deck_name);
  run.top_where = flattener.top_file;
  if (flattener.top_line > 0) run.top_where += ":" + std::to_string(flattener.top_line);
  run.cells = flattener.flatten_cells();
  circuit::Rails rails(run.options.supply, run.options.ground, run.deck.global_names(), run.options.default_rails);
  rails.assign(run.top);
  for (circuit::Circuit& cell : run.cells) rails.assign(cell);
  // A deck has no .subckt line: its rails are its ports, supplies first.
  if (flattener.top_line == 0)
    for (circuit::NetRole role : {circuit::NetRole::Supply, circuit::NetRole::Ground})
      for (circuit::NetId n = 0; n < run.top.net_count(); ++n)
        if (run.top.net_roles[n] == role) run.top.ports.push_back(n);
  spice::warn_loose_nets(run.top, run.top_where, to_stderr);
  spice::warn_rail_like_nets(run.top, run.top_where, to_stderr);
}

// Gates by function; a stage too wide to evaluate is written as switches.
void recognize_step(Profile& run) {
  recognize::Recognizer recognizer;
  run.network = recognizer.run(run.top);
  for (const std::vector<std::uint32_t>& wide : run.network.unevaluated)
    to_stderr(run.top_where + ": warning: the stage of " + std::string(run.top.mosfets[wide.front()].name) + " (" +
              std::to_string(wide.size()) + " MOSFETs) has more than " +
              std::to_string(recognize::SwitchEvaluator::kMaxInputs) + " inputs: written as switch primitives");
}

void match_step(Profile& run) {
  if (!run.cells.empty()) run.found = cellmatch::find_library_cells(run.top, run.network, run.cells);
}

void design_step(Profile& run) {
  run.design = design::DesignBuilder(run.found.library).build(run.top, run.network, run.found.occurrences);
  const design::Design& d = run.design;
  if (d.diodes_left_out || d.cells_without_logic)
    to_stderr(run.top_where + ": note: " + std::to_string(d.diodes_left_out) + " diodes and " +
              std::to_string(d.cells_without_logic) + " calls of cells without logic (decap, fill, tap, diode) are not written");
}

// Written beside the target and renamed at the end, so that a failed run
// leaves no output file.
bool write_step(Profile& run) {
  const std::string& out = run.options.output;
  std::string temp = out + ".part";
  std::FILE* fp = std::fopen(temp.c_str(), "w");
  if (!fp) {
    std::fprintf(stderr, "parser: cannot write %s\n", out.c_str());
    return false;
  }
  emit::VerilogWriter(fp).write(run.design);
  bool ok = std::fflush(fp) == 0 && !std::ferror(fp);
  ok = std::fclose(fp) == 0 && ok;
  if (ok && std::rename(temp.c_str(), out.c_str()) == 0) return true;
  std::remove(temp.c_str());
  std::fprintf(stderr, "parser: cannot write %s\n", out.c_str());
  return false;
}

}  // namespace

int run_profile(int argc, char** argv) {
  Profile run;
  try {
    run.options = parse_profile_options(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "parser: %s\nTry 'parser --help' for more information.\n", e.what());
    return 2;
  }
  if (run.options.help) {
    std::fputs(kProfileHelp, stdout);
    return 0;
  }
  if (run.options.version) {
    std::fputs(kVersionText, stdout);
    return 0;
  }
  try {
    read_step(run);
    flatten_step(run);
  } catch (const core::Diagnostic& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  recognize_step(run);
  match_step(run);
  design_step(run);
  return write_step(run) ? 0 : 1;
}
