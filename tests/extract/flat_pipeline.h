#pragma once
// Runs the flat gate extraction stages of the driver's table on a small
// netlist written as cards, and shows lists and nodes as text, for the flat
// and the subcircuit tests.
#include <string>

#include "classic/extract/group.h"

// Cards, one a line: "Mname d g s b model", ".model name nmos|pmos",
// ".subckt circuit port...", inserted as the reader inserts them
// (behind-head). Models nmos and pmos are added when none is given.
void load_cards(const std::string& text);

struct FlatRun {
  Group* group = nullptr;
  std::string out;  // everything the stages printed
  NODELIST* node(const char* name) const { return flat_get_node(name); }
};

// Resets the run, loads the cards and runs every flat stage, progress
// messages off.
FlatRun run_flat(const std::string& cards);

// The texts `text(record)` of a list's records, in list order.
template <class Rec, class Fn>
std::string join(const Rec* list, Fn text, const char* sep = " ") {
  std::string s;
  for (; list; list = list->next) s += (s.empty() ? "" : sep) + std::string(text(list));
  return s;
}
inline std::string names(const PINLIST* list) { return join(list, [](auto* p) { return p->NodeName; }); }
inline std::string names(const INOUTLIST* list) { return join(list, [](auto* p) { return p->pinname; }); }
inline std::string names(const MOSLIST* list) { return join(list, [](auto* m) { return m->mosname; }); }
inline std::string letters(const Branch* branch) {
  return join(branch->name_list, [](const NAMELIST* n) { return std::string(n->gatename) + "=" + n->virtual_name; });
}

// A node as the stages leave it: its device records ("M1:D M2:G"), then
// those of pn, out=GATE, in=GATE,GATE, inputs=N, tout=TRANS, tin=TRANS
// that are set.
std::string node_text(NODELIST* node);
