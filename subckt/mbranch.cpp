#include "subckt/mbranch.h"

#include "netlist/arena.h"

bool branch_recog_m = true;

MBranch::MBranch(int branch_type_, MOSLIST* moshead_, NODELIST* nodehead_)
    : moshead(moshead_), nodehead(nodehead_), branch_type(branch_type_) {}

const MLookup& MBranch::nets() {
  if (!lookup_) lookup_ = std::make_shared<const MLookup>(moshead, nodehead);
  return *lookup_;
}

char* MBranch::get_vdd(MOSLIST* head) {
  for (MOSLIST* m = head; m; m = m->next)
    if (m->nptype != 0) return m->b;
  return nullptr;
}

char* MBranch::get_gnd(MOSLIST* head) {
  for (MOSLIST* m = head; m; m = m->next)
    if (m->nptype == 0) return m->b;
  return nullptr;
}

int MBranch::query_moslist(MOSLIST* mos) {
  for (MOSLIST* m = mos_list; m; m = m->next)
    if (same_net(m->mosname, mos->mosname)) return 1;
  return 0;
}

int MBranch::node_exist(const char* node) {
  for (BRANCHNODELIST* b = node_list; b; b = b->next)
    if (same_net(b->nodename, node)) return 1;
  return 0;
}

MOSLIST* MBranch::insert_mos(MOSLIST* head, MOSLIST* mos) {
  auto* rec = arena_new<MOSLIST>(*mos);
  return link_behind_head(head, rec);
}

BRANCHNODELIST* MBranch::insert_node(BRANCHNODELIST* head, char* node) {
  auto* rec = arena_new<BRANCHNODELIST>();
  rec->nodename = node;
  return link_behind_head(head, rec);
}

NAMELIST* MBranch::insert_name(NAMELIST* head, char* name, char virtual_name) {
  auto* rec = arena_new<NAMELIST>();
  rec->gatename = name;
  rec->virtual_name = virtual_name;
  return link_behind_head(head, rec);
}

void MBranch::back_up_mos_list() {
  for (MOSLIST* m = mos_list; m; m = m->next) bak_mos_list = insert_mos(bak_mos_list, m);
}

BRANCHNODELIST* MBranch::find_new_node(BRANCHNODELIST* branchnode_list, int p_n_type) {
  const MLookup& look = nets();
  const char* vdd = look.vdd();
  const char* gnd = look.gnd();
  BRANCHNODELIST* frontier = nullptr;
  for (BRANCHNODELIST* f = branchnode_list; f; f = f->next) {
    const char* here = f->nodename;
    const auto* same_named = look.nodes(here);
    if (!same_named) continue;
    for (NODELIST* n : *same_named) {
      for (DEVICELIST* dev = n->devicelist; dev; dev = dev->next) {
        char* other = same_net(here, dev->d) ? dev->s : same_net(here, dev->s) ? dev->d : nullptr;
        if (!other) continue;
        if ((p_n_type == 1 && same_net(other, gnd)) || (p_n_type == 0 && same_net(other, vdd))) {
          branch_recog_m = false;
          return nullptr;
        }
        if (same_net(other, vdd) || same_net(other, gnd)) continue;
        if (walked_ ? walked_->count(other) != 0 : node_exist(other) != 0) continue;
        if (look.last_is_pn(other)) {
          pn_node = other;
          continue;
        }
        frontier = insert_node(frontier, other);
        node_list = insert_node(node_list, other);
        if (walked_) walked_->insert(other);
      }
    }
  }
  return frontier;
}

bool MBranch::generate_branch(MOSLIST* mos, int p_n_type) {
  branch_recog_m = true;
  if (!mos) return false;
  const MLookup& look = nets();
  const char* vdd = look.vdd();
  const char* gnd = look.gnd();
  char* start = same_net(mos->d, vdd) ? mos->s : !same_net(mos->d, gnd) ? mos->d : mos->s;
  // Drain and source both on rails: a walk from a rail would sweep up the
  // whole network behind it, so such a seed grows nothing.
  if (!start || same_net(start, vdd) || same_net(start, gnd)) return false;

  if (look.first_is_pn(start)) {
    mos_list = insert_mos(mos_list, mos);
    pn_node = start;
    mos->in_branch = true;
    return true;
  }

  std::unordered_set<std::string_view> walked;
  for (BRANCHNODELIST* b = node_list; b; b = b->next)
    if (b->nodename) walked.insert(b->nodename);
  walked_ = &walked;
  BRANCHNODELIST* frontier = insert_node(nullptr, start);
  node_list = insert_node(node_list, start);
  walked.insert(start);
  while (frontier) {
    frontier = find_new_node(frontier, p_n_type);
    if (!branch_recog_m) {
      walked_ = nullptr;
      return false;
    }
  }
  walked_ = nullptr;
  if (!pn_node) return false;

  // Only drain/source connections join: a MOSFET that touches an internal
  // node with its gate alone belongs to the gate it drives, not to this one.
  std::unordered_set<std::string_view> taken;
  for (MOSLIST* m = mos_list; m; m = m->next)
    if (m->mosname) taken.insert(m->mosname);
  for (BRANCHNODELIST* b = node_list; b; b = b->next) {
    const auto* on_net = look.mos_on_net(b->nodename);
    if (!on_net) continue;
    for (MOSLIST* m : *on_net) {
      m->in_branch = true;
      if (taken.insert(m->mosname ? m->mosname : "").second) mos_list = insert_mos(mos_list, m);
    }
  }
  return true;
}
