#include "classic/algo/gate_input_trim.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "classic/algo/run_state.h"
#include "classic/algo/text.h"
#include "core/diag/assert.h"

GateInputTrim::GateInputTrim(PINLIST* list) {
  for (PINLIST* p = list; p; p = p->next) {
    where_[p->NodeName].push_back(records_.size());
    records_.push_back(p);
  }
  removed_.assign(records_.size(), 0);
  if (!records_.empty()) head_ = 0;
  lo_ = records_.empty() ? 0 : 1;
  hi_ = records_.size();
}

long long GateInputTrim::pop_front() {
  while (lo_ < hi_) {
    std::size_t i = reversed_ ? --hi_ : lo_++;
    if (!removed_[i]) return static_cast<long long>(i);
  }
  return -1;
}

void GateInputTrim::remove(const char* name) {
  if (head_ < 0) return;
  auto it = name ? where_.find(name) : where_.end();
  if (it != where_.end()) {
    for (std::size_t i : it->second) removed_[i] = 1;
  }
  // The new list keeps the first name kept and walks the rest backwards.
  if (removed_[head_]) head_ = pop_front();
  reversed_ = !reversed_;
}

void GateInputTrim::positions_of(const char* name, std::vector<long long>& out) const {
  auto it = name ? where_.find(name) : where_.end();
  if (it == where_.end()) return;
  for (std::size_t i : it->second) {
    if (removed_[i]) continue;
    if (static_cast<long long>(i) == head_) {
      out.push_back(0);
    } else if (i >= lo_ && i < hi_) {
      out.push_back(1 + static_cast<long long>(reversed_ ? hi_ - 1 - i : i - lo_));
    }
  }
}

PINLIST* GateInputTrim::relink() {
  if (head_ < 0) return nullptr;
  PINLIST* first = records_[head_];
  PINLIST* last = first;
  while (lo_ < hi_) {
    long long i = pop_front();
    if (i < 0) break;
    last->next = records_[i];
    last = records_[i];
  }
  last->next = nullptr;
  return first;
}

namespace {

// One removal done at once on the records themselves: the first record kept
// stays first, the other kept ones follow in reverse.
PINLIST* remove_one(const char* name, PINLIST* list) {
  PINLIST* first = nullptr;
  PINLIST* rest = nullptr;
  for (PINLIST* p = list; p;) {
    PINLIST* next = p->next;
    if (!same_text(p->NodeName, name)) {
      p->next = first ? rest : nullptr;
      (first ? rest : first) = p;
    }
    p = next;
  }
  if (first) first->next = rest;
  return first;
}

// Below this length a net's list is simply rebuilt per removal.
constexpr int kShortList = 16;

}  // namespace

void remove_input_gates(NODELIST* node, const std::vector<const char*>& names) {
  if (!node || !node->input_of_gate_list.head_) return;
  GateInputs& gates = node->input_of_gate_list;
  auto& trims = run_state().gate_trims;
  auto it = gates.deferred() ? trims.find(&gates) : trims.end();
  if (it == trims.end()) {
    PINLIST* list = gates.head_;
    int length = 0;
    for (PINLIST* p = list; p && length <= kShortList; p = p->next) ++length;
    if (length <= kShortList) {
      std::vector<const char*> hits;
      for (PINLIST* p = list; p; p = p->next) {
        for (const char* n : names) {
          if (same_text(p->NodeName, n)) hits.push_back(n);
        }
      }
      for (const char* n : hits) list = remove_one(n, list);
      gates.head_ = list;
      return;
    }
    it = trims.emplace(&gates, std::make_unique<GateInputTrim>(list)).first;
    gates.defer();
  }
  GateInputTrim& trim = *it->second;
  // Entries are removed in the order a walk of the list meets them.
  std::vector<std::pair<long long, const char*>> order;
  std::vector<long long> at;
  for (const char* name : names) {
    at.clear();
    trim.positions_of(name, at);
    for (long long p : at) order.emplace_back(p, name);
  }
  std::sort(order.begin(), order.end());
  for (auto& [p, name] : order) trim.remove(name);
}

void flush_input_gate_removals() {
  auto& trims = run_state().gate_trims;
  while (!trims.empty()) trims.begin()->first->apply_removals();
}

PINLIST* GateInputs::apply_removals() {
  auto& trims = run_state().gate_trims;
  auto it = trims.find(this);
  EXTRACTOR_ASSERT(it != trims.end());
  head_ = it->second->relink();
  trims.erase(it);
  return head_;
}
