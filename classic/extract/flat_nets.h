#pragma once
// The flat circuit as a NodeGraph (see classic/algo/node_graph.h). Here a name stands
// for one node (names with one number share it) and a device name for the
// MOSFET filed under its number.
#include "classic/algo/node_graph.h"
#include "classic/algo/records.h"
#include "classic/algo/tables.h"
#include "classic/extract/node.h"

class FlatNets {
 public:
  FlatNets() = default;
  FlatNets(const char* vdd, const char* gnd) : vdd_(vdd), gnd_(gnd) {}

  const char* vdd() const { return vdd_; }
  const char* gnd() const { return gnd_; }

  NODELIST* first_node(const char* name) const { return flat_get_node(name); }
  NODELIST* last_node(const char* name) const { return flat_get_node(name); }
  bool first_is_pn(const char* name) const { return is_pn(name); }
  bool last_is_pn(const char* name) const { return is_pn(name); }
  // The node carries a gate-pin record.
  bool drives_gate(const char* name) const {
    NODELIST* node = flat_get_node(name);
    for (const DEVICELIST* dev = node ? node->devicelist : nullptr; dev; dev = dev->next)
      if (dev->pintype() == GP) return true;
    return false;
  }
  MOSLIST* mosfet(const char* devicename) const { return hash_mos_list.get(return_number(devicename)); }
  // Whether every drain-source connection is on the device lists of both of
  // its nodes, so that a walk can go either way along it.
  bool walks_both_ways() const { return !flat_cards_folded(); }

  template <class F>
  void for_each_node(const char* name, F f) const {
    if (NODELIST* node = flat_get_node(name)) f(node);
  }
  // f(device) for the device records of the node, until f returns false;
  // false when it did.
  template <class F>
  bool for_each_device(const char* name, F f) const {
    NODELIST* node = flat_get_node(name);
    for (DEVICELIST* dev = node ? node->devicelist : nullptr; dev; dev = dev->next)
      if (!f(dev)) return false;
    return true;
  }
  // The MOSFETs a branch takes from one of its internal nodes: every MOSFET
  // on it, by any terminal.
  template <class F>
  void for_each_member(const char* name, F f) const {
    for_each_device(name, [&](DEVICELIST* dev) {
      if (MOSLIST* mos = mosfet(dev->devicename())) f(mos);
      return true;
    });
  }

 private:
  static bool is_pn(const char* name) {
    NODELIST* node = flat_get_node(name);
    return node && node->pn_node;
  }
  const char* vdd_ = nullptr;
  const char* gnd_ = nullptr;
};

static_assert(NodeGraph<FlatNets>);
