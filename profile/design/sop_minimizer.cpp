#include "profile/design/sop_minimizer.h"

#include <algorithm>
#include <bit>
#include <unordered_set>

namespace design {

namespace {

std::uint64_t key(const Cube& c) { return std::uint64_t{c.care} << 32 | c.value; }

bool covers(const Cube& c, std::uint32_t minterm) { return (minterm & c.care) == c.value; }

// A stable, readable order: longer products first, then by value.
void sort_cubes(std::vector<Cube>& cubes) {
  std::sort(cubes.begin(), cubes.end(), [](const Cube& x, const Cube& y) {
    int cx = std::popcount(x.care), cy = std::popcount(y.care);
    if (cx != cy) return cx > cy;
    return key(x) < key(y);
  });
}

}  // namespace

std::vector<Cube> SopMinimizer::primes(std::uint32_t inputs, const std::vector<bool>& on, const std::vector<bool>& dc) {
  const std::uint32_t full = inputs >= 32 ? ~0u : (1u << inputs) - 1;
  std::vector<Cube> level;
  for (std::uint32_t m = 0; m < on.size(); ++m)
    if (on[m] || dc[m]) level.push_back(Cube{m, full});
  std::vector<Cube> primes;
  while (!level.empty()) {
    std::unordered_set<std::uint64_t> present;
    for (const Cube& c : level) present.insert(key(c));
    std::unordered_set<std::uint64_t> merged, next_keys;
    std::vector<Cube> next;
    for (const Cube& c : level) {
      for (std::uint32_t care = c.care; care; care &= care - 1) {
        std::uint32_t bit = care & -care;
        if (c.value & bit) continue;
        Cube partner{c.value | bit, c.care};
        if (!present.count(key(partner))) continue;
        merged.insert(key(c));
        merged.insert(key(partner));
        Cube joined{c.value, c.care & ~bit};
        if (next_keys.insert(key(joined)).second) next.push_back(joined);
      }
    }
    for (const Cube& c : level)
      if (!merged.count(key(c))) primes.push_back(c);
    level = std::move(next);
  }
  // Primes wholly inside the don't-cares cover nothing wanted.
  std::erase_if(primes, [&](const Cube& c) {
    for (std::uint32_t m = 0; m < on.size(); ++m)
      if (on[m] && covers(c, m)) return false;
    return true;
  });
  sort_cubes(primes);
  return primes;
}

std::string SopMinimizer::expression(const std::vector<Cube>& cover, const std::vector<std::string>& names) {
  if (cover.empty()) return "1'b0";
  std::string s;
  for (std::size_t i = 0; i < cover.size(); ++i) {
    const Cube& c = cover[i];
    if (c.care == 0) return "1'b1";
    std::string product;
    int literals = 0;
    for (std::uint32_t k = 0; k < names.size(); ++k) {
      if (!((c.care >> k) & 1u)) continue;
      if (literals++) product += " & ";
      if (!((c.value >> k) & 1u)) product += "~";
      product += names[k];
    }
    if (i) s += " | ";
    s += (literals > 1 && cover.size() > 1) ? "(" + product + ")" : product;
  }
  return s;
}

std::uint32_t SopMinimizer::literals(const std::vector<Cube>& cover) {
  std::uint32_t n = 0;
  for (const Cube& c : cover) n += static_cast<std::uint32_t>(std::popcount(c.care));
  return n;
}

}  // namespace design
