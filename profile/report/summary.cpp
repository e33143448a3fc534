#include "profile/report/summary.h"

#include <algorithm>
#include <cstdio>

namespace report {

using messages::Message;
using messages::format;

namespace {

std::string num(std::uint64_t n) { return std::to_string(n); }

std::string padded(std::string_view s, std::size_t width) {
  std::string out(s);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

std::string fixed(double v, int width, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
  return buf;
}

}  // namespace

void write_summary(const RunStats& s, const std::string& output, const std::function<void(const std::string&)>& line) {
  line(format(Message::SummaryHead, {s.top, output}));
  line(format(Message::SummaryMosfets, {num(s.mosfets), num(s.folded)}));
  line(format(Message::SummaryModules,
              {num(s.modules), num(s.library_modules), num(s.gate_modules), num(s.black_box_modules)}));
  if (s.kept_modules || s.flattened_subcircuits)
    line(format(Message::SummaryKept, {num(s.kept_modules), num(s.flattened_subcircuits)}));
  line(format(Message::SummaryInstances, {s.top, num(s.instances)}));
  line(format(Message::SummaryCells, {num(s.cell_instances)}));
  std::size_t width = 0;
  for (const CellCount& c : s.cells) width = std::max(width, c.name.size());
  for (const CellCount& c : s.cells) line(format(Message::SummaryCell, {padded(c.name, width), num(c.instances)}));
  line(format(Message::SummaryStages, {num(s.stages()), num(s.table_gates), num(s.functions), num(s.tristates),
                                       num(s.networks), num(s.loops)}));
  line(format(Message::SummaryOthers, {num(s.switches), num(s.black_boxes)}));
  line(format(Message::SummaryConstants, {num(s.ones), num(s.zeros)}));
  line(format(Message::SummaryLeftOut, {num(s.diodes), num(s.cells_without_logic)}));
  line(format(Message::SummaryNoStage, {num(s.idle), num(s.dangling), num(s.holding), num(s.too_wide)}));

  if (!s.library.empty()) {
    std::uint64_t found = 0, missed = 0, skipped = 0;
    // Cells not searched, by reason, reasons in the order first met.
    std::vector<std::pair<cellmatch::CellStatus, std::string>> why;
    for (const LibraryEntry& e : s.library) {
      if (!searched(e.status)) {
        ++skipped;
        auto it = std::find_if(why.begin(), why.end(), [&](const auto& w) { return w.first == e.status; });
        if (it == why.end()) it = why.insert(why.end(), {e.status, std::string()});
        it->second.append(it->second.empty() ? "" : ", ").append(e.name);
      } else {
        ++(e.instances ? found : missed);
      }
    }
    line(format(Message::SummaryLibrary, {num(s.library.size()), num(found), num(missed), num(skipped)}));
    for (const auto& [status, names] : why) {
      line(format(Message::SummaryNotSearched, {format(why_not_searched(status)), names}));
    }
  }

  std::string rails;
  for (const RailEntry& r : s.rails) {
    bool supply = r.role == circuit::NetRole::Supply;
    Message why = rail_reason(r.why);
    std::string because = why == Message::RailGiven    ? format(why, {supply ? "--supply" : "--ground"})
                          : why == Message::RailUsual || why == Message::RailSource || why == Message::RailCall
                              ? format(why)
                                                                                      : format(why, {supply ? "p" : "n"});
    rails.append(rails.empty() ? "" : ", ")
        .append(format(Message::SummaryRail, {r.net, format(supply ? Message::Supply : Message::Ground), because}));
  }
  line(format(Message::SummaryRails, {rails.empty() ? format(Message::SummaryNone) : rails}));

  std::string warnings;
  for (const WarningCount& w : s.warnings)
    warnings.append(warnings.empty() ? "" : ", ")
        .append(format(Message::SummaryWarning, {messages::key(w.kind), num(w.count), num(w.printed)}));
  line(format(Message::SummaryWarnings, {warnings.empty() ? format(Message::SummaryNone) : warnings}));

  line(format(Message::SummaryStepHead));
  double total = 0;
  std::uint64_t peak = 0;
  constexpr double kMiB = 1024.0 * 1024.0;
  for (const StepUsage& u : s.steps) {
    total += u.cpu_seconds;
    peak = std::max(peak, u.peak_bytes);
    line(format(Message::SummaryStep,
                {padded(u.name, 10), fixed(u.cpu_seconds, 8, 2), fixed(static_cast<double>(u.peak_bytes) / kMiB, 10, 1)}));
  }
  line(format(Message::SummaryStep, {padded(format(Message::SummaryTotal), 10), fixed(total, 8, 2),
                                     fixed(static_cast<double>(peak) / kMiB, 10, 1)}));
}

}  // namespace report
