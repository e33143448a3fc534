#pragma once
// Circuits for recognition tests, written as MOSFET lists over net names:
// "vdd" is the supply, "gnd" the ground, ports as listed.
#include <initializer_list>
#include <string>
#include <unordered_map>

#include "profile/circuit/circuit.h"

class CircuitBuilder {
 public:
  explicit CircuitBuilder(std::string name) { c_.name = std::move(name); }

  circuit::NetId net(const std::string& name) {
    auto [it, fresh] = ids_.emplace(name, c_.net_count());
    if (fresh) {
      c_.add_net(name);
      c_.net_roles.back() = name == "vdd"   ? circuit::NetRole::Supply
                            : name == "gnd" ? circuit::NetRole::Ground
                                            : circuit::NetRole::Signal;
    }
    return it->second;
  }
  CircuitBuilder& ports(std::initializer_list<const char*> names) {
    for (const char* n : names) c_.ports.push_back(net(n));
    return *this;
  }
  CircuitBuilder& n(const std::string& d, const std::string& g, const std::string& s) {
    return mos(circuit::Channel::N, d, g, s, "gnd");
  }
  CircuitBuilder& p(const std::string& d, const std::string& g, const std::string& s) {
    return mos(circuit::Channel::P, d, g, s, "vdd");
  }
  const circuit::Circuit& circuit() const { return c_; }
  circuit::Circuit take() { return std::move(c_); }

 private:
  CircuitBuilder& mos(circuit::Channel t, const std::string& d, const std::string& g, const std::string& s,
                      const std::string& b) {
    circuit::Mosfet m;
    m.name = c_.names.add("m" + std::to_string(c_.mosfets.size()));
    m.type = t;
    m.drain = net(d);
    m.gate = net(g);
    m.source = net(s);
    m.bulk = net(b);
    c_.mosfets.push_back(m);
    return *this;
  }

  circuit::Circuit c_;
  std::unordered_map<std::string, circuit::NetId> ids_;
};
