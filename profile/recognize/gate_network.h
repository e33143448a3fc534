#pragma once
// The gate network of the SPICE profile: what recognition makes of a flat
// transistor circuit, what the cell matcher searches and what the writer
// writes. A stage is one channel-connected component of MOSFETs (devices
// joined through source/drain nets other than the rails) with the function
// its switch network computes.
//
// Stage kinds and how the writer writes them:
//   Gate     one output, driven to 0 or 1 for every input combination, not
//            reading its own output: an instance of a table-type module when
//            its function is one (table_type >= 0), else of a generated
//            module holding one `assign` of the function;
//   Tristate one output that floats (Z) for some combinations and is never
//            fought over (clocked inverters, transmission-gate outputs):
//            a generated module `assign y = ... ? 1'b1 : ... ? 1'b0 : 1'bz`;
//   Network  anything else (several outputs, an output that is also one of
//            the stage's inputs, fights): a generated module with one
//            assignment per output, holding its value where it would float
//            or fight, which is how latches and flip-flops keep state (an
//            output that holds is a register set whenever an input changes);
//   Loop     stages that read each other's outputs and hold state there (a
//            latch's storage split over stages by its pass devices): one
//            generated module that, whenever an input changes, evaluates
//            its parts one after another until they agree, so two parts
//            never chase each other in zero-delay simulation.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "profile/circuit/circuit.h"

namespace recognize {

using circuit::NetId;

// The value of a net for one input combination: Z when nothing drives it,
// X when both rails do.
enum class Value : std::uint8_t { Zero, One, Z, X };

// A stage's function: for each input combination (bit k of the combination
// index is input k) the value of each output, at values[combo * outputs + o].
struct FunctionTable {
  std::uint32_t inputs = 0;
  std::uint32_t outputs = 0;
  std::vector<Value> values;

  Value at(std::uint32_t combo, std::uint32_t out) const { return values[combo * outputs + out]; }
  std::uint32_t combos() const { return 1u << inputs; }
};

enum class StageKind : std::uint8_t { Gate, Tristate, Network, Loop };

// One stage of a loop, wired by slots: slot k < the loop's inputs is its
// input k, slot inputs + j its output j.
struct LoopPart {
  FunctionTable table;
  std::vector<std::uint32_t> inputs, outputs;
};

// What every stage computing one function shares, made once per function
// met: a large design repeats a few functions many times.
struct StageFunction {
  // Equal labels iff equal functions up to a permutation of the inputs (and
  // of the outputs): the function table in canonical input order, outputs
  // sorted, as text.
  std::string label;
  FunctionTable table;
  // Per input, its interchangeability class: inputs with the same class can
  // be swapped without changing any output. Classes are numbered from 0 in
  // order of first appearance.
  std::vector<std::uint32_t> input_class;
  // The module pin letter for each input ('a' + k) when the function is a
  // table type.
  std::string table_pins;
};

struct Stage {
  StageKind kind = StageKind::Gate;
  // Every device of long channel (a bus holder's feedback) and an output on
  // a port: it drives that port weakly, so a driver outside overrides it.
  bool weak = false;
  // Index into kHeaderModules when the function is a table type that the
  // stage is written as (its pins are table_pins()).
  int table_type = -1;
  std::shared_ptr<const StageFunction> function;
  // Inputs in canonical order: input k of `table` and of the generated
  // module. A net may be an input and an output of the same stage (feedback).
  std::vector<NetId> inputs;
  // Outputs in the order of the table's output columns.
  std::vector<NetId> outputs;
  std::uint32_t mosfets = 0;  // MOSFETs as read, every finger counted
  std::uint32_t devices = 0;  // after fingers are merged
  std::vector<std::uint32_t> mosfet_ids;  // into Circuit::mosfets, ascending
  // A loop's parts, in the order they are evaluated; its table holds what
  // the loop settles to from unknown nodes (X where it keeps state).
  std::vector<LoopPart> parts;

  const std::string& label() const { return shared().label; }
  const FunctionTable& table() const { return shared().table; }
  const std::vector<std::uint32_t>& input_class() const { return shared().input_class; }
  const std::string& table_pins() const { return shared().table_pins; }

 private:
  const StageFunction& shared() const {
    static const StageFunction kNone;
    return function ? *function : kNone;
  }
};

struct NetInfo {
  circuit::NetRole role = circuit::NetRole::Signal;
  bool port = false;
  // Held at a rail by ties (shorts, resistors, MOSFETs): -1 not, 0 or 1.
  std::int8_t constant = -1;
  // A floating value of the net is written as 1'bz (a port, a net read by
  // other elements) rather than held (a net only MOSFET gates read keeps
  // its charge).
  bool floats_to_z = false;
  // The stage whose output this net is, or kNoStage.
  std::uint32_t driver = ~std::uint32_t{0};
};

inline constexpr std::uint32_t kNoStage = ~std::uint32_t{0};

struct GateNetwork {
  std::vector<Stage> stages;  // in order of their first MOSFET as read
  std::vector<NetInfo> nets;  // indexed by NetId
  // MOSFETs that joined no stage with an output (dangling), by index.
  std::vector<std::uint32_t> unused_mosfets;
  // How many of them can never conduct (gate tied to the rail that keeps
  // them off, drain on source: decaps) or miss a terminal; the others are
  // in components that drive nothing read.
  std::uint32_t idle_mosfets = 0;
  // The devices the circuit's MOSFETs fold into once fingers are merged
  // (a MOSFET that joins no device counts as one).
  std::uint32_t folded_devices = 0;
  // MOSFETs that hold constants (see circuit/ties.h): they form no stage.
  std::vector<std::uint32_t> tie_mosfets;
  // Components with too many inputs to evaluate (their MOSFET indices):
  // they form no stage; the writer writes their MOSFETs as switches.
  std::vector<std::vector<std::uint32_t>> unevaluated;
};

const char* stage_kind_name(StageKind kind);

// Per output of `s`: whether a floating value is written as 1'bz. A loop
// holds all its nets.
std::vector<bool> floats_to_z(const GateNetwork& net, const Stage& s);

}  // namespace recognize
