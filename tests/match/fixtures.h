#pragma once
// Hand-built gate networks for the pattern-matching tests: the same small
// description gives a subcircuit (a Macromodel as the extraction leaves it)
// or the flat circuit (the global tables).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "extract/cgate.h"
#include "match/macromodel.h"
#include "match/patternmatch.h"
#include "netlist/arena.h"

namespace fixture {

struct Gate {
  std::string type;  // n-branch type name; the p-branch gets its dual
  std::string out;
  std::vector<std::string> ins;
  // Relation groups of the n-branch (and p-branch); default: all inputs.
  std::vector<std::vector<std::string>> groups = {};
};

struct Trans {
  std::string input, output;
};

inline char* s(const std::string& t) { return arena::strdup(t.c_str()); }

inline const char* dual(const std::string& t) {
  static const std::map<std::string, std::string> d = {
      {"INV", "INV"}, {"NAND2", "NOR2"}, {"NOR2", "NAND2"}, {"NAND3", "NOR3"}, {"AOI12", "OAI12"}};
  auto it = d.find(t);
  return it == d.end() ? "X" : it->second.c_str();
}

template <class BranchT>
void fill_branch(BranchT* b, const Gate& g, const char* type) {
  b->headername = type[0] ? s(type) : nullptr;
  b->pn_node = s(g.out);
  NAMELIST* names = nullptr;
  for (const auto& in : g.ins) {
    auto* n = arena_new<NameList>();
    n->gatename = s(in);
    names = link_behind_head(names, n);
  }
  b->name_list = names;
  auto groups = g.groups.empty() ? std::vector<std::vector<std::string>>{g.ins} : g.groups;
  RELATIONLIST* rel = nullptr;
  for (const auto& grp : groups) {
    auto* r = arena_new<RelationList>();
    GATENAMELIST* last = nullptr;
    for (const auto& name : grp) {  // kept in the given order
      auto* gn = arena_new<GateNameList>();
      gn->name = s(name);
      (last ? last->next : r->gatename_list) = gn;
      last = gn;
    }
    rel = link_behind_head(rel, r);
  }
  b->relation_list = rel;
}

// Nodes and connections as the connectivity stage leaves them.
class Network {
 public:
  Network(std::vector<Gate> gates, std::vector<Trans> trans = {}) : gates_(std::move(gates)), trans_(std::move(trans)) {
    for (std::size_t i = 0; i < gates_.size(); ++i) {
      const Gate& g = gates_[i];
      NODELIST* o = node(g.out);
      o->pn_node = 1;
      o->output_of_gate_name = s("gate" + std::to_string(i));
      for (const auto& in : g.ins) {
        NODELIST* n = node(in);
        bool there = false;
        for (PINLIST* p = n->input_of_gate_list; p; p = p->next) there |= std::string(p->NodeName) == o->output_of_gate_name;
        if (there) continue;
        auto* pin = arena_new<PinList>();
        pin->NodeName = s("gate" + std::to_string(i));
        n->input_of_gate_list = link_behind_head(n->input_of_gate_list, pin);
      }
    }
    for (std::size_t i = 0; i < trans_.size(); ++i) {
      node(trans_[i].input)->input_of_trans_name = s("trans" + std::to_string(i));
      node(trans_[i].output)->output_of_trans_name = s("trans" + std::to_string(i));
    }
    for (auto& [name, n] : nodes_) {
      if (!n->pn_node) continue;
      for (PINLIST* p = n->input_of_gate_list; p; p = p->next) n->num_of_inputs++;
      n->num_of_inputs += (n->input_of_trans_name ? 1 : 0) + (n->output_of_trans_name ? 1 : 0);
    }
  }

  template <class GateT, class BranchT, class MakeBranch>
  std::vector<GateT*> make_gates(MakeBranch make) const {
    std::vector<GateT*> out;
    for (std::size_t i = 0; i < gates_.size(); ++i) {
      const Gate& g = gates_[i];
      BranchT* n = make(0);
      BranchT* p = make(1);
      fill_branch(n, g, g.type.c_str());
      fill_branch(p, g, g.type.empty() ? "" : dual(g.type));
      auto* gate = arena_new<GateT>(s("gate" + std::to_string(i)), n, p, true);
      PINLIST* last = nullptr;
      for (const auto& in : g.ins) {
        auto* pin = arena_new<PinList>();
        pin->NodeName = s(in);
        (last ? last->next : gate->inlist) = pin;
        last = pin;
      }
      out.push_back(gate);
    }
    return out;
  }

  std::vector<TRANSLIST*> make_trans() const {
    std::vector<TRANSLIST*> out;
    for (std::size_t i = 0; i < trans_.size(); ++i) {
      auto* t = arena_new<TransList>();
      t->transname = s("trans" + std::to_string(i));
      t->input = s(trans_[i].input);
      t->output = s(trans_[i].output);
      out.push_back(t);
    }
    return out;
  }

  NODELIST* node(const std::string& name) {
    auto [it, added] = nodes_.try_emplace(name, nullptr);
    if (added) {
      it->second = arena_new<NodeList>();
      it->second->nodename = s(name);
      order_.push_back(it->second);
    }
    return it->second;
  }
  const std::vector<NODELIST*>& nodes() const { return order_; }

 private:
  std::vector<Gate> gates_;
  std::vector<Trans> trans_;
  std::map<std::string, NODELIST*> nodes_;
  std::vector<NODELIST*> order_;
};

// A subcircuit definition named `name` with pins `ins` and `outs`.
inline std::unique_ptr<Macromodel> subcircuit(const char* name, Network net, std::vector<std::string> ins,
                                              std::vector<std::string> outs) {
  auto* def = arena_new<MacroModelList>();
  def->macromodel_name = s(name);
  auto m = std::make_unique<Macromodel>(def);
  auto pins = [](const std::vector<std::string>& v) {
    INOUTLIST* head = nullptr;
    for (const auto& p : v) {
      auto* r = arena_new<InoutList>();
      r->pinname = s(p);
      head = link_behind_head(head, r);
    }
    return head;
  };
  m->inputhead = pins(ins);
  m->outputhead = pins(outs);
  for (NODELIST* n : net.nodes()) m->node_list = link_behind_head(m->node_list, n);
  auto gates = net.make_gates<MCGate, MBranch>([](int t) { return arena_new<MBranch>(t, nullptr, nullptr); });
  m->num_of_gates = static_cast<int>(gates.size());
  m->hash_gate_list = static_cast<MCGate**>(arena::alloc(sizeof(MCGate*) * (gates.size() + 1)));
  for (std::size_t i = 0; i < gates.size(); ++i) m->hash_gate_list[i] = gates[i];
  auto trans = net.make_trans();
  m->num_of_trans = static_cast<int>(trans.size());
  m->hash_trans_list = static_cast<TRANSLIST**>(arena::alloc(sizeof(TRANSLIST*) * (trans.size() + 1)));
  for (std::size_t i = 0; i < trans.size(); ++i) m->hash_trans_list[i] = trans[i];
  return m;
}

// Makes `net` the flat circuit (the global tables).
inline void flat_circuit(Network net) {
  hash_node_list.clear();
  flat_reset_unnumbered();
  hash_trans_list.clear();
  ResultHead = nullptr;
  node_biggest = 1000;
  long long k = 0;
  for (NODELIST* n : net.nodes()) {
    int i = return_number(n->nodename);
    if (i >= 0) {
      hash_node_list.set(i, n);
    } else {
      hash_node_list.set(node_biggest + ++k, n);
      flat_register_unnumbered(n->nodename, node_biggest + k);
    }
  }
  auto gates = net.make_gates<CGate, Branch>([](int t) { return arena_new<Branch>(t); });
  num_of_gates = static_cast<int>(gates.size());
  hash_gate_list = static_cast<CGate**>(arena::alloc(sizeof(CGate*) * (gates.size() + 1)));
  for (std::size_t i = 0; i < gates.size(); ++i) hash_gate_list[i] = gates[i];
  auto trans = net.make_trans();
  num_of_trans = static_cast<int>(trans.size());
  for (std::size_t i = 0; i < trans.size(); ++i) hash_trans_list.set(i, trans[i]);
}

inline std::vector<std::string> names(PINLIST* p) {
  std::vector<std::string> v;
  for (; p; p = p->next) v.push_back(p->NodeName);
  return v;
}

inline std::vector<std::string> names(GATENAMELIST* p) {
  std::vector<std::string> v;
  for (; p; p = p->next) v.push_back(p->name);
  return v;
}

inline std::vector<std::string> pairs(EQUALNAMELIST* e) {
  std::vector<std::string> v;
  for (; e; e = e->next) v.push_back(std::string(e->macromodel_name) + ":" + e->circuit_name);
  return v;
}

inline PINLIST* pin_list(const std::vector<std::string>& v) {
  PINLIST* head = nullptr;
  PINLIST* last = nullptr;
  for (const auto& n : v) {
    auto* p = arena_new<PinList>();
    p->NodeName = s(n);
    (last ? last->next : head) = p;
    last = p;
  }
  return head;
}

}  // namespace fixture
