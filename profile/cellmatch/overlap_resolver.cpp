#include "profile/cellmatch/overlap_resolver.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <span>

namespace cellmatch {

namespace {

// Who overlaps whom, by rank position: each position's neighbours as indices
// within its component (ascending, which is rank order too). Kept in flat
// arrays: the components are many and most are small.
struct Overlaps {
  std::vector<std::uint32_t> begin;  // per rank position, and one past the last
  std::vector<std::uint32_t> local;
  std::span<const std::uint32_t> of(std::uint32_t p) const { return {local.data() + begin[p], local.data() + begin[p + 1]}; }
};

// One component of the overlap graph: its members, by rank position,
// ascending.
struct Component {
  std::span<const std::uint32_t> members;
  const Overlaps& overlaps;
  std::span<const std::uint32_t> adj(std::size_t v) const { return overlaps.of(members[v]); }
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
// larger set of occurrences it alone blocked, until none improves. The
// vectors are scratch space kept from one component to the next.
void greedy_cover(const Component& c, const std::vector<std::uint64_t>& weight, Cover& cover,
                  std::vector<std::uint32_t>& blockers, std::vector<std::uint32_t>& freed) {
  const std::size_t n = c.members.size();
  cover.mosfets = 0;
  cover.count = 0;
  cover.in.assign(n, 0);
  blockers.assign(n, 0);  // kept neighbours
  auto keep = [&](std::size_t v) {
    cover.in[v] = 1;
    cover.mosfets += weight[v];
    ++cover.count;
    for (std::uint32_t u : c.adj(v)) ++blockers[u];
  };
  auto drop = [&](std::size_t v) {
    cover.in[v] = 0;
    cover.mosfets -= weight[v];
    --cover.count;
    for (std::uint32_t u : c.adj(v)) --blockers[u];
  };
  for (std::size_t v = 0; v < n; ++v) {
    if (blockers[v] == 0) keep(v);
  }
  if (n == 1) return;
  // Each accepted swap raises the cover's value, so the passes end; the cap
  // only bounds the cost on pathological overlap.
  for (int pass = 0; pass < 8; ++pass) {
    bool improved = false;
    for (std::size_t v = 0; v < n; ++v) {
      if (!cover.in[v]) continue;
      // The occurrences only v blocks, taken greedily in rank order.
      freed.clear();
      std::uint64_t gain = 0;
      for (std::uint32_t u : c.adj(v)) {
        if (cover.in[u] || blockers[u] != 1) continue;
        bool clash = std::any_of(freed.begin(), freed.end(), [&](std::uint32_t f) {
          auto a = c.adj(f);
          return std::binary_search(a.begin(), a.end(), u);
        });
        if (clash) continue;
        freed.push_back(u);
        gain += weight[u];
      }
      if (gain <= weight[v]) continue;
      drop(v);
      for (std::uint32_t u : freed) keep(u);
      improved = true;
    }
    if (!improved) break;
  }
}

// Branch and bound over a small component: the best cover exactly, unless
// the step budget runs out first (then the best met, never worse than the
// greedy cover it starts from, which `best` holds on entry).
class ExactCover {
 public:
  ExactCover(const Component& c, const std::vector<std::uint64_t>& weight, Cover& best)
      : c_(c), w_(weight), best_(best) {
    const std::size_t n = c.members.size();
    for (std::size_t v = 0; v < n; ++v) {
      for (std::uint32_t u : c.adj(v)) adj_[v] |= std::uint64_t{1} << u;
    }
  }
  void run() {
    const std::size_t n = c_.members.size();
    std::uint64_t all = n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    search(all, 0, 0, 0);
  }

 private:
  void search(std::uint64_t open, std::uint64_t chosen, std::uint64_t mosfets, std::size_t count) {
    if (++steps_ > kBudget) return;
    if (!open) {
      Cover here{mosfets, count, {}};
      if (here.better_than(best_)) {
        best_.mosfets = mosfets;
        best_.count = count;
        for (std::size_t v = 0; v < c_.members.size(); ++v) best_.in[v] = (chosen >> v) & 1u;
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
  std::uint64_t adj_[OverlapResolver::kExactLimit] = {};
  Cover& best_;
  std::uint64_t steps_ = 0;
};
static_assert(OverlapResolver::kExactLimit <= 64, "one bit per occurrence of a component");

std::uint32_t find(std::vector<std::uint32_t>& parent, std::uint32_t x) {
  while (parent[x] != x) x = parent[x] = parent[parent[x]];
  return x;
}

// What ranks an occurrence, the leading criteria copied out so that most
// comparisons read nothing else.
struct RankKey {
  std::uint64_t mosfets;
  double size_gap;
  GateId low;             // its lowest circuit gate (kNone when it has none)
  std::uint32_t name;     // its cell name's place among the names sorted bytewise
  std::uint32_t first;    // its circuit gates, sorted, in the flat gate list
  std::uint32_t count;
  std::uint32_t index;    // in `found`
};

}  // namespace

std::vector<std::size_t> OverlapResolver::choose(const std::vector<Occurrence>& found,
                                                 const std::vector<std::string>& cell_names,
                                                 std::uint32_t circuit_gates) {
  const auto n = static_cast<std::uint32_t>(found.size());
  // Each occurrence's circuit gates, sorted, one after the other.
  std::vector<GateId> gates;
  std::vector<RankKey> keys(n);
  {
    std::size_t total = 0;
    for (const Occurrence& o : found) total += o.gates.size();
    gates.reserve(total);
  }
  std::vector<std::uint32_t> name_rank(cell_names.size());
  {
    std::vector<std::uint32_t> by_name(cell_names.size());
    std::iota(by_name.begin(), by_name.end(), 0);
    std::sort(by_name.begin(), by_name.end(),
              [&](std::uint32_t a, std::uint32_t b) { return cell_names[a] < cell_names[b]; });
    for (std::uint32_t k = 0; k < by_name.size(); ++k)
      name_rank[by_name[k]] = k > 0 && cell_names[by_name[k]] == cell_names[by_name[k - 1]] ? name_rank[by_name[k - 1]] : k;
  }
  for (std::uint32_t i = 0; i < n; ++i) {
    const Occurrence& o = found[i];
    auto first = static_cast<std::uint32_t>(gates.size());
    gates.insert(gates.end(), o.gates.begin(), o.gates.end());
    std::sort(gates.begin() + first, gates.end());
    keys[i] = {o.mosfets, o.size_gap, o.gates.empty() ? kNone : gates[first], name_rank[o.cell], first,
               static_cast<std::uint32_t>(o.gates.size()), i};
  }
  auto gates_of = [&](const RankKey& k) { return std::span<const GateId>(gates.data() + k.first, k.count); };
  std::sort(keys.begin(), keys.end(), [&](const RankKey& a, const RankKey& b) {
    if (a.mosfets != b.mosfets) return a.mosfets > b.mosfets;
    if (a.size_gap != b.size_gap) return a.size_gap < b.size_gap;
    if (a.count > 0 && b.count > 0 && a.low != b.low) return a.low < b.low;
    auto x = gates_of(a), y = gates_of(b);
    if (!std::ranges::equal(x, y)) return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end());
    if (a.name != b.name) return a.name < b.name;
    const std::vector<NetId>& p = found[a.index].nets;
    const std::vector<NetId>& q = found[b.index].nets;
    return p < q;
  });

  // Components of the overlap graph: occurrences joined through shared
  // gates. The occurrences on each gate, by rank position ascending.
  std::vector<std::uint32_t> on_begin(std::size_t{circuit_gates} + 1, 0);
  for (GateId g : gates) ++on_begin[g + 1];
  for (std::uint32_t g = 0; g < circuit_gates; ++g) on_begin[g + 1] += on_begin[g];
  std::vector<std::uint32_t> on(gates.size());
  {
    std::vector<std::uint32_t> fill(on_begin.begin(), on_begin.end() - 1);
    for (std::uint32_t p = 0; p < n; ++p)
      for (GateId g : gates_of(keys[p])) on[fill[g]++] = p;
  }
  std::vector<std::uint32_t> parent(n);
  std::iota(parent.begin(), parent.end(), 0);
  for (std::uint32_t g = 0; g < circuit_gates; ++g)
    for (std::uint32_t k = on_begin[g] + 1; k < on_begin[g + 1]; ++k) {
      std::uint32_t a = find(parent, on[k]), b = find(parent, on[on_begin[g]]);
      parent[std::max(a, b)] = std::min(a, b);
    }
  // Components numbered in the order their first member ranks; members in
  // rank order.
  constexpr std::uint32_t kFree = ~std::uint32_t{0};
  std::vector<std::uint32_t> component_of(n, kFree), local(n);
  std::vector<std::uint32_t> member_begin;
  std::vector<std::uint32_t> size;
  for (std::uint32_t p = 0; p < n; ++p) {
    std::uint32_t root = find(parent, p);
    if (component_of[root] == kFree) {
      component_of[root] = static_cast<std::uint32_t>(size.size());
      size.push_back(0);
    }
    component_of[p] = component_of[root];
    local[p] = size[component_of[p]]++;
  }
  member_begin.assign(size.size() + 1, 0);
  for (std::size_t c = 0; c < size.size(); ++c) member_begin[c + 1] = member_begin[c] + size[c];
  std::vector<std::uint32_t> members(n);
  for (std::uint32_t p = 0; p < n; ++p) members[member_begin[component_of[p]] + local[p]] = p;

  // Each position's neighbours: the others on its gates, once each.
  Overlaps overlaps;
  overlaps.begin.assign(std::size_t{n} + 1, 0);
  for (std::uint32_t p = 0; p < n; ++p) {
    const std::size_t from = overlaps.local.size();
    for (GateId g : gates_of(keys[p]))
      for (std::uint32_t k = on_begin[g]; k < on_begin[g + 1]; ++k)
        if (on[k] != p) overlaps.local.push_back(local[on[k]]);
    std::sort(overlaps.local.begin() + from, overlaps.local.end());
    overlaps.local.erase(std::unique(overlaps.local.begin() + from, overlaps.local.end()), overlaps.local.end());
    overlaps.begin[p + 1] = static_cast<std::uint32_t>(overlaps.local.size());
  }

  std::vector<char> kept_at(n, 0);
  std::vector<std::uint64_t> weight;
  Cover cover;
  std::vector<std::uint32_t> blockers, freed;
  for (std::size_t k = 0; k + 1 < member_begin.size(); ++k) {
    Component c{std::span<const std::uint32_t>(members.data() + member_begin[k], members.data() + member_begin[k + 1]),
                overlaps};
    weight.clear();
    for (std::uint32_t p : c.members) weight.push_back(found[keys[p].index].mosfets);
    greedy_cover(c, weight, cover, blockers, freed);
    if (c.members.size() > 1 && c.members.size() <= kExactLimit) ExactCover(c, weight, cover).run();
    for (std::size_t v = 0; v < c.members.size(); ++v) {
      if (cover.in[v]) kept_at[c.members[v]] = 1;
    }
  }
  std::vector<std::size_t> kept;
  for (std::uint32_t p = 0; p < n; ++p) {
    if (kept_at[p]) kept.push_back(keys[p].index);
  }
  return kept;
}

}  // namespace cellmatch
