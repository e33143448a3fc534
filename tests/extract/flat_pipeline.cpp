#include "flat_pipeline.h"

#include <gtest/gtest.h>

#include <sstream>

#include "extract/node.h"
#include "extract/tellnp.h"

CGate* FlatRun::gate_on(const char* node_name) const {
  for (CGate* g = group->cmos_gate_list; g; g = g->next)
    if (std::string(g->n_branch->pn_node) == node_name) return g;
  return nullptr;
}

std::string FlatRun::names(const PINLIST* list) {
  std::string s;
  for (; list; list = list->next) s += (s.empty() ? "" : " ") + std::string(list->NodeName);
  return s;
}

std::string FlatRun::letters(const Branch* branch) {
  std::string s;
  for (NAMELIST* n = branch->name_list; n; n = n->next)
    s += (s.empty() ? "" : " ") + std::string(n->gatename) + "=" + n->virtual_name;
  return s;
}

std::vector<Branch*> FlatRun::n_branches() const {
  std::vector<Branch*> v;
  for (Branch* b = group->n_branch_list; b; b = b->next) v.push_back(b);
  return v;
}

std::vector<Branch*> FlatRun::p_branches() const {
  std::vector<Branch*> v;
  for (Branch* b = group->p_branch_list; b; b = b->next) v.push_back(b);
  return v;
}

void load_cards(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  bool models = false;
  while (std::getline(lines, line)) {
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
  reset_netlist_globals();
  hash_node_list.clear();
  hash_mos_list.clear();
  num_of_gates = num_of_trans = 0;
  load_cards(cards);

  testing::internal::CaptureStdout();
  auto* tellnp = new TellNP;
  tellnp->mos_np_netlist();
  node_biggest = tellnp->return_node_biggest();
  device_biggest = tellnp->return_device_biggest();
  hash_mos_list.clear();
  hash_node_list.clear();
  auto* node = new Node;
  node->gen_nodelist();
  node->gen_mos_list();
  node->gen_np_char_netlist();
  node->delete_vdd_gnd_from_inputlist();
  node->get_vdd(MosHead);
  node->get_gnd(MosHead);
  node->generate_output_pinlist();
  node->generate_input_pinlist();
  FlatRun run;
  Group* g = run.group = new Group;
  g->generate_branch_list();
  g->group_branch_list();
  g->generate_pass_left_list();
  g->generate_trans_list();
  g->generate_num_for_branch();
  g->n_branch_recognition();
  g->p_branch_recognition();
  g->give_name_to_branch();
  g->gen_hash_branch_list();
  g->couple_p_n_branch();
  g->gate_recognition();
  g->gen_hash_gate_list();
  g->gen_inlist_for_gate();
  g->gen_hash_trans_list();
  g->gen_connection_of_gates();
  g->gen_connection_of_trans();
  g->count_input_num_of_node();
  g->gen_num_for_macromodel();
  run.out = testing::internal::GetCapturedStdout();
  return run;
}
