#include "profile/cellmatch/cell_matcher.h"

#include "profile/cellmatch/overlap_resolver.h"

namespace cellmatch {

CellMatcher::CellMatcher(const GateGraph& circuit) : circuit_(circuit), index_(circuit) {}

void CellMatcher::add_cell(std::string name, const GateGraph& cell) {
  cells_.push_back(&cell);
  names_.push_back(std::move(name));
}

std::vector<Occurrence> CellMatcher::run() {
  OccurrenceSearch search(circuit_, index_);
  std::vector<Occurrence> found;
  reports_.assign(cells_.size(), CellReport{});
  if (meter_) meter_->start(cells_.size());
  for (std::uint32_t c = 0; c < cells_.size(); ++c) {
    if (meter_) meter_->add(1);
    SearchPlan plan(*cells_[c], circuit_, index_);
    reports_[c].name = names_[c];
    reports_[c].status = plan.status();
    reports_[c].search = search.find(*cells_[c], plan, c, found);
  }
  if (size_gaps_) size_gaps_(found);
  std::vector<Occurrence> kept;
  for (std::size_t i : OverlapResolver::choose(found, names_, circuit_.gate_count())) {
    ++reports_[found[i].cell].kept;
    kept.push_back(std::move(found[i]));
  }
  return kept;
}

}  // namespace cellmatch
