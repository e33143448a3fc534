#include "flat_pipeline.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "extract/node.h"
#include "extract/tellnp.h"
#include "netlist/arena.h"
#include "algo/tables.h"
#include "algo/run_state.h"

void load_cards(const std::string& text) {
  std::istringstream lines(text);
  bool models = false;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string x; words >> x;) w.push_back(x);
    if (w.empty()) continue;
    if (w[0] == ".model") {
      ModelHead = insert_model(ModelHead, MOSFET_TYPE, w[1].c_str(), w[2].c_str(), 0, 0, 0, 0, 0);
      models = true;
    } else if (w[0] == ".subckt") {
      insert_inout(line.c_str());
    } else {
      MosHead = insert_mos(MosHead, w[0].c_str(), w[1].c_str(), w[2].c_str(), w[3].c_str(), w[4].c_str(),
                           w[5].c_str(), 1e-6f, 2e-6f);
    }
  }
  if (!models) {
    ModelHead = insert_model(ModelHead, MOSFET_TYPE, "nmos", "nmos", 0, 0, 0, 0, 0);
    ModelHead = insert_model(ModelHead, MOSFET_TYPE, "pmos", "pmos", 0, 0, 0, 0, 0);
  }
}

FlatRun run_flat(const std::string& cards) {
  reset_run();
  load_cards(cards);
  testing::internal::CaptureStdout();
  auto* tellnp = arena_new<TellNP>();
  tellnp->mos_np_netlist();
  node_biggest = tellnp->return_node_biggest();
  device_biggest = tellnp->return_device_biggest();
  hash_mos_list.clear();
  hash_node_list.clear();
  auto* node = arena_new<Node>();
  for (auto stage : {&Node::gen_nodelist, &Node::gen_mos_list, &Node::gen_np_char_netlist,
                     &Node::delete_vdd_gnd_from_inputlist, &Node::generate_output_pinlist, &Node::generate_input_pinlist})
    (node->*stage)();
  FlatRun run;
  Group* g = run.group = arena_new<Group>();
  for (auto stage : {&Group::generate_branch_list, &Group::group_branch_list, &Group::generate_pass_left_list,
                     &Group::generate_trans_list, &Group::generate_num_for_branch, &Group::n_branch_recognition,
                     &Group::p_branch_recognition, &Group::give_name_to_branch, &Group::gen_hash_branch_list,
                     &Group::couple_p_n_branch, &Group::gate_recognition, &Group::gen_hash_gate_list,
                     &Group::gen_inlist_for_gate, &Group::gen_hash_trans_list, &Group::gen_connection_of_gates,
                     &Group::gen_connection_of_trans, &Group::count_input_num_of_node, &Group::gen_num_for_macromodel})
    (g->*stage)();
  run.out = testing::internal::GetCapturedStdout();
  return run;
}
