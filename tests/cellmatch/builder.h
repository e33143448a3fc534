#pragma once
// Hand-built gate networks for the cell search tests: nets by name, gates
// whose inputs are all interchangeable unless grouped.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "profile/cellmatch/gate_graph.h"

namespace build {

struct Net {
  std::string name;
  std::uint8_t flags = 0;
};

class Graph {
 public:
  cellmatch::GateGraph g;
  std::map<std::string, cellmatch::NetId> nets;

  cellmatch::NetId net(const std::string& name, std::uint8_t flags = 0) {
    auto it = nets.find(name);
    if (it != nets.end()) {
      g.add_flags(it->second, flags);
      return it->second;
    }
    return nets[name] = g.add_net(flags);
  }
  Graph& port(std::initializer_list<std::string> names) {
    for (const auto& n : names) net(n, cellmatch::kPort);
    return *this;
  }
  // Input groups: the pins of one group are interchangeable.
  cellmatch::GateId gate(const std::string& label, std::vector<std::vector<std::string>> groups, std::string out,
                         std::uint32_t mosfets = 0) {
    std::vector<cellmatch::Pin> pins;
    std::uint16_t cls = 0;
    std::uint32_t inputs = 0;
    for (const auto& grp : groups) {
      for (const auto& n : grp) pins.push_back({net(n), cls, cellmatch::PinRole::Input}), ++inputs;
      ++cls;
    }
    pins.push_back({net(out), cls, cellmatch::PinRole::Output});
    return g.add_gate(label, mosfets ? mosfets : 2 * inputs, pins);
  }
  cellmatch::GateId inv(std::string a, std::string y) { return gate("INV", {{a}}, y); }
  cellmatch::GateId nand(std::vector<std::string> ins, std::string y) {
    return gate("NAND" + std::to_string(ins.size()), {ins}, y);
  }
  cellmatch::GateId nor(std::vector<std::string> ins, std::string y) {
    return gate("NOR" + std::to_string(ins.size()), {ins}, y);
  }
  // Channel ends interchangeable, then the n and the p control.
  cellmatch::GateId tgate(std::string a, std::string b, std::string cn, std::string cp) {
    std::vector<cellmatch::Pin> pins = {{net(a), 0, cellmatch::PinRole::Channel},
                                        {net(b), 0, cellmatch::PinRole::Channel},
                                        {net(cn), 1, cellmatch::PinRole::Input},
                                        {net(cp), 2, cellmatch::PinRole::Input}};
    return g.add_gate("TG", 2, pins);
  }
  cellmatch::GateGraph& done() {
    g.finish();
    return g;
  }
};

}  // namespace build
