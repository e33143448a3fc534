#include "profile/recognize/stage_sizes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace recognize {

std::vector<DeviceSize> stage_sizes(const circuit::Circuit& c, const Stage& stage) {
  // Channel, gate and the two channel ends in order: one device.
  std::map<std::tuple<int, circuit::NetId, circuit::NetId, circuit::NetId>, DeviceSize> devices;
  for (std::uint32_t m : stage.mosfet_ids) {
    const circuit::Mosfet& mos = c.mosfets[m];
    auto [lo, hi] = std::minmax(mos.drain, mos.source);
    auto key = std::make_tuple(static_cast<int>(mos.type), mos.gate, lo, hi);
    auto [it, added] = devices.try_emplace(key, DeviceSize{mos.type, 0, mos.length});
    it->second.width += mos.width;
  }
  std::vector<DeviceSize> out;
  out.reserve(devices.size());
  for (const auto& [key, size] : devices) out.push_back(size);
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
