#include "subckt/mnode.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "netlist/arena.h"
#include "subckt/mlookup.h"  // same_net

MNode::MNode(MOSLIST* moshead_, INOUTLIST* inputhead_) : moshead(moshead_), inputhead(inputhead_) {}

char* MNode::get_vdd(MOSLIST* head) {
  for (MOSLIST* m = head; m; m = m->next)
    if (m->nptype != 0) return m->b;
  return nullptr;
}

char* MNode::get_gnd(MOSLIST* head) {
  for (MOSLIST* m = head; m; m = m->next)
    if (m->nptype == 0) return m->b;
  return nullptr;
}

DEVICELIST* MNode::insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype) {
  auto* rec = arena_new<DEVICELIST>();
  rec->devicename = mos->mosname;
  rec->devicetype = mos->nptype;
  rec->d = mos->d;
  rec->g = mos->g;
  rec->s = mos->s;
  rec->pintype = pintype;
  return link_behind_head(head, rec);
}

NODELIST* MNode::insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename) {
  auto* rec = arena_new<NODELIST>();
  rec->nodename = nodename;
  rec->devicelist = devicelist;
  return link_behind_head(head, rec);
}

INOUTLIST* MNode::insert_output(INOUTLIST* head, INOUTLIST* curr) {
  auto* rec = arena_new<INOUTLIST>();
  rec->pinname = curr->pinname;
  return link_behind_head(head, rec);
}

void MNode::gen_nodelist() {
  // Every node of each name seen so far; a walk of the whole list would only
  // ever act on these.
  std::unordered_map<std::string_view, std::vector<NODELIST*>> by_name;
  for (NODELIST* n = nodehead; n; n = n->next)
    if (n->nodename) by_name[n->nodename].push_back(n);

  for (MOSLIST* mos = moshead; mos; mos = mos->next) {
    char* const term[3] = {mos->d, mos->s, mos->g};
    const PinType pin[3] = {DP, SP, GP};
    bool matched[3] = {false, false, false};
    // A node gets its records in drain, source, gate order; nodes are
    // independent of one another, so visiting the nodes of each distinct
    // name gives what a walk of the whole list gives.
    for (int t = 0; t < 3; ++t) {
      if (!term[t]) continue;
      auto it = by_name.find(term[t]);
      if (it == by_name.end()) continue;
      matched[t] = true;
      bool first_of_name = true;
      for (int u = 0; u < t; ++u) first_of_name = first_of_name && !same_net(term[u], term[t]);
      if (!first_of_name) continue;
      for (NODELIST* n : it->second)
        for (int u = t; u < 3; ++u)
          if (same_net(term[u], term[t])) n->devicelist = insert_device(n->devicelist, mos, pin[u]);
    }
    // Unmatched terminals get a node each, even two of one name.
    for (int t = 0; t < 3; ++t) {
      if (matched[t] || !term[t]) continue;
      nodehead = insert_node(nodehead, insert_device(nullptr, mos, pin[t]), term[t]);
      by_name[term[t]].push_back(nodehead->next ? nodehead->next : nodehead);
    }
  }
}

void MNode::gen_np_char_netlist() {
  for (NODELIST* n = nodehead; n; n = n->next) {
    bool n_side = false, p_side = false;
    for (DEVICELIST* d = n->devicelist; d; d = d->next) {
      if (d->pintype == GP) continue;
      if (d->devicetype == 0) n_side = true;
      if (d->devicetype == 1) p_side = true;
    }
    if (n_side && p_side) n->pn_node = 1;
  }
}

void MNode::delete_vdd_gnd_from_inputlist() {
  const char* vdd = get_vdd(moshead);
  const char* gnd = get_gnd(moshead);
  if (!inputhead) return;
  // The first terminal is never removed.
  for (INOUTLIST* prev = inputhead; prev->next;) {
    INOUTLIST* cur = prev->next;
    if (same_net(cur->pinname, vdd) || same_net(cur->pinname, gnd))
      prev->next = cur->next;
    else
      prev = cur;
  }
}

void MNode::generate_output_pinlist() {
  // Terminals are few: one pass over the nodes marks the terminal names
  // that some node of that name joins to a drain or source.
  std::unordered_map<std::string_view, bool> drives;
  for (INOUTLIST* in = inputhead; in; in = in->next)
    if (in->pinname) drives.emplace(in->pinname, false);
  for (NODELIST* n = nodehead; n && !drives.empty(); n = n->next) {
    if (!n->nodename) continue;
    auto it = drives.find(n->nodename);
    if (it == drives.end() || it->second) continue;
    for (DEVICELIST* d = n->devicelist; d && !it->second; d = d->next) it->second = d->pintype != GP;
  }
  for (INOUTLIST* in = inputhead; in; in = in->next)
    if (in->pinname && drives[in->pinname]) outputhead = insert_output(outputhead, in);
}

void MNode::generate_input_pinlist() {
  if (!inputhead) return;
  std::unordered_set<std::string_view> outputs;
  for (INOUTLIST* o = outputhead; o; o = o->next)
    if (o->pinname) outputs.insert(o->pinname);
  for (INOUTLIST* prev = inputhead; prev->next;) {
    INOUTLIST* cur = prev->next;
    if (cur->pinname && outputs.count(cur->pinname))
      prev->next = cur->next;
    else
      prev = cur;
  }
}
