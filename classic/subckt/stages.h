#pragma once
// The stages of one subcircuit definition's extraction, in their fixed order:
// first on its node graph, then on its branches and gates. Pattern matching
// runs them; the tests run the same tables.
#include "classic/subckt/mgroup.h"
#include "classic/subckt/mnode.h"

inline constexpr void (MNode::*kSubcircuitNodeStages[])() = {
    &MNode::gen_nodelist, &MNode::gen_np_char_netlist, &MNode::delete_vdd_gnd_from_inputlist,
    &MNode::generate_output_pinlist, &MNode::generate_input_pinlist};

inline constexpr void (MGroup::*kSubcircuitGroupStages[])() = {
    &MGroup::generate_branch_list,   &MGroup::group_branch_list,       &MGroup::generate_pass_left_list,
    &MGroup::generate_trans_list,    &MGroup::generate_num_for_branch, &MGroup::n_branch_recognition,
    &MGroup::p_branch_recognition,   &MGroup::gate_recognition,        &MGroup::gen_hash_gate_list,
    &MGroup::gen_inlist_for_gate,    &MGroup::gen_hash_trans_list,     &MGroup::gen_connection_of_gates,
    &MGroup::gen_connection_of_trans, &MGroup::count_input_num_of_node};

inline void run_node_stages(MNode& node) {
  for (auto stage : kSubcircuitNodeStages) (node.*stage)();
}
inline void run_group_stages(MGroup& group) {
  for (auto stage : kSubcircuitGroupStages) (group.*stage)();
}
