#pragma once
// Fingers: MOSFETs of one channel on the same gate net between the same two
// nets are one device (parallel fingers), and so is a chain of same-gate
// MOSFETs through nets that nothing else touches (series fingers). Merging
// repeats until neither applies, so mixed arrangements fold completely.
#include <cstdint>
#include <vector>

#include "profile/circuit/circuit.h"

namespace recognize {

struct Device {
  circuit::Channel type = circuit::Channel::N;
  circuit::NetId gate = circuit::kNoNet;
  circuit::NetId a = circuit::kNoNet, b = circuit::kNoNet;  // channel ends
  std::uint32_t fingers = 1;
};

class FingerMerger {
 public:
  // MOSFETs marked in `skip` (those holding constants) join no device.
  explicit FingerMerger(const circuit::Circuit& circuit, const std::vector<char>& skip = {});

  // Merges the circuit's MOSFETs. MOSFETs that can never conduct (gate tied
  // to the rail that keeps them off, or drain equal to source) or that miss
  // a terminal join no device.
  void run();

  const std::vector<Device>& devices() const { return devices_; }
  // Device index of each MOSFET, or kNoDevice.
  const std::vector<std::uint32_t>& device_of() const { return device_of_; }

  static constexpr std::uint32_t kNoDevice = ~std::uint32_t{0};

 private:
  bool merge_parallel();
  bool merge_series();
  void compact();
  std::uint32_t find(std::uint32_t d);

  const circuit::Circuit& circuit_;
  const std::vector<char>& skip_;
  std::vector<Device> devices_;
  std::vector<std::uint32_t> parent_;  // device union-find: merged into
  std::vector<bool> alive_;
  std::vector<bool> pinned_;  // per net: touched by something besides channels
  std::vector<std::uint32_t> device_of_;
};

}  // namespace recognize
