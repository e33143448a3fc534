#include "subckt/mgroup.h"

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "extract/gate_types.h"
#include "extract/recognition.h"
#include "netlist/arena.h"

MGroup::MGroup(MOSLIST* moshead_, NODELIST* nodehead_, INOUTLIST* inputhead_, INOUTLIST* outputhead_)
    : moshead(moshead_), nodehead(nodehead_), inputhead(inputhead_), outputhead(outputhead_) {}

const MLookup& MGroup::nets() {
  if (!lookup_) lookup_ = std::make_shared<const MLookup>(moshead, nodehead);
  return *lookup_;
}

// ---- Small members ----------------------------------------------------------

int MGroup::return_number(const char* name) { return ::return_number(name); }

char* MGroup::get_vdd(MOSLIST* head) {
  for (MOSLIST* m = head; m; m = m->next)
    if (m->nptype != 0) return m->b;
  return nullptr;
}

char* MGroup::get_gnd(MOSLIST* head) {
  for (MOSLIST* m = head; m; m = m->next)
    if (m->nptype == 0) return m->b;
  return nullptr;
}

MBranch* MGroup::insert_branch(MBranch* head, MBranch* new_branch) { return link_behind_head(head, new_branch); }

void MGroup::undelete_mosfet(MOSLIST* mlist) {
  for (MOSLIST* m = mlist; m; m = m->next)
    if (MOSLIST* own = nets().first_mos(m->mosname)) own->in_branch = false;
}

MOSLIST* MGroup::insert_mos(MOSLIST* head, MOSLIST* mos) {
  auto* rec = arena_new<MOSLIST>(*mos);
  rec->in_branch = false;
  return link_behind_head(head, rec);
}

void MGroup::exchange_d_s(MOSLIST* mos) {
  char* d = mos->d;
  mos->d = mos->s;
  mos->s = d;
}

int MGroup::query_is_pnnode(const char* name) { return nets().first_is_pn(name) ? 1 : 0; }

int MGroup::query_is_gnode(const char* name) { return nets().drives_gate(name) ? 1 : 0; }

TRANSLIST* MGroup::insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g,
                                char* n_g) {
  auto* rec = arena_new<TRANSLIST>();
  rec->transname = arena::strdup(name);
  rec->input = input;
  rec->output = output;
  rec->p_g = p_g;
  rec->n_g = n_g;
  return link_behind_head(head, rec);
}

void MGroup::undelete_mos_in_pass() {
  for (MOSLIST* m = pass_transistor_list; m; m = m->next) m->in_branch = false;
}

int MGroup::counter(MBranch* branch) {
  int n = 0;
  for (MOSLIST* m = branch->mos_list; m; m = m->next) ++n;
  return n;
}

int MGroup::query_n_branch(const char* name) { return name && in_n_branch_.count(name) ? 1 : 0; }

int MGroup::query_p_branch(const char* name) { return name && in_p_branch_.count(name) ? 1 : 0; }

MCGate* MGroup::insert_cgate(MCGate* head, MCGate* newgate) {
  auto* rec = arena_new<MCGate>(newgate->gatename, newgate->n_branch, newgate->p_branch, newgate->cmos_gate);
  rec->pn_input_match = false;
  rec->unique = false;
  return link_behind_head(head, rec);
}

PINLIST* MGroup::insert_pin(PINLIST* head, char* name) {
  auto* rec = arena_new<PINLIST>();
  rec->NodeName = name;
  return link_behind_head(head, rec);
}

bool MGroup::query_in_pinlist(const char* name, PINLIST* plist) {
  for (PINLIST* p = plist; p; p = p->next)
    if (same_net(p->NodeName, name)) return true;
  return false;
}

bool MGroup::query_in_gate_list(const char* name, PINLIST* plist) { return query_in_pinlist(name, plist); }

// ---- Branches ---------------------------------------------------------------

void MGroup::grow_branches(NODELIST* rail, int p_n_type) {
  if (!rail) return;
  auto& taken = p_n_type == 0 ? in_n_branch_ : in_p_branch_;
  MBranch*& list = p_n_type == 0 ? n_branch_list : p_branch_list;
  for (DEVICELIST* dev = rail->devicelist; dev; dev = dev->next) {
    if (p_n_type == 0 ? query_n_branch(dev->devicename) : query_p_branch(dev->devicename)) continue;
    MOSLIST* seed = nets().first_mos(dev->devicename);
    // A branch grows only from a MOSFET of its own channel type, so a load
    // of the other type hanging on the rail by its gate seeds nothing.
    if (!seed || (seed->nptype != 0) != (p_n_type == 1)) continue;
    auto* branch = arena_new<MBranch>(p_n_type, moshead, nodehead);
    branch->use_lookup(lookup_);
    bool grown = branch->generate_branch(seed, p_n_type);
    branch->back_up_mos_list();
    if (!grown) {
      undelete_mosfet(branch->mos_list);
      continue;
    }
    list = insert_branch(list, branch);
    for (MOSLIST* m = branch->mos_list; m; m = m->next)
      if (m->mosname) taken.insert(m->mosname);
  }
}

void MGroup::generate_branch_list() {
  const MLookup& look = nets();
  // A definition without one channel type has no such rail and grows no
  // branch of that kind.
  grow_branches(look.last_node(look.gnd()), 0);
  grow_branches(look.last_node(look.vdd()), 1);
}

namespace {

// Branches that drive one output become one: the first of them in list order
// takes over the MOSFETs and internal nodes of the later ones, which leave
// the list.
void merge_same_output(MBranch* head) {
  std::unordered_map<std::string_view, MBranch*> owner;
  MBranch* prev = nullptr;
  for (MBranch* c = head; c;) {
    MBranch* b = nullptr;
    if (c->pn_node) {
      auto [it, fresh] = owner.try_emplace(c->pn_node, c);
      if (!fresh) b = it->second;
    }
    if (!b) {
      prev = c;
      c = c->next;
      continue;
    }
    for (MOSLIST* m = c->mos_list; m; m = m->next) b->mos_list = b->insert_mos(b->mos_list, m);
    for (BRANCHNODELIST* n = c->node_list; n; n = n->next) b->node_list = b->insert_node(b->node_list, n->nodename);
    prev->next = c->next;
    c = c->next;
  }
}

}  // namespace

void MGroup::group_branch_list() {
  merge_same_output(p_branch_list);
  merge_same_output(n_branch_list);
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
  // Two records match when they join the same two nets, either way round;
  // only records of one pair of nets are compared with each other.
  std::unordered_map<std::string, std::vector<MOSLIST*>> by_ends;
  std::unordered_map<MOSLIST*, std::size_t> place;
  auto ends_key = [](const MOSLIST* m) {
    std::string a = m->d ? m->d : "", b = m->s ? m->s : "";
    if (b < a) std::swap(a, b);
    return a + '\n' + b;
  };
  for (MOSLIST* m = pass_transistor_list; m; m = m->next) {
    auto& same_ends = by_ends[ends_key(m)];
    place[m] = same_ends.size();
    same_ends.push_back(m);
  }
  int count = 0;
  char name[32];
  for (MOSLIST* a = pass_transistor_list; a; a = a->next) {
    if (a->in_branch) continue;
    const auto& same_ends = by_ends[ends_key(a)];
    for (std::size_t i = place[a] + 1; i < same_ends.size(); ++i) {
      MOSLIST* b = same_ends[i];
      if (b->in_branch) continue;
      // Every match uses up a number, also one of two MOSFETs of one type.
      std::snprintf(name, sizeof name, "trans%d", count++);
      bool a_is_p = a->nptype != 0;
      bool b_is_p = b->nptype != 0;
      if (a_is_p == b_is_p) continue;
      transhead = insert_trans(transhead, name, a->d, a->s, a_is_p ? a->g : b->g, a_is_p ? b->g : a->g);
      a->in_branch = true;
      b->in_branch = true;
      break;
    }
  }
  num_of_trans = count;
  for (MOSLIST* m = pass_transistor_list; m; m = m->next)
    if (!m->in_branch) left_transistor_list = insert_mos(left_transistor_list, m);
}

void MGroup::generate_num_for_branch() {
  for (MBranch* b = n_branch_list; b; b = b->next) b->num_of_mos = counter(b);
  for (MBranch* b = p_branch_list; b; b = b->next) b->num_of_mos = counter(b);
}

void MGroup::n_branch_recognition() {
  const MLookup& look = nets();
  recognition::branch_recognition(n_branch_list, look.vdd(), look.gnd(), "N_Model_",
                                  "This n_branch contains more than 7 mosfets, can't handle\n");
}

void MGroup::p_branch_recognition() {
  const MLookup& look = nets();
  recognition::branch_recognition(p_branch_list, look.vdd(), look.gnd(), "P_Model_",
                                  "This p_branch contains more than 7 mosfets, can't handle\n");
}

// ---- Gates ------------------------------------------------------------------

void MGroup::gate_recognition() {
  std::unordered_map<std::string_view, MBranch*> first_p;
  for (MBranch* p = p_branch_list; p; p = p->next)
    if (p->pn_node) first_p.try_emplace(p->pn_node, p);
  int count = 0;
  char name[32];
  for (MBranch* n = n_branch_list; n; n = n->next) {
    if (!n->pn_node) continue;
    auto it = first_p.find(n->pn_node);
    if (it == first_p.end()) continue;
    MBranch* p = it->second;
    std::snprintf(name, sizeof name, "gate%d", count++);
    bool cmos = n->num_of_mos == p->num_of_mos && is_dual_pair(n->headername, p->headername);
    MCGate gate(name, n, p, cmos);
    cmos_gate_list = insert_cgate(cmos_gate_list, &gate);
  }
  num_of_gates = count;
}

void MGroup::gen_hash_gate_list() {
  int size = num_of_gates > 0 ? num_of_gates : 0;
  hash_gate_list = static_cast<MCGate**>(arena::alloc(sizeof(MCGate*) * (size > 0 ? size : 1)));
  for (MCGate* g = cmos_gate_list; g; g = g->next) {
    int i = return_number(g->gatename);
    if (i >= 0 && i < size) hash_gate_list[i] = g;
  }
}

void MGroup::gen_inlist_for_gate() {
  for (int i = 0; i < num_of_gates; ++i) {
    MCGate* g = hash_gate_list ? hash_gate_list[i] : nullptr;
    if (!g) continue;
    for (NAMELIST* r = g->n_branch->name_list; r; r = r->next) g->inlist = insert_pin(g->inlist, r->gatename);
    for (NAMELIST* r = g->p_branch->name_list; r; r = r->next) {
      if (query_in_pinlist(r->gatename, g->inlist)) continue;
      g->inlist = insert_pin(g->inlist, r->gatename);
      g->pn_input_match = false;
    }
  }
}

void MGroup::gen_hash_trans_list() {
  int size = num_of_trans > 0 ? num_of_trans : 0;
  hash_trans_list = static_cast<TRANSLIST**>(arena::alloc(sizeof(TRANSLIST*) * (size > 0 ? size : 1)));
  for (TRANSLIST* t = transhead; t; t = t->next) {
    int i = return_number(t->transname);
    if (i >= 0 && i < size) hash_trans_list[i] = t;
  }
}

void MGroup::gen_connection_of_gates() {
  const MLookup& look = nets();
  std::vector<NODELIST*> fed;
  for (int i = 0; i < num_of_gates; ++i) {
    MCGate* g = hash_gate_list ? hash_gate_list[i] : nullptr;
    if (!g) continue;
    if (NODELIST* out = look.first_node(g->n_branch->pn_node)) out->output_of_gate_name = g->gatename;
    // Only this gate's own pass adds its name, so "already listed" means
    // "listed earlier in this pass": a node's list of fed gates, which can
    // be long on a clock net, is never scanned.
    fed.clear();
    for (MBranch* b : {g->n_branch, g->p_branch}) {
      for (NAMELIST* r = b->name_list; r; r = r->next) {
        NODELIST* node = look.first_node(r->gatename);
        if (!node) continue;
        bool listed = false;
        for (NODELIST* f : fed) listed = listed || f == node;
        if (listed) continue;
        node->input_of_gate_list = insert_pin(node->input_of_gate_list, g->gatename);
        fed.push_back(node);
      }
    }
  }
}

void MGroup::gen_connection_of_trans() {
  const MLookup& look = nets();
  for (int i = 0; i < num_of_trans; ++i) {
    TRANSLIST* t = hash_trans_list ? hash_trans_list[i] : nullptr;
    if (!t) continue;
    if (const auto* outs = look.nodes(t->output))
      for (NODELIST* n : *outs) n->output_of_trans_name = t->transname;
    if (const auto* ins = look.nodes(t->input))
      for (NODELIST* n : *ins) n->input_of_trans_name = t->transname;
  }
}

void MGroup::count_input_num_of_node() {
  for (NODELIST* n = nodehead; n; n = n->next) {
    if (n->pn_node != 1) {
      n->num_of_inputs = 0;
      continue;
    }
    int count = 0;
    for (PINLIST* p = n->input_of_gate_list; p; p = p->next) ++count;
    if (n->input_of_trans_name) ++count;
    if (n->output_of_trans_name) ++count;
    n->num_of_inputs = count;
  }
}
