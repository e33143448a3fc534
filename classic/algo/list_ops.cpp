#include "classic/algo/list_ops.h"

namespace lists {

DEVICELIST* insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype) {
  return link_new(head, [&](DEVICELIST& r) {
    r.set(mos, pintype);
  });
}

NODELIST* insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename) {
  return link_new(head, [&](NODELIST& r) {
    r.nodename = nodename;
    r.devicelist = devicelist;
  });
}

INOUTLIST* insert_output(INOUTLIST* head, INOUTLIST* curr) {
  return link_new(head, [&](INOUTLIST& r) { r.pinname = curr->pinname; });
}

BRANCHNODELIST* insert_node(BRANCHNODELIST* head, char* node) {
  return link_new(head, [&](BRANCHNODELIST& r) { r.nodename = node; });
}

MOSLIST* insert_mos(MOSLIST* head, MOSLIST* mos) { return link_behind_head(head, arena_new<MOSLIST>(*mos)); }

MOSLIST* insert_free_mos(MOSLIST* head, MOSLIST* mos) {
  auto* rec = arena_new<MOSLIST>(*mos);
  rec->in_branch = false;
  return link_behind_head(head, rec);
}

TRANSLIST* insert_trans(TRANSLIST* head, const char* name, char* input, char* output, char* p_g, char* n_g) {
  return link_new(head, [&](TRANSLIST& r) {
    r.transname = arena::strdup(name);
    r.input = input;
    r.output = output;
    r.p_g = p_g;
    r.n_g = n_g;
  });
}

PINLIST* insert_pin(PINLIST* head, char* name) {
  return link_new(head, [&](PINLIST& r) { r.NodeName = name; });
}

bool query_in_pinlist(const char* name, const PINLIST* plist) {
  for (; plist; plist = plist->next)
    if (same_name(plist->NodeName, name)) return true;
  return false;
}

}  // namespace lists
