#pragma once
// Complementary gates built from their expressions for recognition tests:
// `~(F)` over letters a-f with & and | becomes a pull-down network of F
// (& in series, | in parallel) and the dual pull-up. A shuffle seed
// reorders operands, the MOSFET list and drain/source, so the same gate is
// read in many transistor orders.
#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/recognize/circuit_builder.h"

class CmosGateBuilder {
 public:
  // `expr` is "~(" F ")" or "~a"; its spaces are dropped.
  CmosGateBuilder(const std::string& expr, unsigned seed) : rng_(seed) {
    std::remove_copy(expr.begin(), expr.end(), std::back_inserter(text_), ' ');
  }

  circuit::Circuit build() {
    pos_ = 1;  // past '~'
    Node f = parse('|');
    network(f, 'n', "y", "gnd");
    network(f, 'p', "vdd", "y");
    std::shuffle(devices_.begin(), devices_.end(), rng_);
    CircuitBuilder b("gate");
    b.ports({"y"});
    for (const Dev& d : devices_) {
      bool swap = rng_() & 1u;
      const std::string& x = swap ? d.s : d.d;
      const std::string& z = swap ? d.d : d.s;
      if (d.type == 'n') b.n(x, d.gate, z);
      else b.p(x, d.gate, z);
    }
    for (char c = 'a'; c <= 'f'; ++c)
      if (text_.find(c) != std::string::npos) b.ports({std::string(1, c).c_str()});
    return b.take();
  }

 private:
  struct Node {
    char op = 0;  // '&', '|', or 0 for a letter
    char letter = 0;
    std::vector<Node> kids;
  };
  struct Dev {
    char type;
    std::string d, gate, s;
  };

  // Operands joined by `op`: for '|' each an '&' term, for '&' a letter or
  // a parenthesised expression. A single operand stands for itself.
  Node parse(char op) {
    Node n{op, 0, {}};
    do {
      if (op == '|') {
        n.kids.push_back(parse('&'));
      } else if (text_[pos_] == '(') {
        ++pos_;
        n.kids.push_back(parse('|'));
        ++pos_;  // ')'
      } else {
        n.kids.push_back(Node{0, text_[pos_++], {}});
      }
    } while (pos_ < text_.size() && text_[pos_] == op && ++pos_);
    if (n.kids.size() == 1) return Node(n.kids[0]);
    return n;
  }

  // The network of `e` between `top` and `bottom`: for n-channel & is
  // series, for p-channel (the dual) | is series.
  void network(Node& e, char type, const std::string& top, const std::string& bottom) {
    if (!e.op) {
      devices_.push_back(Dev{type, top, std::string(1, e.letter), bottom});
      return;
    }
    std::shuffle(e.kids.begin(), e.kids.end(), rng_);
    bool series = (e.op == '&') == (type == 'n');
    if (!series) {
      for (auto& k : e.kids) network(k, type, top, bottom);
      return;
    }
    std::string upper = top;
    for (std::size_t i = 0; i < e.kids.size(); ++i) {
      std::string lower = i + 1 == e.kids.size() ? bottom : "x" + std::to_string(next_net_++);
      network(e.kids[i], type, upper, lower);
      upper = lower;
    }
  }

  std::string text_;
  std::size_t pos_ = 0;
  std::mt19937 rng_;
  std::vector<Dev> devices_;
  int next_net_ = 0;
};
