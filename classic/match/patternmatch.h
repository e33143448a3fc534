#pragma once
// The search for one subcircuit definition in the flat gate network: every
// flat gate of the first subcircuit gate's logic type is tried as an anchor,
// the correspondence is grown outwards gate by gate, the pins are settled, and
// every occurrence found becomes a subcircuit instance whose gates leave the
// network.
#include <vector>

#include "classic/extract/cgate.h"
#include "classic/match/logic_type.h"
#include "classic/match/macromodel.h"
#include "classic/match/occurrence_check.h"

class Patternmatch {
 public:
  // Takes over the definition, which must come from new.
  explicit Patternmatch(Macromodel* a_macromodel);
  ~Patternmatch();
  Patternmatch(const Patternmatch&) = delete;
  Patternmatch& operator=(const Patternmatch&) = delete;

  // The whole treatment of one definition.
  void pattern_match_process();

  // ---- Growing a match ----------------------------------------------------
  // One pass over the gate stack: 1 when no contradiction was found.
  int step();
  bool fill_in_gate_stack(RGLIST* mglist, RGLIST* cglist, bool ter);
  // True when the lists pass the repeated-type count test.
  bool decide_failed(RGLIST* mglist, RGLIST* cglist, int m_num, int c_num, bool ter);
  bool decide_two_pinlist_same(const char* mnode_name, const char* cnode_name);
  void fill_gate_node_in_stack(const char* mname, const char* cname);
  void deal_with_dead_loop();
  char* case_one_gate(const char* mgate_name, PINLIST* plist);
  char* case_more_than_one_gate(const char* mgate_name, PINLIST* plist);

  // ---- Flat-circuit side --------------------------------------------------
  NODELIST* get_node(const char* nodename);
  int return_number(const char* name);
  bool decide_a_gate(const char* name);
  // The flat gate or transmission gate of a name, or null (also for a slot
  // emptied by an earlier occurrence).
  CGate* circuit_gate(const char* name);
  TRANSLIST* circuit_trans(const char* name);
  // The logic type of the flat gate of a name (none for an empty slot), read
  // from the type index rather than from the gate's branches.
  LogicType circuit_type(const char* name);
  RGLIST* return_a_gate_list(const char* gatename);
  RGLIST* return_a_trans_input_list(const char* transname);
  RGLIST* return_a_trans_output_list(const char* transname);
  void unique_rglist(RGLIST* glist);

  int count_num_of_rglist(RGLIST* glist);
  int count_num_of_a_list(PINLIST* plist);
  int count_num_of_gatename_list(GATENAMELIST* gnlist);
  bool query_in_pinlist(const char* name, PINLIST* plist);
  bool query_in_gatename_list(const char* name, GATENAMELIST* gnlist);

  // ---- Pins and replacement -----------------------------------------------
  void input_output_matching();
  char* case_one_gate_for_a_pin(const char* pinname, CGate* hgate);
  char* case_more_than_one_gate_for_a_pin(PINLIST* plist);
  char* return_nbranch_matched_pinname(GATENAMELIST* valid_list, CGate* hgate);
  char* return_pbranch_matched_pinname(GATENAMELIST* valid_list, CGate* hgate);
  char* compare_two_gatename_list(GATENAMELIST* return_list, GATENAMELIST* real_list);
  void related_pin_recognition();
  bool node_not_found_yet(const char* name);
  bool gatename_list_not_found_yet(GATENAMELIST* gnlist);
  bool query_in_inputlist(const char* name);
  EQUALNAMELIST* insert_equal_name(EQUALNAMELIST* head, const char* mname, const char* cname);
  RESULTLIST* generate_result_list(RESULTLIST* head, const char* name, EQUALNAMELIST* inputlist,
                                   EQUALNAMELIST* outputlist);
  void delete_found_gates_trans();
  void delete_the_connection_of_terminal(EQUALNAMELIST* inputlist, EQUALNAMELIST* outputlist);
  PINLIST* delete_one_in_pinlist(const char* name, PINLIST* plist);
  PINLIST* insert_pin(PINLIST* head, const char* name);

  Macromodel* macromodel = nullptr;

 private:
  void match_attempt(MCGate* m_gate, CGate* anchor);
  void search_gates();
  void settle_pins();
  void record_occurrence();
  int expand_gate(GATESTACK* rec);
  int expand_trans(GATESTACK* rec);
  char* common_input_of(PINLIST* plist, bool for_pin, const char** second);

  OccurrenceCheck check_;
  std::vector<Macromodel::GateState> before_;
  std::vector<Macromodel::GateState> after_;
};
