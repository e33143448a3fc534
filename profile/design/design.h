#pragma once
// The gate-level design the profile writes, built once from the circuit, its
// recognised stages and the library cells found in it: modules with ports,
// nets and instances, every name an id into the design's name table. All
// choices (which stages a cell replaces, instance names, port directions,
// which nets are declared) are made when it is built; a writer only prints.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/circuit/name_pool.h"
#include "profile/design/function_modules.h"

namespace design {

using NameId = std::uint32_t;
using NetId = circuit::NetId;
// A pin the circuit gives no net (a well only the cell names) stays open.
inline constexpr NetId kOpen = circuit::kNoNet;
inline constexpr NameId kNoName = ~NameId{0};

enum class Direction : std::uint8_t { Input, Output, Inout };

// How a net is declared: as a port, as a wire, not at all (nothing connects
// to it), or as the supply or ground rail of switch primitives.
enum class NetKind : std::uint8_t { Port, Wire, Unused, Supply, Ground };

struct Net {
  NameId name = kNoName;
  NetKind kind = NetKind::Unused;
  Direction direction = Direction::Input;  // of a port
};

enum class InstanceKind : std::uint8_t {
  TableGate,    // a module of the gate-function table
  LibraryCell,  // a cell of the library, found in the circuit
  Function,     // a module generated for the stage's function
  BlackBox,     // a call of a subcircuit defined nowhere
  Switch,       // one MOSFET of a stage too wide to evaluate
  Submodule,    // a call of a subcircuit kept as a module
};

// A connection; a pin without a name connects by position (a black box's
// pin k is port k of its module).
struct Pin {
  NameId name = kNoName;
  NetId net = kOpen;
};

// Its pins and devices are runs of its module's pin and device lists, so a
// million instances cost no allocation each.
struct Instance {
  InstanceKind kind = InstanceKind::TableGate;
  // Of a table gate or function: the kind of the stage it stands for.
  recognize::StageKind stage = recognize::StageKind::Gate;
  NameId cell = kNoName;  // the module or primitive instantiated
  NameId name = kNoName;  // unique in its module, clear of its net names
  std::uint32_t first_pin = 0, pin_count = 0;
  // The input MOSFETs it stands for (indices into the circuit's MOSFETs,
  // ascending) and the instance path of the input they came from ("" for
  // the top's own devices).
  std::uint32_t first_device = 0, device_count = 0;
  NameId path = kNoName;
};

enum class ModuleKind : std::uint8_t { Netlist, BlackBox };

struct Module {
  ModuleKind kind = ModuleKind::Netlist;
  bool subcircuit = false;  // a subcircuit of the input kept as a module
  NameId name = kNoName;
  std::vector<NetId> ports;     // as the .subckt line lists them (one may repeat)
  std::vector<NetId> declared;  // the ports, each once, in port order
  std::vector<Net> nets;     // by NetId; the rails of switches follow the circuit's
  std::vector<Instance> instances;
  std::vector<Pin> pins;                // of all instances, each a run
  std::vector<std::uint32_t> devices;   // of all instances, each a run
  std::vector<std::string> comments;    // elements with no Verilog form, one line each

  std::span<const Pin> pins_of(const Instance& i) const { return {pins.data() + i.first_pin, i.pin_count}; }
  std::span<const std::uint32_t> devices_of(const Instance& i) const {
    return {devices.data() + i.first_device, i.device_count};
  }
  // Nets held at a rail through shorts and resistors only, with the value
  // they are held at: written as constant drivers.
  std::vector<std::pair<NetId, bool>> constants;
};

struct Design {
  // Text of each NameId. Names of the circuit are viewed where they stand,
  // so the circuits must outlive the design; names made here are kept in
  // `pool`.
  std::vector<std::string_view> names;
  circuit::NamePool pool;
  // The top, then each library cell used, then the black-box cells in order
  // of first call.
  std::vector<Module> modules;
  // The table and generated modules that stage instances use.
  FunctionModules functions;
  // What holds no logic and is not written: diodes (D cards, calls of a
  // diode device), and calls of cells whose devices form no stage (decaps,
  // fills, taps).
  std::uint64_t diodes_left_out = 0;
  std::uint64_t cells_without_logic = 0;

  std::string_view name(NameId id) const { return id == kNoName ? std::string_view() : names[id]; }
  NameId add_name(std::string_view text) {
    names.push_back(text);
    return static_cast<NameId>(names.size() - 1);
  }
  NameId make_name(std::string_view text) { return add_name(pool.add(text)); }
};

const char* instance_kind_name(InstanceKind kind);
// "input", "output" or "inout", as Verilog and the netlist formats say it.
const char* direction_name(Direction d);

}  // namespace design
