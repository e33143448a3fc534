// Compares the subcircuit instances of a written netlist with the placements
// gen_cells made, and looks for nets that are read but driven by nothing.
//
// Usage: check_cells PLACEMENTS NETLIST
// Prints "name value" lines: placed, found, reported, not placed, undriven.
//
// An instance is found when the copy placed on its output nets is of the
// same cell and every gate of the instance computes what the same gate of
// that copy computes: its pins may connect the copy's nets in another order
// only where the gates' functions allow it (interchangeable inputs). Both
// are simulated on random values.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

struct CellGate {
  std::string pulldown, out;
  std::vector<std::string> ins;
};

struct Cell {
  std::vector<std::string> ins, outs;
  std::vector<CellGate> gates;
};

using Pins = std::unordered_map<std::string, std::string>;  // pin -> net

struct Placement {
  std::string cell;
  Pins pins;
  bool found = false;
};

// Bit-parallel value of a pull-down expression (& | and parentheses over
// the letters a, b, ...): 64 input vectors at once.
class Expression {
 public:
  Expression(const std::string& text, const std::vector<uint64_t>& letters) : t_(text), v_(letters) {}
  uint64_t value() { return or_expr(); }

 private:
  uint64_t or_expr() {
    uint64_t v = and_expr();
    while (pos_ < t_.size() && t_[pos_] == '|') {
      ++pos_;
      v |= and_expr();
    }
    return v;
  }
  uint64_t and_expr() {
    uint64_t v = atom();
    while (pos_ < t_.size() && t_[pos_] == '&') {
      ++pos_;
      v &= atom();
    }
    return v;
  }
  uint64_t atom() {
    if (pos_ < t_.size() && t_[pos_] == '(') {
      ++pos_;
      uint64_t v = or_expr();
      ++pos_;  // ')'
      return v;
    }
    std::size_t k = static_cast<std::size_t>(t_[pos_++] - 'a');
    return k < v_.size() ? v_[k] : 0;
  }

  const std::string& t_;
  const std::vector<uint64_t>& v_;
  std::size_t pos_ = 0;
};

// Every net of the cell, given the values of its input pins.
std::unordered_map<std::string, uint64_t> simulate(const Cell& cell,
                                                   std::unordered_map<std::string, uint64_t> values) {
  for (const CellGate& g : cell.gates) {
    std::vector<uint64_t> letters;
    for (const std::string& in : g.ins) letters.push_back(values[in]);
    values[g.out] = ~Expression(g.pulldown, letters).value();
  }
  return values;
}

// Whether the cell on pins `reported` computes at every gate what it
// computes on pins `placed`, both read on circuit nets.
bool same_function(const Cell& cell, const Pins& placed, const Pins& reported, std::mt19937_64& rng) {
  for (const std::string& pin : cell.outs) {
    auto r = reported.find(pin);
    if (r == reported.end() || r->second != placed.at(pin)) return false;
  }
  for (int round = 0; round < 4; ++round) {
    std::unordered_map<std::string, uint64_t> net_value;
    for (const std::string& pin : cell.ins) net_value[placed.at(pin)] = rng();
    std::unordered_map<std::string, uint64_t> a, b;
    for (const std::string& pin : cell.ins) {
      auto r = reported.find(pin);
      if (r == reported.end() || !net_value.count(r->second)) return false;
      a[pin] = net_value[placed.at(pin)];
      b[pin] = net_value[r->second];
    }
    a = simulate(cell, a);
    b = simulate(cell, b);
    // Every gate, not only the outputs: a copy is found only when each of
    // its gates is the instance's gate of the same place in the cell.
    for (const CellGate& g : cell.gates) {
      if (a[g.out] != b[g.out]) return false;
    }
  }
  return true;
}

// A name as written: an escaped identifier loses its backslash and blank.
std::string plain(std::string name) {
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!name.empty() && name.front() == ' ') name.erase(name.begin());
  if (!name.empty() && name.front() == '\\') name.erase(name.begin());
  return name;
}

// The ".pin(net)" pairs of an instance line.
std::vector<std::pair<std::string, std::string>> connections(const std::string& line) {
  std::vector<std::pair<std::string, std::string>> out;
  for (std::size_t at = line.find(" ."); at != std::string::npos; at = line.find(" .", at + 1)) {
    std::size_t open = line.find('(', at);
    std::size_t close = line.find(')', open);
    if (open == std::string::npos || close == std::string::npos) break;
    out.emplace_back(plain(line.substr(at + 2, open - at - 2)), plain(line.substr(open + 1, close - open - 1)));
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: check_cells PLACEMENTS NETLIST\n");
    return 2;
  }
  std::unordered_map<std::string, Cell> cells;
  std::vector<Placement> placements;
  std::unordered_map<std::string, std::size_t> placed_on;  // an output net -> its copy
  std::ifstream side(argv[1]);
  Cell* last = nullptr;
  for (std::string line; std::getline(side, line);) {
    std::istringstream words(line);
    std::string kind, name, w;
    words >> kind >> name;
    if (kind == "cell") {
      last = &cells[name];
      bool out = false;
      words >> w;  // "in"
      while (words >> w) {
        if (w == "out") {
          out = true;
        } else {
          (out ? last->outs : last->ins).push_back(w);
        }
      }
    } else if (kind == "gate" && last) {
      CellGate g{name, "", {}};
      words >> g.out;
      while (words >> w) g.ins.push_back(w);
      last->gates.push_back(std::move(g));
    } else if (kind == "place") {
      Placement p{name, {}, false};
      while (words >> w) {
        std::size_t eq = w.find('=');
        p.pins[w.substr(0, eq)] = w.substr(eq + 1);
      }
      const Cell& c = cells[name];
      if (!c.outs.empty()) placed_on[p.pins[c.outs.front()]] = placements.size();
      placements.push_back(std::move(p));
    }
  }

  std::mt19937_64 rng(1);
  long found = 0, reported = 0, not_placed = 0;
  std::unordered_set<std::string> driven, read;
  std::ifstream netlist(argv[2]);
  for (std::string line; std::getline(netlist, line);) {
    if (line.rfind(" input ", 0) == 0) {
      std::string names = line.substr(7);
      for (char& ch : names) {
        if (ch == ';') ch = ',';
      }
      std::istringstream parts(names);
      for (std::string n; std::getline(parts, n, ',');) {
        if (!plain(n).empty()) driven.insert(plain(n));
      }
      continue;
    }
    if (line.rfind("    ", 0) != 0 || line.find("//") != std::string::npos) continue;
    std::istringstream words(line);
    std::string type, inst;
    words >> type >> inst;
    type = plain(type);
    auto conn = connections(line);
    if (!inst.empty() && inst[0] == 'X') {
      ++reported;
      const Cell& c = cells[type];
      Pins pins;
      for (const auto& [pin, net] : conn) pins[pin] = net;
      for (const auto& [pin, net] : conn) {
        bool is_out = false;
        for (const std::string& o : c.outs) is_out = is_out || o == pin;
        (is_out ? driven : read).insert(net);
      }
      auto at = c.outs.empty() || !pins.count(c.outs.front()) ? placed_on.end() : placed_on.find(pins[c.outs.front()]);
      Placement* p = at == placed_on.end() ? nullptr : &placements[at->second];
      if (p && !p->found && p->cell == type && same_function(c, p->pins, pins, rng)) {
        p->found = true;
        ++found;
      } else {
        ++not_placed;
      }
    } else if (!inst.empty() && inst[0] == 'U') {
      for (const auto& [pin, net] : conn) (pin == "out" ? driven : read).insert(net);
    }
  }
  long undriven = 0;
  for (const std::string& n : read) undriven += driven.count(n) ? 0 : 1;
  std::printf("placed %zu\nfound %ld\nreported %ld\nnot placed %ld\nundriven %ld\n", placements.size(), found,
              reported, not_placed, undriven);
  return 0;
}
