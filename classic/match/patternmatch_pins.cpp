// Settling the pins of a matched gate network, and replacing a recognised
// occurrence by a subcircuit instance.
#include <cstdio>
#include <string_view>
#include <unordered_set>

#include "classic/algo/gate_input_trim.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/match/gate_type_index.h"
#include "classic/match/logic_type.h"
#include "classic/match/patternmatch.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"

// ---- Pins ----------------------------------------------------------------------

bool Patternmatch::query_in_inputlist(const char* name) { return macromodel->query_in_inputlist(name); }

bool Patternmatch::node_not_found_yet(const char* name) { return !macromodel->query_node_in_nodestack(name); }

bool Patternmatch::gatename_list_not_found_yet(GATENAMELIST* gnlist) {
  for (; gnlist; gnlist = gnlist->next) {
    if (!node_not_found_yet(gnlist->name)) return false;
  }
  return true;
}

char* Patternmatch::compare_two_gatename_list(GATENAMELIST* return_list, GATENAMELIST* real_list) {
  if (!return_list || !query_in_gatename_list(return_list->name, real_list)) return nullptr;
  int count = 0;
  char* last = nullptr;
  for (GATENAMELIST* g = real_list; g; g = g->next) {
    if (!query_in_gatename_list(g->name, return_list)) {
      ++count;
      last = g->name;
    }
  }
  if (count == 1) return last;
  if (count == 0) {
    fputs(msg::kNoPinFound, stdout);
  } else {
    fputs(msg::kManyPinsFound, stdout);
  }
  return nullptr;
}

char* Patternmatch::return_nbranch_matched_pinname(GATENAMELIST* valid_list, CGate* hgate) {
  if (!hgate || !hgate->n_branch) return nullptr;
  for (RELATIONLIST* r = hgate->n_branch->relation_list; r; r = r->next) {
    if (char* c = compare_two_gatename_list(valid_list, r->gatename_list)) return c;
  }
  return nullptr;
}

char* Patternmatch::return_pbranch_matched_pinname(GATENAMELIST* valid_list, CGate* hgate) {
  if (!hgate || !hgate->p_branch) return nullptr;
  for (RELATIONLIST* r = hgate->p_branch->relation_list; r; r = r->next) {
    if (char* c = compare_two_gatename_list(valid_list, r->gatename_list)) return c;
  }
  return nullptr;
}

char* Patternmatch::case_one_gate_for_a_pin(const char* pinname, CGate* hgate) {
  Macromodel* mm = macromodel;
  GATENAMELIST* valid = mm->relation_list_is_valid(pinname, mm->return_n_relation_list(pinname));
  if (valid) {
    char* c = return_nbranch_matched_pinname(valid, hgate);
    run_state().gatenamelist_pool.put_list(valid);
    if (!c) fputs(msg::kNullForN, stdout);
    return c;
  }
  valid = mm->relation_list_is_valid(pinname, mm->return_p_relation_list(pinname));
  if (valid) {
    char* c = return_pbranch_matched_pinname(valid, hgate);
    run_state().gatenamelist_pool.put_list(valid);
    if (!c) fputs(msg::kNullForP, stdout);
    return c;
  }
  fputs(msg::kRelationPinFound, stdout);
  return nullptr;
}

char* Patternmatch::case_more_than_one_gate_for_a_pin(PINLIST* plist) {
  const char* c2 = nullptr;
  char* c1 = common_input_of(plist, true, &c2);
  return c1 && !c2 ? c1 : nullptr;
}

void Patternmatch::input_output_matching() {
  Macromodel* mm = macromodel;
  for (NODESTACK* r = mm->node_stack; r; r = r->next) {
    if (!r->terminal_flag || r->recognized_flag) continue;
    const char* pin = r->macromodel_name;
    printf(msg::kUnfoundPin, pin ? pin : "");
    if (mm->query_in_outputlist(pin)) {
      fputs(msg::kWiredOutputUnfound, stdout);
      continue;
    }
    PINLIST* plist = mm->return_found_gate_list_for_a_pin(pin);
    int n = count_num_of_a_list(plist);
    if (n == 0) {
      printf(msg::kProblemPin, pin ? pin : "");
      fputs(msg::kPinNotConnected, stdout);
    } else if (n == 1) {
      if (char* c = case_one_gate_for_a_pin(pin, circuit_gate(plist->NodeName))) {
        mm->insert_node_in_nodestack(pin, c);
      } else {
        fputs(msg::kRelationPinFailed, stdout);
      }
    } else if (n <= 4) {
      char* c = case_more_than_one_gate_for_a_pin(plist);
      for (PINLIST* p = plist; !c && p; p = p->next) c = case_one_gate_for_a_pin(pin, circuit_gate(p->NodeName));
      if (c) mm->insert_node_in_nodestack(pin, c);
    } else {
      fputs(msg::kUnknownWired, stdout);
    }
    run_state().pinlist_pool.put_list(plist);
  }
}

void Patternmatch::related_pin_recognition() {
  Macromodel* mm = macromodel;
  for (NODESTACK* r = mm->node_stack; r; r = r->next) {
    if (!r->terminal_flag || r->recognized_flag) continue;
    const auto* nodes = mm->nodes_named(r->macromodel_name);
    if (!nodes) continue;
    for (NODELIST* node : *nodes) {
      if (!node->input_of_gate_list.list()) continue;
      MCGate* g = mm->gate_named(node->input_of_gate_list.list()->NodeName);
      if (!g || !g->n_branch) continue;
      RELATIONLIST* rval = mm->locate_relation_list(r->macromodel_name, g->n_branch->relation_list);
      if (!rval || !mm->gatename_list_not_found_yet(rval->gatename_list)) continue;
      CGate* c = circuit_gate(mm->find_circuit_gate_name(g->gatename));
      if (!c || !c->n_branch) continue;
      int size = count_num_of_gatename_list(rval->gatename_list);
      // Every free group of the right size is paired; the last one stands.
      for (RELATIONLIST* cr = c->n_branch->relation_list; cr; cr = cr->next) {
        if (count_num_of_gatename_list(cr->gatename_list) == size && gatename_list_not_found_yet(cr->gatename_list)) {
          mm->insert_two_gatename_list(rval->gatename_list, cr->gatename_list);
        }
      }
    }
  }
}

void Patternmatch::settle_pins() {
  Macromodel* mm = macromodel;
  fputs(msg::kGateMatchDone, stdout);
  for (GATESTACK* r = mm->gate_stack; r; r = r->next) {
    if (r->recognized_flag) fill_gate_node_in_stack(r->macromodel_name, r->circuit_name);
  }
  input_output_matching();
  fputs(msg::kBeginRelatedPin, stdout);
  fputs(msg::kBeginRelatedPin, stdout);
  related_pin_recognition();
  fputs(msg::kInputOutputDone, stdout);
}

// ---- Replacement -----------------------------------------------------------------

EQUALNAMELIST* Patternmatch::insert_equal_name(EQUALNAMELIST* head, const char* mname, const char* cname) {
  auto* rec = arena_new<EqualNameList>();
  rec->macromodel_name = const_cast<char*>(mname);
  rec->circuit_name = const_cast<char*>(cname);
  return link_behind_head(head, rec);
}

RESULTLIST* Patternmatch::generate_result_list(RESULTLIST* head, const char* name, EQUALNAMELIST* inputlist,
                                               EQUALNAMELIST* outputlist) {
  auto* rec = arena_new<ResultList>();
  rec->libname = const_cast<char*>(name);
  rec->input_list = inputlist;
  rec->output_list = outputlist;
  return link_behind_head(head, rec);
}

PINLIST* Patternmatch::insert_pin(PINLIST* head, const char* name) {
  auto* rec = arena_new<PinList>();
  rec->NodeName = const_cast<char*>(name);
  return link_behind_head(head, rec);
}

PINLIST* Patternmatch::delete_one_in_pinlist(const char* name, PINLIST* plist) {
  PINLIST* head = nullptr;
  for (; plist; plist = plist->next) {
    if (!same_text(plist->NodeName, name)) head = insert_pin(head, plist->NodeName);
  }
  return head;
}

void Patternmatch::delete_found_gates_trans() {
  for (GATESTACK* r = macromodel->gate_stack; r; r = r->next) {
    const char* c = r->circuit_name;
    int n = ::return_number(c);
    if (!c || n < 0) continue;
    if (is_gate_name(c)) {
      if (hash_gate_list && n < num_of_gates) {
        flat_gate_type_index().remove(n);
        hash_gate_list[n] = nullptr;
      }
    } else {
      hash_trans_list.set(n, nullptr);
    }
  }
}

void Patternmatch::delete_the_connection_of_terminal(EQUALNAMELIST* inputlist, EQUALNAMELIST* outputlist) {
  Macromodel* mm = macromodel;
  std::vector<const char*> occurrence;
  std::unordered_set<std::string_view> seen;
  for (GATESTACK* r = mm->gate_stack; r; r = r->next) {
    if (r->circuit_name && seen.insert(r->circuit_name).second) occurrence.push_back(r->circuit_name);
  }
  for (EQUALNAMELIST* e = inputlist; e; e = e->next) remove_input_gates(get_node(e->circuit_name), occurrence);
  for (EQUALNAMELIST* e = outputlist; e; e = e->next) {
    NODELIST* node = get_node(e->circuit_name);
    if (!node) continue;
    if (mm->query_gate_has_been_found(node->output_of_gate_name)) node->output_of_gate_name = nullptr;
    if (mm->query_gate_has_been_found(node->output_of_trans_name)) node->output_of_trans_name = nullptr;
    if (mm->query_gate_has_been_found(node->input_of_trans_name)) node->input_of_trans_name = nullptr;
  }
}

void Patternmatch::record_occurrence() {
  Macromodel* mm = macromodel;
  fputs(msg::kSuccess, stdout);
  fputs("\n", stdout);
  EQUALNAMELIST* inputlist = nullptr;
  EQUALNAMELIST* outputlist = nullptr;
  for (NODESTACK* r = mm->node_stack; r; r = r->next) {
    if (!r->terminal_flag || !r->recognized_flag) continue;
    if (query_in_inputlist(r->macromodel_name)) {
      inputlist = insert_equal_name(inputlist, r->macromodel_name, r->circuit_name);
    } else {
      outputlist = insert_equal_name(outputlist, r->macromodel_name, r->circuit_name);
    }
  }
  ResultHead = generate_result_list(ResultHead, mm->name, inputlist, outputlist);
  check_.place(inputlist, outputlist);
  delete_found_gates_trans();
  delete_the_connection_of_terminal(inputlist, outputlist);
}
