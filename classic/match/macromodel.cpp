#include "classic/match/macromodel.h"

#include <cstdio>
#include <unordered_set>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/match/logic_type.h"
#include "classic/match/neighbour_list.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"

namespace {

bool in_inout_list(const char* name, INOUTLIST* list) {
  if (!name) return false;
  for (INOUTLIST* p = list; p; p = p->next) {
    if (same_text(p->pinname, name)) return true;
  }
  return false;
}

template <class Map>
auto* records_named(Map& map, const char* name) {
  using Vec = typename Map::mapped_type;
  if (!name) return static_cast<Vec*>(nullptr);
  auto it = map.find(name);
  return it == map.end() ? static_cast<Vec*>(nullptr) : &it->second;
}

PINLIST* push_pin(PINLIST* head, const char* name) {
  PINLIST* p = run_state().pinlist_pool.get();
  p->NodeName = const_cast<char*>(name);
  return link_behind_head(head, p);
}

}  // namespace

Macromodel::Macromodel(MACROMODELLIST* amacromodel) : macromodel(amacromodel) {
  if (!amacromodel) return;
  name = amacromodel->macromodel_name;
  modelhead = amacromodel->model_list;
  for (TERMINALLIST* t = amacromodel->terminal_list; t; t = t->next) {
    auto* rec = arena_new<InoutList>();
    rec->pinname = t->name;
    inputhead = link_behind_head(inputhead, rec);
  }
  mos_list = amacromodel->mos_list;
}

// Everything the object holds lives in the record arena until the run ends.
Macromodel::~Macromodel() = default;

int Macromodel::return_number(const char* n) { return ::return_number(n); }

// ---- Lookups ---------------------------------------------------------------

MCGate* Macromodel::gate_named(const char* n) {
  if (!is_gate_name(n) || !hash_gate_list) return nullptr;
  int i = ::return_number(n);
  return i >= 0 && i < num_of_gates ? hash_gate_list[i] : nullptr;
}

TRANSLIST* Macromodel::trans_named(const char* n) {
  if (!n || is_gate_name(n) || !hash_trans_list) return nullptr;
  int i = ::return_number(n);
  return i >= 0 && i < num_of_trans ? hash_trans_list->get(i) : nullptr;
}

const std::vector<NODELIST*>* Macromodel::nodes_named(const char* n) {
  if (node_index_head_ != node_list) {
    node_index_.clear();
    for (NODELIST* p = node_list; p; p = p->next) {
      if (p->nodename) node_index_[p->nodename].push_back(p);
    }
    node_index_head_ = node_list;
  }
  return records_named(node_index_, n);
}

NODELIST* Macromodel::first_node_named(const char* n) {
  const auto* v = nodes_named(n);
  return v ? v->front() : nullptr;
}

bool Macromodel::query_in_inputlist(const char* n) { return in_inout_list(n, inputhead); }
bool Macromodel::query_in_outputlist(const char* n) { return in_inout_list(n, outputhead); }
bool Macromodel::query_terminal(const char* n) { return query_in_inputlist(n) || query_in_outputlist(n); }
bool Macromodel::query_is_terminal(const char* n) { return query_terminal(n); }

// ---- Stacks ----------------------------------------------------------------

void Macromodel::count_name(Names& names, const char* n, int delta) {
  if (!n) return;
  auto it = names.try_emplace(n, 0).first;
  it->second += delta;
  if (it->second == 0) names.erase(it);
}

void Macromodel::account_gate(const GATESTACK* r, int sign) {
  if (!r->recognized_flag) return;
  gates_recognized_ += sign;
  if (!r->search_flag) gates_unsearched_ += sign;
  count_name(gate_circuit_names_, r->circuit_name, sign);
}

void Macromodel::account_node(const NODESTACK* r, int sign) {
  if (r->terminal_flag && !r->recognized_flag) pins_open_ += sign;
  if (r->recognized_flag) node_names_stale_ = true;
}

void Macromodel::initialize_gate_stack() {
  gate_stack = nullptr;
  auto add = [&](int type, char* n) {
    auto* r = arena_new<GateStack>();
    r->type = type;
    r->macromodel_name = n;
    gate_stack = link_behind_head(gate_stack, r);
  };
  for (int i = 0; hash_gate_list && i < num_of_gates; ++i) {
    if (hash_gate_list[i]) add(0, hash_gate_list[i]->gatename);
  }
  if (hash_trans_list) {
    hash_trans_list->for_each([&](long long j, TRANSLIST* t) {
      if (j < num_of_trans) add(1, t->transname);
    });
  }

  gate_records_.clear();
  gate_order_.clear();
  for (GATESTACK* r = gate_stack; r; r = r->next) {
    gate_order_.push_back(r);
    if (r->macromodel_name) gate_records_[r->macromodel_name].push_back(r);
  }
  // A copy of the stack walks first, last, ..., second; the partner of a
  // record in another copy is the first record of its name in that order.
  std::unordered_map<std::string_view, std::size_t> last_at;
  for (std::size_t i = 1; i < gate_order_.size(); ++i) {
    if (gate_order_[i]->macromodel_name) last_at[gate_order_[i]->macromodel_name] = i;
  }
  gate_partner_.assign(gate_order_.size(), 0);
  for (std::size_t i = 1; i < gate_order_.size(); ++i) {
    const char* n = gate_order_[i]->macromodel_name;
    if (!same_text(n, gate_order_[0]->macromodel_name)) gate_partner_[i] = n ? last_at[n] : i;
  }
  gates_total_ = static_cast<int>(gate_order_.size());
  gates_recognized_ = gates_unsearched_ = 0;
  gate_circuit_names_.clear();
}

void Macromodel::initialize_node_stack() {
  node_stack = nullptr;
  for (NODELIST* p = node_list; p; p = p->next) {
    auto* r = arena_new<NodeStack>();
    r->macromodel_name = p->nodename;
    r->terminal_flag = query_terminal(p->nodename);
    node_stack = link_behind_head(node_stack, r);
  }
  node_records_.clear();
  node_circuit_names_.clear();
  node_names_stale_ = false;
  pins_open_ = 0;
  for (NODESTACK* r = node_stack; r; r = r->next) {
    if (r->macromodel_name) node_records_[r->macromodel_name].push_back(r);
    account_node(r, +1);
  }
  nodes_named(nullptr);  // index the node list once, before the search
}

void Macromodel::reinitialize_macromodel() {
  for (GATESTACK* r = gate_stack; r; r = r->next) {
    r->circuit_name = nullptr;
    r->recognized_flag = r->search_flag = false;
  }
  pins_open_ = 0;
  for (NODESTACK* r = node_stack; r; r = r->next) {
    r->recognized_flag = r->search_flag = false;
    r->circuit_name = nullptr;
    account_node(r, +1);
  }
  gates_recognized_ = gates_unsearched_ = 0;
  gate_circuit_names_.clear();
  node_circuit_names_.clear();
  node_names_stale_ = false;
}

void Macromodel::insert_gates_in_gatestack(const char* mname, const char* cname) {
  auto* v = records_named(gate_records_, mname);
  if (!v) return;
  for (GATESTACK* r : *v) {
    if (r->recognized_flag && r->circuit_name == cname) continue;
    account_gate(r, -1);
    r->circuit_name = const_cast<char*>(cname);
    r->recognized_flag = true;
    account_gate(r, +1);
  }
}

void Macromodel::insert_node_in_nodestack(const char* mname, const char* cname) {
  auto* v = records_named(node_records_, mname);
  if (!v) return;
  for (NODESTACK* r : *v) {
    // The same pair again (pins are settled from every matched gate) leaves
    // every count as it is.
    if (r->recognized_flag && r->circuit_name == cname) continue;
    account_node(r, -1);
    r->circuit_name = const_cast<char*>(cname);
    r->recognized_flag = true;
    account_node(r, +1);
  }
}

void Macromodel::insert_two_gatename_list(GATENAMELIST* mlist, GATENAMELIST* clist) {
  for (; mlist && clist; mlist = mlist->next, clist = clist->next) insert_node_in_nodestack(mlist->name, clist->name);
}

void Macromodel::set_search_flag(GATESTACK* rec, bool value) {
  account_gate(rec, -1);
  rec->search_flag = value;
  account_gate(rec, +1);
}

void Macromodel::reset_search_flag(const char* n) {
  auto* v = records_named(gate_records_, n);
  if (!v) return;
  for (GATESTACK* r : *v) {
    if (r->search_flag) set_search_flag(r, false);
  }
}

void Macromodel::set_trans_search_flag_one() {
  for (GATESTACK* r : gate_order_) {
    if (r->recognized_flag && !is_gate_name(r->macromodel_name) && !r->search_flag) set_search_flag(r, true);
  }
}

void Macromodel::deal_with_dead_loop2() {
  for (GATESTACK* r : gate_order_) {
    if (r->recognized_flag || !is_gate_name(r->macromodel_name)) continue;
    MCGate* g = gate_named(r->macromodel_name);
    if (!g) continue;
    for (PINLIST* in = g->inlist; in; in = in->next) {
      const auto* nodes = nodes_named(in->NodeName);
      if (!nodes) continue;
      for (NODELIST* n : *nodes) {
        if (n->output_of_gate_name) reset_search_flag(n->output_of_gate_name);
      }
    }
  }
}

bool Macromodel::gatestack_search_to_end() { return gates_recognized_ < gates_total_; }
bool Macromodel::nodestack_search_to_end() { return pins_open_ > 0; }
bool Macromodel::check_dead_loop() { return gates_unsearched_ == 0; }

char* Macromodel::gate_has_been_found(const char* n) {
  auto* v = records_named(gate_records_, n);
  if (!v || !v->front()->recognized_flag) return nullptr;
  return v->front()->circuit_name;
}

char* Macromodel::find_circuit_gate_name(const char* n) {
  auto* v = records_named(gate_records_, n);
  if (!v) return nullptr;
  for (GATESTACK* r : *v) {
    if (r->recognized_flag) return r->circuit_name;
  }
  return nullptr;
}

bool Macromodel::query_gate_has_been_found(const char* cname) { return cname && gate_circuit_names_.count(cname) != 0; }

bool Macromodel::query_node_in_nodestack(const char* cname) {
  if (!cname) return false;
  // Few searches ask, and most nodes are paired many times between two
  // questions, so the names are gathered when asked for.
  if (node_names_stale_) {
    node_circuit_names_.clear();
    for (NODESTACK* r = node_stack; r; r = r->next) {
      if (r->recognized_flag && r->circuit_name) node_circuit_names_.insert(r->circuit_name);
    }
    node_names_stale_ = false;
  }
  return node_circuit_names_.count(cname) != 0;
}

char* Macromodel::return_node_from_nodestack(const char* mname) {
  auto* v = records_named(node_records_, mname);
  if (!v) return nullptr;
  for (NODESTACK* r : *v) {
    if (r->recognized_flag) return r->circuit_name;
  }
  return nullptr;
}

bool Macromodel::node_not_found_yet(const char* mname) {
  auto* v = records_named(node_records_, mname);
  return v && !v->front()->recognized_flag;
}

bool Macromodel::gatename_list_not_found_yet(GATENAMELIST* gnlist) {
  for (; gnlist; gnlist = gnlist->next) {
    if (!node_not_found_yet(gnlist->name)) return false;
  }
  return true;
}

GATESTACK* Macromodel::copy_gate_stack() {
  GATESTACK* head = nullptr;
  for (GATESTACK* r = gate_stack; r; r = r->next) {
    auto* c = arena_new<GateStack>();
    c->type = r->type;
    c->macromodel_name = r->macromodel_name;
    c->circuit_name = r->circuit_name;
    c->recognized_flag = r->recognized_flag;
    c->search_flag = r->search_flag;
    head = link_behind_head(head, c);
  }
  return head;
}

bool Macromodel::compare_two_gatestack(GATESTACK* old_gs, GATESTACK* new_gs) {
  std::unordered_map<std::string_view, GATESTACK*> first;
  for (GATESTACK* r = new_gs; r; r = r->next) {
    if (r->macromodel_name) first.try_emplace(r->macromodel_name, r);
  }
  for (GATESTACK* r = old_gs; r; r = r->next) {
    auto it = r->macromodel_name ? first.find(r->macromodel_name) : first.end();
    GATESTACK* n = it == first.end() ? nullptr : it->second;
    if (!n || !same_text(r->circuit_name, n->circuit_name) || r->recognized_flag != n->recognized_flag ||
        r->search_flag != n->search_flag) {
      return false;
    }
  }
  return true;
}

void Macromodel::snapshot_gate_stack(std::vector<GateState>& out) const {
  out.clear();
  for (const GATESTACK* r : gate_order_) out.push_back({r->circuit_name, r->recognized_flag, r->search_flag});
}

bool Macromodel::same_gate_stack(const std::vector<GateState>& old_state,
                                 const std::vector<GateState>& new_state) const {
  if (old_state.size() != gate_partner_.size() || new_state.size() != gate_partner_.size()) return false;
  for (std::size_t i = 0; i < old_state.size(); ++i) {
    const GateState& a = old_state[i];
    const GateState& b = new_state[gate_partner_[i]];
    if (!same_text(a.circuit_name, b.circuit_name) || a.recognized_flag != b.recognized_flag ||
        a.search_flag != b.search_flag) {
      return false;
    }
  }
  return true;
}

// ---- The first gate --------------------------------------------------------

char* Macromodel::return_gate(const char* n) {
  char* remembered = nullptr;
  // The driver of one input node: a gate ends the search at once.
  auto look = [&](const char* nodename) -> char* {
    NODELIST* node = first_node_named(nodename);
    if (!node) return nullptr;
    if (node->output_of_gate_name) return node->output_of_gate_name;
    if (node->output_of_trans_name) remembered = node->output_of_trans_name;
    if (node->input_of_trans_name) remembered = node->input_of_trans_name;
    return nullptr;
  };
  if (is_gate_name(n)) {
    MCGate* g = gate_named(n);
    if (!g) return nullptr;
    for (PINLIST* in = g->inlist; in; in = in->next) {
      if (char* d = look(in->NodeName)) return d;
    }
  } else if (TRANSLIST* t = trans_named(n)) {
    if (char* d = look(t->input)) return d;
  }
  return remembered;
}

MCGate* Macromodel::locate_first_gate() {
  MCGate* chosen = nullptr;
  if (num_of_gates == 1 && hash_gate_list) {
    chosen = hash_gate_list[0];
  } else {
    NODELIST* start = nullptr;
    int best = 0;
    for (NODELIST* p = node_list; p; p = p->next) {
      if (p->pn_node && p->num_of_inputs > best) {
        start = p;
        best = p->num_of_inputs;
      }
    }
    // Walk back from driven gate to driving gate. A feedback loop (a latch)
    // would bring the walk back to a name it has met: the walk ends there.
    // A walk through transmission gates answers the last gate it met.
    const char* last_gate = nullptr;
    std::unordered_set<std::string_view> met;
    for (const char* rname = start ? start->output_of_gate_name : nullptr; rname && met.insert(rname).second;
         rname = return_gate(rname)) {
      if (is_gate_name(rname)) last_gate = rname;
    }
    chosen = gate_named(last_gate);
  }
  // No start node, or one that no gate drives: the lowest-numbered gate.
  for (int i = 0; !chosen && hash_gate_list && i < num_of_gates; ++i) chosen = hash_gate_list[i];
  return chosen;
}

// ---- Neighbour lists -------------------------------------------------------

RGLIST* Macromodel::neighbour_list_of(NODELIST* node) {
  if (!node) return nullptr;
  return build_neighbour_list(node->input_of_gate_list.list(), node->input_of_trans_name, node->output_of_trans_name);
}

RGLIST* Macromodel::return_a_gate_list(const char* gatename) {
  return neighbour_list_of(first_node_named(output_node_of(gate_named(gatename))));
}

RGLIST* Macromodel::return_a_trans_input_list(const char* transname) {
  TRANSLIST* t = trans_named(transname);
  return t ? neighbour_list_of(first_node_named(t->input)) : nullptr;
}

RGLIST* Macromodel::return_a_trans_output_list(const char* transname) {
  TRANSLIST* t = trans_named(transname);
  return t ? neighbour_list_of(first_node_named(t->output)) : nullptr;
}

void Macromodel::unique_rglist(RGLIST* glist) {
  // The subcircuit's own lists name only its existing gates; a missing one
  // would simply have no logic type.
  classify_neighbours(
      glist,
      [&](const char* n) {
        auto* v = records_named(gate_records_, n);
        return v && v->front()->recognized_flag;
      },
      [&](const char* n) {
        return NeighbourGate{false, logic_type_of(gate_named(n))};
      });
}

// ---- Found-gate lists and relation groups ----------------------------------

PINLIST* Macromodel::found_gates_around(const char* nodename, bool report_unfound) {
  PINLIST* head = nullptr;
  const auto* nodes = nodes_named(nodename);
  if (!nodes) return nullptr;
  for (NODELIST* node : *nodes) {
    for (PINLIST* in = node->input_of_gate_list.list(); in; in = in->next) {
      if (char* c = gate_has_been_found(in->NodeName)) {
        head = push_pin(head, c);
      } else if (report_unfound) {
        fputs(msg::kGatesNotFound, stdout);
      }
    }
    char* ci = node->input_of_trans_name ? gate_has_been_found(node->input_of_trans_name) : nullptr;
    char* co = node->output_of_trans_name ? gate_has_been_found(node->output_of_trans_name) : nullptr;
    if (ci) head = push_pin(head, ci);
    if (co) head = push_pin(head, co);
  }
  return head;
}

PINLIST* Macromodel::return_found_gate_list(const char* gatename) {
  MCGate* g = gate_named(gatename);
  return g ? found_gates_around(output_node_of(g), false) : nullptr;
}

PINLIST* Macromodel::return_found_gate_list_for_a_pin(const char* pinname) { return found_gates_around(pinname, true); }

RELATIONLIST* Macromodel::locate_relation_list(const char* n, RELATIONLIST* rlist) {
  if (!n) return nullptr;
  for (; rlist; rlist = rlist->next) {
    for (GATENAMELIST* g = rlist->gatename_list; g; g = g->next) {
      if (same_text(g->name, n)) return rlist;
    }
  }
  return nullptr;
}

RELATIONLIST* Macromodel::return_n_relation_list(const char* n) {
  NODELIST* node = first_node_named(n);
  if (!node || !node->input_of_gate_list.list()) return nullptr;
  MCGate* g = gate_named(node->input_of_gate_list.list()->NodeName);
  return g && g->n_branch ? locate_relation_list(n, g->n_branch->relation_list) : nullptr;
}

RELATIONLIST* Macromodel::return_p_relation_list(const char* n) {
  NODELIST* node = first_node_named(n);
  if (!node || !node->input_of_gate_list.list()) return nullptr;
  MCGate* g = gate_named(node->input_of_gate_list.list()->NodeName);
  return g && g->p_branch ? locate_relation_list(n, g->p_branch->relation_list) : nullptr;
}

GATENAMELIST* Macromodel::relation_list_is_valid(const char* n, RELATIONLIST* rlist) {
  if (!rlist) return nullptr;
  GATENAMELIST* head = nullptr;
  for (GATENAMELIST* g = rlist->gatename_list; g; g = g->next) {
    if (same_text(g->name, n)) continue;
    char* c = return_node_from_nodestack(g->name);
    if (!c) {
      run_state().gatenamelist_pool.put_list(head);
      return nullptr;
    }
    GATENAMELIST* rec = run_state().gatenamelist_pool.get();
    rec->name = c;
    head = link_behind_head(head, rec);
  }
  return head;
}

PINLIST* Macromodel::return_the_input_gate_list(const char* n) {
  NODELIST* node = first_node_named(n);
  return node ? node->input_of_gate_list.list() : nullptr;
}
