#include "classic/extract/group.h"

#include <cstdio>
#include <unordered_map>

#include "classic/algo/gate_network.h"
#include "classic/algo/growth.h"
#include "classic/algo/recognition.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/extract/node.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"

Group::Group() {
  hash_gate_list = nullptr;
  hash_trans_list.clear();
  nets_ = FlatNets(get_vdd(MosHead), get_gnd(MosHead));
}

Group::~Group() = default;

int Group::return_number(const char* name) { return ::return_number(name); }

NODELIST* Group::get_node(const char* nodename) { return flat_get_node(nodename); }

char* Group::get_vdd(MOSLIST* moshead) { return find_rail(moshead, true); }

char* Group::get_gnd(MOSLIST* moshead) { return find_rail(moshead, false); }

// ---- Branches, pass transistors, transmission gates -----------------------

Branch* Group::insert_branch(Branch* head, Branch* new_branch) { return link_behind_head(head, new_branch); }

void Group::undelete_mosfet(MOSLIST* mlist) { growth::undelete_mosfet(mlist, nets_); }

MOSLIST* Group::insert_mos(MOSLIST* head, MOSLIST* mos) { return lists::insert_free_mos(head, mos); }

void Group::exchange_d_s(MOSLIST* mos) { network::exchange_d_s(mos); }

int Group::query_is_pnnode(const char* name) { return nets_.first_is_pn(name) ? 1 : 0; }

int Group::query_is_gnode(const char* name) { return nets_.drives_gate(name) ? 1 : 0; }

TRANSLIST* Group::insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g) {
  return lists::insert_trans(head, name, input, output, p_g, n_g);
}

void Group::undelete_mos_in_pass() { network::undelete_mos_in_pass(pass_transistor_list); }

int Group::counter(Branch* branch) { return lists::count(branch->mos_list); }

int Group::query_n_branch(const char* name) { return growth::list_holds(n_branch_list, name); }

int Group::query_p_branch(const char* name) { return growth::list_holds(p_branch_list, name); }

void Group::generate_branch_list() {
  growth::generate_branch_list(
      *this, nets_,
      [this](DEVICELIST* dev, int) -> MOSLIST* {
        // A seed already taken by an earlier branch grows nothing new.
        MOSLIST* seed = nets_.mosfet(dev->devicename());
        return seed && !seed->in_branch ? seed : nullptr;
      },
      [this](int p_n_type) {
        auto* branch = arena_new<Branch>(p_n_type);
        branch->use_lookup(nets_);
        return branch;
      },
      run_state().branch_recog);
}

void Group::group_branch_list() {
  int n = lists::count(n_branch_list), p = lists::count(p_branch_list);
  std::printf(msg::kBranchCounts, n, p);
  p -= growth::merge_by_output(p_branch_list, p);
  n -= growth::merge_by_output(n_branch_list, n);
  std::printf(msg::kValidBranchCounts, n, p);
}

void Group::generate_num_for_branch() {
  growth::count_mosfets(n_branch_list);
  growth::count_mosfets(p_branch_list);
}

void Group::generate_pass_left_list() {
  // A busy pn node can be asked about by many MOSFETs: answer once per node.
  std::unordered_map<const NODELIST*, int> drives_gate;
  auto gnode = [&](const char* name) {
    auto [it, added] = drives_gate.try_emplace(get_node(name), 0);
    if (added) it->second = query_is_gnode(name);
    return it->second;
  };
  hash_mos_list.for_each([&](long long, MOSLIST* m) {
    if (m->in_branch) return;
    if (query_is_pnnode(m->d) && query_is_pnnode(m->s)) {
      // The side that drives a gate becomes the source: it reads as the
      // transmission gate's output.
      if (gnode(m->s)) {
        pass_transistor_list = insert_mos(pass_transistor_list, m);
      } else if (gnode(m->d)) {
        exchange_d_s(m);
        pass_transistor_list = insert_mos(pass_transistor_list, m);
      }
      return;
    }
    left_transistor_list = insert_mos(left_transistor_list, m);
  });
}

void Group::generate_trans_list() {
  undelete_mos_in_pass();
  num_of_trans = network::pair_transmission_gates(pass_transistor_list, TransHead, left_transistor_list);
}

// ---- Logic-function recognition -------------------------------------------

char* Group::generate_add(char g1, char g2) { return recognition::generate_add(g1, g2); }
char* Group::generate_add(char* g1, char g2) { return recognition::generate_add(g1, g2); }
char* Group::generate_add(char* g1, char* g2) { return recognition::generate_add(g1, g2); }
char* Group::generate_mult(char g1, char g2) { return recognition::generate_mult(g1, g2); }
char* Group::generate_mult(char* g1, char g2) { return recognition::generate_mult(g1, g2); }
char* Group::generate_mult(char* g1, char* g2) { return recognition::generate_mult(g1, g2); }
char* Group::generate_parenthes(char* g) { return recognition::generate_parenthes(g); }
char* Group::generate_mark(char* g) { return recognition::generate_mark(g); }

int Group::is_series_node(char* nodename, Branch* curr_branch) {
  return recognition::is_series_node(nodename, curr_branch);
}

char Group::change_g(Branch* n_branch, MOSLIST* mos1, MOSLIST* mos2, char turn, int add_or_flag) {
  return recognition::change_g(n_branch, mos1, mos2, turn, add_or_flag);
}

GATENAMELIST* Group::insert_gatename(GATENAMELIST* head, char* name) {
  return recognition::insert_gatename(head, name);
}

RELATIONLIST* Group::insert_relation(RELATIONLIST* head, int type, GATENAMELIST* gnlist) {
  return recognition::insert_relation(head, type, gnlist);
}

RELATIONLIST* Group::query_alone_list(RELATIONLIST* rlist) { return recognition::query_alone_list(rlist); }

char Group::parallel_recognition(Branch* n_branch, char turn) {
  return recognition::parallel_recognition(n_branch, turn);
}

char Group::series_recognition(Branch* n_branch, char turn) {
  return recognition::series_recognition(n_branch, turn, nets_.vdd(), nets_.gnd());
}

void Group::n_branch_recognition() { recognition::n_branch_recognition(n_branch_list, nets_.vdd(), nets_.gnd()); }

void Group::p_branch_recognition() { recognition::p_branch_recognition(p_branch_list, nets_.vdd(), nets_.gnd()); }

// ---- Gate formation -----------------------------------------------------------

CGate* Group::insert_cgate(CGate* head, CGate* newgate) { return network::insert_cgate(head, newgate); }

void Group::give_name_to_branch() {
  auto name_all = [](Branch* list, const char* prefix) {
    int k = 0;
    for (; list; list = list->next, ++k) list->branchname = arena::strdup(lists::NumberedName(prefix, k).text);
    return k;
  };
  num_of_n_branches = name_all(n_branch_list, "nbranch");
  num_of_p_branches = name_all(p_branch_list, "pbranch");
}

void Group::gen_hash_branch_list() {
  // One slot more than there are branches, as the numbering leaves room for.
  hash_n_branch_list = network::number_table(n_branch_list, &Branch::branchname, num_of_n_branches + 1);
  hash_p_branch_list = network::number_table(p_branch_list, &Branch::branchname, num_of_p_branches + 1);
}

void Group::couple_p_n_branch() {
  for (int k = 0; k <= num_of_n_branches; ++k)
    if (Branch* b = hash_n_branch_list[k])
      if (NODELIST* node = get_node(b->pn_node)) node->connected_n_branch_name = b->branchname;
  for (int k = 0; k <= num_of_p_branches; ++k)
    if (Branch* b = hash_p_branch_list[k])
      if (NODELIST* node = get_node(b->pn_node)) node->connected_p_branch_name = b->branchname;
}

void Group::gate_recognition() {
  int count = 0;
  auto branch_at = [this](Branch** table, int size, const char* branchname) -> Branch* {
    int k = return_number(branchname);
    return (table && k >= 0 && k <= size) ? table[k] : nullptr;
  };
  hash_node_list.for_each([&](long long, NODELIST* node) {
    if (node->pn_node != 1) return;
    bool has_n = node->connected_n_branch_name != nullptr;
    bool has_p = node->connected_p_branch_name != nullptr;
    if (has_n && has_p) {
      Branch* n = branch_at(hash_n_branch_list, num_of_n_branches, node->connected_n_branch_name);
      Branch* p = branch_at(hash_p_branch_list, num_of_p_branches, node->connected_p_branch_name);
      if (!n || !p) return;
      lists::NumberedName name("gate", count++);
      node->output_of_gate_name = network::form_gate(cmos_gate_list, name.text, n, p)->gatename;
    } else if (has_n || has_p) {
      std::fputs(msg::kWiredOneBranch, stdout);
    }
  });
  num_of_gates = count;
}

// ---- Gate connectivity --------------------------------------------------------

PINLIST* Group::insert_pin(PINLIST* head, char* name) { return lists::insert_pin(head, name); }

bool Group::query_in_pinlist(const char* name, PINLIST* plist) { return lists::query_in_pinlist(name, plist); }

bool Group::query_in_gate_list(const char* name, PINLIST* plist) { return query_in_pinlist(name, plist); }

int Group::count_mos_list(MOSLIST* mlist) { return lists::count(mlist); }

void Group::gen_hash_gate_list() {
  hash_gate_list = network::number_table(cmos_gate_list, &CGate::gatename, num_of_gates);
}

void Group::gen_inlist_for_gate() { network::gen_inlist_for_gate(hash_gate_list, num_of_gates); }

void Group::gen_hash_trans_list() {
  network::for_each_numbered(TransHead, &TRANSLIST::transname, num_of_trans,
                             [](int k, TRANSLIST* t) { hash_trans_list.set(k, t); });
}

void Group::gen_connection_of_gates() { network::gen_connection_of_gates(hash_gate_list, num_of_gates, nets_, false); }

void Group::gen_connection_of_trans() {
  hash_trans_list.for_each([this](long long k, TRANSLIST* t) {
    if (k < num_of_trans) network::connect_trans(t, nets_);
  });
}

void Group::count_input_num_of_node() {
  hash_node_list.for_each([](long long, NODELIST* node) { network::count_input_num_of_node(node); });
}

void Group::gen_num_for_macromodel() {
  for (MACROMODELLIST* m = MacroModelHead; m; m = m->next) m->num_of_mos = count_mos_list(m->mos_list);
}
