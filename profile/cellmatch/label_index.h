#pragma once
// The circuit's gates grouped by label, each group in ascending gate order:
// the candidates for a cell's first gate, and the counts that tell which of
// a cell's labels is rarest in the circuit.
#include <span>
#include <vector>

#include "profile/cellmatch/gate_graph.h"

namespace cellmatch {

class LabelIndex {
 public:
  explicit LabelIndex(const GateGraph& graph);

  std::span<const GateId> gates(LabelId label) const {
    return {gates_.data() + begin_[label], begin_[label + 1] - begin_[label]};
  }
  std::uint32_t count(LabelId label) const { return begin_[label + 1] - begin_[label]; }

 private:
  std::vector<std::uint32_t> begin_;
  std::vector<GateId> gates_;
};

}  // namespace cellmatch
