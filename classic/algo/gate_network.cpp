#include "classic/algo/gate_network.h"

#include <algorithm>
#include <climits>
#include <set>
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

// The records with one pair of ends, by position in list order, and which of
// them are still unpaired: counted over position ranges (a Fenwick tree) and
// listed per channel type. Pairing asks "how many unpaired ones stand between
// here and the first unpaired one of the other type", which a scan would
// answer in time growing with the group, for every record of it.
class EndsGroup {
 public:
  void add(std::size_t order_index, int type) {
    members_.push_back(order_index);
    type_.push_back(type);
  }
  std::size_t size() const { return members_.size(); }
  std::size_t member(std::size_t pos) const { return members_[pos]; }

  // Called once every member is added; all of them start unpaired.
  void open_all() {
    tree_.assign(members_.size() + 1, 0);
    for (std::size_t pos = 0; pos < members_.size(); ++pos) {
      change(pos, 1);
      open_[type_[pos]].insert(pos);
    }
  }
  void close(std::size_t pos) {
    change(pos, -1);
    open_[type_[pos]].erase(pos);
  }
  // The first unpaired position after `pos` of the given type, or size().
  std::size_t next_open(std::size_t pos, int type) const {
    auto it = open_[type].upper_bound(pos);
    return it == open_[type].end() ? size() : *it;
  }
  // Unpaired members at positions [from, to).
  long long open_between(std::size_t from, std::size_t to) const { return before(to) - before(from); }

 private:
  void change(std::size_t pos, int delta) {
    for (std::size_t i = pos + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }
  long long before(std::size_t pos) const {
    long long sum = 0;
    for (std::size_t i = pos; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  std::vector<std::size_t> members_;
  std::vector<int> type_;
  std::vector<int> tree_;
  std::set<std::size_t> open_[2];
};

}  // namespace

void exchange_d_s(MOSLIST* mos) {
  std::swap(mos->d, mos->s);
  mos->exchanged = !mos->exchanged;
}

void undelete_mos_in_pass(MOSLIST* pass_transistor_list) {
  for (MOSLIST* m = pass_transistor_list; m; m = m->next) m->in_branch = false;
}

int pair_transmission_gates(MOSLIST* pass_transistor_list, TRANSLIST*& transhead, MOSLIST*& left) {
  // Candidates for each record are the records behind it with the same two
  // ends; grouping by the unordered pair visits them in the same list order.
  // In list order every unpaired record A is matched against the unpaired
  // records behind it in its group, each match using up a number, until the
  // first one of the other channel type, which pairs with A.
  std::vector<MOSLIST*> order;
  std::unordered_map<EndsKey, std::size_t, EndsHash> group_of_ends;
  std::vector<EndsGroup> groups;
  std::vector<std::size_t> group_of;  // per record
  std::vector<std::size_t> place;     // position of each record within its group
  auto type_of = [](const MOSLIST* m) { return m->nptype != 0 ? 1 : 0; };
  for (MOSLIST* m = pass_transistor_list; m; m = m->next) {
    auto [it, added] = group_of_ends.try_emplace(ends_of(m), groups.size());
    if (added) groups.emplace_back();
    EndsGroup& group = groups[it->second];
    group_of.push_back(it->second);
    place.push_back(group.size());
    group.add(order.size(), type_of(m));
    order.push_back(m);
  }
  for (EndsGroup& group : groups) group.open_all();
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i]->in_branch) groups[group_of[i]].close(place[i]);

  // Same-type matches use up numbers quadratically in a group's size, so
  // the count may pass what an int holds; such numbers name no table slot.
  long long count = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    MOSLIST* a = order[i];
    if (a->in_branch) continue;
    EndsGroup& group = groups[group_of[i]];
    std::size_t at = place[i];
    std::size_t partner = group.next_open(at, 1 - type_of(a));
    count += group.open_between(at + 1, std::min(partner + 1, group.size()));
    if (partner == group.size()) continue;
    MOSLIST* b = order[group.member(partner)];
    MOSLIST* p = type_of(a) ? a : b;
    MOSLIST* n = type_of(a) ? b : a;
    transhead = lists::insert_trans(transhead, lists::NumberedName("trans", count - 1).text, a->d, a->s, p->g, n->g);
    a->in_branch = b->in_branch = true;
    group.close(at);
    group.close(partner);
  }
  for (MOSLIST* m = pass_transistor_list; m; m = m->next)
    if (!m->in_branch) left = lists::insert_free_mos(left, m);
  return static_cast<int>(std::min<long long>(count, INT_MAX));
}

void count_input_num_of_node(NODELIST* node) {
  if (node->pn_node != 1) {
    node->num_of_inputs = 0;
    return;
  }
  node->num_of_inputs = lists::count(node->input_of_gate_list.list()) + (node->input_of_trans_name ? 1 : 0) +
                        (node->output_of_trans_name ? 1 : 0);
}

}  // namespace network
