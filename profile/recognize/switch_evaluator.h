#pragma once
// Switch-level evaluation of a component: for every combination of its
// inputs, which channel nets connect through conducting devices, and so the
// value of each output (1 or 0 from the rail or input port it reaches, Z if
// none reaches it, X if both values do). Device strength is not modelled, so
// ratioed stages read as fights.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "profile/recognize/component_builder.h"
#include "profile/recognize/gate_network.h"

namespace recognize {

class SwitchEvaluator {
 public:
  // Components with more inputs than this are not evaluated.
  static constexpr std::uint32_t kMaxInputs = 14;

  SwitchEvaluator(const circuit::Circuit& circuit, const std::vector<Device>& devices);

  // The table over c.inputs (input k is bit k) and c.outputs, or empty when
  // the component has too many inputs.
  std::optional<FunctionTable> evaluate(const Component& c);

 private:
  std::uint32_t find(std::uint32_t x);

  // Where a device's gate value comes from: a rail or an input.
  struct LocalDevice {
    std::uint32_t a, b;
    std::int32_t gate_input;  // input index, or -1 for a rail
    bool rail_gate_high;
    bool p_channel;
  };

  const circuit::Circuit& circuit_;
  const std::vector<Device>& devices_;
  // Scratch, kept from one component to the next.
  std::vector<std::uint32_t> parent_;  // union-find over local nets
  std::vector<LocalDevice> devs_;
  std::vector<std::int32_t> source_input_;
  std::vector<char> is_source_;
  std::vector<std::uint32_t> out_nodes_;
  std::vector<std::uint8_t> drive_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> fed_;
};

}  // namespace recognize
