#include "profile/recognize/stage_sizes.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace recognize {

std::vector<DeviceSize> stage_sizes(const circuit::Circuit& c, const Stage& stage) {
  // Channel, gate and the two channel ends in order: one device. Sorted
  // stably by that key, so that fingers add up in the order they were read.
  struct Finger {
    std::tuple<int, circuit::NetId, circuit::NetId, circuit::NetId> key;
    const circuit::Mosfet* mos;
  };
  std::vector<Finger> fingers;
  fingers.reserve(stage.mosfet_ids.size());
  for (std::uint32_t m : stage.mosfet_ids) {
    const circuit::Mosfet& mos = c.mosfets[m];
    auto [lo, hi] = std::minmax(mos.drain, mos.source);
    fingers.push_back({std::make_tuple(static_cast<int>(mos.type), mos.gate, lo, hi), &mos});
  }
  std::stable_sort(fingers.begin(), fingers.end(), [](const Finger& a, const Finger& b) { return a.key < b.key; });
  std::vector<DeviceSize> out;
  for (std::size_t i = 0; i < fingers.size(); ++i) {
    if (i == 0 || fingers[i].key != fingers[i - 1].key)
      out.push_back(DeviceSize{fingers[i].mos->type, 0, fingers[i].mos->length});
    out.back().width += fingers[i].mos->width;
  }
  std::sort(out.begin(), out.end());
  return out;
}

double size_gap(const std::vector<DeviceSize>& wanted, const std::vector<DeviceSize>& found) {
  auto far = [](float a, float b) { return a > 0 && b > 0 ? std::fabs(std::log(double{a} / double{b})) : 0.0; };
  double gap = static_cast<double>(std::max(wanted.size(), found.size()) - std::min(wanted.size(), found.size()));
  for (std::size_t i = 0; i < std::min(wanted.size(), found.size()); ++i) {
    if (wanted[i].type != found[i].type) gap += 1;
    gap += far(wanted[i].width, found[i].width) + far(wanted[i].length, found[i].length);
  }
  return gap;
}

}  // namespace recognize
