// Compares the subcircuit instances of a written netlist with the placements
// gen_cells made, and looks for nets that are read but driven by nothing.
//
// Usage: check_cells PLACEMENTS NETLIST
// Prints: placed, found, reported, not placed, undriven (one "name value"
// per line). An instance is found when a placement of the same cell has the
// same net on every output pin and the same nets on its input pins, in any
// order (a cell's inputs may be interchangeable).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

struct CellPins {
  std::unordered_set<std::string> ins, outs;
  std::vector<std::string> out_order;
};

using Pins = std::map<std::string, std::string>;  // pin -> net

// The identity of an instance: cell, its output nets in pin order, and its
// input nets sorted.
std::string key_of(const std::string& cell, const CellPins& pins, const Pins& conn) {
  std::string key = cell;
  for (const std::string& p : pins.out_order) {
    auto it = conn.find(p);
    key += " " + (it == conn.end() ? std::string("?") : it->second);
  }
  std::vector<std::string> ins;
  for (const auto& [pin, net] : conn) {
    if (pins.ins.count(pin)) ins.push_back(net);
  }
  std::sort(ins.begin(), ins.end());
  key += " |";
  for (const std::string& n : ins) key += " " + n;
  return key;
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
  std::unordered_map<std::string, CellPins> cells;
  std::unordered_map<std::string, int> placements;  // key -> copies not yet found
  long placed = 0;
  std::ifstream side(argv[1]);
  for (std::string line; std::getline(side, line);) {
    std::istringstream words(line);
    std::string kind, name, w;
    words >> kind >> name;
    if (kind == "cell") {
      CellPins& c = cells[name];
      bool out = false;
      words >> w;  // "in"
      while (words >> w) {
        if (w == "out") {
          out = true;
        } else if (out) {
          c.outs.insert(w);
          c.out_order.push_back(w);
        } else {
          c.ins.insert(w);
        }
      }
    } else if (kind == "place") {
      Pins conn;
      while (words >> w) {
        std::size_t eq = w.find('=');
        conn[w.substr(0, eq)] = w.substr(eq + 1);
      }
      ++placements[key_of(name, cells[name], conn)];
      ++placed;
    }
  }

  long found = 0, reported = 0, not_placed = 0;
  std::unordered_set<std::string> driven, read;
  std::ifstream netlist(argv[2]);
  for (std::string line; std::getline(netlist, line);) {
    if (line.rfind(" input ", 0) == 0) {
      std::string names = line.substr(7);
      std::replace(names.begin(), names.end(), ';', ',');
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
    auto conn = connections(line);
    if (!inst.empty() && inst[0] == 'X') {
      ++reported;
      const CellPins& c = cells[plain(type)];
      Pins pins;
      for (const auto& [pin, net] : conn) {
        pins[pin] = net;
        (c.outs.count(pin) ? driven : read).insert(net);
      }
      auto it = placements.find(key_of(plain(type), c, pins));
      if (it != placements.end() && it->second > 0) {
        --it->second;
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
  std::printf("placed %ld\nfound %ld\nreported %ld\nnot placed %ld\nundriven %ld\n", placed, found, reported,
              not_placed, undriven);
  return 0;
}
