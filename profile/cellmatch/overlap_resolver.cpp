#include "profile/cellmatch/overlap_resolver.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace cellmatch {

namespace {

// Occurrences of one component of the overlap graph, by their rank position,
// with who overlaps whom.
struct Component {
  std::vector<std::size_t> members;           // positions in rank order, ascending
  std::vector<std::vector<std::size_t>> adj;  // local indices
};

struct Cover {
  std::uint64_t mosfets = 0;
  std::size_t count = 0;
  std::vector<char> in;  // by local index

  // More MOSFETs, then fewer instances; an equal cover found later never
  // replaces one found earlier, so the search order settles ties.
  bool better_than(const Cover& o) const {
    if (mosfets != o.mosfets) return mosfets > o.mosfets;
    return count < o.count;
  }
};

// Greedy in rank order, then swaps that trade one kept occurrence for a
// larger set of occurrences it alone blocked, until none improves.
Cover greedy_cover(const Component& c, const std::vector<std::uint64_t>& weight) {
  const std::size_t n = c.members.size();
  Cover cover;
  cover.in.assign(n, 0);
  std::vector<std::uint32_t> blockers(n, 0);  // kept neighbours
  auto keep = [&](std::size_t v) {
    cover.in[v] = 1;
    cover.mosfets += weight[v];
    ++cover.count;
    for (std::size_t u : c.adj[v]) ++blockers[u];
  };
  auto drop = [&](std::size_t v) {
    cover.in[v] = 0;
    cover.mosfets -= weight[v];
    --cover.count;
    for (std::size_t u : c.adj[v]) --blockers[u];
  };
  for (std::size_t v = 0; v < n; ++v) {
    if (blockers[v] == 0) keep(v);
  }
  // Each accepted swap raises the cover's value, so the passes end; the cap
  // only bounds the cost on pathological overlap.
  for (int pass = 0; pass < 8; ++pass) {
    bool improved = false;
    for (std::size_t v = 0; v < n; ++v) {
      if (!cover.in[v]) continue;
      // The occurrences only v blocks, taken greedily in rank order.
      std::vector<std::size_t> freed;
      std::uint64_t gain = 0;
      for (std::size_t u : c.adj[v]) {
        if (cover.in[u] || blockers[u] != 1) continue;
        bool clash = std::any_of(freed.begin(), freed.end(), [&](std::size_t f) {
          return std::find(c.adj[f].begin(), c.adj[f].end(), u) != c.adj[f].end();
        });
        if (clash) continue;
        freed.push_back(u);
        gain += weight[u];
      }
      if (gain <= weight[v]) continue;
      drop(v);
      for (std::size_t u : freed) keep(u);
      improved = true;
    }
    if (!improved) break;
  }
  return cover;
}

// Branch and bound over a small component: the best cover exactly, unless
// the step budget runs out first (then the best met, never worse than the
// greedy cover it starts from).
class ExactCover {
 public:
  ExactCover(const Component& c, const std::vector<std::uint64_t>& weight, Cover start)
      : c_(c), w_(weight), best_(std::move(start)) {
    const std::size_t n = c.members.size();
    adj_.assign(n, 0);
    for (std::size_t v = 0; v < n; ++v) {
      for (std::size_t u : c.adj[v]) adj_[v] |= std::uint64_t{1} << u;
    }
  }
  Cover run() {
    const std::size_t n = c_.members.size();
    std::uint64_t all = n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    search(all, 0, 0, 0);
    return best_;
  }

 private:
  void search(std::uint64_t open, std::uint64_t chosen, std::uint64_t mosfets, std::size_t count) {
    if (++steps_ > kBudget) return;
    if (!open) {
      Cover here{mosfets, count, {}};
      if (here.better_than(best_)) {
        here.in.assign(c_.members.size(), 0);
        for (std::size_t v = 0; v < c_.members.size(); ++v) here.in[v] = (chosen >> v) & 1u;
        best_ = std::move(here);
      }
      return;
    }
    std::uint64_t bound = mosfets;
    for (std::uint64_t m = open; m; m &= m - 1) bound += w_[static_cast<std::size_t>(__builtin_ctzll(m))];
    if (bound < best_.mosfets) return;
    // The best-ranked open occurrence: taken first, so ties keep rank order.
    auto v = static_cast<std::size_t>(__builtin_ctzll(open));
    std::uint64_t bit = std::uint64_t{1} << v;
    search(open & ~bit & ~adj_[v], chosen | bit, mosfets + w_[v], count + 1);
    search(open & ~bit, chosen, mosfets, count);
  }

  static constexpr std::uint64_t kBudget = 1u << 16;
  const Component& c_;
  const std::vector<std::uint64_t>& w_;
  std::vector<std::uint64_t> adj_;
  Cover best_;
  std::uint64_t steps_ = 0;
};

std::size_t find(std::vector<std::size_t>& parent, std::size_t x) {
  while (parent[x] != x) x = parent[x] = parent[parent[x]];
  return x;
}

}  // namespace

std::vector<std::size_t> OverlapResolver::choose(const std::vector<Occurrence>& found,
                                                 const std::vector<std::string>& cell_names,
                                                 std::uint32_t circuit_gates) {
  std::vector<std::vector<GateId>> sorted(found.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    sorted[i] = found[i].gates;
    std::sort(sorted[i].begin(), sorted[i].end());
  }
  std::vector<std::size_t> rank(found.size());
  std::iota(rank.begin(), rank.end(), 0);
  std::sort(rank.begin(), rank.end(), [&](std::size_t a, std::size_t b) {
    if (found[a].mosfets != found[b].mosfets) return found[a].mosfets > found[b].mosfets;
    if (found[a].size_gap != found[b].size_gap) return found[a].size_gap < found[b].size_gap;
    if (sorted[a] != sorted[b]) return sorted[a] < sorted[b];
    if (found[a].cell != found[b].cell) {
      int c = cell_names[found[a].cell].compare(cell_names[found[b].cell]);
      if (c != 0) return c < 0;
    }
    return found[a].nets < found[b].nets;
  });

  // Components of the overlap graph: occurrences joined through shared gates.
  const std::size_t n = rank.size();
  std::vector<std::size_t> parent(n);
  std::iota(parent.begin(), parent.end(), 0);
  constexpr std::size_t kFree = static_cast<std::size_t>(-1);
  std::vector<std::size_t> first_on(circuit_gates, kFree);  // rank position of the first occurrence on a gate
  std::vector<std::vector<std::size_t>> on_gate;            // further occurrences, for gates shared at all
  std::vector<std::uint32_t> shared_at(circuit_gates, 0);   // 1 + index into on_gate
  for (std::size_t p = 0; p < n; ++p) {
    for (GateId g : sorted[rank[p]]) {
      if (first_on[g] == kFree) {
        first_on[g] = p;
        continue;
      }
      parent[find(parent, p)] = find(parent, first_on[g]);
      if (!shared_at[g]) {
        on_gate.push_back({first_on[g]});
        shared_at[g] = static_cast<std::uint32_t>(on_gate.size());
      }
      on_gate[shared_at[g] - 1].push_back(p);
    }
  }
  std::vector<std::size_t> component_of(n, kFree);
  std::vector<Component> components;
  std::vector<std::size_t> local(n);
  for (std::size_t p = 0; p < n; ++p) {
    std::size_t root = find(parent, p);
    if (component_of[root] == kFree) {
      component_of[root] = components.size();
      components.emplace_back();
    }
    Component& c = components[component_of[root]];
    local[p] = c.members.size();
    c.members.push_back(p);
    c.adj.emplace_back();
  }
  for (const auto& list : on_gate) {
    Component& c = components[component_of[find(parent, list[0])]];
    for (std::size_t a = 0; a < list.size(); ++a) {
      for (std::size_t b = a + 1; b < list.size(); ++b) {
        c.adj[local[list[a]]].push_back(local[list[b]]);
        c.adj[local[list[b]]].push_back(local[list[a]]);
      }
    }
  }

  std::vector<char> kept_at(n, 0);
  std::vector<std::uint64_t> weight;
  for (Component& c : components) {
    for (auto& a : c.adj) {
      std::sort(a.begin(), a.end());
      a.erase(std::unique(a.begin(), a.end()), a.end());
    }
    weight.clear();
    for (std::size_t p : c.members) weight.push_back(found[rank[p]].mosfets);
    Cover cover = greedy_cover(c, weight);
    if (c.members.size() > 1 && c.members.size() <= kExactLimit) cover = ExactCover(c, weight, std::move(cover)).run();
    for (std::size_t v = 0; v < c.members.size(); ++v) {
      if (cover.in[v]) kept_at[c.members[v]] = 1;
    }
  }
  std::vector<std::size_t> kept;
  for (std::size_t p = 0; p < n; ++p) {
    if (kept_at[p]) kept.push_back(rank[p]);
  }
  return kept;
}

}  // namespace cellmatch
