#pragma once
// Reads one standard-cell file of the test data (a .subckt of X calls to
// device subcircuits, pins drain gate source bulk) into a circuit: VPWR and
// VGND are the rails, VPB and VNB bulk only.
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "spice/circuit.h"

inline spice::Circuit read_cell_file(const std::string& path) {
  spice::Circuit c;
  std::unordered_map<std::string, spice::NetId> ids;
  auto net = [&](const std::string& name) {
    auto [it, fresh] = ids.emplace(name, c.net_count());
    if (fresh) {
      c.net_names.push_back(name);
      c.net_roles.push_back(name == "VPWR"                    ? spice::NetRole::Supply
                            : name == "VGND"                  ? spice::NetRole::Ground
                            : name == "VPB" || name == "VNB" ? spice::NetRole::BulkOnly
                                                              : spice::NetRole::Signal);
    }
    return it->second;
  };
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    if (w[0] == ".subckt") {
      c.name = w[1];
      for (std::size_t i = 2; i < w.size(); ++i) c.ports.push_back(net(w[i]));
    } else if (w[0][0] == 'X' && w.size() >= 6) {
      spice::Mosfet m;
      m.name = w[0];
      m.type = w[5].find("pfet") != std::string::npos ? spice::Channel::P : spice::Channel::N;
      m.drain = net(w[1]);
      m.gate = net(w[2]);
      m.source = net(w[3]);
      m.bulk = net(w[4]);
      c.mosfets.push_back(m);
    }
  }
  return c;
}
