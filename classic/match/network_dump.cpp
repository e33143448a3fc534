#include "classic/match/network_dump.h"

#include "classic/algo/tables.h"
#include "classic/algo/text.h"
#include "classic/extract/cgate.h"
#include "classic/match/records.h"

namespace {

// A missing name shows as "-".
std::string shown(const char* s) { return text(s, "-"); }

void add_pins(std::string& out, const EQUALNAMELIST* list, bool& first) {
  for (; list; list = list->next) {
    out += first ? "" : ",";
    out += shown(list->macromodel_name) + "=" + shown(list->circuit_name);
    first = false;
  }
}

}  // namespace

std::string dump_gate_network() {
  std::string out;
  for (int k = 0; hash_gate_list && k < num_of_gates; ++k) {
    const CGate* g = hash_gate_list[k];
    if (!g) continue;
    out += "gate " + shown(g->gatename) + (g->cmos_gate ? " cmos " : " pseudo ");
    out += shown(g->n_branch ? g->n_branch->headername : nullptr) + " ";
    out += shown(g->p_branch ? g->p_branch->headername : nullptr);
    out += " out=" + shown(g->n_branch ? g->n_branch->pn_node : nullptr) + " in=";
    for (const PINLIST* p = g->inlist; p; p = p->next) out += shown(p->NodeName) + (p->next ? "," : "");
    out += "\n";
  }
  for (const TRANSLIST* t = TransHead; t; t = t->next) {
    if (hash_trans_list.get(return_number(t->transname)) != t) continue;
    out += "trans " + shown(t->transname) + " in=" + shown(t->input) + " out=" + shown(t->output) +
           " n=" + shown(t->n_g) + " p=" + shown(t->p_g) + "\n";
  }
  for (const RESULTLIST* r = ResultHead; r; r = r->next) {
    out += "instance " + shown(r->libname) + " ";
    bool first = true;
    add_pins(out, r->input_list, first);
    add_pins(out, r->output_list, first);
    out += "\n";
  }
  return out;
}
