#include "extract/list_ops.h"

#include "netlist/arena.h"

namespace lists {

DEVICELIST* insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype) {
  auto* rec = arena_new<DEVICELIST>();
  rec->devicename = mos->mosname;
  rec->devicetype = mos->nptype;
  rec->d = mos->d;
  rec->g = mos->g;
  rec->s = mos->s;
  rec->pintype = pintype;
  return link_behind_head(head, rec);
}

NODELIST* insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename) {
  auto* rec = arena_new<NODELIST>();
  rec->nodename = nodename;
  rec->devicelist = devicelist;
  return link_behind_head(head, rec);
}

INOUTLIST* insert_output(INOUTLIST* head, INOUTLIST* curr) {
  auto* rec = arena_new<INOUTLIST>();
  rec->pinname = curr->pinname;
  return link_behind_head(head, rec);
}

BRANCHNODELIST* insert_node(BRANCHNODELIST* head, char* node) {
  auto* rec = arena_new<BRANCHNODELIST>();
  rec->nodename = node;
  return link_behind_head(head, rec);
}

MOSLIST* insert_mos(MOSLIST* head, MOSLIST* mos) { return link_behind_head(head, arena_new<MOSLIST>(*mos)); }

MOSLIST* insert_free_mos(MOSLIST* head, MOSLIST* mos) {
  auto* rec = arena_new<MOSLIST>(*mos);
  rec->in_branch = false;
  return link_behind_head(head, rec);
}

TRANSLIST* insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g) {
  auto* rec = arena_new<TRANSLIST>();
  rec->transname = arena::strdup(name);
  rec->input = input;
  rec->output = output;
  rec->p_g = p_g;
  rec->n_g = n_g;
  return link_behind_head(head, rec);
}

PINLIST* insert_pin(PINLIST* head, char* name) {
  auto* rec = arena_new<PINLIST>();
  rec->NodeName = name;
  return link_behind_head(head, rec);
}

bool query_in_pinlist(const char* name, const PINLIST* plist) {
  for (; plist; plist = plist->next)
    if (same_name(plist->NodeName, name)) return true;
  return false;
}

}  // namespace lists
