#include "classic/extract/tellnp.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

void classify_mosfets(MOSLIST* moshead, const MODELLIST* modelhead) {
  // One pass over the models in list order leaves each name with its
  // deciding card.
  std::unordered_map<std::string_view, const MODELLIST*> deciding;
  for (const MODELLIST* model = modelhead; model; model = model->next)
    if (model->name) deciding[model->name] = model;
  for (MOSLIST* mos = moshead; mos; mos = mos->next) {
    if (!mos->modelname) continue;
    auto it = deciding.find(mos->modelname);
    if (it == deciding.end()) continue;
    const char* npmos = it->second->npmos;
    char first = npmos ? npmos[0] : '\0';
    mos->nptype = (first == 'P' || first == 'p') ? 1 : 0;
  }
}

void TellNP::mos_np_netlist() { classify_mosfets(MosHead, ModelHead); }

int TellNP::return_number(const char* name) { return ::return_number(name); }

int TellNP::return_node_biggest() {
  int biggest = 0;
  for (const MOSLIST* mos = MosHead; mos; mos = mos->next)
    biggest = std::max({biggest, return_number(mos->d), return_number(mos->g), return_number(mos->s)});
  return biggest;
}

int TellNP::return_device_biggest() {
  int biggest = 0;
  for (const MOSLIST* mos = MosHead; mos; mos = mos->next) biggest = std::max(biggest, return_number(mos->mosname));
  return biggest;
}
