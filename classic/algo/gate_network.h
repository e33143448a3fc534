#pragma once
// Transmission gates, gate formation and gate connectivity, written once for
// the flat circuit and the subcircuits. Gate is CGate or MCGate, B the branch
// type it pairs, Nets the node graph (see node_graph.h).
#include <vector>

#include "classic/algo/gate_types.h"
#include "classic/algo/list_ops.h"
#include "classic/algo/node_graph.h"
#include "classic/algo/records.h"
#include "classic/netlist/arena.h"
#include "core/diag/assert.h"

namespace network {

// Swaps drain and source in the MOSFET's own record.
void exchange_d_s(MOSLIST* mos);
void undelete_mos_in_pass(MOSLIST* pass_transistor_list);

// Pairs pass transistors of opposite types that join the same two nets
// (either way round) into transmission gates trans0, trans1, ... behind
// `transhead`; every match of two records uses up a number, also one of two
// of one type. The unpaired ones are added to `left`. Returns the number of
// names used, at most INT_MAX.
int pair_transmission_gates(MOSLIST* pass_transistor_list, TRANSLIST*& transhead, MOSLIST*& left);

// A gate record as insert_cgate files it: the name copied, no inputs yet.
// Its inputs match until gen_inlist_for_gate finds otherwise.
template <class Gate, class B>
Gate* gate_record(const char* name, B* nbranch, B* pbranch, bool cmos) {
  auto* rec = arena_new<Gate>(const_cast<char*>(name), nbranch, pbranch, cmos);
  rec->unique = false;
  return rec;
}

template <class Gate>
Gate* insert_cgate(Gate* head, const Gate* newgate) {
  return link_behind_head(
      head, gate_record<Gate>(newgate->gatename, newgate->n_branch, newgate->p_branch, newgate->cmos_gate));
}

// Files the gate of an n-branch and a p-branch on one output in `list` and
// returns it. It is a static CMOS gate when both branches have as many
// MOSFETs and their types are a dual pair.
template <class Gate, class B>
Gate* form_gate(Gate*& list, const char* name, B* n, B* p) {
  bool cmos = n->num_of_mos == p->num_of_mos && is_dual_pair(n->headername, p->headername);
  Gate* rec = gate_record<Gate>(name, n, p, cmos);
  list = link_behind_head(list, rec);
  return rec;
}

// put(k, rec) for every record of the list whose name carries a number k
// below `count`.
template <class Rec, class Put>
void for_each_numbered(Rec* list, char* Rec::*name, int count, Put put) {
  for (; list; list = list->next) {
    int k = return_number(list->*name);
    if (k >= 0 && k < count) put(k, list);
  }
}

// The records of the list by the number in their names, in a table of
// `count` slots (at least one).
template <class Rec>
Rec** number_table(Rec* list, char* Rec::*name, int count) {
  auto** table = static_cast<Rec**>(arena::alloc(sizeof(Rec*) * (count > 0 ? count : 1)));
  for_each_numbered(list, name, count, [table](int k, Rec* rec) { table[k] = rec; });
  return table;
}

// The inputs of every gate of the table: the n-branch's nets, then those of
// the p-branch that the n-branch lacks. A p-branch reading a net its
// n-branch does not is no complement of it, whatever the types say, so such
// a gate is a pseudo gate.
template <class Gate>
void gen_inlist_for_gate(Gate** table, int count) {
  // The table is built (number_table) before any stage reads it.
  EXTRACTOR_ASSERT(table || count <= 0);
  for (int k = 0; k < count; ++k) {
    Gate* g = table[k];
    if (!g) continue;
    for (NAMELIST* n = g->n_branch ? g->n_branch->name_list : nullptr; n; n = n->next)
      g->inlist = lists::insert_pin(g->inlist, n->gatename);
    for (NAMELIST* n = g->p_branch ? g->p_branch->name_list : nullptr; n; n = n->next) {
      if (lists::query_in_pinlist(n->gatename, g->inlist)) continue;
      g->inlist = lists::insert_pin(g->inlist, n->gatename);
      g->pn_input_match = false;
      g->cmos_gate = false;
    }
  }
}

// Lists every gate of the table, in table order, on the first node of each
// of its input nets, once per node. With `name_outputs` the first node of
// the gate's output is given the gate's name first.
template <class Gate, NodeGraph Nets>
void gen_connection_of_gates(Gate** table, int count, const Nets& nets, bool name_outputs) {
  // Only the gate at hand can already stand in a node's list, so the nodes it
  // was added to are all there is to check (a clock net feeds thousands).
  std::vector<NODELIST*> fed;
  // The table is built (number_table) before any stage reads it.
  EXTRACTOR_ASSERT(table || count <= 0);
  for (int k = 0; k < count; ++k) {
    Gate* g = table[k];
    if (!g) continue;
    if (name_outputs && g->n_branch)
      if (NODELIST* out = nets.first_node(g->n_branch->pn_node)) out->output_of_gate_name = g->gatename;
    fed.clear();
    for (auto* b : {g->n_branch, g->p_branch}) {
      for (NAMELIST* n = b ? b->name_list : nullptr; n; n = n->next) {
        NODELIST* node = nets.first_node(n->gatename);
        if (!node) continue;
        bool already = false;
        for (NODELIST* f : fed) already = already || f == node;
        if (already) continue;
        node->input_of_gate_list.set(lists::insert_pin(node->input_of_gate_list.list(), g->gatename));
        fed.push_back(node);
      }
    }
  }
}

// Marks the nodes of a transmission gate's two ends with its name.
template <NodeGraph Nets>
void connect_trans(const TRANSLIST* t, const Nets& nets) {
  nets.for_each_node(t->output, [t](NODELIST* n) { n->output_of_trans_name = t->transname; });
  nets.for_each_node(t->input, [t](NODELIST* n) { n->input_of_trans_name = t->transname; });
}

// The load of a gate output: the gates it feeds plus the transmission gates
// at its ends; 0 on any other node.
void count_input_num_of_node(NODELIST* node);

}  // namespace network
