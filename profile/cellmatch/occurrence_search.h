#pragma once
// Finds the occurrences of one cell in the circuit by growing a one-to-one
// map of the cell's gates and nets from each candidate for the plan's first
// gate (a depth-first search with backtracking).
//
// A gate corresponds to a circuit gate of the same label and pin layout, not
// yet taken by this occurrence; its pins to the circuit gate's pins of the
// same class, one to one. A cell net corresponds to one circuit net, and no
// two cell nets to the same one (rails aside):
// - a rail to a rail of the same kind, any other net to a non-rail;
// - a net inside the cell (not a terminal) to a net that is no port, has no
//   outside use and has exactly as many connections as the cell net, so that
//   nothing outside the occurrence touches it;
// - a terminal to a net with at least as many connections.
// Every connection of every mapped gate is checked, so a complete map is a
// sound occurrence.
//
// All occurrences that share their first gate overlap one another, so only
// the first found per candidate is kept (search order: plan order, circuit
// connections and pins ascending). A candidate that needs more than
// `step_limit` pin trials (kStepLimit unless told) is given up and counted;
// so are all candidates left once one cell has taken kTrialsPerPin trials
// per circuit pin (plus one step limit): the time per cell stays linear in
// the circuit on any input.
#include <cstdint>
#include <vector>

#include "profile/cellmatch/gate_graph.h"
#include "profile/cellmatch/label_index.h"
#include "profile/cellmatch/occurrence.h"
#include "profile/cellmatch/search_plan.h"

namespace cellmatch {

struct SearchStats {
  std::uint64_t candidates = 0;  // circuit gates tried as the first gate
  std::uint64_t trials = 0;      // pin trials in all
  std::uint32_t found = 0;
  std::uint32_t given_up = 0;    // candidates past the step limit
};

class OccurrenceSearch {
 public:
  static constexpr std::uint64_t kStepLimit = 200000;
  static constexpr std::uint64_t kTrialsPerPin = 256;

  OccurrenceSearch(const GateGraph& circuit, const LabelIndex& index, std::uint64_t step_limit = kStepLimit);

  // Appends the occurrences of `cell` (numbered `cell_id`) to `out`.
  SearchStats find(const GateGraph& cell, const SearchPlan& plan, std::uint32_t cell_id, std::vector<Occurrence>& out);

 private:
  // A circuit pin with what the search asks of its net, so that trying a
  // candidate reads its own pins and no net-indexed array: those are as
  // large as the circuit and met in no particular order.
  struct PinView {
    NetId net;
    std::uint16_t cls;
    std::uint8_t flags;   // the net's
    std::uint8_t degree;  // the net's connections, kDegreeCap for that many or more
  };
  static constexpr std::uint8_t kDegreeCap = 255;
  // A circuit gate as a connection leads to it.
  struct GateView {
    LabelId label;
    std::uint32_t first;  // its first pin in pin_view_
    std::uint32_t count;
  };

  // Each returns true when the search from the current candidate is over
  // (an occurrence was found or the step limit was reached).
  bool place(std::size_t depth);
  // `hp`: the circuit gate's `count` pins.
  bool try_gate(std::size_t depth, GateId h, const PinView* hp, std::uint32_t count);
  bool assign(std::size_t depth, std::size_t k);
  bool net_fits(NetId cell_net, const PinView& pin) const;
  void record();

  // Bits per circuit gate and net: taken by the occurrence being grown. A
  // bit each keeps them small enough to stay in cache on large circuits.
  static bool test(const std::vector<std::uint64_t>& bits, std::uint32_t i) { return bits[i >> 6] >> (i & 63) & 1; }
  static void flip(std::vector<std::uint64_t>& bits, std::uint32_t i) { bits[i >> 6] ^= std::uint64_t{1} << (i & 63); }

  const GateGraph& circuit_;
  const LabelIndex& index_;
  // The circuit's pins gate after gate in the label index's order, so that
  // the candidates for a cell's first gate, all of one label, are read in
  // one sweep; `slot_` holds where each position's pins begin, and `reach_`
  // the connections its gate's non-rail pins' nets have (a candidate with
  // fewer than the cell's first gate cannot hold it), by the same positions.
  std::vector<PinView> pin_view_;
  std::vector<std::uint32_t> slot_;
  std::vector<std::uint64_t> reach_;
  std::vector<std::uint32_t> label_begin_;  // per label, its first position
  std::vector<GateView> gate_view_;         // by gate
  std::vector<std::uint64_t> gate_taken_;
  std::vector<std::uint64_t> net_taken_;

  // The cell being searched.
  const GateGraph* cell_ = nullptr;
  const SearchPlan* plan_ = nullptr;
  std::uint32_t cell_id_ = 0;
  std::vector<GateId> gate_map_;
  std::vector<NetId> net_map_;
  std::vector<std::uint32_t> chosen_;  // circuit pin index chosen per plan pin of the current gate
  std::vector<const PinView*> at_;     // per depth, its circuit gate's pins
  // Per depth, the pins of its circuit gate taken so far: a circuit gate
  // sits at one depth only, so its pins are taken there only.
  std::vector<std::uint8_t> pin_taken_;
  std::size_t width_ = 0;  // pins of the widest cell gate: the stride of chosen_ and pin_taken_
  std::vector<Occurrence>* out_ = nullptr;
  std::uint64_t step_limit_;
  std::uint64_t steps_ = 0;
  bool given_up_ = false;
  SearchStats stats_;
};

}  // namespace cellmatch
