#pragma once
// Channel-type classification of one subcircuit definition's MOSFETs.
#include "classic/algo/records.h"

class MTellNP {
 public:
  MTellNP(MOSLIST* moshead, MODELLIST* modelhead);
  void mos_np_netlist();

  MOSLIST* moshead = nullptr;
  MODELLIST* modelhead = nullptr;
};
