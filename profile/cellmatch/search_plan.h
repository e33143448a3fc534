#pragma once
// The order in which the search visits one cell's gates, worked out once per
// cell against the circuit it is searched in.
//
// The first gate is the cell's most selective one: the label with fewest
// circuit gates (ties: more pins, then the lower cell gate number). Each next
// gate is one that shares the most already reached nets (rails never count),
// ties to the rarer label, then the lower number; so every gate after the
// first touches a net whose circuit counterpart is known when the gate is
// reached, and its candidates come from that net instead of a scan.
//
// Within a gate, pins are settled in this order: pins on nets already
// reached (their counterpart is forced), then pins on new nets that other
// cell gates touch too, then free pins (on a net nothing else in the cell
// touches). Free pins of one class and kind (inside the cell or a terminal)
// are interchangeable in every respect, so only one order of them is tried:
// the one that takes the circuit pins in ascending order.
#include <cstdint>
#include <vector>

#include "profile/cellmatch/gate_graph.h"
#include "profile/cellmatch/label_index.h"

namespace cellmatch {

class SearchPlan {
 public:
  enum class Status : std::uint8_t {
    Ready,
    Empty,         // the cell has no gate
    AbsentLabel,   // some label of the cell labels no circuit gate: no occurrence
    Disconnected,  // the cell's gates do not all meet through non-rail nets
  };

  struct PinStep {
    std::uint32_t pin;        // index within the gate
    std::uint32_t cls_begin;  // the pin's class range within the gate
    std::uint32_t cls_end;
    bool after_twin;          // a free pin after one of its class and kind: take a higher circuit pin
  };

  struct GateStep {
    GateId gate;
    LabelId circuit_label;
    std::vector<PinStep> pins;
    std::vector<std::uint32_t> linked;  // pins on nets reached before this gate (non-rail)
  };

  SearchPlan(const GateGraph& cell, const GateGraph& circuit, const LabelIndex& index);

  Status status() const { return status_; }
  const std::vector<GateStep>& steps() const { return steps_; }

 private:
  Status status_ = Status::Ready;
  std::vector<GateStep> steps_;
};

}  // namespace cellmatch
