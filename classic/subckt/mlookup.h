#pragma once
// Side index over one definition's node list and MOSFET list. The stages ask
// for "the first node named X", "the last node named X", "every node named X"
// and "the MOSFETs whose drain or source is X"; walking the lists for each
// question would make a large definition quadratic. The index holds the same
// members in the same order as the lists, so every answer is the one a walk
// from the head would give. It is the subcircuit's NodeGraph (see
// classic/algo/node_graph.h).
//
// Built once the node graph is complete (device lists never change after
// it); pn_node flags are read live from the node records.
#include <string_view>
#include <unordered_map>
#include <vector>

#include "classic/algo/node_graph.h"
#include "classic/algo/records.h"

class MLookup {
 public:
  MLookup(MOSLIST* moshead, NODELIST* nodehead);

  // Every node of that name, in list order; null when there is none.
  const std::vector<NODELIST*>* nodes(const char* name) const;
  NODELIST* first_node(const char* name) const;
  NODELIST* last_node(const char* name) const;
  // pn_node of the first node of that name (no node: not a pn node).
  bool first_is_pn(const char* name) const;
  // pn_node of the last node of that name.
  bool last_is_pn(const char* name) const;
  // Some node of that name carries a gate-pin record.
  bool drives_gate(const char* name) const;

  // The first MOSFET of the list with that name.
  MOSLIST* mosfet(const char* mosname) const;
  // The MOSFETs whose drain or source is that net, in list order, each once.
  const std::vector<MOSLIST*>* mos_on_net(const char* net) const;

  // Every MOSFET is on every node of its drain's and its source's names, so
  // a walk can go either way along a drain-source connection.
  bool walks_both_ways() const { return true; }

  // Bulk names of the first p-channel and first n-channel MOSFET, or null.
  const char* vdd() const { return vdd_; }
  const char* gnd() const { return gnd_; }

  template <class F>
  void for_each_node(const char* name, F f) const {
    if (const auto* v = nodes(name))
      for (NODELIST* n : *v) f(n);
  }
  // f(device) for the device records of every node of that name, node by
  // node, until f returns false; false when it did.
  template <class F>
  bool for_each_device(const char* name, F f) const {
    if (const auto* v = nodes(name))
      for (NODELIST* n : *v)
        for (DEVICELIST* dev = n->devicelist; dev; dev = dev->next)
          if (!f(dev)) return false;
    return true;
  }
  // The MOSFETs a branch takes from one of its internal nodes: those whose
  // drain or source is on it (one that only gates from it drives another gate).
  template <class F>
  void for_each_member(const char* name, F f) const {
    if (const auto* v = mos_on_net(name))
      for (MOSLIST* m : *v) f(m);
  }

 private:
  struct NetEntry {
    std::vector<NODELIST*> nodes;
    std::vector<MOSLIST*> mos;
    bool gate_pin = false;
  };
  const NetEntry* find(const char* name) const;

  std::unordered_map<std::string_view, NetEntry> nets_;
  std::unordered_map<std::string_view, MOSLIST*> mos_by_name_;
  const char* vdd_ = nullptr;
  const char* gnd_ = nullptr;
};

static_assert(NodeGraph<MLookup>);
