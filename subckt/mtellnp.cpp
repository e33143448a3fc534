#include "subckt/mtellnp.h"

#include <string_view>
#include <unordered_map>

MTellNP::MTellNP(MOSLIST* moshead_, MODELLIST* modelhead_) : moshead(moshead_), modelhead(modelhead_) {}

void MTellNP::mos_np_netlist() {
  // Of several models with one name the last in list order decides.
  std::unordered_map<std::string_view, int> channel;
  for (MODELLIST* m = modelhead; m; m = m->next) {
    if (!m->name) continue;
    char c = m->npmos ? m->npmos[0] : '\0';
    channel[m->name] = (c == 'P' || c == 'p') ? 1 : 0;
  }
  for (MOSLIST* mos = moshead; mos; mos = mos->next) {
    if (!mos->modelname) continue;
    auto it = channel.find(mos->modelname);
    if (it != channel.end()) mos->nptype = it->second;
  }
}
