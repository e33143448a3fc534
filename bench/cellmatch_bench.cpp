// Measures the cell search on gate networks made of library cells, without
// the transistor stages in front of it: a library of random cells (1 to 8
// gates, transmission-gate cells with loops, multi-output stages, a cell
// whose stages share only inputs, cells that contain other cells), placed at
// random and wired as a DAG in which every placed cell's output is read by at
// least READERS cells (sinks read what is left and drive the design's
// outputs). Prints recall and false reports per cell kind and the search
// time.
//
// Usage: cellmatch_bench MOSFETS SEED [EXTRA_CELLS [READERS]]
//   EXTRA_CELLS more random cells that are never placed (the cost of cells
//   that occur nowhere); READERS (default 3) readers per placed output.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "profile/cellmatch/cell_matcher.h"

using namespace cellmatch;

namespace {

struct GateKind {
  const char* label;
  std::vector<int> classes;  // per input pin; output(s) follow
  int outputs;
  std::uint32_t mosfets;
};

const std::vector<GateKind> kKinds = {
    {"INV", {0}, 1, 2},           {"NAND2", {0, 0}, 1, 4},       {"NOR2", {0, 0}, 1, 4},
    {"NAND3", {0, 0, 0}, 1, 6},   {"NOR3", {0, 0, 0}, 1, 6},     {"AOI21", {0, 0, 1}, 1, 6},
    {"OAI21", {0, 0, 1}, 1, 6},   {"AOI22", {0, 0, 1, 1}, 1, 8}, {"XOR2", {0, 0}, 1, 10},
    {"FA", {0, 0, 0}, 2, 28},
};

// A cell as a list of gates over cell-local net numbers: inputs first, then
// gate outputs.
struct CellGate {
  int kind;  // -1: transmission gate (channel a, b; controls n, p)
  std::vector<int> ins;
  std::vector<int> outs;
};
struct Cell {
  std::string name;
  int inputs = 0;
  int nets = 0;
  std::vector<CellGate> gates;
  std::vector<int> outputs;  // net numbers that are terminals besides inputs
  std::uint32_t mosfets = 0;
  GateGraph graph;
};

void add_gate(GateGraph& g, const CellGate& cg, const std::vector<NetId>& net) {
  std::vector<Pin> pins;
  if (cg.kind < 0) {
    pins = {{net[cg.ins[0]], 0, PinRole::Channel},
            {net[cg.ins[1]], 0, PinRole::Channel},
            {net[cg.ins[2]], 1, PinRole::Input},
            {net[cg.ins[3]], 2, PinRole::Input}};
    g.add_gate("TG", 2, pins);
    return;
  }
  const GateKind& k = kKinds[cg.kind];
  for (std::size_t i = 0; i < cg.ins.size(); ++i)
    pins.push_back({net[cg.ins[i]], static_cast<std::uint16_t>(k.classes[i]), PinRole::Input});
  for (std::size_t i = 0; i < cg.outs.size(); ++i)
    pins.push_back({net[cg.outs[i]], static_cast<std::uint16_t>(10 + i), PinRole::Output});
  g.add_gate(k.label, k.mosfets, pins);
}

std::uint32_t gate_mosfets(const CellGate& g) { return g.kind < 0 ? 2 : kKinds[g.kind].mosfets; }

void finish_cell(Cell& c) {
  std::vector<NetId> net(c.nets);
  std::set<int> terminals(c.outputs.begin(), c.outputs.end());
  for (int i = 0; i < c.nets; ++i) net[i] = c.graph.add_net(i < c.inputs || terminals.count(i) ? kPort : 0);
  c.mosfets = 0;
  for (const CellGate& g : c.gates) {
    add_gate(c.graph, g, net);
    c.mosfets += gate_mosfets(g);
  }
  c.graph.finish();
}

// Random cell: every gate after the first reads an earlier gate's output;
// no net inside the cell is read more than twice.
Cell random_cell(std::mt19937& rng, const std::string& name) {
  for (;;) {
    Cell c;
    c.name = name;
    c.inputs = 2 + rng() % 4;
    c.nets = c.inputs;
    int ngates = 1 + rng() % 8;
    std::vector<int> reads(64, 0);
    bool ok = true;
    for (int j = 0; j < ngates && ok; ++j) {
      CellGate g;
      g.kind = rng() % kKinds.size();
      std::size_t want = kKinds[g.kind].classes.size();
      std::vector<int> outs_so_far;
      for (const CellGate& e : c.gates) outs_so_far.insert(outs_so_far.end(), e.outs.begin(), e.outs.end());
      if (j > 0) g.ins.push_back(outs_so_far[rng() % outs_so_far.size()]);
      for (int tries = 0; g.ins.size() < want && tries < 50; ++tries) {
        int pick = rng() % c.nets;
        if (std::find(g.ins.begin(), g.ins.end(), pick) == g.ins.end()) g.ins.push_back(pick);
      }
      ok = g.ins.size() == want;
      for (int o = 0; o < kKinds[g.kind].outputs; ++o) g.outs.push_back(c.nets++);
      for (int i : g.ins) ++reads[i];
      c.gates.push_back(g);
    }
    if (!ok) continue;
    for (int i = 0; i < c.inputs; ++i) ok = ok && reads[i] > 0;
    for (int n = c.inputs; n < c.nets; ++n) ok = ok && reads[n] <= 2;
    if (!ok) continue;
    for (int n = c.inputs; n < c.nets; ++n)
      if (reads[n] == 0 || rng() % 8 == 0) c.outputs.push_back(n);
    finish_cell(c);
    return c;
  }
}

// A cell given in full: `inputs` input nets, then the other nets.
Cell fixed_cell(const char* name, int inputs, int nets, std::vector<CellGate> gates, std::vector<int> outputs) {
  Cell c;
  c.name = name;
  c.inputs = inputs;
  c.nets = nets;
  c.gates = std::move(gates);
  c.outputs = std::move(outputs);
  finish_cell(c);
  return c;
}

// D latch of transmission gates (a loop): nets D G gb x qb Q.
Cell latch_cell() {
  return fixed_cell("tg_latch", 2, 6, {{0, {1}, {2}}, {-1, {0, 3, 1, 2}, {}}, {0, {3}, {4}}, {0, {4}, {5}}, {-1, {5, 3, 2, 1}, {}}},
                    {5});
}
// 2-to-1 mux of transmission gates: nets A B S sb y Y.
Cell mux_cell() {
  return fixed_cell("tg_mux2", 3, 6, {{0, {2}, {3}}, {-1, {0, 4, 3, 2}, {}}, {-1, {1, 4, 2, 3}, {}}, {0, {4}, {5}}}, {5});
}
// Two stages that share only their inputs, an output each: nets A B C Y1 Y2.
Cell input_pair_cell() { return fixed_cell("in_pair", 3, 5, {{5, {0, 1, 2}, {3}}, {8, {1, 0}, {4}}}, {3, 4}); }

// A cell holding another: its gates and one more stage on an output.
Cell nested_cell(std::mt19937& rng, const Cell& inner, const std::string& name) {
  Cell c;
  c.name = name;
  c.inputs = inner.inputs;
  c.nets = inner.nets;
  c.gates = inner.gates;
  int from = inner.outputs[rng() % inner.outputs.size()];
  c.gates.push_back({0, {from}, {c.nets}});
  for (int o : inner.outputs)
    if (o != from) c.outputs.push_back(o);
  c.outputs.push_back(c.nets++);
  finish_cell(c);
  return c;
}

// Two cells with one network cannot be told apart by any search: the
// library keeps the first. Same network: as many gates, and one occurs in
// the other.
bool same_network(const Cell& a, const Cell& b) {
  if (a.gates.size() != b.gates.size() || a.mosfets != b.mosfets) return false;
  LabelIndex index(b.graph);
  SearchPlan plan(a.graph, b.graph, index);
  OccurrenceSearch search(b.graph, index);
  std::vector<Occurrence> found;
  search.find(a.graph, plan, 0, found);
  return !found.empty();
}

struct Placed {
  int cell;
  std::vector<NetId> pins;  // circuit net per cell net
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: cellmatch_bench MOSFETS SEED [EXTRA_CELLS [READERS]]\n");
    return 2;
  }
  const long target = std::atol(argv[1]);
  std::mt19937 rng(static_cast<unsigned>(std::atol(argv[2])));
  const int extra = argc > 3 ? std::atoi(argv[3]) : 0;
  const int readers = argc > 4 ? std::atoi(argv[4]) : 3;  // inside a cell a net is read at most twice

  std::vector<Cell> lib;
  lib.push_back(latch_cell());
  lib.push_back(mux_cell());
  lib.push_back(input_pair_cell());
  auto add = [&](Cell c) {
    for (const Cell& other : lib)
      if (same_network(c, other)) return false;
    lib.push_back(std::move(c));
    return true;
  };
  for (int i = 0; i < 26;) i += add(random_cell(rng, "rand" + std::to_string(i)));
  for (int i = 0; i < 4;) i += add(nested_cell(rng, lib[3 + i + rng() % 20], "nest" + std::to_string(i)));
  const std::size_t placeable = lib.size();
  for (int i = 0; i < extra;) i += add(random_cell(rng, "unplaced" + std::to_string(i)));

  GateGraph circuit;
  std::vector<NetId> pool;  // nets a cell input may read
  std::vector<NetId> needy;            // outputs read by fewer than `readers` cells
  std::vector<std::uint32_t> needy_at;  // per net: its place in `needy`, or kNone
  std::vector<int> reads;
  const int n_pi = std::max<long>(8, target / 400);
  for (int i = 0; i < n_pi; ++i) pool.push_back(circuit.add_net(kPort));
  reads.assign(pool.size(), 0);
  needy_at.assign(pool.size(), kNone);
  auto new_net = [&](std::uint8_t flags) {
    reads.push_back(0);
    needy_at.push_back(kNone);
    return circuit.add_net(flags);
  };
  std::vector<Placed> placed;
  long mosfets = 0;
  auto pick_input = [&](bool sink, std::vector<NetId>& used) {
    NetId pick = 0;
    for (int tries = 0; tries < 20; ++tries) {
      if (!needy.empty() && (sink || rng() % 10 < 7))
        pick = needy[rng() % needy.size()];
      else
        pick = pool[rng() % pool.size()];
      if (std::find(used.begin(), used.end(), pick) == used.end()) break;
    }
    if (std::find(used.begin(), used.end(), pick) != used.end()) pick = new_net(kPort);
    used.push_back(pick);
    if (++reads[pick] == readers && needy_at[pick] != kNone) {
      needy_at[needy.back()] = needy_at[pick];
      needy[needy_at[pick]] = needy.back();
      needy.pop_back();
      needy_at[pick] = kNone;
    }
    return pick;
  };
  auto place = [&](int ci, bool sink) {
    const Cell& c = lib[ci];
    Placed p{ci, std::vector<NetId>(c.nets)};
    std::vector<NetId> used;
    for (int i = 0; i < c.inputs; ++i) p.pins[i] = pick_input(sink, used);
    std::set<int> outs(c.outputs.begin(), c.outputs.end());
    for (int n = c.inputs; n < c.nets; ++n) {
      p.pins[n] = new_net(sink && outs.count(n) ? kPort : 0);
      if (outs.count(n) && !sink) {
        pool.push_back(p.pins[n]);
        needy_at[p.pins[n]] = static_cast<std::uint32_t>(needy.size());
        needy.push_back(p.pins[n]);
      }
    }
    for (const CellGate& g : c.gates) add_gate(circuit, g, p.pins);
    mosfets += c.mosfets;
    placed.push_back(std::move(p));
  };
  // The sinks that read what is left count towards the size.
  double per_input = 0;
  for (std::size_t c = 0; c < placeable; ++c) per_input += double(lib[c].mosfets) / lib[c].inputs / placeable;
  while (mosfets + static_cast<long>(needy.size() * per_input) < target) place(rng() % placeable, false);
  std::size_t sinks = 0;
  while (!needy.empty()) {
    int ci;
    do ci = rng() % placeable;
    while (lib[ci].inputs < 2);
    place(ci, true);
    ++sinks;
  }
  circuit.finish();

  auto t0 = std::chrono::steady_clock::now();
  CellMatcher matcher(circuit);
  for (const Cell& c : lib) matcher.add_cell(c.name, c.graph);
  std::vector<Occurrence> kept = matcher.run();
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

  // A placed cell is found when a kept occurrence of it covers its gates
  // with its nets in the same places.
  std::map<GateId, std::size_t> first_gate;
  GateId next = 0;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    first_gate[next] = i;
    next += static_cast<GateId>(lib[placed[i].cell].gates.size());
  }
  std::vector<long> n_placed(lib.size()), n_found(lib.size()), n_false(lib.size());
  for (const Placed& p : placed) ++n_placed[p.cell];
  for (const Occurrence& o : kept) {
    GateId low = *std::min_element(o.gates.begin(), o.gates.end());
    auto it = first_gate.find(low);
    bool hit = false;
    if (it != first_gate.end()) {
      const Placed& p = placed[it->second];
      if (p.cell == static_cast<int>(o.cell)) {
        std::vector<GateId> want;
        for (std::size_t g = 0; g < lib[p.cell].gates.size(); ++g) want.push_back(low + static_cast<GateId>(g));
        std::vector<GateId> got = o.gates;
        std::sort(got.begin(), got.end());
        hit = got == want;
        for (int n = 0; hit && n < lib[p.cell].nets; ++n)
          hit = lib[p.cell].graph.degree(n) == 0 || o.nets[n] == p.pins[n] || lib[p.cell].graph.flags(n) & kPort;
      }
    }
    ++(hit ? n_found : n_false)[o.cell];
  }
  long tp = 0, tf = 0, tx = 0;
  std::printf("%-10s %6s %6s %8s %8s %8s\n", "cell", "gates", "MOS", "placed", "found", "false");
  for (std::size_t c = 0; c < lib.size(); ++c) {
    tp += n_placed[c], tf += n_found[c], tx += n_false[c];
    if (c < placeable)
      std::printf("%-10s %6zu %6u %8ld %8ld %8ld\n", lib[c].name.c_str(), lib[c].gates.size(), lib[c].mosfets, n_placed[c],
                  n_found[c], n_false[c]);
  }
  std::uint64_t given_up = 0, candidates = 0, trials = 0;
  for (const CellReport& r : matcher.reports()) {
    given_up += r.search.given_up;
    candidates += r.search.candidates;
    trials += r.search.trials;
  }
  std::printf("MOSFETs %ld gates %u cells %zu (%zu sinks) library %zu: found %ld of %ld (%.2f%%), false %ld, given up %llu, search %.2f s\n",
              mosfets, circuit.gate_count(), placed.size(), sinks, lib.size(), tf, tp, tp ? 100.0 * tf / tp : 100.0, tx,
              static_cast<unsigned long long>(given_up), secs);
  std::printf("first-gate candidates %llu, pin trials %llu\n", static_cast<unsigned long long>(candidates),
              static_cast<unsigned long long>(trials));
  return tf == tp && tx == 0 ? 0 : 1;
}
