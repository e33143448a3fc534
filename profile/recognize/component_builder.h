#pragma once
// Channel-connected components: devices joined through channel nets other
// than the rails. Each component is one stage; its inputs are the nets on
// its devices' gates and the ports its channels reach that nothing in it
// drives; its outputs are the channel nets something reads.
#include <cstdint>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/recognize/finger_merger.h"
#include "profile/recognize/runs.h"

namespace recognize {

struct Component {
  std::vector<std::uint32_t> devices;  // ascending
  std::vector<circuit::NetId> nets;      // channel nets other than rails, ascending
  std::vector<circuit::NetId> inputs;    // ascending
  std::vector<circuit::NetId> outputs;   // ascending
  std::vector<circuit::NetId> sources;   // input ports on channel nets, ascending
};

class ComponentBuilder {
 public:
  ComponentBuilder(const circuit::Circuit& circuit, const std::vector<Device>& devices);

  // Finds the components, numbered in order of their lowest device; each is
  // filled on demand, so that only the one at hand holds its lists.
  std::uint32_t run();
  std::uint32_t count() const { return static_cast<std::uint32_t>(members_.size()); }
  // Component k into `c`, whose lists are reused.
  void fill(std::uint32_t k, Component& c) const;
  // The component each device belongs to (after run).
  std::uint32_t component_of(std::uint32_t device) const { return component_of_[device]; }

  // Whether a net is read outside the MOSFET channels: by a MOSFET gate, as
  // a port, or by another element.
  bool read_as_gate(circuit::NetId n) const { return gate_[n]; }
  bool read_outside(circuit::NetId n) const { return outside_[n]; }
  // Whether a floating value of `n` is Z to what reads it (a port, an
  // element, a black box) rather than a charge held on MOSFET gates; an
  // instance of a module reads its inputs with MOSFET gates only.
  bool floats_to_z(circuit::NetId n) const { return outside_[n] && !gates_only_[n]; }

 private:
  void find_sources(Component& c) const;
  void unread_outputs(Component& c) const;

  const circuit::Circuit& circuit_;
  const std::vector<Device>& devices_;
  std::vector<bool> gate_;     // per net: on some MOSFET gate
  std::vector<bool> outside_;  // per net: a port or on an element, black box or instance
  std::vector<bool> gates_only_;  // per net: outside only as an instance's input
  std::vector<bool> port_;
  Runs members_;  // the devices of each component, ascending
  std::vector<std::uint32_t> component_of_;
};

}  // namespace recognize
