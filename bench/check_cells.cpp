// Compares the subcircuit instances of a written netlist with the placements
// gen_cells made, looks for nets that are read but driven by nothing, and
// with the header file simulates the written netlist against the placed
// design.
//
// Usage: check_cells PLACEMENTS NETLIST [HEADER]
// Prints "name value" lines: placed, found, reported, not placed, undriven,
// not placed sound, not placed unsound, not placed unjudged, and with HEADER
// mismatching nets, mismatching outputs and unmodelled gates.
//
// An instance is found when the copy placed on its output nets is of the
// same cell and every gate of the instance computes what the same gate of
// that copy computes: its pins may connect the copy's nets in another order
// only where the gates' functions allow it (interchangeable inputs). Both
// are simulated on random values.
//
// An instance not placed is sound when, fed the values its input nets have
// in the placed design, it gives its output nets their values there; else
// unsound. It is unjudged when one of its nets is a copy's inside net and
// the side file does not name those (designs made without --shared-types).
//
// The simulation feeds the same random values to the primary inputs of the
// placed design (copies' gates from the side file) and of the written one
// (instances by their cells' gates, other gates by their header modules;
// undriven nets read 0). A mismatching net is one the written netlist drives
// whose values differ from the placed design's; outputs are the ports among
// them.
#include <array>
#include <cctype>
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


// Bit-parallel value of a header module's expression: identifiers, ~, &, ^,
// | and parentheses, and the constants 1'b0 and 1'b1.
class VerilogExpression {
 public:
  VerilogExpression(const std::string& text, const std::unordered_map<std::string, uint64_t>& ports)
      : t_(text), v_(ports) {}
  uint64_t value() { return or_expr(); }

 private:
  void blanks() {
    while (pos_ < t_.size() && t_[pos_] == ' ') ++pos_;
  }
  bool next_is(char c) {
    blanks();
    return pos_ < t_.size() && t_[pos_] == c;
  }
  uint64_t or_expr() {
    uint64_t v = xor_expr();
    while (next_is('|')) {
      ++pos_;
      v |= xor_expr();
    }
    return v;
  }
  uint64_t xor_expr() {
    uint64_t v = and_expr();
    while (next_is('^')) {
      ++pos_;
      v ^= and_expr();
    }
    return v;
  }
  uint64_t and_expr() {
    uint64_t v = unary();
    while (next_is('&')) {
      ++pos_;
      v &= unary();
    }
    return v;
  }
  uint64_t unary() {
    if (next_is('~')) {
      ++pos_;
      return ~unary();
    }
    if (next_is('(')) {
      ++pos_;
      uint64_t v = or_expr();
      if (next_is(')')) ++pos_;
      return v;
    }
    std::size_t start = pos_;
    while (pos_ < t_.size() &&
           (std::isalnum(static_cast<unsigned char>(t_[pos_])) || t_[pos_] == '_' || t_[pos_] == '\''))
      ++pos_;
    std::string word = t_.substr(start, pos_ - start);
    if (word == "1'b1") return ~uint64_t{0};
    auto at = v_.find(word);
    return at == v_.end() ? 0 : at->second;
  }

  const std::string& t_;
  const std::unordered_map<std::string, uint64_t>& v_;
  std::size_t pos_ = 0;
};

// A header module: the expression its output `out` is assigned.
using Header = std::unordered_map<std::string, std::string>;

Header read_header(const char* path) {
  Header modules;
  std::ifstream in(path);
  std::string module;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string first;
    words >> first;
    if (first == "module") {
      std::string rest;
      std::getline(words, rest);
      module = plain(rest.substr(0, rest.find('(')));
    } else if (first == "assign" && !module.empty()) {
      std::size_t eq = line.find('=');
      std::size_t end = line.rfind(';');
      if (eq != std::string::npos && end != std::string::npos && end > eq)
        modules[module] = line.substr(eq + 1, end - eq - 1);
    }
  }
  return modules;
}

// Values of a net on every round of 64 vectors.
constexpr int kRounds = 4;
using Word = std::array<uint64_t, kRounds>;
using Values = std::unordered_map<std::string, Word>;

// An instance (X, of a cell) or gate (U, of a header module) line.
struct Element {
  std::string type;
  bool instance;
  std::vector<std::pair<std::string, std::string>> conn;  // pin, net
};

bool is_output(const Element& e, const std::unordered_map<std::string, Cell>& cells, const std::string& pin) {
  if (!e.instance) return pin == "out";
  auto c = cells.find(e.type);
  if (c == cells.end()) return false;
  for (const std::string& o : c->second.outs) {
    if (o == pin) return true;
  }
  return false;
}

// The cell on pin values taken from `net_value`, round by round; its output
// pins' words.
std::unordered_map<std::string, Word> run_cell(const Cell& cell, const Pins& pins, const Values& net_value) {
  std::unordered_map<std::string, Word> out;
  for (int r = 0; r < kRounds; ++r) {
    std::unordered_map<std::string, uint64_t> in;
    for (const std::string& pin : cell.ins) {
      auto p = pins.find(pin);
      auto v = p == pins.end() ? net_value.end() : net_value.find(p->second);
      in[pin] = v == net_value.end() ? 0 : v->second[r];
    }
    auto all = simulate(cell, std::move(in));
    for (const std::string& pin : cell.outs) out[pin][r] = all[pin];
  }
  return out;
}

// The placed design's every net: copies in placement order (each reads only
// primary inputs and earlier copies' outputs), primary inputs random. A
// copy's inside nets the side file does not name get names of their own
// (with a ~, which no netlist name has).
Values reference(const std::unordered_map<std::string, Cell>& cells, const std::vector<Placement>& placements,
                 std::mt19937_64& rng) {
  Values v;
  for (std::size_t k = 0; k < placements.size(); ++k) {
    const Placement& p = placements[k];
    auto c = cells.find(p.cell);
    if (c == cells.end()) continue;
    auto net = [&](const std::string& local) {
      auto at = p.pins.find(local);
      if (at != p.pins.end()) return at->second;
      return local + '~' + std::to_string(k);
    };
    for (const CellGate& g : c->second.gates) {
      std::vector<std::string> ins;
      for (const std::string& in : g.ins) {
        ins.push_back(net(in));
        if (!v.count(ins.back())) {
          Word& w = v[ins.back()];
          for (uint64_t& x : w) x = rng();
        }
      }
      Word out{};
      for (int r = 0; r < kRounds; ++r) {
        std::vector<uint64_t> letters;
        for (const std::string& in : ins) letters.push_back(v[in][r]);
        out[r] = ~Expression(g.pulldown, letters).value();
      }
      v[net(g.out)] = out;
    }
  }
  return v;
}

// The written netlist's every driven net, its elements evaluated in order
// of their drivers. Inputs take the placed design's values; nets nothing
// drives read 0, as do outputs of instances of unknown cells. A gate of no
// header module (a pseudo gate) is counted in `unmodelled` and its output
// takes the placed design's value, so the nets after it are still checked.
Values written(const std::vector<Element>& elements, const std::unordered_map<std::string, Cell>& cells,
               const Header& header, const std::unordered_set<std::string>& inputs, const Values& ref,
               long& unmodelled) {
  Values v;
  for (const std::string& n : inputs) {
    auto at = ref.find(n);
    Word w{};
    if (at != ref.end()) {
      w = at->second;
    } else if (n == "vdd") {
      w.fill(~uint64_t{0});
    }
    v[n] = w;
  }
  std::unordered_map<std::string, std::size_t> driver;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    for (const auto& [pin, net] : elements[i].conn) {
      if (is_output(elements[i], cells, pin)) driver[net] = i;
    }
  }
  std::vector<int> waiting(elements.size(), 0);
  std::unordered_map<std::string, std::vector<std::size_t>> readers;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    for (const auto& [pin, net] : elements[i].conn) {
      if (is_output(elements[i], cells, pin) || !driver.count(net) || inputs.count(net)) continue;
      ++waiting[i];
      readers[net].push_back(i);
    }
  }
  auto evaluate = [&](const Element& e) {
    if (e.instance) {
      auto c = cells.find(e.type);
      if (c == cells.end()) return;
      Pins pins(e.conn.begin(), e.conn.end());
      for (auto& [pin, w] : run_cell(c->second, pins, v)) {
        if (pins.count(pin)) v[pins[pin]] = w;
      }
      return;
    }
    auto expr = header.find(e.type);
    std::string out_net;
    Word w{};
    for (const auto& [pin, net] : e.conn) {
      if (pin == "out") out_net = net;
    }
    if (expr == header.end()) {
      ++unmodelled;
      auto at = ref.find(out_net);
      if (at != ref.end()) w = at->second;
    }
    for (int r = 0; expr != header.end() && r < kRounds; ++r) {
      std::unordered_map<std::string, uint64_t> ports;
      for (const auto& [pin, net] : e.conn) {
        auto at = v.find(net);
        ports[pin] = at == v.end() ? 0 : at->second[r];
      }
      w[r] = VerilogExpression(expr->second, ports).value();
    }
    if (!out_net.empty()) v[out_net] = w;
  };
  std::vector<std::size_t> ready;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (waiting[i] == 0) ready.push_back(i);
  }
  std::vector<bool> done(elements.size(), false);
  while (!ready.empty()) {
    std::size_t i = ready.back();
    ready.pop_back();
    done[i] = true;
    evaluate(elements[i]);
    for (const auto& [pin, net] : elements[i].conn) {
      if (!is_output(elements[i], cells, pin)) continue;
      for (std::size_t j : readers[net]) {
        if (--waiting[j] == 0) ready.push_back(j);
      }
      readers.erase(net);
    }
  }
  // Elements on a loop: evaluated once, on whatever their inputs hold.
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (!done[i]) evaluate(elements[i]);
  }
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: check_cells PLACEMENTS NETLIST [HEADER]\n");
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

  // The written netlist's ports and elements.
  std::unordered_set<std::string> inputs, outputs;
  std::vector<Element> elements;
  std::ifstream netlist(argv[2]);
  for (std::string line; std::getline(netlist, line);) {
    bool in = line.rfind(" input ", 0) == 0;
    if (in || line.rfind(" output ", 0) == 0) {
      std::string names = line.substr(in ? 7 : 8);
      for (char& ch : names) {
        if (ch == ';') ch = ',';
      }
      std::istringstream parts(names);
      for (std::string n; std::getline(parts, n, ',');) {
        if (!plain(n).empty()) (in ? inputs : outputs).insert(plain(n));
      }
      continue;
    }
    if (line.rfind("    ", 0) != 0 || line.find("//") != std::string::npos) continue;
    std::istringstream words(line);
    std::string type, inst;
    words >> type >> inst;
    if (inst.empty() || (inst[0] != 'X' && inst[0] != 'U')) continue;
    elements.push_back({plain(type), inst[0] == 'X', connections(line)});
  }

  std::mt19937_64 rng(1);
  std::mt19937_64 vectors(2);
  Values ref = reference(cells, placements, vectors);
  long found = 0, reported = 0, not_placed = 0, sound = 0, unsound = 0, unjudged = 0;
  std::unordered_set<std::string> driven(inputs), read;
  for (const Element& e : elements) {
    for (const auto& [pin, net] : e.conn) (is_output(e, cells, pin) ? driven : read).insert(net);
    if (!e.instance) continue;
    ++reported;
    const Cell& c = cells[e.type];
    Pins pins(e.conn.begin(), e.conn.end());
    auto at = c.outs.empty() || !pins.count(c.outs.front()) ? placed_on.end() : placed_on.find(pins[c.outs.front()]);
    Placement* p = at == placed_on.end() ? nullptr : &placements[at->second];
    if (p && !p->found && p->cell == e.type && same_function(c, p->pins, pins, rng)) {
      p->found = true;
      ++found;
      continue;
    }
    ++not_placed;
    bool known = !c.outs.empty();
    for (const auto& [pin, net] : e.conn) known = known && ref.count(net);
    if (!known) {
      ++unjudged;
      continue;
    }
    bool same = true;
    for (const auto& [pin, w] : run_cell(c, pins, ref)) same = same && pins.count(pin) && ref.at(pins[pin]) == w;
    ++(same ? sound : unsound);
  }
  long undriven = 0;
  for (const std::string& n : read) undriven += driven.count(n) ? 0 : 1;
  std::printf("placed %zu\nfound %ld\nreported %ld\nnot placed %ld\nundriven %ld\n", placements.size(), found,
              reported, not_placed, undriven);
  std::printf("not placed sound %ld\nnot placed unsound %ld\nnot placed unjudged %ld\n", sound, unsound, unjudged);
  if (argc == 4) {
    long unmodelled = 0;
    Values got = written(elements, cells, read_header(argv[3]), inputs, ref, unmodelled);
    long nets = 0, ports = 0;
    for (const std::string& n : driven) {
      auto want = ref.find(n);
      if (inputs.count(n) || want == ref.end() || got[n] == want->second) continue;
      ++nets;
      ports += outputs.count(n) ? 1 : 0;
    }
    std::printf("mismatching nets %ld\nmismatching outputs %ld\nunmodelled gates %ld\n", nets, ports, unmodelled);
  }
  return 0;
}
