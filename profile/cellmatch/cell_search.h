#pragma once
// The library cells found in the top circuit of a SPICE profile run: each
// cell recognised on its own, both networks turned into search graphs, every
// occurrence found, overlaps resolved, and each kept occurrence handed over
// as the design takes it.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/diag/work_meter.h"
#include "profile/circuit/circuit.h"
#include "profile/recognize/gate_network.h"

namespace cellmatch {

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
  // A tie cell's: the circuit's short devices (black boxes) and the MOSFETs
  // holding constants that it stands for.
  std::vector<std::uint32_t> shorts;
  std::vector<std::uint32_t> ties;
};

// Whether a library cell was searched for, and why not when it was not: a
// cell stands for part of a circuit only when its stages are all it holds
// (a tie cell is found by its calls instead).
enum class CellStatus : std::uint8_t {
  Searched,
  TieCell,       // holds constants only: found where the input calls it
  NoStages,      // no logic stage
  BlackBoxCall,  // calls a subcircuit defined nowhere
  Element,       // holds an element other than a MOSFET
  TooWide,       // a stage too wide to evaluate
  OutsideStage,  // a MOSFET outside every stage
  Disconnected,  // its stages do not all meet through non-rail nets
};

struct CellSearch {
  CellStatus status = CellStatus::Searched;
  std::uint64_t given_up = 0;  // candidates the search gave up on (see OccurrenceSearch)
};

// `cells` holds the library's cells; those that can stand for part of the
// circuit get a network in `networks` (index-aligned, empty otherwise) and an
// entry in `library`, which the returned occurrences index.
struct CellSearchResult {
  std::vector<recognize::GateNetwork> networks;
  std::vector<LibraryCell> library;
  std::vector<CellOccurrence> occurrences;
  // Pairs of cells (names in order) equal in network and sizes on some
  // stages that no call of the input told apart; the first by rank won.
  std::vector<std::pair<std::string, std::string>> indistinct;
  // Per cell of `cells`, in order.
  std::vector<CellSearch> cells;
};

// `meter`, when given, counts the cells searched.
CellSearchResult find_library_cells(const circuit::Circuit& top, const recognize::GateNetwork& network,
                                    const std::vector<circuit::Circuit>& cells, core::WorkMeter* meter = nullptr);

}  // namespace cellmatch
