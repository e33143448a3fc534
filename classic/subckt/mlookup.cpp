#include "classic/subckt/mlookup.h"

#include "classic/algo/list_ops.h"
#include "classic/extract/node.h"

MLookup::MLookup(MOSLIST* moshead, NODELIST* nodehead)
    : vdd_(find_rail(moshead, true)), gnd_(find_rail(moshead, false)) {
  for (NODELIST* n = nodehead; n; n = n->next) {
    if (!n->nodename) continue;
    NetEntry& e = nets_[n->nodename];
    e.nodes.push_back(n);
    for (DEVICELIST* d = n->devicelist; d && !e.gate_pin; d = d->next) e.gate_pin = d->pintype() == GP;
  }
  for (MOSLIST* m = moshead; m; m = m->next) {
    if (m->mosname) mos_by_name_.try_emplace(m->mosname, m);
    if (m->d) nets_[m->d].mos.push_back(m);
    if (m->s && !same_name(m->s, m->d)) nets_[m->s].mos.push_back(m);
  }
}

const MLookup::NetEntry* MLookup::find(const char* name) const {
  if (!name) return nullptr;
  auto it = nets_.find(name);
  return it == nets_.end() ? nullptr : &it->second;
}

const std::vector<NODELIST*>* MLookup::nodes(const char* name) const {
  const NetEntry* e = find(name);
  return e && !e->nodes.empty() ? &e->nodes : nullptr;
}

NODELIST* MLookup::first_node(const char* name) const {
  const auto* v = nodes(name);
  return v ? v->front() : nullptr;
}

NODELIST* MLookup::last_node(const char* name) const {
  const auto* v = nodes(name);
  return v ? v->back() : nullptr;
}

bool MLookup::first_is_pn(const char* name) const {
  NODELIST* n = first_node(name);
  return n && n->pn_node;
}

bool MLookup::last_is_pn(const char* name) const {
  NODELIST* n = last_node(name);
  return n && n->pn_node;
}

bool MLookup::drives_gate(const char* name) const {
  const NetEntry* e = find(name);
  return e && e->gate_pin;
}

MOSLIST* MLookup::mosfet(const char* mosname) const {
  if (!mosname) return nullptr;
  auto it = mos_by_name_.find(mosname);
  return it == mos_by_name_.end() ? nullptr : it->second;
}

const std::vector<MOSLIST*>* MLookup::mos_on_net(const char* net) const {
  const NetEntry* e = find(net);
  return e && !e->mos.empty() ? &e->mos : nullptr;
}
