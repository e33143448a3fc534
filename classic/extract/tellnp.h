#pragma once
// First analysis stage: n-channel or p-channel for every MOSFET of the flat
// circuit, and the largest numbers its node and device names carry.
#include "classic/netlist/netlist.h"

// Marks every MOSFET of the list p-channel (1) or n-channel (0) from the
// model card of its name, the last card of a name deciding; a MOSFET whose
// model is not among `modelhead` keeps its nptype.
void classify_mosfets(MOSLIST* moshead, const MODELLIST* modelhead);

class TellNP {
 public:
  TellNP() = default;
  ~TellNP() = default;

  void mos_np_netlist();
  int return_number(const char* name);
  int return_node_biggest();
  int return_device_biggest();
};
