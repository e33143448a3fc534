#pragma once
// The library cells found in the top circuit of a SPICE profile run: each
// cell recognised on its own, both networks turned into search graphs, every
// occurrence found, overlaps resolved, and each kept occurrence handed over
// as the writer takes it.
#include <vector>

#include "profile/emit/netlist_emitter.h"
#include "profile/recognize/gate_network.h"
#include "profile/circuit/circuit.h"

// `cells` holds the library's cells; those that can stand for part of the
// circuit get a network in `networks` (index-aligned, empty otherwise) and an
// entry in `library`, which the returned occurrences index.
struct CellSearchResult {
  std::vector<recognize::GateNetwork> networks;
  std::vector<emit::LibraryCell> library;
  std::vector<emit::CellOccurrence> occurrences;
};

CellSearchResult find_library_cells(const circuit::Circuit& top, const recognize::GateNetwork& network,
                                    const std::vector<circuit::Circuit>& cells);
