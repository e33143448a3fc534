#pragma once
// A set of names that stays a short list while small (nearly every branch and
// gate) and switches to hashing once it grows, so membership never goes
// quadratic on large walks.
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

class NameSet {
 public:
  bool contains(const char* name) const {
    if (!name) return false;
    if (!hashed_.empty()) return hashed_.count(name) != 0;
    for (const char* n : small_)
      if (std::strcmp(n, name) == 0) return true;
    return false;
  }
  void add(const char* name) {
    if (!name) return;
    if (hashed_.empty() && small_.size() < kSmall) {
      small_.push_back(name);
      return;
    }
    if (hashed_.empty()) hashed_.insert(small_.begin(), small_.end());
    hashed_.insert(name);
  }

 private:
  static constexpr std::size_t kSmall = 16;
  std::vector<const char*> small_;
  std::unordered_set<std::string_view> hashed_;
};
