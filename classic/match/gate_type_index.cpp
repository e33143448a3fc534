#include "classic/match/gate_type_index.h"

#include <algorithm>
#include <memory>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"

namespace {
int number_of(int entry) { return entry < 0 ? ~entry : entry; }

std::vector<int>::iterator find_entry(std::vector<int>& group, int number) {
  return std::lower_bound(group.begin(), group.end(), number,
                          [](int entry, int n) { return number_of(entry) < n; });
}
}  // namespace

void GateTypeIndex::build(CGate* const* table, int count) {
  table_ = table;
  count_ = count;
  by_pointers_.clear();
  by_text_.clear();
  groups_.clear();
  types_.clear();
  has_removed_.clear();
  group_of_gate_.assign(count > 0 ? count : 0, -1);
  for (int i = 0; table && i < count; ++i) {
    if (!table[i]) continue;
    std::vector<int>* group = group_of(logic_type_of(table[i]), true);
    if (!group) continue;
    group->push_back(i);
    group_of_gate_[i] = static_cast<int>(group - groups_.data());
  }
}

std::vector<int>* GateTypeIndex::group_of(const LogicType& t, bool create) {
  if (!t.valid()) return nullptr;
  auto key = std::make_pair(t.n, t.p);
  auto at = by_pointers_.find(key);
  if (at != by_pointers_.end()) return &groups_[at->second];
  auto it = by_text_.find(t);
  if (it == by_text_.end()) {
    if (!create) return nullptr;
    it = by_text_.emplace(t, static_cast<int>(groups_.size())).first;
    groups_.emplace_back();
    types_.push_back(t);
    has_removed_.push_back(0);
  }
  by_pointers_.emplace(key, it->second);
  return &groups_[it->second];
}

void GateTypeIndex::remove(int number) {
  if (number < 0 || number >= count_) return;
  int g = group_of_gate_[number];
  if (g < 0) return;
  std::vector<int>& group = groups_[g];
  auto at = find_entry(group, number);
  if (at != group.end() && *at == number) {
    *at = ~number;
    has_removed_[g] = 1;
  }
  group_of_gate_[number] = -1;
}

void GateTypeIndex::add(int number) {
  if (number < 0 || number >= count_ || !table_[number]) return;
  if (group_of_gate_[number] >= 0) remove(number);
  std::vector<int>* group = group_of(logic_type_of(table_[number]), true);
  if (!group) return;
  auto at = find_entry(*group, number);
  if (at != group->end() && number_of(*at) == number) {
    *at = number;
  } else {
    group->insert(at, number);
  }
  group_of_gate_[number] = static_cast<int>(group - groups_.data());
}

void GateTypeIndex::compact(std::vector<int>& group) {
  char& removed = has_removed_[&group - groups_.data()];
  if (!removed) return;
  group.erase(std::remove_if(group.begin(), group.end(), [](int entry) { return entry < 0; }), group.end());
  removed = 0;
}

std::vector<int> GateTypeIndex::numbers_of(const LogicType& t) {
  std::vector<int> out;
  std::vector<int>* group = group_of(t, false);
  if (!group) return out;
  compact(*group);
  for (int number : *group) {
    if (table_[number]) out.push_back(number);
  }
  return out;
}

GateTypeIndex& flat_gate_type_index() {
  std::shared_ptr<GateTypeIndex>& index = run_state().gate_type_index;
  if (!index) index = std::make_shared<GateTypeIndex>();
  if (!index->built_on(hash_gate_list, num_of_gates)) index->build(hash_gate_list, num_of_gates);
  return *index;
}
