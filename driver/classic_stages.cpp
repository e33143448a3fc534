#include "driver/classic_stages.h"

#include "driver/selection.h"
#include "extract/group.h"
#include "extract/node.h"
#include "extract/records.h"
#include "extract/tellnp.h"
#include "match/macromodel.h"
#include "match/patternmatch.h"
#include "netlist/arena.h"
#include "netlist/netlist.h"

void extract_flat_gates(char*& vdd, char*& gnd) {
  auto* tellnp = arena_new<TellNP>();
  tellnp->mos_np_netlist();
  node_biggest = tellnp->return_node_biggest();
  device_biggest = tellnp->return_device_biggest();
  hash_mos_list.clear();
  hash_node_list.clear();

  auto* node = arena_new<Node>();
  node->gen_nodelist();
  node->gen_mos_list();
  node->gen_np_char_netlist();
  node->delete_vdd_gnd_from_inputlist();
  vdd = node->get_vdd(MosHead);
  gnd = node->get_gnd(MosHead);
  node->generate_output_pinlist();
  node->generate_input_pinlist();

  auto* group = arena_new<Group>();
  group->generate_branch_list();
  group->group_branch_list();
  group->generate_pass_left_list();
  group->generate_trans_list();
  group->generate_num_for_branch();
  group->n_branch_recognition();
  group->p_branch_recognition();
  group->give_name_to_branch();
  group->gen_hash_branch_list();
  group->couple_p_n_branch();
  group->gate_recognition();
  group->gen_hash_gate_list();
  group->gen_inlist_for_gate();
  group->gen_hash_trans_list();
  group->gen_connection_of_gates();
  group->gen_connection_of_trans();
  group->count_input_num_of_node();
  group->gen_num_for_macromodel();
}

void match_definitions() {
  while (!macromodel_head_done()) {
    MacroModelList* next = return_macromodel();
    if (!next) break;
    auto* definition = arena_new<Macromodel>(next);
    definition->gen_data_structure();
    arena_new<Patternmatch>(definition)->pattern_match_process();
  }
}
