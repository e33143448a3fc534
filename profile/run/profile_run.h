#pragma once
// The SPICE profile's run as one table of steps, as the classic form has
// its stage table: read, flatten, rails, recognise, search, build the
// design, write. `parser [OPTIONS] NETLIST... -o OUT.v` runs the whole
// table; the tests run slices of it by step name.
#include <span>
#include <string>
#include <vector>

#include "profile/cellmatch/cell_search.h"
#include "profile/circuit/circuit.h"
#include "profile/design/design.h"
#include "profile/recognize/gate_network.h"
#include "profile/run/options.h"
#include "profile/spice/deck.h"

// What one run holds between its steps.
struct Profile {
  ProfileOptions options;
  spice::Deck deck;
  circuit::Circuit top;
  std::vector<circuit::Circuit> cells;
  std::string top_where;  // location of the top for messages
  bool top_is_deck = false;  // the top is the deck's own cards (no .subckt line)
  recognize::GateNetwork network;
  cellmatch::CellSearchResult found;  // library cells found in the top
  design::Design design;
};

struct ProfileStep {
  const char* name;
  // False when the run must stop (the message is printed).
  bool (*call)(Profile&);
};

std::span<const ProfileStep> profile_steps();

// The rows of `table` from the one named `first` through the one named
// `last` (both must be there; otherwise none).
std::span<const ProfileStep> profile_steps(const char* first, const char* last);

// Runs the rows in order; false when one stops the run.
bool run_profile_steps(std::span<const ProfileStep> rows, Profile& run);

// One run of the SPICE profile, `parser [OPTIONS] NETLIST... -o OUT.v`.
// Returns the exit status: 0 done, 1 bad input, 2 bad command line.
int run_profile(int argc, char** argv);
