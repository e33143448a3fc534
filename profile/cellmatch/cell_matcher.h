#pragma once
// Finds the cells of a library in a circuit's gate network: every occurrence
// of every cell (OccurrenceSearch, one SearchPlan per cell), then the
// occurrences kept where they overlap (OverlapResolver).
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/diag/work_meter.h"
#include "profile/cellmatch/gate_graph.h"
#include "profile/cellmatch/label_index.h"
#include "profile/cellmatch/occurrence.h"
#include "profile/cellmatch/occurrence_search.h"
#include "profile/cellmatch/search_plan.h"

namespace cellmatch {

struct CellReport {
  std::string name;
  SearchPlan::Status status = SearchPlan::Status::Ready;
  SearchStats search;
  std::uint32_t kept = 0;
};

class CellMatcher {
 public:
  // The circuit must be finished and outlive the matcher.
  explicit CellMatcher(const GateGraph& circuit);

  // The cell graph must be finished and outlive the matcher.
  void add_cell(std::string name, const GateGraph& cell);

  // Sets how far each occurrence's device sizes are from its cell's (0:
  // equal), called once with all the occurrences found, before overlaps are
  // resolved; without it every gap is 0.
  void set_size_gaps(std::function<void(std::span<Occurrence>)> gaps) { size_gaps_ = std::move(gaps); }

  // Counts the cells searched into `meter` (none by default).
  void set_meter(core::WorkMeter* meter) { meter_ = meter; }

  // The kept occurrences, in the overlap rank order.
  std::vector<Occurrence> run();

  // One report per cell, in the order cells were given (after run).
  const std::vector<CellReport>& reports() const { return reports_; }

 private:
  const GateGraph& circuit_;
  LabelIndex index_;
  std::vector<const GateGraph*> cells_;
  std::vector<std::string> names_;
  std::vector<CellReport> reports_;
  std::function<void(std::span<Occurrence>)> size_gaps_;
  core::WorkMeter* meter_ = nullptr;
};

}  // namespace cellmatch
