#pragma once
// First analysis stage: n-channel or p-channel for every MOSFET of the flat
// circuit, and the largest numbers its node and device names carry.
#include "netlist/netlist.h"

class TellNP {
 public:
  TellNP() = default;
  ~TellNP() = default;

  void mos_np_netlist();
  int return_number(const char* name);
  int return_node_biggest();
  int return_device_biggest();
};
