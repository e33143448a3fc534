#include "classic/verilog/wire.h"

#include "classic/algo/tables.h"
#include "classic/extract/cgate.h"
#include "classic/match/records.h"
#include "classic/netlist/arena.h"

int Wire::return_number(char* name) { return ::return_number(name); }

NODELIST* Wire::get_node(char* nodename) { return flat_get_node(nodename); }

WIRELIST* Wire::insert_wire(WIRELIST* head, char* name) {
  auto* rec = arena_new<WIRELIST>();
  rec->wirename = name;  // net names are never rewritten, so the text is shared
  return link_behind_head(head, rec);
}

void Wire::collect_terminals() {
  terminals_.clear();
  for (INOUTLIST* p = InputHead; p; p = p->next)
    if (p->pinname) terminals_.insert(p->pinname);
  for (INOUTLIST* p = OutputHead; p; p = p->next)
    if (p->pinname) terminals_.insert(p->pinname);
  terminals_ready_ = true;
}

bool Wire::query_is_terminal(char* name) {
  if (!name) return false;
  if (!terminals_ready_) collect_terminals();
  return terminals_.count(name) != 0;
}

void Wire::add_if_new(char* name) {
  if (!name || !*name || query_is_terminal(name)) return;
  NODELIST* node = get_node(name);
  if (node) {
    if (node->wire) return;
    node->wire = true;
  } else if (!unnoded_wires_.insert(name).second) {
    // A net without a node record is still declared, once per name.
    return;
  }
  WireHead = insert_wire(WireHead, name);
}

void Wire::generate_wirelist() {
  collect_terminals();
  if (hash_gate_list) {
    for (int i = 0; i < num_of_gates; ++i) {
      CGate* gate = hash_gate_list[i];
      if (!gate) continue;
      for (PINLIST* pin = gate->inlist; pin; pin = pin->next) add_if_new(pin->NodeName);
    }
  }
  for (RESULTLIST* r = ResultHead; r; r = r->next) {
    for (EQUALNAMELIST* e = r->input_list; e; e = e->next) add_if_new(e->circuit_name);
    for (EQUALNAMELIST* e = r->output_list; e; e = e->next) add_if_new(e->circuit_name);
  }
}
