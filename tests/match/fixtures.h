#pragma once
// Hand-built gate networks for the pattern-matching tests: one small
// description gives either a subcircuit (a Macromodel as the extraction leaves
// it) or the flat circuit (the global tables). Gate i is named gate<i>,
// transmission gate j trans<j>.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/extract/cgate.h"
#include "classic/match/patternmatch.h"
#include "classic/netlist/arena.h"

namespace fixture {

using Names = std::vector<std::string>;

struct Gate {
  std::string type;  // n-branch type; the p-branch gets its dual
  std::string out;
  Names ins;  // also the one relation group of both branches
};

using Trans = std::pair<std::string, std::string>;  // input, output

inline char* s(const std::string& t) { return arena::strdup(t.c_str()); }

// Records of `names` walked in the given order.
template <class T, class F>
T* chain(const Names& names, F set) {
  T* head = nullptr;
  T** at = &head;
  for (const auto& n : names) {
    *at = arena_new<T>();
    set(*at, s(n));
    at = &(*at)->next;
  }
  return head;
}
inline PINLIST* pin_list(const Names& v) { return chain<PinList>(v, [](auto* p, char* n) { p->NodeName = n; }); }
inline GATENAMELIST* group(const Names& v) { return chain<GateNameList>(v, [](auto* g, char* n) { g->name = n; }); }

inline const char* name_of(const PINLIST* p) { return p->NodeName; }
inline const char* name_of(const GATENAMELIST* g) { return g->name; }
template <class T>
Names names(const T* p) {
  Names v;
  for (; p; p = p->next) v.push_back(name_of(p));
  return v;
}

class Network {
 public:
  Network(std::vector<Gate> gates, std::vector<Trans> trans = {}) : gates_(std::move(gates)), trans_(std::move(trans)) {
    // Connections as the connectivity stage leaves them.
    for (std::size_t i = 0; i < gates_.size(); ++i) {
      std::string name = "gate" + std::to_string(i);
      node(gates_[i].out)->pn_node = 1;
      node(gates_[i].out)->output_of_gate_name = s(name);
      const Names& ins = gates_[i].ins;
      for (auto in = ins.begin(); in != ins.end(); ++in) {
        if (std::find(ins.begin(), in, *in) != in) continue;  // a gate stands once on a net
        node(*in)->input_of_gate_list.set(link_behind_head(node(*in)->input_of_gate_list.list(), pin_list({name})));
      }
    }
    for (std::size_t i = 0; i < trans_.size(); ++i) {
      node(trans_[i].first)->input_of_trans_name = s("trans" + std::to_string(i));
      node(trans_[i].second)->output_of_trans_name = s("trans" + std::to_string(i));
    }
    for (NODELIST* n : order_)
      if (n->pn_node)
        n->num_of_inputs = static_cast<int>(names(n->input_of_gate_list.list()).size()) + !!n->input_of_trans_name +
                           !!n->output_of_trans_name;
  }

  template <class GateT, class BranchT>
  std::vector<GateT*> gates() const {
    static const std::map<std::string, std::string> dual = {{"INV", "INV"}, {"NAND2", "NOR2"}, {"NAND3", "NOR3"}};
    std::vector<GateT*> out;
    for (const Gate& g : gates_) {
      BranchT* b[2];
      for (int k = 0; k < 2; ++k) {
        if constexpr (std::is_same_v<BranchT, Branch>) b[k] = arena_new<Branch>(k);
        else b[k] = arena_new<MBranch>(k, nullptr, nullptr);
        b[k]->headername = s(k == 0 ? g.type : dual.at(g.type));
        b[k]->pn_node = s(g.out);
        b[k]->name_list = chain<NameList>(g.ins, [](NAMELIST* l, char* n) { l->gatename = n; });
        b[k]->relation_list = arena_new<RelationList>();
        b[k]->relation_list->gatename_list = group(g.ins);
      }
      out.push_back(arena_new<GateT>(s("gate" + std::to_string(out.size())), b[0], b[1], true));
      out.back()->inlist = pin_list(g.ins);
    }
    return out;
  }

  std::vector<TRANSLIST*> trans() const {
    std::vector<TRANSLIST*> out;
    for (const Trans& t : trans_) {
      out.push_back(arena_new<TransList>());
      out.back()->transname = s("trans" + std::to_string(out.size() - 1));
      out.back()->input = s(t.first), out.back()->output = s(t.second);
    }
    return out;
  }

  NODELIST* node(const std::string& name) {
    NODELIST*& n = nodes_[name];
    if (!n) {
      n = arena_new<NodeList>();
      n->nodename = s(name);
      order_.push_back(n);
    }
    return n;
  }
  const std::vector<NODELIST*>& nodes() const { return order_; }

 private:
  std::vector<Gate> gates_;
  std::vector<Trans> trans_;
  std::map<std::string, NODELIST*> nodes_;
  std::vector<NODELIST*> order_;
};

template <class T>
T** table(const std::vector<T*>& v) {
  auto** t = static_cast<T**>(arena::alloc(sizeof(T*) * (v.size() + 1)));
  std::copy(v.begin(), v.end(), t);
  return t;
}

// A subcircuit definition with input pins `ins` and output pins `outs`.
inline std::unique_ptr<Macromodel> subcircuit(const char* name, Network net, Names ins, Names outs) {
  auto* def = arena_new<MacroModelList>();
  def->macromodel_name = s(name);
  auto m = std::make_unique<Macromodel>(def);
  auto pins = [](const Names& v) { return chain<InoutList>(v, [](INOUTLIST* p, char* n) { p->pinname = n; }); };
  m->inputhead = pins(ins), m->outputhead = pins(outs);
  for (NODELIST* n : net.nodes()) m->node_list = link_behind_head(m->node_list, n);
  auto gates = net.gates<MCGate, MBranch>();
  m->num_of_gates = static_cast<int>(gates.size());
  m->hash_gate_list = table(gates);
  auto trans = net.trans();
  m->num_of_trans = static_cast<int>(trans.size());
  auto* trans_table = arena_new<IndexTable<TRANSLIST>>();
  for (std::size_t i = 0; i < trans.size(); ++i) trans_table->set(i, trans[i]);
  m->hash_trans_list = trans_table;
  return m;
}

// Makes `net` the flat circuit; names without a number go past node_biggest.
inline void flat_circuit(Network net) {
  reset_run();
  node_biggest = 1000;
  long long k = node_biggest;
  for (NODELIST* n : net.nodes()) {
    int i = return_number(n->nodename);
    hash_node_list.set(i >= 0 ? i : ++k, n);
    if (i < 0) flat_register_unnumbered(n->nodename, k);
  }
  auto gates = net.gates<CGate, Branch>();
  num_of_gates = static_cast<int>(gates.size());
  hash_gate_list = table(gates);
  auto trans = net.trans();
  num_of_trans = static_cast<int>(trans.size());
  for (std::size_t i = 0; i < trans.size(); ++i) hash_trans_list.set(i, trans[i]);
}

}  // namespace fixture
