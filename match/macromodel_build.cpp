// Subcircuit extraction of one definition and the hand-over of its results.
// Kept apart from the rest of Macromodel so that the search can be built and
// exercised on hand-made gate networks. The stage objects live, like every
// record, until the run ends.
#include <cstdio>

#include "match/macromodel.h"
#include "netlist/arena.h"
#include "subckt/mgroup.h"
#include "subckt/mnode.h"
#include "subckt/mtellnp.h"
#include "algo/tables.h"
#include "messages/messages.h"

void Macromodel::gen_data_structure() {
  auto* tellnp = arena_new<MTellNP>(mos_list, modelhead);
  tellnp->mos_np_netlist();
  mos_list = tellnp->moshead;

  auto* mnode = arena_new<MNode>(mos_list, inputhead);
  mnode->gen_nodelist();
  mnode->gen_np_char_netlist();
  mnode->delete_vdd_gnd_from_inputlist();
  mnode->generate_output_pinlist();
  mnode->generate_input_pinlist();
  mos_list = mnode->moshead;
  node_list = mnode->nodehead;
  inputhead = mnode->inputhead;
  outputhead = mnode->outputhead;

  auto* mgroup = arena_new<MGroup>(mos_list, node_list, inputhead, outputhead);
  mgroup->generate_branch_list();
  mgroup->group_branch_list();
  mgroup->generate_pass_left_list();
  mgroup->generate_trans_list();
  mgroup->generate_num_for_branch();
  mgroup->n_branch_recognition();
  mgroup->p_branch_recognition();
  mgroup->gate_recognition();
  mgroup->gen_hash_gate_list();
  mgroup->gen_inlist_for_gate();
  mgroup->gen_hash_trans_list();
  mgroup->gen_connection_of_gates();
  mgroup->gen_connection_of_trans();
  mgroup->count_input_num_of_node();

  inputhead = mgroup->inputhead;
  outputhead = mgroup->outputhead;
  mos_list = mgroup->moshead;
  node_list = mgroup->nodehead;
  trans_list = mgroup->transhead;
  hash_gate_list = mgroup->hash_gate_list;
  hash_trans_list = &mgroup->hash_trans_list;
  num_of_gates = mgroup->num_of_gates;
  num_of_trans = mgroup->num_of_trans;

  fputs(msg::kFinishGenStructure, stdout);
}
