#pragma once
// Finds the cells of a library in a circuit's gate network: every occurrence
// of every cell (OccurrenceSearch, one SearchPlan per cell), then the
// occurrences kept where they overlap (OverlapResolver).
#include <string>
#include <vector>

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
};

}  // namespace cellmatch
