#include "extract/group.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "extract/gate_types.h"
#include "extract/name_set.h"
#include "extract/node.h"
#include "extract/recognition.h"
#include "netlist/arena.h"

using recognition::same_name;

namespace {

// prefix followed by the number in decimal, e.g. gate12.
char* numbered_name(const char* prefix, long long number) {
  char buf[64];
  std::size_t len = std::strlen(prefix);
  std::memcpy(buf, prefix, len);
  char* end = std::to_chars(buf + len, buf + sizeof buf, number).ptr;
  return arena::strndup(buf, static_cast<std::size_t>(end - buf));
}

int count_branches(const Branch* b) {
  int n = 0;
  for (; b; b = b->next) ++n;
  return n;
}

// Unordered (drain, source) pair: parallel MOSFETs share it.
struct EndsKey {
  std::string_view a, b;
  bool operator==(const EndsKey&) const = default;
};
struct EndsHash {
  std::size_t operator()(const EndsKey& k) const {
    return std::hash<std::string_view>()(k.a) * 31 + std::hash<std::string_view>()(k.b);
  }
};
EndsKey ends_of(const MOSLIST* m) {
  std::string_view d = m->d ? m->d : "", s = m->s ? m->s : "";
  return d < s ? EndsKey{d, s} : EndsKey{s, d};
}

}  // namespace

Group::Group() {
  hash_gate_list = nullptr;
  hash_trans_list.clear();
  vdd_ = get_vdd(MosHead);
  gnd_ = get_gnd(MosHead);
}

Group::~Group() = default;

int Group::return_number(const char* name) { return ::return_number(name); }

NODELIST* Group::get_node(const char* nodename) { return flat_get_node(nodename); }

char* Group::get_vdd(MOSLIST* moshead) { return find_rail(moshead, true); }

char* Group::get_gnd(MOSLIST* moshead) { return find_rail(moshead, false); }

// ---- Branches, pass transistors, transmission gates -----------------------

Branch* Group::insert_branch(Branch* head, Branch* new_branch) { return link_behind_head(head, new_branch); }

void Group::undelete_mosfet(MOSLIST* mlist) {
  for (; mlist; mlist = mlist->next)
    if (MOSLIST* mos = hash_mos_list.get(return_number(mlist->mosname))) mos->in_branch = false;
}

MOSLIST* Group::insert_mos(MOSLIST* head, MOSLIST* mos) {
  auto* rec = arena_new<MOSLIST>(*mos);
  rec->in_branch = false;
  return link_behind_head(head, rec);
}

void Group::exchange_d_s(MOSLIST* mos) { std::swap(mos->d, mos->s); }

int Group::query_is_pnnode(const char* name) {
  NODELIST* node = get_node(name);
  return node ? node->pn_node : 0;
}

int Group::query_is_gnode(const char* name) {
  NODELIST* node = get_node(name);
  for (DEVICELIST* dev = node ? node->devicelist : nullptr; dev; dev = dev->next)
    if (dev->pintype == GP) return 1;
  return 0;
}

TRANSLIST* Group::insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g) {
  auto* rec = arena_new<TRANSLIST>();
  rec->transname = arena::strdup(name);
  rec->input = input;
  rec->output = output;
  rec->p_g = p_g;
  rec->n_g = n_g;
  return link_behind_head(head, rec);
}

void Group::undelete_mos_in_pass() {
  for (MOSLIST* m = pass_transistor_list; m; m = m->next) m->in_branch = false;
}

int Group::counter(Branch* branch) { return count_mos_list(branch->mos_list); }

int Group::query_n_branch(const char* name) {
  for (Branch* b = n_branch_list; b; b = b->next)
    for (MOSLIST* m = b->mos_list; m; m = m->next)
      if (same_name(m->mosname, name)) return 1;
  return 0;
}

int Group::query_p_branch(const char* name) {
  for (Branch* b = p_branch_list; b; b = b->next)
    for (MOSLIST* m = b->mos_list; m; m = m->next)
      if (same_name(m->mosname, name)) return 1;
  return 0;
}

void Group::grow_branches(NODELIST* rail, int p_n_type) {
  Branch*& list = p_n_type ? p_branch_list : n_branch_list;
  for (DEVICELIST* dev = rail ? rail->devicelist : nullptr; dev; dev = dev->next) {
    MOSLIST* seed = hash_mos_list.get(return_number(dev->devicename));
    if (!seed || seed->in_branch) continue;
    // Only a MOSFET of the branch's own channel type can seed it: a p-channel
    // load with its gate on ground is no pull-down.
    if ((seed->nptype != 0) != (p_n_type != 0)) continue;
    auto* branch = arena_new<Branch>(p_n_type);
    branch->set_rails(vdd_, gnd_);
    bool grown = branch->generate_branch(seed, p_n_type);
    branch->back_up_mos_list();
    if (grown)
      list = insert_branch(list, branch);
    else
      undelete_mosfet(branch->mos_list);
  }
}

void Group::generate_branch_list() {
  grow_branches(gnd_ ? get_node(gnd_) : nullptr, 0);
  grow_branches(vdd_ ? get_node(vdd_) : nullptr, 1);
}

namespace {

// Folds every branch into the first one of the list with the same output,
// in list order, as a scan of the branches behind each branch would.
// Returns how many branches were folded away.
int merge_by_output(Branch* list, int count) {
  NameMap<Branch> first_on(static_cast<std::size_t>(count));
  int folded = 0;
  Branch* prev = nullptr;
  for (Branch* b = list; b;) {
    Branch* next = b->next;
    Branch* keep = first_on.emplace(b->pn_node ? b->pn_node : "", b);
    if (keep == b) {
      prev = b;
    } else {
      for (MOSLIST* m = b->mos_list; m; m = m->next) keep->mos_list = keep->insert_mos(keep->mos_list, m);
      for (BRANCHNODELIST* n = b->node_list; n; n = n->next)
        keep->node_list = keep->insert_node(keep->node_list, n->nodename);
      prev->next = next;
      ++folded;
    }
    b = next;
  }
  return folded;
}

}  // namespace

void Group::group_branch_list() {
  int n = count_branches(n_branch_list), p = count_branches(p_branch_list);
  std::printf("num n branchs%d num p branches %d\n", n, p);
  p -= merge_by_output(p_branch_list, p);
  n -= merge_by_output(n_branch_list, n);
  std::printf("valid n branchs%d heihei valid p branches %d\n", n, p);
}

void Group::generate_num_for_branch() {
  for (Branch* b = n_branch_list; b; b = b->next) b->num_of_mos = counter(b);
  for (Branch* b = p_branch_list; b; b = b->next) b->num_of_mos = counter(b);
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
  // Candidates for each record are the records behind it with the same two
  // ends; grouping by the unordered pair visits them in the same list order.
  std::vector<MOSLIST*> order;
  std::unordered_map<EndsKey, std::vector<std::size_t>, EndsHash> by_ends;
  std::vector<std::size_t> place;  // position of each record within its group
  for (MOSLIST* m = pass_transistor_list; m; m = m->next) {
    auto& group = by_ends[ends_of(m)];
    place.push_back(group.size());
    group.push_back(order.size());
    order.push_back(m);
  }
  long long count = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    MOSLIST* a = order[i];
    if (a->in_branch) continue;
    const auto& group = by_ends[ends_of(a)];
    for (std::size_t j = place[i] + 1; j < group.size(); ++j) {
      MOSLIST* b = order[group[j]];
      if (b->in_branch) continue;
      bool same_way = same_name(a->d, b->d) && same_name(a->s, b->s);
      bool crossed = same_name(a->d, b->s) && same_name(a->s, b->d);
      if (!same_way && !crossed) continue;
      char* name = numbered_name("trans", count++);
      bool a_p = a->nptype != 0, b_p = b->nptype != 0;
      if (a_p == b_p) continue;
      MOSLIST* p = a_p ? a : b;
      MOSLIST* n = a_p ? b : a;
      TransHead = insert_trans(TransHead, name, a->d, a->s, p->g, n->g);
      a->in_branch = b->in_branch = true;
      break;
    }
  }
  num_of_trans = static_cast<int>(count);
  for (MOSLIST* m = pass_transistor_list; m; m = m->next)
    if (!m->in_branch) left_transistor_list = insert_mos(left_transistor_list, m);
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
  return recognition::series_recognition(n_branch, turn, vdd_, gnd_);
}

void Group::n_branch_recognition() {
  recognition::branch_recognition(n_branch_list, vdd_, gnd_, "N_Model_",
                                  "This n_branch contains more than 7 mosfets, can't handle\n");
}

void Group::p_branch_recognition() {
  recognition::branch_recognition(p_branch_list, vdd_, gnd_, "P_Model_",
                                  "This p_branch contains more than 7 mosfets, can't handle\n");
}

// ---- Gate formation -----------------------------------------------------------

CGate* Group::insert_cgate(CGate* head, CGate* newgate) {
  auto* rec = arena_new<CGate>(newgate->gatename, newgate->n_branch, newgate->p_branch, newgate->cmos_gate);
  rec->inlist = nullptr;
  rec->pn_input_match = false;
  rec->unique = false;
  return link_behind_head(head, rec);
}

void Group::give_name_to_branch() {
  int k = 0;
  for (Branch* b = n_branch_list; b; b = b->next) b->branchname = numbered_name("nbranch", k++);
  num_of_n_branches = k;
  k = 0;
  for (Branch* b = p_branch_list; b; b = b->next) b->branchname = numbered_name("pbranch", k++);
  num_of_p_branches = k;
}

void Group::gen_hash_branch_list() {
  hash_n_branch_list = static_cast<Branch**>(arena::alloc(sizeof(Branch*) * (num_of_n_branches + 1)));
  hash_p_branch_list = static_cast<Branch**>(arena::alloc(sizeof(Branch*) * (num_of_p_branches + 1)));
  for (Branch* b = n_branch_list; b; b = b->next) {
    int k = return_number(b->branchname);
    if (k >= 0 && k <= num_of_n_branches) hash_n_branch_list[k] = b;
  }
  for (Branch* b = p_branch_list; b; b = b->next) {
    int k = return_number(b->branchname);
    if (k >= 0 && k <= num_of_p_branches) hash_p_branch_list[k] = b;
  }
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
  long long count = 0;
  auto branch_at = [this](Branch** table, int size, const char* name) -> Branch* {
    int k = return_number(name);
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
      char* name = numbered_name("gate", count++);
      bool cmos = n->num_of_mos == p->num_of_mos && is_dual_pair(n->headername, p->headername);
      CGate formed(name, n, p, cmos);
      cmos_gate_list = insert_cgate(cmos_gate_list, &formed);
      node->output_of_gate_name = name;
    } else if (has_n || has_p) {
      std::fputs("It's wired, because there is only one branch connected with pn_node\n", stdout);
    }
  });
  num_of_gates = static_cast<int>(count);
}

// ---- Gate connectivity --------------------------------------------------------

PINLIST* Group::insert_pin(PINLIST* head, char* name) {
  auto* rec = arena_new<PINLIST>();
  rec->NodeName = name;
  return link_behind_head(head, rec);
}

bool Group::query_in_pinlist(const char* name, PINLIST* plist) {
  for (; plist; plist = plist->next)
    if (same_name(plist->NodeName, name)) return true;
  return false;
}

bool Group::query_in_gate_list(const char* name, PINLIST* plist) { return query_in_pinlist(name, plist); }

int Group::count_mos_list(MOSLIST* mlist) {
  int n = 0;
  for (; mlist; mlist = mlist->next) ++n;
  return n;
}

void Group::gen_hash_gate_list() {
  hash_gate_list = static_cast<CGate**>(arena::alloc(sizeof(CGate*) * (num_of_gates > 0 ? num_of_gates : 1)));
  for (CGate* g = cmos_gate_list; g; g = g->next) {
    int k = return_number(g->gatename);
    if (k >= 0 && k < num_of_gates) hash_gate_list[k] = g;
  }
}

void Group::gen_inlist_for_gate() {
  for (int k = 0; k < num_of_gates; ++k) {
    CGate* g = hash_gate_list[k];
    if (!g) continue;
    for (NAMELIST* n = g->n_branch ? g->n_branch->name_list : nullptr; n; n = n->next)
      g->inlist = insert_pin(g->inlist, n->gatename);
    for (NAMELIST* n = g->p_branch ? g->p_branch->name_list : nullptr; n; n = n->next) {
      if (query_in_pinlist(n->gatename, g->inlist)) continue;
      g->inlist = insert_pin(g->inlist, n->gatename);
      g->pn_input_match = false;
    }
  }
}

void Group::gen_hash_trans_list() {
  for (TRANSLIST* t = TransHead; t; t = t->next) {
    int k = return_number(t->transname);
    if (k >= 0 && k < num_of_trans) hash_trans_list.set(k, t);
  }
}

void Group::gen_connection_of_gates() {
  // Only the gate at hand can already stand in a node's list, so the nodes it
  // was added to are all there is to check (a clock net feeds thousands).
  std::vector<NODELIST*> fed;
  for (int k = 0; k < num_of_gates; ++k) {
    CGate* g = hash_gate_list[k];
    if (!g) continue;
    fed.clear();
    auto connect = [&](NAMELIST* names) {
      for (NAMELIST* n = names; n; n = n->next) {
        NODELIST* node = get_node(n->gatename);
        if (!node) continue;
        bool already = false;
        for (NODELIST* f : fed) already = already || f == node;
        if (already) continue;
        node->input_of_gate_list = insert_pin(node->input_of_gate_list, g->gatename);
        fed.push_back(node);
      }
    };
    connect(g->n_branch ? g->n_branch->name_list : nullptr);
    connect(g->p_branch ? g->p_branch->name_list : nullptr);
  }
}

void Group::gen_connection_of_trans() {
  hash_trans_list.for_each([this](long long k, TRANSLIST* t) {
    if (k >= num_of_trans) return;
    if (NODELIST* out = get_node(t->output)) out->output_of_trans_name = t->transname;
    if (NODELIST* in = get_node(t->input)) in->input_of_trans_name = t->transname;
  });
}

void Group::count_input_num_of_node() {
  hash_node_list.for_each([](long long, NODELIST* node) {
    if (node->pn_node != 1) {
      node->num_of_inputs = 0;
      return;
    }
    int n = 0;
    for (PINLIST* p = node->input_of_gate_list; p; p = p->next) ++n;
    node->num_of_inputs = n + (node->input_of_trans_name ? 1 : 0) + (node->output_of_trans_name ? 1 : 0);
  });
}

void Group::gen_num_for_macromodel() {
  for (MACROMODELLIST* m = MacroModelHead; m; m = m->next) m->num_of_mos = count_mos_list(m->mos_list);
}
