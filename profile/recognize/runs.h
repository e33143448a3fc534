#pragma once
// Items grouped by a key below a bound, each group a run of one array in
// the order the items come: for groups as many as the circuit's nets or
// components, one array instead of a vector each.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace recognize {

class Runs {
 public:
  Runs() = default;
  // `each(add)` calls add(key, item) for every item, the same items in the
  // same order each time: it is called twice, to count and to place.
  template <class Each>
  Runs(std::size_t keys, Each each) : first_(keys + 1, 0) {
    each([&](std::size_t key, std::uint32_t) { ++first_[key + 1]; });
    for (std::size_t k = 1; k < first_.size(); ++k) first_[k] += first_[k - 1];
    items_.resize(first_.back());
    std::vector<std::uint32_t> next(first_.begin(), first_.end() - 1);
    each([&](std::size_t key, std::uint32_t item) { items_[next[key]++] = item; });
  }

  std::size_t size() const { return first_.size() - 1; }
  std::span<const std::uint32_t> of(std::size_t key) const {
    return {items_.data() + first_[key], first_[key + 1] - first_[key]};
  }

 private:
  std::vector<std::uint32_t> first_{0};
  std::vector<std::uint32_t> items_;
};

}  // namespace recognize
