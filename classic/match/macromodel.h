#pragma once
// One subcircuit definition prepared for pattern matching: its gate network
// (taken over from the subcircuit extraction) and the two search stacks that
// record, during one match attempt, the flat-circuit gate or net matched to
// each of its gates and nodes.
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "classic/algo/tables.h"
#include "classic/match/records.h"
#include "classic/subckt/mcgate.h"

struct WIRELIST;

class Macromodel {
 public:
  explicit Macromodel(MACROMODELLIST* amacromodel);
  ~Macromodel();

  // Runs the subcircuit extraction and takes its results over.
  void gen_data_structure();

  void initialize_gate_stack();
  void initialize_node_stack();
  void reinitialize_macromodel();

  // The subcircuit gate every match attempt starts from; null when the
  // subcircuit has no gate at all.
  MCGate* locate_first_gate();
  char* return_gate(const char* name);

  bool query_terminal(const char* name);
  bool query_is_terminal(const char* name);
  bool query_in_inputlist(const char* name);
  bool query_in_outputlist(const char* name);
  int return_number(const char* name);

  // Neighbour lists (entries go back through release_rglist).
  RGLIST* return_a_gate_list(const char* gatename);
  RGLIST* return_a_trans_input_list(const char* transname);
  RGLIST* return_a_trans_output_list(const char* transname);
  void unique_rglist(RGLIST* glist);

  // Stack updates.
  void insert_gates_in_gatestack(const char* mname, const char* cname);
  void insert_node_in_nodestack(const char* mname, const char* cname);
  void insert_two_gatename_list(GATENAMELIST* mlist, GATENAMELIST* clist);
  void reset_search_flag(const char* name);
  void set_trans_search_flag_one();
  void deal_with_dead_loop2();
  // Marks a gate-stack record as expanded by a search step.
  void set_search_flag(GATESTACK* rec, bool value);

  // Stack queries.
  bool gatestack_search_to_end();
  bool nodestack_search_to_end();
  bool check_dead_loop();
  char* gate_has_been_found(const char* name);
  char* find_circuit_gate_name(const char* name);
  bool query_gate_has_been_found(const char* cname);
  bool query_node_in_nodestack(const char* cname);
  char* return_node_from_nodestack(const char* mname);
  bool node_not_found_yet(const char* mname);
  bool gatename_list_not_found_yet(GATENAMELIST* gnlist);
  GATESTACK* copy_gate_stack();
  bool compare_two_gatestack(GATESTACK* old_gs, GATESTACK* new_gs);

  // A snapshot of the gate stack's match state, in stack order; two
  // snapshots compare as copy_gate_stack/compare_two_gatestack would, without
  // building lists on every pass of the search loop.
  struct GateState {
    const char* circuit_name;
    bool recognized_flag;
    bool search_flag;
  };
  void snapshot_gate_stack(std::vector<GateState>& out) const;
  bool same_gate_stack(const std::vector<GateState>& old_state, const std::vector<GateState>& new_state) const;
  int num_recognized_gates() const { return gates_recognized_; }
  int num_gate_records() const { return gates_total_; }

  // Subcircuit-side lookups.
  PINLIST* return_found_gate_list(const char* gatename);
  PINLIST* return_found_gate_list_for_a_pin(const char* pinname);
  RELATIONLIST* return_n_relation_list(const char* name);
  RELATIONLIST* return_p_relation_list(const char* name);
  RELATIONLIST* locate_relation_list(const char* name, RELATIONLIST* rlist);
  GATENAMELIST* relation_list_is_valid(const char* name, RELATIONLIST* rlist);
  PINLIST* return_the_input_gate_list(const char* name);

  // The subcircuit gate or transmission gate of a name, or null.
  MCGate* gate_named(const char* name);
  TRANSLIST* trans_named(const char* name);
  // The node records of a name in list order (null when none), the first.
  const std::vector<NODELIST*>* nodes_named(const char* name);
  NODELIST* first_node_named(const char* name);

  char* name = nullptr;
  MACROMODELLIST* macromodel = nullptr;
  WIRELIST* wire_list = nullptr;
  MODELLIST* modelhead = nullptr;
  INOUTLIST* inputhead = nullptr;
  INOUTLIST* outputhead = nullptr;
  MOSLIST* mos_list = nullptr;
  NODELIST* node_list = nullptr;
  TRANSLIST* trans_list = nullptr;
  GATESTACK* gate_stack = nullptr;
  NODESTACK* node_stack = nullptr;
  int num_of_gates = 0;
  int num_of_trans = 0;
  MCGate** hash_gate_list = nullptr;
  const IndexTable<TRANSLIST>* hash_trans_list = nullptr;

 private:
  using Names = std::unordered_map<std::string_view, int>;
  static void count_name(Names& names, const char* n, int delta);
  // Counters and name indexes kept in step with every flag change, so the
  // stack questions cost nothing per query.
  void account_gate(const GATESTACK* r, int sign);
  void account_node(const NODESTACK* r, int sign);
  RGLIST* neighbour_list_of(NODELIST* node);
  PINLIST* found_gates_around(const char* nodename, bool report_unfound);

  std::unordered_map<std::string_view, std::vector<GATESTACK*>> gate_records_;
  std::unordered_map<std::string_view, std::vector<NODESTACK*>> node_records_;
  std::vector<GATESTACK*> gate_order_;     // the gate stack in walk order
  std::vector<std::size_t> gate_partner_;  // see same_gate_stack
  Names gate_circuit_names_;               // circuit names of recognised gate records
  std::unordered_set<std::string_view> node_circuit_names_;  // circuit names of recognised node records
  bool node_names_stale_ = false;  // a node record changed since they were gathered
  int gates_total_ = 0;
  int gates_recognized_ = 0;
  int gates_unsearched_ = 0;  // recognised but not yet expanded
  int pins_open_ = 0;         // pins without a counterpart

  std::unordered_map<std::string_view, std::vector<NODELIST*>> node_index_;
  NODELIST* node_index_head_ = nullptr;
};
