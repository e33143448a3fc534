#pragma once
// Runs the flat gate extraction in the driver's order on a small netlist
// written as cards, for the scenario tests.
#include <string>
#include <vector>

#include "extract/group.h"

struct FlatRun {
  Group* group = nullptr;
  std::string out;  // everything the stages printed

  NODELIST* node(const char* name) const { return flat_get_node(name); }
  // The gate driving a node, or null.
  CGate* gate_on(const char* node_name) const;
  // A node's input gate list or a gate's inlist, as "x y z".
  static std::string names(const PINLIST* list);
  // Letters of a branch, as "A=a B=b".
  static std::string letters(const Branch* branch);
  std::vector<Branch*> n_branches() const;
  std::vector<Branch*> p_branches() const;
};

// Cards, one a line: "Mname d g s b model", ".model name nmos|pmos",
// ".subckt circuit port...". MOSFETs and models are inserted as the reader
// inserts them (behind-head); models nmos and pmos are added when none is given.
void load_cards(const std::string& text);

// Resets every global, loads the cards and runs every flat stage.
FlatRun run_flat(const std::string& cards);
