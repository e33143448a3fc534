#pragma once
// Stages that read each other's outputs (or their own) with nothing between
// them form a loop: a pass-transistor network whose nodes steer each other,
// or the storage of a latch. Evaluated one stage at a time, such a loop
// depends on the values its nodes start from. Here every loop of the stage
// graph is taken together with the gates that only feed it from its own
// inputs, and relaxed in three-valued logic from every node unknown: where
// the nets read outside come out known for every input combination, the
// loop is a plain function of its inputs, whatever its nodes start from
// (what three-valued relaxation settles, every start settles the same way).
#include <cstdint>
#include <optional>
#include <vector>

#include "profile/recognize/gate_network.h"

namespace recognize {

struct LoopRegion {
  std::vector<std::uint32_t> stages;  // ascending
  std::vector<NetId> inputs;          // read by the region, driven outside it
  std::vector<NetId> nets;            // the outputs of its stages
};

// Each stage of a region wired by slots: slot k < inputs is the region's
// input k, slot inputs + j its net j.
struct RegionSlots {
  std::vector<std::vector<std::uint32_t>> inputs, outputs;  // per stage of the region
};
RegionSlots region_slots(const std::vector<Stage>& stages, const LoopRegion& region);

class LoopMerger {
 public:
  // Inputs above this many are not relaxed: the region stays as it is.
  static constexpr std::uint32_t kMaxInputs = 12;

  // Regions of `stages`: each cycle of the graph (a stage reading an output
  // of its own counts), grown by the gates whose output only it reads and
  // whose inputs it reads already. `driver[n]` is the stage driving net n.
  static std::vector<LoopRegion> find_regions(const std::vector<Stage>& stages,
                                              const std::vector<std::uint32_t>& driver,
                                              const std::vector<bool>& read_elsewhere);

  // The region's settled value of each of its nets for every combination of
  // its inputs (bit k of the combination is input k), at
  // values[combo * nets + j]; X where the value still depends on where the
  // nodes started. Nothing when the work would be too large.
  static std::optional<std::vector<Value>> settle(const std::vector<Stage>& stages, const LoopRegion& region);

  // The same from the states the region can rest in: for each input
  // combination, every assignment of its nets that each stage reproduces
  // (drives to the value it has, or leaves floating). Where states whose
  // every node is driven exist, those decide (a floating node's charge does
  // not hold against them); a net takes the value all of them agree on, else
  // X. Nothing when the region has too many nets. `restless` is set when some
  // input combination leaves the region no state to rest in (a ring
  // oscillator).
  static std::optional<std::vector<Value>> stable_states(const std::vector<Stage>& stages, const LoopRegion& region,
                                                         bool* restless = nullptr);
  static constexpr std::uint32_t kMaxStateNets = 16;
};

}  // namespace recognize
