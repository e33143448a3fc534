#include "profile/recognize/loop_merger.h"

#include <algorithm>
#include <unordered_map>

#include "profile/recognize/runs.h"

namespace recognize {

namespace {

constexpr std::uint32_t kNone = ~std::uint32_t{0};
// Stage lookups a region may cost: combinations x rounds x completions.
constexpr std::uint64_t kWorkBudget = std::uint64_t{1} << 24;

// Strongly connected components of the stage graph that hold a cycle, by
// Tarjan's method without recursion (designs hold long chains).
std::vector<std::vector<std::uint32_t>> cycles(const std::vector<Stage>& stages,
                                               const std::vector<std::uint32_t>& driver) {
  const std::uint32_t n = static_cast<std::uint32_t>(stages.size());
  // Edges t <- s for each input of t that s drives: walked as t's
  // predecessors, which finds the same components.
  std::vector<std::uint32_t> index(n, kNone), low(n, 0);
  std::vector<bool> on_stack(n, false);
  std::vector<std::uint32_t> stack;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> frames;  // stage, next input
  std::vector<std::vector<std::uint32_t>> out;
  std::uint32_t counter = 0;
  auto pred = [&](std::uint32_t s, std::uint32_t k) {
    NetId net = stages[s].inputs[k];
    return net < driver.size() ? driver[net] : kNone;
  };
  for (std::uint32_t root = 0; root < n; ++root) {
    if (index[root] != kNone) continue;
    frames.emplace_back(root, 0);
    index[root] = low[root] = counter++;
    stack.push_back(root);
    on_stack[root] = true;
    while (!frames.empty()) {
      auto& [s, k] = frames.back();
      if (k < stages[s].inputs.size()) {
        std::uint32_t p = pred(s, k++);
        if (p == kNone) continue;
        if (index[p] == kNone) {
          index[p] = low[p] = counter++;
          stack.push_back(p);
          on_stack[p] = true;
          frames.emplace_back(p, 0);
        } else if (on_stack[p]) {
          low[s] = std::min(low[s], index[p]);
        }
        continue;
      }
      std::uint32_t done = s;
      frames.pop_back();
      if (!frames.empty()) low[frames.back().first] = std::min(low[frames.back().first], low[done]);
      if (low[done] != index[done]) continue;
      std::vector<std::uint32_t> comp;
      std::uint32_t x;
      do {
        x = stack.back();
        stack.pop_back();
        on_stack[x] = false;
        comp.push_back(x);
      } while (x != done);
      bool cyclic = comp.size() > 1;
      if (!cyclic)
        for (std::uint32_t k2 = 0; k2 < stages[done].inputs.size(); ++k2) cyclic = cyclic || pred(done, k2) == done;
      if (cyclic) {
        std::sort(comp.begin(), comp.end());
        out.push_back(std::move(comp));
      }
    }
  }
  return out;
}

}  // namespace

std::vector<LoopRegion> LoopMerger::find_regions(const std::vector<Stage>& stages,
                                                 const std::vector<std::uint32_t>& driver,
                                                 const std::vector<bool>& read_elsewhere) {
  std::vector<LoopRegion> regions;
  std::vector<std::uint32_t> region_of(stages.size(), kNone);
  std::vector<std::vector<std::uint32_t>> found = cycles(stages, driver);
  if (found.empty()) return regions;
  // Stages reading each net, for the test that a gate's output only feeds
  // the region.
  const Runs readers(driver.size(), [&](auto add) {
    for (std::uint32_t s = 0; s < stages.size(); ++s)
      for (NetId n : stages[s].inputs)
        if (n < driver.size()) add(n, s);
  });
  for (std::vector<std::uint32_t>& comp : found) {
    std::uint32_t id = static_cast<std::uint32_t>(regions.size());
    for (std::uint32_t s : comp) region_of[s] = id;
    LoopRegion r;
    r.stages = std::move(comp);
    // Gates feeding the region from its own inputs alone: the inverter of an
    // input whose both polarities steer pass devices.
    for (bool grew = true; grew;) {
      grew = false;
      std::vector<NetId> ins;
      for (std::uint32_t s : r.stages)
        for (NetId n : stages[s].inputs)
          if (n >= driver.size() || driver[n] == kNone || region_of[driver[n]] != id) ins.push_back(n);
      std::sort(ins.begin(), ins.end());
      ins.erase(std::unique(ins.begin(), ins.end()), ins.end());
      for (NetId n : ins) {
        std::uint32_t g = n < driver.size() ? driver[n] : kNone;
        if (g == kNone || region_of[g] != kNone) continue;
        const Stage& gate = stages[g];
        if (gate.kind != StageKind::Gate || read_elsewhere[n]) continue;
        bool inside = std::all_of(gate.inputs.begin(), gate.inputs.end(),
                                  [&](NetId i) { return std::binary_search(ins.begin(), ins.end(), i); });
        std::span<const std::uint32_t> rd = readers.of(n);
        inside = inside && std::all_of(rd.begin(), rd.end(), [&](std::uint32_t s) { return region_of[s] == id; });
        if (!inside) continue;
        region_of[g] = id;
        r.stages.insert(std::upper_bound(r.stages.begin(), r.stages.end(), g), g);
        grew = true;
      }
    }
    for (std::uint32_t s : r.stages)
      for (NetId n : stages[s].outputs) r.nets.push_back(n);
    for (std::uint32_t s : r.stages)
      for (NetId n : stages[s].inputs)
        if ((n >= driver.size() || driver[n] == kNone || region_of[driver[n]] != id) &&
            std::find(r.inputs.begin(), r.inputs.end(), n) == r.inputs.end())
          r.inputs.push_back(n);
    regions.push_back(std::move(r));
  }
  return regions;
}

RegionSlots region_slots(const std::vector<Stage>& stages, const LoopRegion& region) {
  std::unordered_map<NetId, std::uint32_t> slot;
  const std::uint32_t ins = static_cast<std::uint32_t>(region.inputs.size());
  for (std::uint32_t k = 0; k < ins; ++k) slot.emplace(region.inputs[k], k);
  for (std::uint32_t j = 0; j < region.nets.size(); ++j) slot.emplace(region.nets[j], ins + j);
  RegionSlots out;
  for (std::uint32_t s : region.stages) {
    out.inputs.emplace_back();
    out.outputs.emplace_back();
    for (NetId n : stages[s].inputs) out.inputs.back().push_back(slot.at(n));
    for (NetId n : stages[s].outputs) out.outputs.back().push_back(slot.at(n));
  }
  return out;
}

std::optional<std::vector<Value>> LoopMerger::settle(const std::vector<Stage>& stages, const LoopRegion& region) {
  const std::uint32_t ins = static_cast<std::uint32_t>(region.inputs.size());
  const std::uint32_t nets = static_cast<std::uint32_t>(region.nets.size());
  if (ins > kMaxInputs) return std::nullopt;
  const RegionSlots slots = region_slots(stages, region);
  std::uint64_t per_round = 0;
  for (std::uint32_t s : region.stages) {
    if (stages[s].inputs.size() > 20) return std::nullopt;
    per_round += std::uint64_t{1} << stages[s].inputs.size();
  }
  if ((std::uint64_t{1} << ins) * per_round * (nets + 2) > kWorkBudget) return std::nullopt;

  std::vector<Value> result((std::size_t{1} << ins) * nets, Value::X);
  std::vector<Value> value(ins + nets);
  std::vector<Value> next;
  for (std::uint32_t combo = 0; combo < (1u << ins); ++combo) {
    for (std::uint32_t k = 0; k < ins; ++k) value[k] = (combo >> k) & 1 ? Value::One : Value::Zero;
    std::fill(value.begin() + ins, value.end(), Value::X);
    // Known values only grow, so |nets| + 1 rounds settle it.
    for (std::uint32_t round = 0; round <= nets; ++round) {
      bool changed = false;
      for (std::size_t i = 0; i < region.stages.size(); ++i) {
        const Stage& st = stages[region.stages[i]];
        const FunctionTable& t = st.table();
        std::uint32_t base = 0, free_mask = 0;
        for (std::uint32_t k = 0; k < st.inputs.size(); ++k) {
          Value v = value[slots.inputs[i][k]];
          if (v == Value::One) base |= 1u << k;
          else if (v != Value::Zero) free_mask |= 1u << k;
        }
        for (std::uint32_t o = 0; o < st.outputs.size(); ++o) {
          std::uint32_t at = slots.outputs[i][o];
          Value old = value[at], merged = Value::Z;  // Z: no completion seen yet
          // Every completion of the unknown inputs (submasks of free_mask).
          for (std::uint32_t sub = free_mask;; sub = (sub - 1) & free_mask) {
            Value v = t.at(base | sub, o);
            if (v == Value::Z) v = old;  // floating: keeps its charge
            merged = merged == Value::Z ? v : merged == v ? v : Value::X;
            if (merged == Value::X || sub == 0) break;
          }
          if (merged != old) {
            value[at] = merged;
            changed = true;
          }
        }
      }
      if (!changed) break;
    }
    std::copy(value.begin() + ins, value.end(), result.begin() + std::size_t{combo} * nets);
  }
  return result;
}

std::optional<std::vector<Value>> LoopMerger::stable_states(const std::vector<Stage>& stages, const LoopRegion& region,
                                                             bool* restless) {
  const std::uint32_t ins = static_cast<std::uint32_t>(region.inputs.size());
  const std::uint32_t nets = static_cast<std::uint32_t>(region.nets.size());
  if (ins > kMaxInputs || nets > kMaxStateNets) return std::nullopt;
  if ((std::uint64_t{1} << (ins + nets)) * region.stages.size() > kWorkBudget) return std::nullopt;
  const RegionSlots slots = region_slots(stages, region);
  const auto& in_slots = slots.inputs;
  const auto& out_slots = slots.outputs;
  std::vector<Value> result((std::size_t{1} << ins) * nets, Value::X);
  for (std::uint32_t combo = 0; combo < (1u << ins); ++combo) {
    // Agreement of the states every net drives, and of those some floating
    // node keeps only by its charge: a value per net, or kMixed.
    constexpr std::uint8_t kUnseen = 2, kMixed = 3;
    std::vector<std::uint8_t> driven(nets, kUnseen), charged(nets, kUnseen);
    for (std::uint64_t state = 0; state < (std::uint64_t{1} << nets); ++state) {
      std::uint64_t all = combo | (state << ins);
      bool stable = true, floating = false;
      for (std::size_t i = 0; i < region.stages.size() && stable; ++i) {
        const Stage& st = stages[region.stages[i]];
        std::uint32_t index = 0;
        for (std::size_t k = 0; k < in_slots[i].size(); ++k) index |= static_cast<std::uint32_t>((all >> in_slots[i][k]) & 1) << k;
        for (std::size_t o = 0; o < out_slots[i].size() && stable; ++o) {
          Value v = st.table().at(index, static_cast<std::uint32_t>(o));
          bool bit = (all >> out_slots[i][o]) & 1;
          if (v == Value::Z) floating = true;
          else stable = (v == Value::One) == bit && v != Value::X;
        }
      }
      if (!stable) continue;
      std::vector<std::uint8_t>& seen = floating ? charged : driven;
      for (std::uint32_t j = 0; j < nets; ++j) {
        std::uint8_t bit = (state >> j) & 1;
        seen[j] = seen[j] == kUnseen || seen[j] == bit ? bit : kMixed;
      }
    }
    // A state every node drives is how the circuit rests; a floating node's
    // charge counts only where no such state exists.
    bool any_driven = std::any_of(driven.begin(), driven.end(), [&](std::uint8_t v) { return v != kUnseen; });
    bool any_charged = std::any_of(charged.begin(), charged.end(), [&](std::uint8_t v) { return v != kUnseen; });
    if (restless && nets > 0 && !any_driven && !any_charged) *restless = true;
    const std::vector<std::uint8_t>& seen = any_driven ? driven : charged;
    for (std::uint32_t j = 0; j < nets; ++j)
      if (seen[j] <= 1) result[std::size_t{combo} * nets + j] = seen[j] ? Value::One : Value::Zero;
  }
  return result;
}

}  // namespace recognize
