#include "profile/run/profile_run.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "core/diag/diagnostic.h"
#include "core/memory/heap_pages.h"
#include "profile/circuit/device_kinds.h"
#include "profile/circuit/rails.h"
#include "profile/design/design_builder.h"
#include "profile/design/hierarchy_builder.h"
#include "profile/emit/verilog_writer.h"
#include "profile/emit/yosys_json_writer.h"
#include "profile/messages/messages.h"
#include "profile/recognize/recognizer.h"
#include "profile/report/json_report.h"
#include "profile/report/run_stats.h"
#include "profile/report/summary.h"
#include "profile/spice/deck_ports.h"
#include "profile/spice/flattener.h"
#include "profile/spice/loose_nets.h"
#include "profile/spice/reader.h"

void Profile::say(const std::string& line) {
  if (progress) progress->print(line);
  else std::fprintf(stderr, "%s\n", line.c_str());
}

namespace {

using messages::Message;

spice::WarningSink sink(Profile& run) {
  return [&run](Message kind, const std::string& text) { run.warnings.add(kind, text); };
}

bool read_step(Profile& run) {
  spice::Reader reader(run.deck, sink(run));
  reader.set_meter(&run.meter);
  std::uint64_t bytes = 0;
  for (const auto* files : {&run.options.netlists, &run.options.libraries})
    for (const std::string& f : *files) {
      std::error_code error;
      std::uintmax_t size = std::filesystem::file_size(f, error);
      if (!error) bytes += size;
    }
  run.meter.start(bytes);
  for (const std::string& f : run.options.netlists) reader.read_netlist(f);
  for (const std::string& f : run.options.libraries) reader.read_library(f);
  return true;
}

circuit::Rails rails_of(const Profile& run) {
  return circuit::Rails(run.options.supply, run.options.ground, run.deck.global_names(), run.options.default_rails);
}

// The top with every call flattened, or (by default) with the calls of the
// subcircuits kept as modules left as instances of them.
bool flatten_step(Profile& run) {
  circuit::DeviceKinds kinds(run.options.nmos, run.options.pmos, run.deck.model_channels());
  spice::Flattener flattener(run.deck, kinds, sink(run));
  std::string deck_name = std::filesystem::path(run.options.netlists.front()).stem().string();
  if (run.options.flatten) {
    run.top = flattener.flatten_top(run.options.top, deck_name);
  } else {
    const circuit::Rails rails = rails_of(run);
    run.top = design::HierarchyBuilder(run.deck, flattener, rails, sink(run))
                  .build(run.options.top, deck_name, run.hierarchy);
  }
  run.top_where = flattener.top_file;
  // Appended piece by piece: `":" + std::string` makes GCC 12 warn falsely
  // (-Wrestrict, GCC bug 105329) in an optimised build.
  if (flattener.top_line > 0) run.top_where.append(":").append(std::to_string(flattener.top_line));
  run.top_is_deck = flattener.top_line == 0;
  // Cells are searched for flat.
  flattener.set_keeping(false);
  run.cells = flattener.flatten_cells();
  return true;
}

bool rails_step(Profile& run) {
  const circuit::Rails rails = rails_of(run);
  run.rails = rails.assign(run.top);
  design::HierarchyBuilder::claim_rails(run.top, run.hierarchy, &run.rails);
  for (circuit::Circuit& cell : run.cells) rails.assign(cell);
  if (run.top_is_deck) spice::add_deck_ports(run.top, run.deck.observed);
  spice::warn_loose_nets(run.top, run.top_where, sink(run));
  spice::warn_rail_like_nets(run.top, run.top_where, sink(run));
  // Nothing reads the deck from here on; the circuits hold the names they
  // view. Freed now, it does not add to recognition's peak.
  run.deck = spice::Deck{};
  return true;
}

// Gates by function; a stage too wide to evaluate is written as switches.
bool recognize_step(Profile& run) {
  recognize::Recognizer recognizer;
  recognizer.set_meter(&run.meter);
  run.network = recognizer.run(run.top);
  recognize::warn_wide_stages(run.top, run.network, run.top_where, sink(run));
  return true;
}

bool search_step(Profile& run) {
  if (!run.cells.empty()) run.found = cellmatch::find_library_cells(run.top, run.network, run.cells, &run.meter);
  std::set<std::pair<std::string, std::string>> indistinct(run.found.indistinct.begin(), run.found.indistinct.end());
  for (const auto& [a, b] : run.found.indistinct)
    run.warnings.add(Message::Indistinct, messages::located(run.top_where, Message::Indistinct, {a, b}));
  // Then in each kept subcircuit that has stages of its own.
  run.found_in.assign(run.hierarchy.modules.size(), {});
  for (std::size_t k = 0; k < run.hierarchy.modules.size() && !run.cells.empty(); ++k) {
    const design::Submodule& s = run.hierarchy.modules[k];
    if (s.library || s.network.stages.empty()) continue;
    cellmatch::CellSearchResult found = cellmatch::find_library_cells(s.circuit, s.network, run.cells);
    run.found_in[k] = std::move(found.occurrences);
    for (const auto& pair : found.indistinct)
      if (indistinct.insert(pair).second)
        run.warnings.add(Message::Indistinct, messages::located(run.top_where, Message::Indistinct, {pair.first, pair.second}));
  }
  return true;
}

bool design_step(Profile& run) {
  run.design = design::DesignBuilder(run.found.library)
                   .build(run.top, run.network, run.found.occurrences, &run.hierarchy, &run.found_in);
  const design::Design& d = run.design;
  if (d.diodes_left_out || d.cells_without_logic)
    run.warnings.add(Message::LeftOut,
                     messages::located(run.top_where, Message::LeftOut,
                                       {std::to_string(d.diodes_left_out), std::to_string(d.cells_without_logic)}));
  return true;
}

bool is_json(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  return ext.size() == 5 && circuit::lower_case(ext) == ".json";
}

// Written beside the target and renamed at the end, so that a failed run
// leaves no output file. The file's extension picks the format.
bool write_step(Profile& run) {
  const std::string& out = run.options.output;
  std::string temp = out + ".part";
  std::FILE* fp = std::fopen(temp.c_str(), "w");
  if (!fp) {
    run.say(messages::format(Message::CannotWrite, {out}));
    return false;
  }
  try {
    if (is_json(out)) emit::YosysJsonWriter(fp).write(run.design);
    else emit::VerilogWriter(fp).write(run.design);
  } catch (...) {
    // No part of a file stays behind a run that stops.
    std::fclose(fp);
    std::remove(temp.c_str());
    throw;
  }
  bool ok = std::fflush(fp) == 0 && !std::ferror(fp);
  ok = std::fclose(fp) == 0 && ok;
  if (ok && std::rename(temp.c_str(), out.c_str()) == 0) return true;
  std::remove(temp.c_str());
  run.say(messages::format(Message::CannotWrite, {out}));
  return false;
}

// What the run did: the warnings it did not print counted, the JSON report
// when asked for, and the summary unless --quiet.
bool report_step(Profile& run) {
  run.warnings.print_hidden();
  report::RunFacts facts{run.top, run.network, run.cells, run.found, run.design, run.rails, run.warnings, run.usage};
  std::vector<const circuit::Circuit*> kept;
  if (!run.options.flatten) {
    // Counted as the flat circuit would hold them; a hierarchy that
    // multiplies past 2^64 stops counting there.
    auto add = [](std::uint64_t& to, std::uint64_t n, std::uint64_t times) {
      std::uint64_t product = n != 0 && times > ~std::uint64_t{0} / n ? ~std::uint64_t{0} : n * times;
      to = product > ~to ? ~std::uint64_t{0} : to + product;
    };
    facts.hierarchical = true;
    add(facts.mosfets, run.top.mosfets.size(), 1);
    add(facts.folded, run.network.folded_devices, 1);
    for (const design::Submodule& s : run.hierarchy.modules) {
      add(facts.mosfets, s.circuit.mosfets.size(), s.uses);
      add(facts.folded, s.network.folded_devices, s.uses);
      kept.push_back(&s.circuit);
    }
    facts.kept_modules = run.hierarchy.modules.size();
    facts.flattened_subcircuits = run.hierarchy.flattened;
  }
  const report::RunStats stats = report::count_run(facts);
  if (!run.options.report.empty()) {
    const std::string& path = run.options.report;
    std::ofstream file(path);
    file << report::report_json(stats, run.options.output, run.design, run.top, run.cells, kept).dump(2) << "\n";
    file.close();
    if (!file) {
      run.say(messages::format(Message::CannotWriteReport, {path}));
      return false;
    }
  }
  if (!run.options.quiet) report::write_summary(stats, run.options.output, [&run](const std::string& line) { run.say(line); });
  return true;
}

const ProfileStep kSteps[] = {
    {"read", read_step},     {"flatten", flatten_step}, {"rails", rails_step}, {"recognize", recognize_step},
    {"search", search_step}, {"design", design_step},   {"write", write_step}, {"report", report_step},
};

}  // namespace

std::span<const ProfileStep> profile_steps() { return kSteps; }

std::span<const ProfileStep> profile_steps(const char* first, const char* last) {
  std::span<const ProfileStep> all = profile_steps();
  std::size_t from = all.size(), to = all.size();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (std::strcmp(all[i].name, first) == 0) from = i;
    if (std::strcmp(all[i].name, last) == 0) to = i;
  }
  if (from >= all.size() || to >= all.size() || from > to) return {};
  return all.subspan(from, to - from + 1);
}

bool run_profile_steps(std::span<const ProfileStep> rows, Profile& run) {
  core::prefer_huge_heap_pages();
  std::size_t i = 0;
  try {
    for (; i < rows.size(); ++i) {
      core::advise_huge_heap_pages();
      run.meter.start(0);
      if (run.progress) run.progress->step(rows[i].name, static_cast<unsigned>(i), static_cast<unsigned>(rows.size()));
      const report::Usage before = report::usage_now();
      bool ok = rows[i].call(run);
      const report::Usage after = report::usage_now();
      run.usage.push_back({rows[i].name, after.cpu_seconds - before.cpu_seconds, after.peak_bytes});
      if (!ok) return false;
    }
  } catch (const core::Diagnostic& e) {
    run.say(e.what());
    return false;
  } catch (const std::bad_alloc&) {
    // A deck too large for the machine stops the run with a message, not
    // an abort; what the step held is gone with the stack.
    run.say(messages::format(Message::OutOfMemory, {rows[i].name}));
    return false;
  }
  return true;
}

int run_profile(int argc, char** argv) {
  Profile run;
  try {
    run.options = parse_profile_options(argc, argv);
  } catch (const UsageError& e) {
    std::fputs(messages::format(messages::Message::Usage, {e.what()}).c_str(), stderr);
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
  // A progress line only where a person watches.
  std::unique_ptr<report::Progress> progress;
  if (!run.options.quiet && isatty(STDERR_FILENO)) {
    progress = std::make_unique<report::Progress>(stderr, run.meter);
    run.progress = progress.get();
  }
  bool ok = run_profile_steps(profile_steps(), run);
  if (progress) progress->stop();
  run.progress = nullptr;
  return ok ? 0 : 1;
}
