#pragma once
// The self-contained Verilog netlist of the SPICE profile: the top module,
// then one module per library cell found (written from that cell's own gate
// network), the header modules and generated modules any of them use, and
// an empty module per black-box cell, so the file loads with nothing else.
// Components too large to evaluate are written as MOSFET switch primitives.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "profile/emit/function_modules.h"
#include "profile/recognize/gate_network.h"
#include "profile/circuit/circuit.h"

namespace emit {

// A library cell: its circuit (name, ports) and its own gate network.
struct LibraryCell {
  const circuit::Circuit* circuit = nullptr;
  const recognize::GateNetwork* network = nullptr;
};

// Cell `cell` found in a network: the stages it replaces, and for each port
// of the cell (in the cell's port order) the net it connects to.
struct CellOccurrence {
  std::uint32_t cell = 0;
  std::vector<std::uint32_t> stages;
  std::vector<circuit::NetId> pins;
};

class NetlistEmitter {
 public:
  NetlistEmitter(FILE* out, const std::vector<LibraryCell>& cells);

  // Writes the whole file for `top`, whose network is `network`.
  void write(const circuit::Circuit& top, const recognize::GateNetwork& network,
             const std::vector<CellOccurrence>& occurrences);

 private:
  void write_module(const circuit::Circuit& c, const recognize::GateNetwork& network,
                    const std::vector<CellOccurrence>& occurrences);
  void write_black_boxes();

  FILE* out_;
  const std::vector<LibraryCell>& cells_;
  FunctionModules modules_;
  // Black-box cells in order of first call, with their pin count.
  std::vector<std::pair<std::string, std::size_t>> black_boxes_;
  std::unordered_map<std::string, std::size_t> black_box_index_;
};

}  // namespace emit
