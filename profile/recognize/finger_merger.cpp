#include "profile/recognize/finger_merger.h"

#include <algorithm>

namespace recognize {

using circuit::Channel;
using circuit::kNoNet;
using circuit::NetId;

namespace {

bool never_conducts(const circuit::Circuit& c, const circuit::Mosfet& m) {
  if (m.gate >= c.net_count()) return true;
  circuit::NetRole g = c.net_roles[m.gate];
  return (m.type == Channel::N && g == circuit::NetRole::Ground) ||
         (m.type == Channel::P && g == circuit::NetRole::Supply);
}

}  // namespace

FingerMerger::FingerMerger(const circuit::Circuit& circuit, const std::vector<char>& skip)
    : circuit_(circuit), skip_(skip) {}

void FingerMerger::run() {
  const NetId nets = circuit_.net_count();
  pinned_.assign(nets, false);
  for (NetId n = 0; n < nets; ++n)
    if (circuit_.net_roles[n] != circuit::NetRole::Signal) pinned_[n] = true;
  for (NetId p : circuit_.ports)
    if (p < nets) pinned_[p] = true;
  for (const circuit::Mosfet& m : circuit_.mosfets)
    if (m.gate < nets) pinned_[m.gate] = true;
  for (const circuit::Element& e : circuit_.elements)
    for (NetId n : e.nets)
      if (n < nets) pinned_[n] = true;
  for (const circuit::BlackBox& b : circuit_.black_boxes)
    for (NetId n : b.pins)
      if (n < nets) pinned_[n] = true;
  for (NetId n : circuit_.instance_pins)
    if (n < nets) pinned_[n] = true;

  device_of_.assign(circuit_.mosfets.size(), kNoDevice);
  devices_.reserve(circuit_.mosfets.size());
  for (std::uint32_t i = 0; i < circuit_.mosfets.size(); ++i) {
    const circuit::Mosfet& m = circuit_.mosfets[i];
    if (m.drain >= nets || m.source >= nets || m.drain == m.source || never_conducts(circuit_, m)) continue;
    if (i < skip_.size() && skip_[i]) continue;
    device_of_[i] = static_cast<std::uint32_t>(devices_.size());
    devices_.push_back(Device{m.type, m.gate, m.drain, m.source, 1});
  }
  parent_.resize(devices_.size());
  for (std::uint32_t d = 0; d < parent_.size(); ++d) parent_[d] = d;
  alive_.assign(devices_.size(), true);

  // Series merging can make new parallel pairs and the reverse.
  bool changed = true;
  while (changed) {
    changed = merge_parallel();
    changed = merge_series() || changed;
  }
  compact();
}

std::uint32_t FingerMerger::find(std::uint32_t d) {
  while (parent_[d] != d) {
    parent_[d] = parent_[parent_[d]];
    d = parent_[d];
  }
  return d;
}

bool FingerMerger::merge_parallel() {
  // Devices with the same channel ends, gate and type are one device, kept
  // at its lowest index: visited in index order, each looks for an earlier
  // one like it in an open-addressed table of device indices.
  auto key = [&](const Device& dev) {
    std::uint64_t lo = std::min(dev.a, dev.b), hi = std::max(dev.a, dev.b);
    return std::pair{lo << 32 | hi, std::uint64_t{dev.gate} << 1 | (dev.type == Channel::P ? 1u : 0u)};
  };
  std::size_t size = 16;
  while (size < 2 * devices_.size()) size *= 2;
  std::vector<std::uint32_t> slots(size, kNoDevice);
  bool changed = false;
  for (std::uint32_t d = 0; d < devices_.size(); ++d) {
    if (!alive_[d]) continue;
    const auto k = key(devices_[d]);
    std::uint64_t h = (k.first * 0x9e3779b97f4a7c15ull) ^ (k.second * 0xc2b2ae3d27d4eb4full);
    for (std::size_t i = (h ^ (h >> 29)) & (size - 1);; i = (i + 1) & (size - 1)) {
      std::uint32_t& slot = slots[i];
      if (slot == kNoDevice) {
        slot = d;
        break;
      }
      if (key(devices_[slot]) != k) continue;
      devices_[slot].fingers += devices_[d].fingers;
      alive_[d] = false;
      parent_[d] = slot;
      changed = true;
      break;
    }
  }
  return changed;
}

bool FingerMerger::merge_series() {
  // Per free net: how many channel ends touch it and the first two devices.
  const NetId nets = circuit_.net_count();
  std::vector<std::uint32_t> count(nets, 0);
  std::vector<std::uint32_t> first(nets, kNoDevice), second(nets, kNoDevice);
  for (std::uint32_t d = 0; d < devices_.size(); ++d) {
    if (!alive_[d]) continue;
    for (NetId n : {devices_[d].a, devices_[d].b}) {
      if (pinned_[n]) continue;
      if (count[n] == 0) first[n] = d;
      else if (count[n] == 1) second[n] = d;
      ++count[n];
    }
  }
  // One merge per device per pass keeps the recorded touches valid; further
  // passes finish long chains.
  std::vector<bool> touched(devices_.size(), false);
  bool changed = false;
  for (NetId n = 0; n < nets; ++n) {
    if (count[n] != 2) continue;
    std::uint32_t d1 = first[n], d2 = second[n];
    if (touched[d1] || touched[d2]) continue;
    Device& x = devices_[d1];
    const Device& y = devices_[d2];
    if (x.type != y.type || x.gate != y.gate) continue;
    NetId xo = x.a == n ? x.b : x.a;
    NetId yo = y.a == n ? y.b : y.a;
    if (xo == yo) continue;  // a ring through n: leave it
    x.a = xo;
    x.b = yo;
    x.fingers += y.fingers;
    alive_[d2] = false;
    parent_[d2] = d1;
    touched[d1] = touched[d2] = true;
    changed = true;
  }
  return changed;
}

void FingerMerger::compact() {
  std::vector<std::uint32_t> index(devices_.size(), kNoDevice);
  std::vector<Device> kept;
  kept.reserve(static_cast<std::size_t>(std::count(alive_.begin(), alive_.end(), true)));
  for (std::uint32_t d = 0; d < devices_.size(); ++d) {
    if (!alive_[d]) continue;
    index[d] = static_cast<std::uint32_t>(kept.size());
    kept.push_back(devices_[d]);
  }
  for (std::uint32_t& d : device_of_)
    if (d != kNoDevice) d = index[find(d)];
  devices_ = std::move(kept);
}

}  // namespace recognize
