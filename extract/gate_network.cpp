#include "extract/gate_network.h"

#include <string_view>
#include <unordered_map>
#include <utility>

namespace network {
namespace {

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

void exchange_d_s(MOSLIST* mos) { std::swap(mos->d, mos->s); }

void undelete_mos_in_pass(MOSLIST* pass_transistor_list) {
  for (MOSLIST* m = pass_transistor_list; m; m = m->next) m->in_branch = false;
}

int pair_transmission_gates(MOSLIST* pass_transistor_list, TRANSLIST*& transhead, MOSLIST*& left) {
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
  int count = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    MOSLIST* a = order[i];
    if (a->in_branch) continue;
    const auto& group = by_ends[ends_of(a)];
    for (std::size_t j = place[i] + 1; j < group.size(); ++j) {
      MOSLIST* b = order[group[j]];
      if (b->in_branch) continue;
      lists::NumberedName name("trans", count++);
      bool a_p = a->nptype != 0, b_p = b->nptype != 0;
      if (a_p == b_p) continue;
      MOSLIST* p = a_p ? a : b;
      MOSLIST* n = a_p ? b : a;
      transhead = lists::insert_trans(transhead, name.text, a->d, a->s, p->g, n->g);
      a->in_branch = b->in_branch = true;
      break;
    }
  }
  for (MOSLIST* m = pass_transistor_list; m; m = m->next)
    if (!m->in_branch) left = lists::insert_free_mos(left, m);
  return count;
}

void count_input_num_of_node(NODELIST* node) {
  if (node->pn_node != 1) {
    node->num_of_inputs = 0;
    return;
  }
  node->num_of_inputs = lists::count(node->input_of_gate_list) + (node->input_of_trans_name ? 1 : 0) +
                        (node->output_of_trans_name ? 1 : 0);
}

}  // namespace network
