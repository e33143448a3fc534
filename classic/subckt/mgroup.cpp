#include "classic/subckt/mgroup.h"

#include "classic/algo/gate_network.h"
#include "classic/algo/growth.h"
#include "classic/algo/name_set.h"
#include "classic/algo/recognition.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/extract/node.h"
#include "classic/netlist/arena.h"

MGroup::MGroup(MOSLIST* moshead_, NODELIST* nodehead_, INOUTLIST* inputhead_, INOUTLIST* outputhead_)
    : moshead(moshead_), nodehead(nodehead_), inputhead(inputhead_), outputhead(outputhead_) {}

const MLookup& MGroup::nets() {
  if (!lookup_) lookup_ = std::make_shared<const MLookup>(moshead, nodehead);
  return *lookup_;
}

// ---- Small members ----------------------------------------------------------

int MGroup::return_number(const char* name) { return ::return_number(name); }

char* MGroup::get_vdd(MOSLIST* head) { return find_rail(head, true); }

char* MGroup::get_gnd(MOSLIST* head) { return find_rail(head, false); }

MBranch* MGroup::insert_branch(MBranch* head, MBranch* new_branch) {
  auto& held = new_branch->branch_type == 0 ? in_n_branch_ : in_p_branch_;
  for (MOSLIST* m = new_branch->mos_list; m; m = m->next)
    if (m->mosname) held.insert(m->mosname);
  return link_behind_head(head, new_branch);
}

void MGroup::undelete_mosfet(MOSLIST* mlist) { growth::undelete_mosfet(mlist, nets()); }

MOSLIST* MGroup::insert_mos(MOSLIST* head, MOSLIST* mos) { return lists::insert_free_mos(head, mos); }

void MGroup::exchange_d_s(MOSLIST* mos) { network::exchange_d_s(mos); }

int MGroup::query_is_pnnode(const char* name) { return nets().first_is_pn(name) ? 1 : 0; }

int MGroup::query_is_gnode(const char* name) { return nets().drives_gate(name) ? 1 : 0; }

TRANSLIST* MGroup::insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g) {
  return lists::insert_trans(head, name, input, output, p_g, n_g);
}

void MGroup::undelete_mos_in_pass() { network::undelete_mos_in_pass(pass_transistor_list); }

int MGroup::counter(MBranch* branch) { return lists::count(branch->mos_list); }

int MGroup::query_n_branch(const char* name) { return name && in_n_branch_.count(name) ? 1 : 0; }

int MGroup::query_p_branch(const char* name) { return name && in_p_branch_.count(name) ? 1 : 0; }

MCGate* MGroup::insert_cgate(MCGate* head, MCGate* newgate) { return network::insert_cgate(head, newgate); }

PINLIST* MGroup::insert_pin(PINLIST* head, char* name) { return lists::insert_pin(head, name); }

bool MGroup::query_in_pinlist(const char* name, PINLIST* plist) { return lists::query_in_pinlist(name, plist); }

bool MGroup::query_in_gate_list(const char* name, PINLIST* plist) { return query_in_pinlist(name, plist); }

// ---- Branches ---------------------------------------------------------------

void MGroup::generate_branch_list() {
  const MLookup& look = nets();
  // A definition without one channel type has no such rail and grows no
  // branch of that kind.
  growth::generate_branch_list(
      *this, look,
      [this, &look](DEVICELIST* dev, int p_n_type) -> MOSLIST* {
        // A seed that a branch of the same kind already holds grows nothing new.
        bool held = p_n_type ? query_p_branch(dev->devicename()) : query_n_branch(dev->devicename());
        return held ? nullptr : look.mosfet(dev->devicename());
      },
      [this](int p_n_type) {
        auto* branch = arena_new<MBranch>(p_n_type, moshead, nodehead);
        branch->use_lookup(lookup_);
        return branch;
      },
      run_state().branch_recog_m);
}

void MGroup::group_branch_list() {
  growth::merge_by_output(p_branch_list, lists::count(p_branch_list));
  growth::merge_by_output(n_branch_list, lists::count(n_branch_list));
}

void MGroup::generate_pass_left_list() {
  const MLookup& look = nets();
  for (MOSLIST* m = moshead; m; m = m->next) {
    if (m->in_branch) continue;
    if (look.first_is_pn(m->d) && look.drives_gate(m->s)) {
      pass_transistor_list = insert_mos(pass_transistor_list, m);
    } else if (look.first_is_pn(m->s) && look.drives_gate(m->d)) {
      exchange_d_s(m);
      pass_transistor_list = insert_mos(pass_transistor_list, m);
    } else {
      left_transistor_list = insert_mos(left_transistor_list, m);
    }
  }
}

void MGroup::generate_trans_list() {
  undelete_mos_in_pass();
  num_of_trans = network::pair_transmission_gates(pass_transistor_list, transhead, left_transistor_list);
}

void MGroup::generate_num_for_branch() {
  growth::count_mosfets(n_branch_list);
  growth::count_mosfets(p_branch_list);
}

void MGroup::n_branch_recognition() { recognition::n_branch_recognition(n_branch_list, nets().vdd(), nets().gnd()); }

void MGroup::p_branch_recognition() { recognition::p_branch_recognition(p_branch_list, nets().vdd(), nets().gnd()); }

// ---- Gates ------------------------------------------------------------------

void MGroup::gate_recognition() {
  // The first p-branch on each output, as a scan of the p-branch list finds it.
  NameMap<MBranch> first_p(static_cast<std::size_t>(lists::count(p_branch_list)));
  for (MBranch* p = p_branch_list; p; p = p->next)
    if (p->pn_node) first_p.emplace(p->pn_node, p);
  int count = 0;
  for (MBranch* n = n_branch_list; n; n = n->next) {
    MBranch* p = n->pn_node ? first_p.find(n->pn_node) : nullptr;
    if (!p) continue;
    network::form_gate(cmos_gate_list, lists::NumberedName("gate", count++).text, n, p);
  }
  num_of_gates = count;
}

void MGroup::gen_hash_gate_list() {
  hash_gate_list = network::number_table(cmos_gate_list, &MCGate::gatename, num_of_gates);
}

void MGroup::gen_inlist_for_gate() { network::gen_inlist_for_gate(hash_gate_list, num_of_gates); }

void MGroup::gen_hash_trans_list() {
  network::for_each_numbered(transhead, &TRANSLIST::transname, num_of_trans,
                             [this](int k, TRANSLIST* t) { hash_trans_list.set(k, t); });
}

void MGroup::gen_connection_of_gates() { network::gen_connection_of_gates(hash_gate_list, num_of_gates, nets(), true); }

void MGroup::gen_connection_of_trans() {
  const MLookup& look = nets();
  hash_trans_list.for_each([&](long long k, TRANSLIST* t) {
    if (k < num_of_trans) network::connect_trans(t, look);
  });
}

void MGroup::count_input_num_of_node() {
  for (NODELIST* n = nodehead; n; n = n->next) network::count_input_num_of_node(n);
}
