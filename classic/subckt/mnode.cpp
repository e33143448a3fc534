#include "classic/subckt/mnode.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "classic/algo/list_ops.h"
#include "classic/extract/node.h"


MNode::MNode(MOSLIST* moshead_, INOUTLIST* inputhead_) : moshead(moshead_), inputhead(inputhead_) {}

char* MNode::get_vdd(MOSLIST* head) { return find_rail(head, true); }

char* MNode::get_gnd(MOSLIST* head) { return find_rail(head, false); }

DEVICELIST* MNode::insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype) {
  return lists::insert_device(head, mos, pintype);
}

NODELIST* MNode::insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename) {
  return lists::insert_node(head, devicelist, nodename);
}

INOUTLIST* MNode::insert_output(INOUTLIST* head, INOUTLIST* curr) { return lists::insert_output(head, curr); }

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
      for (int u = 0; u < t; ++u) first_of_name = first_of_name && !same_name(term[u], term[t]);
      if (!first_of_name) continue;
      for (NODELIST* n : it->second)
        for (int u = t; u < 3; ++u)
          if (same_name(term[u], term[t])) n->devicelist = insert_device(n->devicelist, mos, pin[u]);
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
  for (NODELIST* n = nodehead; n; n = n->next) n->pn_node = pn_rule(n);
}

void MNode::delete_vdd_gnd_from_inputlist() {
  // The first terminal is never removed.
  drop_rails(inputhead, get_vdd(moshead), get_gnd(moshead));
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
    for (DEVICELIST* d = n->devicelist; d && !it->second; d = d->next) it->second = d->pintype() != GP;
  }
  for (INOUTLIST* in = inputhead; in; in = in->next)
    if (in->pinname && drives[in->pinname]) outputhead = insert_output(outputhead, in);
}

void MNode::generate_input_pinlist() { drop_outputs(inputhead, outputhead); }
