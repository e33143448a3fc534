#pragma once
// The SPICE profile's run as one table of steps, as the classic form has
// its stage table: read, flatten, rails, recognise, search, build the
// design, write, report (the summary and the JSON report). `parser
// [OPTIONS] NETLIST... -o OUT.v` runs the whole table; the tests run slices
// of it by step name.
#include <span>
#include <string>
#include <vector>

#include "profile/cellmatch/cell_search.h"
#include "profile/circuit/circuit.h"
#include "profile/circuit/rails.h"
#include "profile/design/design.h"
#include "profile/design/hierarchy.h"
#include "profile/messages/warning_log.h"
#include "profile/recognize/gate_network.h"
#include "profile/report/progress.h"
#include "profile/report/step_usage.h"
#include "profile/run/options.h"
#include "profile/spice/deck.h"

// What one run holds between its steps. Its warnings refer to it: it stays
// where it was made.
struct Profile {
  Profile() : warnings([this](const std::string& line) { say(line); }) {}
  Profile(const Profile&) = delete;
  Profile& operator=(const Profile&) = delete;

  // A line on standard error, below the progress line if there is one.
  void say(const std::string& line);

  ProfileOptions options;
  spice::Deck deck;
  circuit::Circuit top;
  std::vector<circuit::Circuit> cells;
  std::string top_where;  // location of the top for messages
  bool top_is_deck = false;  // the top is the deck's own cards (no .subckt line)
  recognize::GateNetwork network;
  std::vector<circuit::RailFound> rails;  // of the top, with why each is one
  cellmatch::CellSearchResult found;  // library cells found in the top
  // The subcircuits kept as modules (none with --flatten), and the library
  // cells found in each, by module.
  design::Hierarchy hierarchy;
  std::vector<std::vector<cellmatch::CellOccurrence>> found_in;
  design::Design design;
  messages::WarningLog warnings;
  std::vector<report::StepUsage> usage;  // of each step run, in order
  core::WorkMeter meter;                 // how far the step under way has come
  report::Progress* progress = nullptr;  // on a terminal, while the steps run
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

// Runs the rows in order, each one's cost noted; false when one stops the
// run.
bool run_profile_steps(std::span<const ProfileStep> rows, Profile& run);

// One run of the SPICE profile, `parser [OPTIONS] NETLIST... -o OUT.v`.
// Returns the exit status: 0 done, 1 bad input, 2 bad command line.
int run_profile(int argc, char** argv);
