// Generates a cell-library design: cell definitions (thirty unless told) of
// one to eight gates, each with its own model cards, and a circuit made only of
// flattened copies of them placed at random and wired as a DAG, in which
// every cell output is read by at least two gates (outputs of the last
// copies, which nothing could read, are ports instead). The placements are
// written to a side file for check_cells.
//
// Usage: gen_cells MOSFETS SEED CIRCUIT_OUT LIBRARY_OUT PLACEMENTS_OUT [CELLS] [--shared-types] [--nested]
//
// With --shared-types one-gate cells take their gate types from the same
// pool as the larger cells; with --nested some cells hold a smaller one (see
// make_library). With either, place lines also name each copy's inside nets.
//
// Side file lines:
//   cell NAME in PIN... out PIN...
//   gate PULLDOWN OUT IN...     (the cell's gates in order; OUT computes
//                                the negated pull-down expression, whose
//                                letters a, b, ... are the INs)
//   place NAME PIN=NET ...      (pins in the order of the cell line, then
//                                with a flag the inside nets)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/generator.h"

namespace {

// One gate of a cell: its shape and its nets as cell-local numbers.
struct CellGate {
  int shape;
  std::vector<int> ins;
  int out;
};

struct Cell {
  std::string name;
  std::vector<CellGate> gates;
  std::vector<int> inputs, outputs;  // pin numbers
  int nets = 0;                      // local numbers 0 .. nets-1
  std::vector<std::string> net_names;
};

// A connected DAG of gates: each gate after the first reads an earlier
// gate's output, preferring one nothing reads yet; the outputs nobody inside
// reads are the cell's outputs. Given a `base` cell, its gates come first
// and the next gate, of shape `reader` unless negative, reads one of the
// base's inside nets.
Cell make_cell(std::mt19937& rng, int num_gates, const std::vector<int>& shapes, const Cell* base = nullptr,
               int reader = -1) {
  Cell c;
  std::uniform_int_distribution<std::size_t> shape_pick(0, shapes.size() - 1);
  std::vector<int> unread, read_outs;
  auto roll = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  int first = 0;
  if (base) {
    c.gates = base->gates;
    c.inputs = base->inputs;
    c.nets = base->nets;
    unread = base->outputs;
    for (const CellGate& g : base->gates) {
      if (std::find(unread.begin(), unread.end(), g.out) == unread.end()) read_outs.push_back(g.out);
    }
    first = static_cast<int>(base->gates.size());
  }
  for (int i = first; i < num_gates; ++i) {
    CellGate g;
    g.shape = base && i == first && reader >= 0 ? reader : shapes[shape_pick(rng)];
    int k = letters(kShapes[g.shape].pulldown);
    auto take = [&](int net) {
      if (std::find(g.ins.begin(), g.ins.end(), net) != g.ins.end()) return false;
      g.ins.push_back(net);
      return true;
    };
    if (base && i == first && !read_outs.empty()) take(read_outs[roll(static_cast<int>(read_outs.size()))]);
    auto take_output = [&]() {
      if (!unread.empty()) {
        int at = roll(static_cast<int>(unread.size()));
        if (take(unread[at])) {
          read_outs.push_back(unread[at]);
          unread.erase(unread.begin() + at);
          return true;
        }
      }
      return !read_outs.empty() && take(read_outs[roll(static_cast<int>(read_outs.size()))]);
    };
    if (i > 0 && static_cast<int>(g.ins.size()) < k) take_output();
    while (static_cast<int>(g.ins.size()) < k) {
      int r = roll(10);
      if (r < 3 && i > 0 && take_output()) continue;
      if (r < 7 && !c.inputs.empty() && take(c.inputs[roll(static_cast<int>(c.inputs.size()))])) continue;
      c.inputs.push_back(c.nets++);
      g.ins.push_back(c.inputs.back());
    }
    g.out = c.nets++;
    unread.push_back(g.out);
    c.gates.push_back(g);
  }
  c.outputs = unread;
  std::sort(c.outputs.begin(), c.outputs.end());
  return c;
}

// Names inside a definition: pins a/y, internal nets w, each with its own
// number.
void name_cell(Cell& c, Generator& lib) {
  c.net_names.assign(c.nets, "");
  for (int n : c.inputs) c.net_names[n] = lib.new_net("a");
  for (int n : c.outputs) c.net_names[n] = lib.new_net("y");
  for (std::string& s : c.net_names) {
    if (s.empty()) s = lib.new_net("w");
  }
}

void write_definition(FILE* lib_file, Generator& lib, const Cell& c) {
  std::fprintf(lib_file, ".macromodel %s", c.name.c_str());
  for (int n : c.inputs) std::fprintf(lib_file, " %s", c.net_names[n].c_str());
  for (int n : c.outputs) std::fprintf(lib_file, " %s", c.net_names[n].c_str());
  std::fprintf(lib_file, "\n");
  write_models(lib_file);
  for (const CellGate& g : c.gates) {
    std::vector<std::string> ins;
    for (int n : g.ins) ins.push_back(c.net_names[n]);
    lib.gate(kShapes[g.shape], ins, c.net_names[g.out]);
  }
  std::fprintf(lib_file, ".endm %s\n", c.name.c_str());
}

// Cells of distinct gate multisets (so no two are the same circuit).
// A one-gate cell has a shape of its own that no other cell uses unless
// `shared_types`: otherwise it also stands for that gate inside every copy of
// a larger cell that the search misses. Such instances are right, but only a
// check that simulates them tells them from wrong ones; shared types are
// there to exercise that, and the search's care for nets an earlier
// instance reads.
//
// With `nested` the first two-gate cells take the smallest shapes, and about
// half the cells of three gates or more begin with the gates of an earlier
// cell of two gates or more, the next gate reading one of its inside nets and
// having the shape of a one-gate cell of more MOSFETs. Where the search
// misses a copy of the larger cell, the one-gate cell, searched before the
// smaller one (the search goes by MOSFET count), may take the reader; the
// smaller cell then fits the rest while an instance reads its inside net.
std::vector<Cell> make_library(std::mt19937& rng, int count, bool shared_types, bool nested) {
  std::uniform_int_distribution<int> size_pick(1, 8);
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) sizes.push_back(size_pick(rng));
  std::vector<int> shared;
  for (int s = 0; s < kComplementaryShapes; ++s) shared.push_back(s);
  std::shuffle(shared.begin(), shared.end(), rng);
  std::vector<int> own;
  for (int size : sizes) {
    if (size == 1 && shared.size() > 8 && !shared_types) {
      own.push_back(shared.back());
      shared.pop_back();
    } else if (size == 1 && shared_types && own.size() < shared.size()) {
      own.push_back(shared[own.size()]);
    }
  }
  std::vector<int> smallest;
  for (int s = 0; s < kComplementaryShapes; ++s) {
    if (letters(kShapes[s].pulldown) <= 2) smallest.push_back(s);
  }
  auto mosfets = [](const Cell& c) {
    int n = 0;
    for (const CellGate& g : c.gates) n += 2 * letters(kShapes[g.shape].pulldown);
    return n;
  };
  auto pick = [&rng](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  std::vector<Cell> cells;
  std::set<std::vector<int>> kinds;
  std::size_t next_own = 0;
  int small_pairs = 0;
  while (cells.size() < sizes.size()) {
    int size = sizes[cells.size()];
    bool alone = size == 1 && next_own < own.size();
    int gates = alone ? 1 : std::max(size, 2);
    // Four of the six multisets of two smallest shapes, so a retry finds one.
    bool small = nested && gates == 2 && small_pairs < 4;
    const Cell* base = nullptr;
    int reader = -1;
    if (nested && gates >= 3 && !own.empty() && pick(2) == 0) {
      reader = own[pick(own.size())];
      std::vector<const Cell*> bases;
      for (const Cell& b : cells) {
        if (b.gates.size() >= 2 && static_cast<int>(b.gates.size()) < gates &&
            mosfets(b) < 2 * letters(kShapes[reader].pulldown))
          bases.push_back(&b);
      }
      if (!bases.empty()) base = bases[pick(bases.size())];
    }
    Cell c = make_cell(rng, gates, alone ? std::vector<int>{own[next_own]} : small ? smallest : shared, base, reader);
    std::vector<int> kind;
    for (const CellGate& g : c.gates) kind.push_back(g.shape);
    std::sort(kind.begin(), kind.end());
    if (!kinds.insert(kind).second) continue;
    if (alone) ++next_own;
    if (small) ++small_pairs;
    c.name = "CELL" + std::to_string(cells.size() + 1);
    cells.push_back(std::move(c));
  }
  return cells;
}

}  // namespace

int main(int argc, char** argv) {
  bool shared_types = false, nested = false;
  for (; argc > 6 && argv[argc - 1][0] == '-'; --argc) {
    std::string flag = argv[argc - 1];
    if (flag == "--shared-types") {
      shared_types = true;
    } else if (flag == "--nested") {
      nested = true;
    } else {
      argc = 0;
      break;
    }
  }
  int count = argc == 7 ? std::atoi(argv[6]) : 30;
  if ((argc != 6 && argc != 7) || count < 1) {
    std::fprintf(stderr,
                 "usage: gen_cells MOSFETS SEED CIRCUIT_OUT LIBRARY_OUT PLACEMENTS_OUT [CELLS] [--shared-types] "
                 "[--nested]\n");
    return 2;
  }
  long target = std::atol(argv[1]);
  unsigned seed = static_cast<unsigned>(std::atol(argv[2]));
  FILE* out = std::fopen(argv[3], "w");
  FILE* lib_file = std::fopen(argv[4], "w");
  FILE* side = std::fopen(argv[5], "w");
  if (!out || !lib_file || !side) {
    std::perror("gen_cells");
    return 1;
  }
  // The body is written first: the circuit card, which lists the ports, has
  // to come before it.
  char* body_text = nullptr;
  size_t body_size = 0;
  FILE* body = open_memstream(&body_text, &body_size);

  Generator lib(seed, lib_file);
  std::vector<Cell> cells = make_library(lib.rng(), count, shared_types, nested);
  write_models(lib_file);
  for (Cell& c : cells) {
    name_cell(c, lib);
    write_definition(lib_file, lib, c);
    std::fprintf(side, "cell %s in", c.name.c_str());
    for (int n : c.inputs) std::fprintf(side, " %s", c.net_names[n].c_str());
    std::fprintf(side, " out");
    for (int n : c.outputs) std::fprintf(side, " %s", c.net_names[n].c_str());
    std::fprintf(side, "\n");
    for (const CellGate& g : c.gates) {
      std::fprintf(side, "gate %s %s", kShapes[g.shape].pulldown, c.net_names[g.out].c_str());
      for (int n : g.ins) std::fprintf(side, " %s", c.net_names[n].c_str());
      std::fprintf(side, "\n");
    }
  }

  Generator gen(seed + 1, body);
  std::mt19937& rng = gen.rng();
  auto roll = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  const int kInputs = 64;
  std::vector<std::string> ports, outputs;
  std::vector<std::string> nets;            // every net a copy may read
  // Outputs read fewer than twice, with each one's place in the vector.
  std::vector<std::string> wanting;
  std::unordered_map<std::string, std::size_t> wanting_at;
  std::unordered_map<std::string, int> reads;
  auto want = [&](const std::string& net) {
    wanting_at[net] = wanting.size();
    wanting.push_back(net);
  };
  auto satisfied = [&](const std::string& net) {
    std::size_t at = wanting_at[net];
    wanting_at[wanting.back()] = at;
    std::swap(wanting[at], wanting.back());
    wanting.pop_back();
    wanting_at.erase(net);
  };
  for (int i = 0; i < kInputs; ++i) ports.push_back(gen.new_net());
  nets = ports;
  for (const auto& p : ports) reads[p] = 2;

  long placed = 0;
  // Places one copy of `c`; `closing` copies read only nets still wanting
  // readers where they can and make their own outputs ports.
  auto place = [&](const Cell& c, bool closing) {
    std::vector<std::string> local(c.nets);
    std::set<std::string> used;
    for (int n : c.inputs) {
      std::string net;
      for (int tries = 0; tries < 8 && (net.empty() || used.count(net)); ++tries) {
        if (!wanting.empty() && (closing || roll(3) == 0)) {
          net = wanting[roll(wanting.size())];
        } else {
          // Mostly recent nets, so the DAG stays local like real logic.
          std::size_t window = std::min<std::size_t>(nets.size(), 2000);
          net = nets[nets.size() - window + roll(window)];
        }
      }
      if (used.count(net)) {
        do {
          net = nets[roll(nets.size())];
        } while (used.count(net));
      }
      used.insert(net);
      local[n] = net;
      if (++reads[net] == 2 && wanting_at.count(net)) satisfied(net);
    }
    for (std::string& s : local) {
      if (s.empty()) s = gen.new_net();
    }
    for (const CellGate& g : c.gates) {
      std::vector<std::string> ins;
      for (int n : g.ins) ins.push_back(local[n]);
      gen.gate(kShapes[g.shape], ins, local[g.out]);
    }
    for (int n : c.outputs) {
      if (closing) {
        outputs.push_back(local[n]);
      } else {
        want(local[n]);
        nets.push_back(local[n]);
        reads[local[n]] = 0;
      }
    }
    std::fprintf(side, "place %s", c.name.c_str());
    for (int n : c.inputs) std::fprintf(side, " %s=%s", c.net_names[n].c_str(), local[n].c_str());
    for (int n : c.outputs) std::fprintf(side, " %s=%s", c.net_names[n].c_str(), local[n].c_str());
    if (shared_types || nested) {
      // check_cells judges instances the search places inside a copy only
      // when it knows the copy's every net.
      for (int n = 0; n < c.nets; ++n) {
        if (c.net_names[n][0] == 'w') std::fprintf(side, " %s=%s", c.net_names[n].c_str(), local[n].c_str());
      }
    }
    std::fprintf(side, "\n");
    ++placed;
  };
  while (gen.mosfets() < target) place(cells[roll(cells.size())], false);
  while (!wanting.empty()) place(cells[roll(cells.size())], true);
  std::fclose(body);

  std::fprintf(out, ".subckt top");
  for (const auto& p : ports) std::fprintf(out, " %s", p.c_str());
  for (const auto& p : outputs) std::fprintf(out, " %s", p.c_str());
  std::fprintf(out, "\n");
  std::fwrite(body_text, 1, body_size, out);
  std::free(body_text);
  std::fprintf(out, ".ends top\n");
  std::fclose(out);
  std::fclose(lib_file);
  std::fclose(side);
  std::fprintf(stderr, "%d MOSFETs, %ld placed copies of %zu cells\n", gen.mosfets(), placed, cells.size());
  return 0;
}
