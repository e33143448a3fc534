#include "extract/branch.h"

#include "extract/name_set.h"
#include "extract/node.h"
#include "extract/recognition.h"
#include "netlist/arena.h"

using recognition::same_name;

bool branch_recog = true;

Branch::Branch(int _branch_type) : branch_type(_branch_type) {}

NODELIST* Branch::get_node(const char* nodename) { return flat_get_node(nodename); }

char* Branch::get_vdd(MOSLIST* moshead) { return find_rail(moshead, true); }

char* Branch::get_gnd(MOSLIST* moshead) { return find_rail(moshead, false); }

int Branch::return_number(const char* name) { return ::return_number(name); }

int Branch::query_moslist(MOSLIST* mos) {
  for (MOSLIST* m = mos_list; m; m = m->next)
    if (same_name(m->mosname, mos->mosname)) return 1;
  return 0;
}

int Branch::node_exist(const char* node) {
  if (walked_) return walked_->contains(node) ? 1 : 0;
  for (BRANCHNODELIST* n = node_list; n; n = n->next)
    if (same_name(n->nodename, node)) return 1;
  return 0;
}

MOSLIST* Branch::insert_mos(MOSLIST* head, MOSLIST* mos) {
  auto* rec = arena_new<MOSLIST>(*mos);
  return link_behind_head(head, rec);
}

BRANCHNODELIST* Branch::insert_node(BRANCHNODELIST* head, char* node) {
  auto* rec = arena_new<BRANCHNODELIST>();
  rec->nodename = node;
  return link_behind_head(head, rec);
}

NAMELIST* Branch::insert_name(NAMELIST* head, char* name, char virtual_name) {
  return recognition::insert_name(head, name, virtual_name);
}

void Branch::back_up_mos_list() {
  for (MOSLIST* m = mos_list; m; m = m->next) bak_mos_list = insert_mos(bak_mos_list, m);
}

void Branch::set_rails(const char* vdd, const char* gnd) {
  vdd_ = vdd;
  gnd_ = gnd;
  rails_set_ = true;
}

void Branch::load_rails() {
  if (rails_set_) return;
  set_rails(get_vdd(MosHead), get_gnd(MosHead));
}

BRANCHNODELIST* Branch::find_new_node(BRANCHNODELIST* branchnode_list, int p_n_type) {
  load_rails();
  BRANCHNODELIST* frontier = nullptr;
  for (BRANCHNODELIST* at = branchnode_list; at; at = at->next) {
    const char* name = at->nodename;
    NODELIST* node = get_node(name);
    for (DEVICELIST* dev = node ? node->devicelist : nullptr; dev; dev = dev->next) {
      char* other;
      if (same_name(name, dev->d))
        other = dev->s;
      else if (same_name(name, dev->s))
        other = dev->d;
      else
        continue;
      const char* wrong_rail = p_n_type == 1 ? gnd_ : vdd_;
      if (same_name(other, wrong_rail)) {
        branch_recog = false;
        return nullptr;
      }
      if (same_name(other, vdd_) || same_name(other, gnd_) || node_exist(other)) continue;
      NODELIST* far = get_node(other);
      if (far && far->pn_node) {
        pn_node = other;
        continue;
      }
      frontier = insert_node(frontier, other);
      node_list = insert_node(node_list, other);
      if (walked_) walked_->add(other);
    }
  }
  return frontier;
}

bool Branch::generate_branch(MOSLIST* mos, int p_n_type) {
  branch_recog = true;
  load_rails();
  // A MOSFET between two rails (or shorted on one) bounds no gate output.
  bool d_rail = same_name(mos->d, vdd_) || same_name(mos->d, gnd_);
  bool s_rail = same_name(mos->s, vdd_) || same_name(mos->s, gnd_);
  if (d_rail && s_rail) return false;

  char* start;
  if (same_name(mos->d, vdd_))
    start = mos->s;
  else if (!same_name(mos->d, gnd_))
    start = mos->d;
  else
    start = mos->s;

  NODELIST* start_node = get_node(start);
  if (start_node && start_node->pn_node) {
    mos_list = insert_mos(mos_list, mos);
    pn_node = start;
    mos->in_branch = true;
    return true;
  }

  NameSet walked;
  walked_ = &walked;
  BRANCHNODELIST* frontier = insert_node(nullptr, start);
  node_list = insert_node(node_list, start);
  walked.add(start);
  while (frontier) {
    frontier = find_new_node(frontier, p_n_type);
    if (!branch_recog) {
      walked_ = nullptr;
      return false;
    }
  }
  walked_ = nullptr;
  if (!pn_node) return false;

  // Every MOSFET touching an internal node, by any terminal, belongs here.
  NameSet taken;
  for (BRANCHNODELIST* n = node_list; n; n = n->next) {
    NODELIST* node = get_node(n->nodename);
    for (DEVICELIST* dev = node ? node->devicelist : nullptr; dev; dev = dev->next) {
      MOSLIST* member = hash_mos_list.get(return_number(dev->devicename));
      if (!member) continue;
      member->in_branch = true;
      if (taken.contains(member->mosname)) continue;
      mos_list = insert_mos(mos_list, member);
      taken.add(member->mosname);
    }
  }
  return true;
}
