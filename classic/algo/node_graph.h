#pragma once
// The questions the shared algorithms ask of a node graph. The flat circuit
// (FlatNets) has one node per name; a subcircuit (MLookup) may have several
// nodes of one name, so "first" and "last" node of a name differ there.
#include <concepts>

#include "classic/algo/records.h"

template <class N>
concept NodeGraph = requires(const N& nets, const char* name) {
  // The supply and ground rail names.
  { nets.vdd() } -> std::convertible_to<const char*>;
  { nets.gnd() } -> std::convertible_to<const char*>;
  { nets.first_node(name) } -> std::same_as<NODELIST*>;
  { nets.last_node(name) } -> std::same_as<NODELIST*>;
  // pn_node of the first or last node of the name (no node: false).
  { nets.first_is_pn(name) } -> std::same_as<bool>;
  { nets.last_is_pn(name) } -> std::same_as<bool>;
  // Some node of the name carries a gate-pin record.
  { nets.drives_gate(name) } -> std::same_as<bool>;
  // The MOSFET of a device name.
  { nets.mosfet(name) } -> std::same_as<MOSLIST*>;
  // Every drain-source connection is on the device lists of both its nodes.
  { nets.walks_both_ways() } -> std::same_as<bool>;
  // f(node) for every node of the name.
  nets.for_each_node(name, [](NODELIST*) {});
  // f(device) for the device records of the name's nodes until f returns
  // false; false when it did.
  { nets.for_each_device(name, [](DEVICELIST*) { return true; }) } -> std::same_as<bool>;
  // f(mos) for the MOSFETs a branch takes from one of its internal nodes.
  nets.for_each_member(name, [](MOSLIST*) {});
};
