#include "match/network_dump.h"

#include "algo/tables.h"
#include "extract/cgate.h"
#include "match/records.h"

namespace {

std::string text(const char* s) { return s ? s : "-"; }

void add_pins(std::string& out, const EQUALNAMELIST* list, bool& first) {
  for (; list; list = list->next) {
    out += first ? "" : ",";
    out += text(list->macromodel_name) + "=" + text(list->circuit_name);
    first = false;
  }
}

}  // namespace

std::string dump_gate_network() {
  std::string out;
  for (int k = 0; hash_gate_list && k < num_of_gates; ++k) {
    const CGate* g = hash_gate_list[k];
    if (!g) continue;
    out += "gate " + text(g->gatename) + (g->cmos_gate ? " cmos " : " pseudo ");
    out += text(g->n_branch ? g->n_branch->headername : nullptr) + " ";
    out += text(g->p_branch ? g->p_branch->headername : nullptr);
    out += " out=" + text(g->n_branch ? g->n_branch->pn_node : nullptr) + " in=";
    for (const PINLIST* p = g->inlist; p; p = p->next) out += text(p->NodeName) + (p->next ? "," : "");
    out += "\n";
  }
  for (const TRANSLIST* t = TransHead; t; t = t->next) {
    if (hash_trans_list.get(return_number(t->transname)) != t) continue;
    out += "trans " + text(t->transname) + " in=" + text(t->input) + " out=" + text(t->output) +
           " n=" + text(t->n_g) + " p=" + text(t->p_g) + "\n";
  }
  for (const RESULTLIST* r = ResultHead; r; r = r->next) {
    out += "instance " + text(r->libname) + " ";
    bool first = true;
    add_pins(out, r->input_list, first);
    add_pins(out, r->output_list, first);
    out += "\n";
  }
  return out;
}
