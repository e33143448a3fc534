#pragma once
// A table of records indexed by numbers taken from names. Numbers that are
// dense (n1, n2, ... as netlists usually number their nets) live in a plain
// array; outlying numbers (a lone n2000000000) live in a hash map, so memory
// follows the number of slots set, never the largest number. Walks visit the
// set slots in ascending index order, as a walk over one plain array would.
#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <vector>

template <class T>
class IndexTable {
 public:
  void clear() {
    dense_.clear();
    sparse().clear();
    keys_.clear();
    sorted_ = true;
    count_ = 0;
  }

  T* get(long long i) const {
    if (i < 0) return nullptr;
    if (static_cast<unsigned long long>(i) < dense_.size()) return dense_[i];
    if (!sparse_ || sparse_->empty()) return nullptr;
    auto it = sparse_->find(i);
    return it == sparse_->end() ? nullptr : it->second;
  }

  // Setting null empties the slot.
  void set(long long i, T* v) {
    if (i < 0) return;
    if (static_cast<unsigned long long>(i) >= dense_.size() && v && fits_dense(i)) grow_dense(i);
    if (static_cast<unsigned long long>(i) < dense_.size()) {
      if (!dense_[i] && v) ++count_;
      dense_[i] = v;
      return;
    }
    if (!v) {
      auto it = sparse().find(i);
      if (it != sparse().end()) it->second = nullptr;
      return;
    }
    auto [it, added] = sparse().try_emplace(i, v);
    if (!added) {
      it->second = v;
      return;
    }
    ++count_;
    if (!keys_.empty() && keys_.back() > i) sorted_ = false;
    keys_.push_back(i);
  }

  // f(index, record) for every set slot, lowest index first. Slots set or
  // emptied by f itself are seen as they stand when reached.
  template <class Fn>
  void for_each(Fn&& f) const {
    for (std::size_t i = 0; i < dense_.size(); ++i)
      if (T* v = dense_[i]) f(static_cast<long long>(i), v);
    if (keys_.empty()) return;
    if (!sorted_) {
      std::sort(keys_.begin(), keys_.end());
      sorted_ = true;
    }
    for (std::size_t k = 0; k < keys_.size(); ++k)
      if (T* v = get(keys_[k])) f(keys_[k], v);
  }

 private:
  // The array may reach an index when it stays within a constant factor of
  // the slots in use.
  bool fits_dense(long long i) const {
    return static_cast<unsigned long long>(i) < 4 * static_cast<unsigned long long>(count_) + 4096;
  }

  // Grows the array past `i` and moves the hashed slots it now covers.
  void grow_dense(long long i) {
    std::size_t want = static_cast<std::size_t>(i) + 1;
    std::size_t size = std::max(want, dense_.size() + dense_.size() / 2);
    size = std::min<std::size_t>(size, 4 * count_ + 4096);
    size = std::max(size, want);
    dense_.resize(size, nullptr);
    if (keys_.empty()) return;
    std::vector<long long> rest;
    for (long long k : keys_) {
      if (static_cast<unsigned long long>(k) < dense_.size()) {
        dense_[k] = sparse()[k];
        sparse().erase(k);
      } else {
        rest.push_back(k);
      }
    }
    keys_.swap(rest);
  }

  // Held by pointer and never released: the table lives until exit, and
  // tearing down millions of slots at exit is wasted time.
  std::unordered_map<long long, T*>& sparse() {
    if (!sparse_) sparse_ = new std::unordered_map<long long, T*>();
    return *sparse_;
  }

  std::vector<T*> dense_;
  std::unordered_map<long long, T*>* sparse_ = nullptr;
  mutable std::vector<long long> keys_;
  mutable bool sorted_ = true;
  std::size_t count_ = 0;
};
