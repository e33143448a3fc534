#pragma once
// A table of records indexed by numbers taken from names. Only the slots that
// are set cost memory, so a name like n2000000000 in a small netlist stays
// cheap; walks visit the set slots in ascending index order, as a walk over a
// plain array would.
#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <vector>

template <class T>
class IndexTable {
 public:
  void clear() {
    slots_.clear();
    keys_.clear();
    sorted_ = true;
  }
  void reserve(std::size_t n) { slots_.reserve(n); }

  T* get(long long i) const {
    if (i < 0) return nullptr;
    auto it = slots_.find(i);
    return it == slots_.end() ? nullptr : it->second;
  }

  // Setting null empties the slot.
  void set(long long i, T* v) {
    if (i < 0) return;
    if (!v) {
      auto it = slots_.find(i);
      if (it != slots_.end()) it->second = nullptr;
      return;
    }
    auto [it, added] = slots_.try_emplace(i, v);
    if (!added) {
      it->second = v;
      return;
    }
    if (!keys_.empty() && keys_.back() > i) sorted_ = false;
    keys_.push_back(i);
  }

  // f(index, record) for every set slot, lowest index first. Slots set or
  // emptied by f itself are seen as they stand when reached.
  template <class Fn>
  void for_each(Fn&& f) const {
    sort_keys();
    for (std::size_t k = 0; k < keys_.size(); ++k) {
      long long i = keys_[k];
      T* v = get(i);
      if (v) f(i, v);
    }
  }

  std::size_t size() const { return slots_.size(); }

 private:
  void sort_keys() const {
    if (!sorted_) {
      std::sort(keys_.begin(), keys_.end());
      sorted_ = true;
    }
  }
  std::unordered_map<long long, T*> slots_;
  mutable std::vector<long long> keys_;
  mutable bool sorted_ = true;
};
