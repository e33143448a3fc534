#pragma once
// A flat transistor circuit as the SPICE profile reads it: every distinct
// net name is its own net (no name-number rule), names kept as written.
// The reader fills it; gate recognition, the cell search and the design
// read it. It knows nothing of the reader's deck.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory/huge_allocator.h"
#include "profile/circuit/name_pool.h"

namespace circuit {

using NetId = std::uint32_t;
inline constexpr NetId kNoNet = ~NetId{0};

enum class Channel : std::uint8_t { N, P };

struct Mosfet {
  std::string_view name;  // hierarchical path, e.g. "x1/xm3", held by Circuit::names
  Channel type = Channel::N;
  NetId drain = kNoNet, gate = kNoNet, source = kNoNet, bulk = kNoNet;
  float width = 0, length = 0;  // metres; width is W times the multiplier; 0: not given
  std::uint32_t call = kNoCall;  // the innermost call of the input whose cell holds it
  static constexpr std::uint32_t kNoCall = ~std::uint32_t{0};
};

// A call of a subcircuit in the input, kept so that what is found in the
// flat circuit can be told where it came from.
struct Call {
  std::string_view path;      // instance path, e.g. "x1/X_1698_", held by Circuit::names
  std::uint32_t cell = 0;     // into Circuit::call_cells
  std::uint32_t mosfets = 0;   // that its cell holds itself, not through calls
  std::uint32_t children = 0;  // calls its cell makes
  std::uint32_t first_pin = 0; // its nets, in the cell's port order, in Circuit::call_pins
};

// A call to a subcircuit defined nowhere that is not a MOSFET device: kept
// as a black-box instance in the output.
struct BlackBox {
  std::string_view name;  // instance path, held by Circuit::names
  std::string_view cell;  // called subcircuit name, held by Circuit::names
  std::vector<NetId> pins;
  std::uint32_t call = Mosfet::kNoCall;  // the innermost call of the input whose cell holds it
};

// A call of a subcircuit kept as a module of its own: its devices stay in
// that module's circuit, recognised once for every call.
struct Instance {
  std::string_view name;       // as written in the caller, held by Circuit::names
  std::uint32_t module = 0;    // the kept subcircuit it calls, numbered by the run
  std::uint32_t first_pin = 0; // its nets, in the module's port order, in Circuit::instance_pins
  std::uint32_t pin_count = 0;
};

// What an independent source is to extraction: a constant voltage (a DC
// voltage source, which may name a rail) or a stimulus that drives an input.
enum class SourceKind : std::uint8_t { None, DcVoltage, Stimulus };

// Any other element card (R, C, L, V, I, D, Q, E, F, G, H).
struct Element {
  std::string_view name;   // instance path, held by Circuit::names
  char kind = 0;           // its letter, lower case
  std::string_view value;  // the card's words after its nets, as written, held by Circuit::names
  std::vector<NetId> nets;
  SourceKind source = SourceKind::None;  // of a V or I card
  double volts = 0;                      // of a DcVoltage source: its first net less its second
};

// The direction of a port where the input says it (a CDL `*.PININFO`, a
// source that drives it).
enum class PinDirection : std::uint8_t { Unknown, Input, Output, Inout };

enum class NetRole : std::uint8_t { Signal, Supply, Ground, BulkOnly };

// Moved, never copied: the names of its nets and MOSFETs live in its pool.
struct Circuit {
  std::string name;  // top cell, or the cell's name
  NamePool names;    // holds net_names and the MOSFET names, but for those in `kept`
  // Storage of names read that the circuit views where they stand rather
  // than copy (the names of a flat top's own cards), kept while it lives.
  std::vector<std::shared_ptr<const void>> kept;
  std::vector<std::string_view, core::HugeAllocator<std::string_view>> net_names;  // NetId -> original name (path)
  std::vector<NetRole, core::HugeAllocator<NetRole>> net_roles;                      // NetId -> role
  std::vector<NetId> ports;  // in the order of the .subckt line
  std::vector<PinDirection> port_directions;  // by port where any is known, else empty
  std::vector<Mosfet, core::HugeAllocator<Mosfet>> mosfets;
  std::vector<BlackBox> black_boxes;
  std::vector<Element> elements;
  std::vector<Call> calls;              // of subcircuits, in the order met
  std::vector<std::string_view> call_cells;  // their cell names, each once, held by `names`
  std::vector<NetId> call_pins;         // the nets of each call, call after call
  std::vector<Instance> instances;      // calls kept as modules, in the order met
  std::vector<NetId> instance_pins;     // the nets of each instance, instance after instance
  // Nets that an instance drives (an output of its module): to the stages
  // here they are driven from outside, as input ports are.
  std::vector<NetId> instance_outputs;

  NetId net_count() const { return static_cast<NetId>(net_names.size()); }
  // A new net named `head` followed by `tail`.
  NetId add_net(std::string_view head, std::string_view tail = {}) {
    return add_kept_net(names.add(head, tail));
  }
  // A new net whose name lies in storage that `kept` holds.
  NetId add_kept_net(std::string_view name) {
    net_names.push_back(name);
    net_roles.push_back(NetRole::Signal);
    return static_cast<NetId>(net_names.size() - 1);
  }
  bool is_rail(NetId n) const {
    return n < net_roles.size() && (net_roles[n] == NetRole::Supply || net_roles[n] == NetRole::Ground);
  }
  // The element's card as it reads here: its name, its nets' names, its
  // value.
  std::string card(const Element& e) const {
    std::string out(e.name);
    for (NetId n : e.nets) out.append(" ").append(net_names[n]);
    if (!e.value.empty()) out.append(" ").append(e.value);
    return out;
  }
};

}  // namespace circuit
