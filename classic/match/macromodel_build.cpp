// Subcircuit extraction of one definition and the hand-over of its results.
// Kept apart from the rest of Macromodel so that the search can be built and
// exercised on hand-made gate networks. The stage objects live, like every
// record, until the run ends.
#include <cstdio>

#include "classic/algo/tables.h"
#include "classic/match/macromodel.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"
#include "classic/subckt/mtellnp.h"
#include "classic/subckt/stages.h"

void Macromodel::gen_data_structure() {
  auto* tellnp = arena_new<MTellNP>(mos_list, modelhead);
  tellnp->mos_np_netlist();
  mos_list = tellnp->moshead;

  auto* mnode = arena_new<MNode>(mos_list, inputhead);
  run_node_stages(*mnode);
  mos_list = mnode->moshead;
  node_list = mnode->nodehead;
  inputhead = mnode->inputhead;
  outputhead = mnode->outputhead;

  auto* mgroup = arena_new<MGroup>(mos_list, node_list, inputhead, outputhead);
  run_group_stages(*mgroup);

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
