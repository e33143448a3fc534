#include "profile/cellmatch/label_index.h"

namespace cellmatch {

LabelIndex::LabelIndex(const GateGraph& graph) : begin_(graph.label_count() + 1, 0), gates_(graph.gate_count()) {
  for (GateId g = 0; g < graph.gate_count(); ++g) ++begin_[graph.label(g) + 1];
  for (LabelId l = 0; l < graph.label_count(); ++l) begin_[l + 1] += begin_[l];
  std::vector<std::uint32_t> fill(begin_.begin(), begin_.end() - 1);
  for (GateId g = 0; g < graph.gate_count(); ++g) gates_[fill[graph.label(g)]++] = g;
}

}  // namespace cellmatch
