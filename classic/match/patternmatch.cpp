#include "classic/match/patternmatch.h"

#include <cstdio>

#include "classic/algo/gate_input_trim.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/match/gate_type_index.h"
#include "classic/match/logic_type.h"
#include "classic/match/neighbour_list.h"
#include "classic/messages/messages.h"

Patternmatch::Patternmatch(Macromodel* a_macromodel) : macromodel(a_macromodel), check_(a_macromodel, this) {}

Patternmatch::~Patternmatch() { delete macromodel; }

// ---- Flat-circuit side -------------------------------------------------------

int Patternmatch::return_number(const char* name) { return ::return_number(name); }
bool Patternmatch::decide_a_gate(const char* name) { return is_gate_name(name); }
NODELIST* Patternmatch::get_node(const char* nodename) { return flat_get_node(nodename); }

CGate* Patternmatch::circuit_gate(const char* name) {
  if (!is_gate_name(name) || !hash_gate_list) return nullptr;
  int i = ::return_number(name);
  return i >= 0 && i < num_of_gates ? hash_gate_list[i] : nullptr;
}

LogicType Patternmatch::circuit_type(const char* name) {
  if (!is_gate_name(name) || !hash_gate_list) return {};
  int i = ::return_number(name);
  if (i < 0 || i >= num_of_gates || !hash_gate_list[i]) return {};
  return flat_gate_type_index().type_of(i);
}

TRANSLIST* Patternmatch::circuit_trans(const char* name) {
  if (!name || is_gate_name(name)) return nullptr;
  return hash_trans_list.get(::return_number(name));
}

namespace {
RGLIST* flat_neighbour_list(NODELIST* node) {
  if (!node) return nullptr;
  return build_neighbour_list(node->input_of_gate_list.list(), node->input_of_trans_name, node->output_of_trans_name);
}
}  // namespace

RGLIST* Patternmatch::return_a_gate_list(const char* gatename) {
  return flat_neighbour_list(get_node(output_node_of(circuit_gate(gatename))));
}

RGLIST* Patternmatch::return_a_trans_input_list(const char* transname) {
  TRANSLIST* t = circuit_trans(transname);
  return t ? flat_neighbour_list(get_node(t->input)) : nullptr;
}

RGLIST* Patternmatch::return_a_trans_output_list(const char* transname) {
  TRANSLIST* t = circuit_trans(transname);
  return t ? flat_neighbour_list(get_node(t->output)) : nullptr;
}

void Patternmatch::unique_rglist(RGLIST* glist) {
  long long empty_pairs = classify_neighbours(
      glist, [&](const char* n) { return macromodel->query_gate_has_been_found(n); },
      [&](const char* n) { return NeighbourGate{circuit_gate(n) == nullptr, circuit_type(n)}; });
  for (long long i = 0; i < empty_pairs; ++i) fputs(msg::kNullGateInTable, stdout);
}

int Patternmatch::count_num_of_rglist(RGLIST* glist) {
  int n = 0;
  for (; glist; glist = glist->next) ++n;
  return n;
}

int Patternmatch::count_num_of_a_list(PINLIST* plist) {
  int n = 0;
  for (; plist; plist = plist->next) ++n;
  return n;
}

int Patternmatch::count_num_of_gatename_list(GATENAMELIST* gnlist) {
  int n = 0;
  for (; gnlist; gnlist = gnlist->next) ++n;
  return n;
}

bool Patternmatch::query_in_pinlist(const char* name, PINLIST* plist) {
  for (; plist; plist = plist->next) {
    if (same_text(plist->NodeName, name)) return true;
  }
  return false;
}

bool Patternmatch::query_in_gatename_list(const char* name, GATENAMELIST* gnlist) {
  for (; gnlist; gnlist = gnlist->next) {
    if (same_text(gnlist->name, name)) return true;
  }
  return false;
}

// ---- Comparing neighbour lists -----------------------------------------------

void Patternmatch::fill_gate_node_in_stack(const char* mname, const char* cname) {
  if (!is_gate_name(mname) || !is_gate_name(cname)) return;
  MCGate* m = macromodel->gate_named(mname);
  CGate* c = circuit_gate(cname);
  if (!m || !c || !m->n_branch || !c->n_branch) return;
  macromodel->insert_node_in_nodestack(m->n_branch->pn_node, c->n_branch->pn_node);
  if (!same_text(m->n_branch->headername, "INV")) return;
  // An inverter's one input is the first letter of both its branches.
  auto one_input = [](auto* g) {
    NAMELIST* n = g->n_branch->name_list;
    NAMELIST* p = g->p_branch ? g->p_branch->name_list : nullptr;
    return n && p && same_text(n->gatename, p->gatename) ? n->gatename : nullptr;
  };
  const char* m_in = one_input(m);
  const char* c_in = one_input(c);
  if (m_in && c_in) {
    macromodel->insert_node_in_nodestack(m_in, c_in);
  } else {
    fputs(msg::kInvInputsDiffer, stdout);
  }
}

bool Patternmatch::decide_failed(RGLIST* mglist, RGLIST* cglist, int m_num, int /*c_num*/, bool /*ter*/) {
  if (m_num == 1) return true;
  // The first subcircuit gate whose logic type repeats later in the list, and
  // how many gates of that type stand from it to the end.
  std::unordered_map<LogicType, int, LogicTypeHash> left;
  for (RGLIST* e = mglist; e; e = e->next) {
    LogicType t = is_gate_name(e->gatename) ? logic_type_of(macromodel->gate_named(e->gatename)) : LogicType{};
    if (t.valid()) left[t]++;
  }
  LogicType repeated;
  int record = 0;
  for (RGLIST* e = mglist; e; e = e->next) {
    if (!is_gate_name(e->gatename)) continue;
    LogicType t = logic_type_of(macromodel->gate_named(e->gatename));
    if (!t.valid()) continue;
    int& n = left[t];
    if (n >= 2) {
      repeated = t;
      record = n;
      break;
    }
    --n;
  }
  if (!repeated.valid()) return true;
  int count = 0;
  for (RGLIST* e = cglist; e; e = e->next) {
    if (is_gate_name(e->gatename) && circuit_type(e->gatename) == repeated) ++count;
  }
  return count == record;
}

bool Patternmatch::decide_two_pinlist_same(const char* mnode_name, const char* cnode_name) {
  NODELIST* cnode = get_node(cnode_name);
  NODELIST* mnode = macromodel->first_node_named(mnode_name);
  bool c_trans = cnode && (cnode->input_of_trans_name || cnode->output_of_trans_name);
  bool m_trans = mnode && (mnode->input_of_trans_name || mnode->output_of_trans_name);
  if (c_trans != m_trans) return false;
  PINLIST* mlist = macromodel->return_the_input_gate_list(mnode_name);
  PINLIST* clist = cnode->input_of_gate_list.list();
  if (count_num_of_a_list(mlist) != count_num_of_a_list(clist)) return false;
  if (!mlist) return true;
  // Every pair has one logic type exactly when all gates of both lists share
  // the type of the first subcircuit gate.
  LogicType t = logic_type_of(macromodel->gate_named(mlist->NodeName));
  if (!t.valid()) return false;
  for (PINLIST* p = mlist; p; p = p->next) {
    if (!(logic_type_of(macromodel->gate_named(p->NodeName)) == t)) return false;
  }
  for (PINLIST* p = clist; p; p = p->next) {
    if (!(circuit_type(p->NodeName) == t)) return false;
  }
  return true;
}

bool Patternmatch::fill_in_gate_stack(RGLIST* mglist, RGLIST* cglist, bool ter) {
  int m_num = count_num_of_rglist(mglist);
  int c_num = count_num_of_rglist(cglist);
  // A pin may feed more gates in the flat circuit than inside the subcircuit.
  if (!ter && m_num != c_num) return false;
  if (ter && c_num < m_num) return false;
  if (!decide_failed(mglist, cglist, m_num, c_num, ter)) {
    fputs(msg::kDecidedFail, stdout);
    return false;
  }
  Macromodel* mm = macromodel;
  for (RGLIST* currm = mglist; currm; currm = currm->next) {
    bool success = false;
    if (currm->type != 0) {
      for (RGLIST* currc = cglist; currc; currc = currc->next) {
        if (currc->type == 0) continue;
        success = true;
        if (currm->unique && currc->unique) mm->insert_gates_in_gatestack(currm->gatename, currc->gatename);
      }
    } else if (currm->unique && currm->unique2) {
      MCGate* mg = mm->gate_named(currm->gatename);
      LogicType mt = logic_type_of(mg);
      for (RGLIST* currc = cglist; currc; currc = currc->next) {
        if (currc->type != 0) continue;
        CGate* cg = circuit_gate(currc->gatename);
        if (mg && cg) {
          if (!(mt == circuit_type(currc->gatename))) continue;
          success = true;
          if (currc->unique) {
            mm->insert_gates_in_gatestack(currm->gatename, currc->gatename);
            fill_gate_node_in_stack(currm->gatename, currc->gatename);
          }
        } else if (!mg) {
          fputs(msg::kMacroGateNull, stdout);
        } else {
          fputs(msg::kCircuitGateNull, stdout);
        }
      }
    } else if (!currm->unique && currm->unique2) {
      // Ambiguous on the subcircuit side: only a circuit gate that is itself
      // ambiguous and whose output feeds gates of one and the same type is
      // taken; the last such one stands.
      MCGate* mg = mm->gate_named(currm->gatename);
      LogicType mt = logic_type_of(mg);
      const char* m_out = output_node_of(mg);
      bool m_out_is_pin = mm->query_is_terminal(m_out);
      for (RGLIST* currc = cglist; currc; currc = currc->next) {
        if (currc->type != 0) continue;
        if (!(mt == circuit_type(currc->gatename))) continue;
        CGate* cg = circuit_gate(currc->gatename);
        success = true;
        if (!currc->unique && currc->unique2 && !m_out_is_pin && decide_two_pinlist_same(m_out, output_node_of(cg))) {
          mm->insert_gates_in_gatestack(currm->gatename, currc->gatename);
          fill_gate_node_in_stack(currm->gatename, currc->gatename);
        }
      }
    } else if (!currm->unique && !currm->unique2) {
      LogicType mt = logic_type_of(mm->gate_named(currm->gatename));
      for (RGLIST* currc = cglist; currc && !success; currc = currc->next) {
        if (currc->type == 0 && mt == circuit_type(currc->gatename)) success = true;
      }
    }
    if (!success) return false;
  }
  return true;
}

// ---- Search steps ------------------------------------------------------------

int Patternmatch::expand_gate(GATESTACK* rec) {
  Macromodel* mm = macromodel;
  RGLIST* mglist = mm->return_a_gate_list(rec->macromodel_name);
  mm->unique_rglist(mglist);
  RGLIST* cglist = return_a_gate_list(rec->circuit_name);
  unique_rglist(cglist);
  bool ter = mm->query_is_terminal(output_node_of(mm->gate_named(rec->macromodel_name)));
  int stop = fill_in_gate_stack(mglist, cglist, ter) ? 1 : 0;
  release_rglist(mglist);
  release_rglist(cglist);
  return stop;
}

int Patternmatch::expand_trans(GATESTACK* rec) {
  Macromodel* mm = macromodel;
  TRANSLIST* mt = mm->trans_named(rec->macromodel_name);
  TRANSLIST* ct = circuit_trans(rec->circuit_name);
  if (!mt || !ct) return 0;
  // A transmission gate conducts both ways, and the two sides may name its
  // ends the other way round; the ends matched so far tell which way.
  const char* c_of_in = mm->return_node_from_nodestack(mt->input);
  const char* c_of_out = mm->return_node_from_nodestack(mt->output);
  bool crossed = (c_of_in && same_text(c_of_in, ct->output)) || (c_of_out && same_text(c_of_out, ct->input));
  RGLIST* miglist = mm->return_a_trans_input_list(rec->macromodel_name);
  mm->unique_rglist(miglist);
  RGLIST* moglist = mm->return_a_trans_output_list(rec->macromodel_name);
  mm->unique_rglist(moglist);
  RGLIST* ciglist = return_a_trans_input_list(rec->circuit_name);
  unique_rglist(ciglist);
  RGLIST* coglist = return_a_trans_output_list(rec->circuit_name);
  unique_rglist(coglist);
  bool teri = mm->query_is_terminal(mt->input);
  bool tero = mm->query_is_terminal(mt->output);
  bool ok = fill_in_gate_stack(miglist, crossed ? coglist : ciglist, teri) &&
            fill_in_gate_stack(moglist, crossed ? ciglist : coglist, tero);
  release_rglist(miglist);
  release_rglist(moglist);
  release_rglist(ciglist);
  release_rglist(coglist);
  return ok ? 1 : 0;
}

int Patternmatch::step() {
  Macromodel* mm = macromodel;
  int stop = 1;
  for (GATESTACK* r = mm->gate_stack; mm->gatestack_search_to_end() && r && stop == 1; r = r->next) {
    if (!r->recognized_flag || r->search_flag) continue;
    mm->set_search_flag(r, true);
    stop = is_gate_name(r->macromodel_name) ? expand_gate(r) : expand_trans(r);
  }
  return stop;
}

void Patternmatch::deal_with_dead_loop() {
  Macromodel* mm = macromodel;
  for (GATESTACK* r = mm->gate_stack; r; r = r->next) {
    if (r->recognized_flag || !is_gate_name(r->macromodel_name)) continue;
    PINLIST* plist = mm->return_found_gate_list(r->macromodel_name);
    int n = count_num_of_a_list(plist);
    char* cname = nullptr;
    if (n == 1) {
      cname = case_one_gate(r->macromodel_name, plist);
    } else if (n >= 2 && n <= 4) {
      cname = case_more_than_one_gate(r->macromodel_name, plist);
    } else if (n > 4) {
      fputs(msg::kUnknownWiredNoMark, stdout);
    }
    run_state().pinlist_pool.put_list(plist);
    if (cname) {
      mm->insert_gates_in_gatestack(r->macromodel_name, cname);
      fill_gate_node_in_stack(r->macromodel_name, cname);
    }
  }
}

char* Patternmatch::case_one_gate(const char* mgate_name, PINLIST* plist) {
  CGate* h = plist ? circuit_gate(plist->NodeName) : nullptr;
  if (!h) return nullptr;
  MCGate* g = macromodel->gate_named(mgate_name);
  char* found = nullptr;
  int count = 0;
  for (PINLIST* in = h->inlist; in; in = in->next) {
    if (macromodel->query_node_in_nodestack(in->NodeName)) continue;
    NODELIST* node = get_node(in->NodeName);
    if (!node || !node->output_of_gate_name) continue;
    if (g && same_logic_type(g, circuit_gate(node->output_of_gate_name))) {
      found = node->output_of_gate_name;
      ++count;
    }
  }
  return count == 1 ? found : nullptr;
}

char* Patternmatch::common_input_of(PINLIST* plist, bool for_pin, const char** second) {
  PINLIST* lists[4] = {nullptr, nullptr, nullptr, nullptr};
  int k = 0;
  for (PINLIST* p = plist; p; p = p->next, ++k) {
    if (k < 4) {
      CGate* g = circuit_gate(p->NodeName);
      lists[k] = g ? g->inlist : nullptr;
    } else if (for_pin) {
      fputs(msg::kPinFeedsMoreThan4, stdout);
    }
  }
  char* c1 = nullptr;
  char* c2 = nullptr;
  int found = 0;
  for (PINLIST* e = lists[0]; e; e = e->next) {
    if (!query_in_pinlist(e->NodeName, lists[1])) continue;
    if (lists[2] && !query_in_pinlist(e->NodeName, lists[2])) continue;
    if (lists[3] && !query_in_pinlist(e->NodeName, lists[3])) continue;
    if (++found == 1) {
      c1 = e->NodeName;
    } else if (found == 2) {
      c2 = e->NodeName;
    } else {
      fputs(msg::kMoreThan2Common, stdout);
    }
  }
  *second = c2;
  return c1;
}

char* Patternmatch::case_more_than_one_gate(const char* mgate_name, PINLIST* plist) {
  const char* c2 = nullptr;
  const char* c1 = common_input_of(plist, false, &c2);
  MCGate* g = macromodel->gate_named(mgate_name);
  auto driver = [&](const char* net) -> char* {
    NODELIST* node = get_node(net);
    return node ? node->output_of_gate_name : nullptr;
  };
  auto fits = [&](const char* gate) { return gate && g && same_logic_type(g, circuit_gate(gate)); };
  if (c1 && c2) {
    char* g1 = driver(c1);
    char* g2 = driver(c2);
    if (fits(g1)) return fits(g2) ? nullptr : g1;
    return fits(g2) ? g2 : nullptr;
  }
  if (c1) {
    char* g1 = driver(c1);
    return fits(g1) ? g1 : nullptr;
  }
  return nullptr;
}

// ---- One definition ----------------------------------------------------------

void Patternmatch::search_gates() {
  Macromodel* mm = macromodel;
  int stop = 1;
  bool same_stack = false;
  // A pass that changes the stack but recognises nothing new could, with
  // counterparts replaced back and forth, go on for ever; such a run of
  // passes is cut off well after any real progress would have shown.
  int idle = 0;
  int recognized = mm->num_recognized_gates();
  while (mm->gatestack_search_to_end() && stop == 1 && !same_stack) {
    mm->snapshot_gate_stack(before_);
    stop = step();
    mm->set_trans_search_flag_one();
    if (stop == 1 && mm->check_dead_loop()) {
      deal_with_dead_loop();
      mm->deal_with_dead_loop2();
    }
    mm->snapshot_gate_stack(after_);
    same_stack = mm->same_gate_stack(before_, after_);
    if (mm->num_recognized_gates() > recognized) {
      recognized = mm->num_recognized_gates();
      idle = 0;
    } else if (++idle > mm->num_gate_records() + 4) {
      break;
    }
  }
}

void Patternmatch::match_attempt(MCGate* m_gate, CGate* anchor) {
  Macromodel* mm = macromodel;
  mm->insert_gates_in_gatestack(m_gate->gatename, anchor->gatename);
  fill_gate_node_in_stack(m_gate->gatename, anchor->gatename);
  search_gates();
  if (!mm->gatestack_search_to_end()) settle_pins();
  if (!mm->nodestack_search_to_end() && !mm->gatestack_search_to_end()) {
    // A complete match is replaced only when the replacement keeps the
    // circuit's function; otherwise the attempt fails like any other.
    if (int fault = check_.failed_condition()) {
      printf(msg::kOccurrenceRejected, text(mm->name), text(anchor->gatename), fault,
             occurrence_fault_text(fault));
    } else {
      record_occurrence();
    }
  }
  mm->reinitialize_macromodel();
}

void Patternmatch::pattern_match_process() {
  Macromodel* mm = macromodel;
  if (!mm) return;
  mm->initialize_gate_stack();
  mm->initialize_node_stack();
  MCGate* m_gate = mm->locate_first_gate();
  if (!m_gate) {
    // Only transmission gates, or nothing the extraction could type: there
    // is no gate to anchor a search on.
    fputs(msg::kNoFirstGate, stdout);
    return;
  }
  printf(msg::kFirstGate, text(m_gate->gatename),
         text(m_gate->p_branch ? m_gate->p_branch->headername : nullptr),
         text(m_gate->n_branch ? m_gate->n_branch->headername : nullptr));
  // Anchors in table order; an occurrence just found has emptied its own
  // slots, which the walk then passes over.
  flat_gate_type_index().for_each_of_type(logic_type_of(m_gate),
                                          [&](CGate* anchor) { match_attempt(m_gate, anchor); });
  flush_input_gate_removals();
}
