#include "classic/subckt/mtellnp.h"

#include "classic/extract/tellnp.h"

MTellNP::MTellNP(MOSLIST* moshead_, MODELLIST* modelhead_) : moshead(moshead_), modelhead(modelhead_) {}

void MTellNP::mos_np_netlist() { classify_mosfets(moshead, modelhead); }
