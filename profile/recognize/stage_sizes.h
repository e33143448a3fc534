#pragma once
// The drawn sizes of a stage's devices, fingers folded as recognition folds
// them (parallel MOSFETs of one channel on the same gate and channel nets
// are one device whose width is their sum), so that two cells of one
// network and other drive strengths can be told apart.
#include <cstdint>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/recognize/gate_network.h"

namespace recognize {

struct DeviceSize {
  circuit::Channel type = circuit::Channel::N;
  float width = 0, length = 0;  // metres; 0: not given
  auto operator<=>(const DeviceSize&) const = default;
};

// A stage's devices after folding, ordered by channel, width, length.
std::vector<DeviceSize> stage_sizes(const circuit::Circuit& c, const Stage& stage);

// How far the sizes of `found` are from `wanted` (two stages of the same
// function and device count): the sum over devices paired in order of the
// ratio's distance from 1 in width and length, in natural-log units, sizes
// not given counting as equal; each device without a partner counts 1.
double size_gap(const std::vector<DeviceSize>& wanted, const std::vector<DeviceSize>& found);

}  // namespace recognize
