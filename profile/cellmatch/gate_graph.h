#pragma once
// A gate network as the cell search sees it, for a whole circuit and for one
// library cell alike.
//
// - A gate has a label (its kind and function, e.g. "cmos:NAND2/4"; two gates
//   can only correspond when their labels are equal), a MOSFET count (the
//   weight that decides overlaps) and pins. A transmission gate is a gate too:
//   its two channel ends are pins of one class, its controls pins of others.
// - A pin joins a gate to a net. Pins of one gate that share a class are
//   interchangeable (the inputs of a NAND); different classes are not. Gates
//   of one label must have the same pins per class (add_gate keeps a gate's
//   pins sorted by class, stable, so that the layouts compare position by
//   position).
// - A net has flags: a port (seen from outside the network), outside use
//   (touched by something that is not a gate: an element, a black box), and
//   the two rails. Rails correspond only to rails of the same kind and never
//   link gates for the search: every gate touches them.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cellmatch {

using GateId = std::uint32_t;
using NetId = std::uint32_t;
using LabelId = std::uint32_t;
inline constexpr std::uint32_t kNone = ~std::uint32_t{0};

enum NetFlag : std::uint8_t {
  kPort = 1,
  kOutsideUse = 2,
  kSupply = 4,
  kGround = 8,
};
inline constexpr std::uint8_t kRail = kSupply | kGround;

enum class PinRole : std::uint8_t { Input, Output, Channel };

struct Pin {
  NetId net = kNone;
  std::uint16_t cls = 0;  // interchangeability class within the gate
  PinRole role = PinRole::Input;
};

// One end of a connection as seen from a net.
struct Connection {
  GateId gate;
  std::uint32_t pin;  // index within the gate's pins
};

class GateGraph {
 public:
  NetId add_net(std::uint8_t flags = 0);
  void add_flags(NetId net, std::uint8_t flags);

  // Pins are copied; their order within one class is kept. Returns kNone when
  // a pin names an unknown net or one class mixes roles.
  GateId add_gate(std::string_view label, std::uint32_t mosfets, std::span<const Pin> pins);

  // Builds the net-to-pin index; call once after the last add_* call.
  void finish();

  std::uint32_t gate_count() const { return static_cast<std::uint32_t>(gates_.size()); }
  std::uint32_t net_count() const { return static_cast<std::uint32_t>(net_flags_.size()); }

  LabelId label(GateId g) const { return gates_[g].label; }
  const std::string& label_name(LabelId l) const { return labels_[l]; }
  std::uint32_t label_count() const { return static_cast<std::uint32_t>(labels_.size()); }
  // kNone when no gate of this graph carries the label.
  LabelId find_label(std::string_view name) const;

  std::uint32_t mosfets(GateId g) const { return gates_[g].mosfets; }
  std::span<const Pin> pins(GateId g) const {
    return {pins_.data() + gates_[g].first_pin, gates_[g].pin_count};
  }
  // Index of the gate's first pin in the graph-wide pin numbering.
  std::uint32_t first_pin(GateId g) const { return gates_[g].first_pin; }
  std::uint32_t pin_total() const { return static_cast<std::uint32_t>(pins_.size()); }

  std::uint8_t flags(NetId n) const { return net_flags_[n]; }
  bool is_rail(NetId n) const { return (net_flags_[n] & kRail) != 0; }
  // A net the search may treat as inside a cell occurrence: not a port, no
  // outside use, not a rail.
  bool is_closed(NetId n) const { return (net_flags_[n] & (kPort | kOutsideUse | kRail)) == 0; }
  std::span<const Connection> connections(NetId n) const {
    return {conns_.data() + conn_begin_[n], conn_begin_[n + 1] - conn_begin_[n]};
  }
  std::uint32_t degree(NetId n) const { return conn_begin_[n + 1] - conn_begin_[n]; }

 private:
  struct Gate {
    LabelId label;
    std::uint32_t mosfets;
    std::uint32_t first_pin;
    std::uint32_t pin_count;
  };
  LabelId intern(std::string_view name);

  std::vector<Gate> gates_;
  std::vector<Pin> pins_;
  std::vector<std::uint8_t> net_flags_;
  std::vector<std::string> labels_;
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, LabelId, NameHash, std::equal_to<>> label_ids_;
  std::vector<std::uint32_t> conn_begin_;
  std::vector<Connection> conns_;
};

}  // namespace cellmatch
