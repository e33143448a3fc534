#pragma once
// Gate networks for the cell search tests, written as text: statements
// separated by ';', nets by name.
//   "NAND2 a b > y"      a gate: its inputs, interchangeable, then its output
//   "AOI21 a b | c > y"  '|' begins another group of interchangeable inputs
//   "FA a b c > co > s"  each further output is a class of its own
//   "TG a b : n | p"     channel ends before ':', then the inputs
//   "ports a y", "ground vss", "supply vdd", "outside n1" (a net that
//   something other than a gate touches)
// A gate holds two MOSFETs per pin that is not an output.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "profile/cellmatch/gate_graph.h"

namespace build {

class Graph {
 public:
  cellmatch::GateGraph g;
  std::map<std::string, cellmatch::NetId> nets;

  explicit Graph(const std::string& text) {
    const std::map<std::string, std::uint8_t> kinds = {
        {"ports", cellmatch::kPort}, {"ground", cellmatch::kGround},
        {"supply", cellmatch::kSupply}, {"outside", cellmatch::kOutsideUse}};
    std::istringstream statements(text);
    for (std::string statement; std::getline(statements, statement, ';');) {
      std::istringstream words(statement);
      std::string label, w;
      if (!(words >> label)) continue;
      if (kinds.count(label)) {
        while (words >> w) net(w, kinds.at(label));
        continue;
      }
      std::vector<cellmatch::Pin> pins;
      std::uint16_t cls = 0;
      std::uint32_t mosfets = 0;
      auto role = cellmatch::PinRole::Input;
      while (words >> w) {
        if (w == ":")
          for (cellmatch::Pin& p : pins) p.role = cellmatch::PinRole::Channel;
        if (w == ">") role = cellmatch::PinRole::Output;
        if (w == ":" || w == "|" || w == ">") {
          ++cls;
        } else {
          pins.push_back({net(w), cls, role});
          mosfets += role == cellmatch::PinRole::Output ? 0 : 2;
        }
      }
      g.add_gate(label, mosfets, pins);
    }
  }

  cellmatch::NetId net(const std::string& name, std::uint8_t flags = 0) {
    auto it = nets.find(name);
    if (it == nets.end()) return nets[name] = g.add_net(flags);
    g.add_flags(it->second, flags);
    return it->second;
  }
  const cellmatch::GateGraph& done() {
    g.finish();
    return g;
  }
};

}  // namespace build
