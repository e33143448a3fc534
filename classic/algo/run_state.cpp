#include "classic/algo/run_state.h"

#include "classic/algo/tables.h"
#include "classic/netlist/netlist.h"

RunState& run_state() {
  // Never destroyed: records in the arena may point into it until exit.
  static auto* state = new RunState();
  return *state;
}

void reset_run() {
  RunState& s = run_state();
  s.unnumbered.clear();
  s.cards_folded = false;
  s.branch_recog = true;
  s.branch_recog_m = true;
  s.placed_pin_nets.clear();
  s.placed_lone_mosfets.clear();
  flush_input_gate_removals();
  s.pinlist_pool = {};
  s.gatenamelist_pool = {};
  s.rglist_pool = {};
  s.gate_type_index.reset();
  TransHead = nullptr;
  WireHead = nullptr;
  ResultHead = nullptr;
  node_biggest = device_biggest = 0;
  hash_node_list.clear();
  hash_mos_list.clear();
  hash_gate_list = nullptr;
  hash_trans_list.clear();
  num_of_gates = num_of_trans = 0;
  reset_netlist_globals();
}
