#pragma once
// The stages of a run as one table: each row is a call, the progress message
// printed after it and the timing sample taken after that. The driver runs
// the whole table; the tests run slices of it. Another profile is another
// table over the same rows and calls.
#include <cstdio>
#include <span>

#include "classic/run/timing.h"

class Node;
class Group;

// What the stages hand each other beyond the netlist's lists and the
// analysis tables.
struct StageContext {
  FILE *fp_out = nullptr, *fp_header = nullptr;  // the netlist and the header
  Node* node = nullptr;
  Group* group = nullptr;
  char *pvdd = nullptr, *pgnd = nullptr;  // the rails, for the netlist's ports
  Timing t;
  // Progress messages (the rows' and the calls' own) are printed.
  bool progress = true;
};

struct Stage {
  const char* name;
  void (*call)(StageContext&);
  const char* message;  // printed after the call; null: none
  // Timing fields sampled after the message; null: no sample.
  double Timing::*user;
  double Timing::*sys;
};

// The four-argument form: read, flat extraction, matching, both files, report.
std::span<const Stage> classic_pipeline();

// The rows of `table` from the one named `first` through the one named
// `last` (both must be there; otherwise none).
std::span<const Stage> stages(std::span<const Stage> table, const char* first, const char* last);

// Runs the rows in order.
void run_stages(std::span<const Stage> rows, StageContext& c);
