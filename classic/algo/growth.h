#pragma once
// Branch growth and merging, written once for the flat circuit and the
// subcircuits. B is Branch or MBranch; Nets is the node graph at hand
// (see node_graph.h).
#include <cstddef>
#include <initializer_list>

#include "classic/algo/list_ops.h"
#include "classic/algo/name_set.h"
#include "classic/algo/node_graph.h"
#include "classic/algo/records.h"

namespace growth {


// 1 when the branch already holds a record of the MOSFET's name.
template <class B>
int query_moslist(const B* br, const MOSLIST* mos) {
  for (const MOSLIST* m = br->mos_list; m; m = m->next)
    if (same_name(m->mosname, mos->mosname)) return 1;
  return 0;
}

// 1 when the name is in the branch's node_list.
template <class B>
int node_exist(const B* br, const char* node) {
  for (const BRANCHNODELIST* n = br->node_list; n; n = n->next)
    if (same_name(n->nodename, node)) return 1;
  return 0;
}

// Nodes from which a walk is known to fail, for the walks of one branch kind.
// From a node of `no_output` the walk reaches neither an output nor the
// wrong rail, so a walk may pass it by; from a node of `wrong_rail` it
// reaches the wrong rail, so a walk that meets it fails.
struct DeadEnds {
  NameSet no_output;
  NameSet wrong_rail;
  bool contains(const char* name) const { return no_output.contains(name) || wrong_rail.contains(name); }
};

// One step of the walk away from the start node: the far ends of the drains
// and sources on the frontier's nodes that are neither rails nor walked
// already. A far end that is a pn node becomes the branch's output and is not
// walked on. Reaching the other kind's rail clears `recog` and ends the walk.
// `walked`, when given, holds the names of node_list and saves scanning it.
// With `dead`, a far end known to lead nowhere joins node_list without being
// walked on (`pruned` is then set), and one known to lead to the wrong rail
// ends the walk as that rail would.
template <class B, NodeGraph Nets>
BRANCHNODELIST* find_new_node(B* br, BRANCHNODELIST* branchnode_list, int p_n_type, const Nets& nets, NameSet* walked,
                              bool& recog, const DeadEnds* dead = nullptr, bool* pruned = nullptr) {
  const char* vdd = nets.vdd();
  const char* gnd = nets.gnd();
  const char* wrong_rail = p_n_type == 1 ? gnd : vdd;
  BRANCHNODELIST* frontier = nullptr;
  for (BRANCHNODELIST* at = branchnode_list; at; at = at->next) {
    const char* name = at->nodename;
    bool go_on = nets.for_each_device(name, [&](DEVICELIST* dev) {
      char* other = same_name(name, dev->d()) ? dev->s() : same_name(name, dev->s()) ? dev->d() : nullptr;
      if (!other) return true;
      if (same_name(other, wrong_rail)) return false;
      if (same_name(other, vdd) || same_name(other, gnd)) return true;
      if (walked ? walked->contains(other) : node_exist(br, other)) return true;
      if (nets.last_is_pn(other)) {
        br->pn_node = other;
        return true;
      }
      if (dead && dead->wrong_rail.contains(other)) return false;
      bool pass_by = dead && dead->no_output.contains(other);
      if (pass_by) *pruned = true;
      if (!pass_by) frontier = lists::insert_node(frontier, other);
      br->node_list = lists::insert_node(br->node_list, other);
      if (walked) walked->add(other);
      return true;
    });
    if (!go_on) {
      recog = false;
      return nullptr;
    }
  }
  return frontier;
}

// The node a branch grows from: the seed's drain, unless the drain is a rail.
template <NodeGraph Nets>
char* walk_start(const MOSLIST* mos, const Nets& nets) {
  return same_name(mos->d, nets.vdd()) ? mos->s : !same_name(mos->d, nets.gnd()) ? mos->d : mos->s;
}

// Grows the branch of kind p_n_type (0 n, 1 p) from a MOSFET on a rail: a
// seed whose other end is a pn node is a branch on its own; otherwise the
// walk from that end collects the internal nodes up to the output, and the
// branch takes the MOSFETs that Nets::for_each_member names for them. False
// when no output is reached or the walk meets the wrong rail. `dead` and
// `pruned` are handed to find_new_node.
template <class B, NodeGraph Nets>
bool generate_branch(B* br, MOSLIST* mos, int p_n_type, const Nets& nets, bool& recog,
                     const DeadEnds* dead = nullptr, bool* pruned = nullptr) {
  recog = true;
  if (!mos) return false;
  char* start = walk_start(mos, nets);
  // A MOSFET between two rails (or shorted on one) bounds no gate output; a
  // walk from a rail would sweep up the whole network behind it.
  if (!start || same_name(start, nets.vdd()) || same_name(start, nets.gnd())) return false;

  if (nets.first_is_pn(start)) {
    br->mos_list = lists::insert_mos(br->mos_list, mos);
    br->pn_node = start;
    mos->in_branch = true;
    return true;
  }

  NameSet walked;
  for (const BRANCHNODELIST* n = br->node_list; n; n = n->next) walked.add(n->nodename);
  BRANCHNODELIST* frontier = lists::insert_node(nullptr, start);
  br->node_list = lists::insert_node(br->node_list, start);
  walked.add(start);
  while (frontier) {
    frontier = find_new_node(br, frontier, p_n_type, nets, &walked, recog, dead, pruned);
    if (!recog) return false;
  }
  if (!br->pn_node) return false;

  NameSet taken;
  for (const MOSLIST* m = br->mos_list; m; m = m->next) taken.add(m->mosname);
  for (const BRANCHNODELIST* n = br->node_list; n; n = n->next) {
    nets.for_each_member(n->nodename, [&](MOSLIST* member) {
      member->in_branch = true;
      if (taken.contains(member->mosname)) return;
      br->mos_list = lists::insert_mos(br->mos_list, member);
      taken.add(member->mosname);
    });
  }
  return true;
}

// Files the nodes of a failed walk from `start`. A walk from a node that a
// failed walk passed reaches no more than that walk did, so it finds no
// output either; when every drain-source connection can be walked both ways
// it reaches exactly as much, so it meets the wrong rail too. This keeps a
// large network without outputs (a mesh of one channel type, thousands of
// parallel MOSFETs on an undriven net) from being walked once per seed.
template <class B, NodeGraph Nets>
void remember_failed_walk(DeadEnds& dead, const B* br, const char* start, const Nets& nets, bool wrong_rail) {
  NameSet& to = wrong_rail ? dead.wrong_rail : dead.no_output;
  to.add(start);  // a walk from the same start is the same walk
  // When the start itself reads as an output from elsewhere (a subcircuit
  // net with several nodes), a walk from another node may find it.
  if (nets.last_is_pn(start)) return;
  if (wrong_rail && !nets.walks_both_ways()) return;
  for (const BRANCHNODELIST* n = br->node_list; n; n = n->next) to.add(n->nodename);
}

// Grows the n-branches from the ground rail and then the p-branches from the
// supply rail (the last node of each name) into the group's branch lists: a
// branch from every MOSFET that seed_of(device, kind) hands out for a device
// record of the rail (null: none), in the rail's device order, built by
// new_branch(kind). Grown branches join the list through the group's
// insert_branch; the others give their MOSFETs back through undelete_mosfet.
// `recog` is the flag the branches' growth clears on reaching the wrong rail.
template <class G, NodeGraph Nets, class SeedOf, class NewBranch>
void generate_branch_list(G& group, const Nets& nets, SeedOf seed_of, NewBranch new_branch, bool& recog) {
  for (int p_n_type : {0, 1}) {
    auto*& list = p_n_type ? group.p_branch_list : group.n_branch_list;
    NODELIST* rail = nets.last_node(p_n_type ? nets.vdd() : nets.gnd());
    DeadEnds dead;
    for (DEVICELIST* dev = rail ? rail->devicelist : nullptr; dev; dev = dev->next) {
      MOSLIST* seed = seed_of(dev, p_n_type);
      // Only a MOSFET of the branch's own channel type can seed it: a load of
      // the other type with its gate on the rail is no pull-down or pull-up.
      if (!seed || (seed->nptype != 0) != (p_n_type != 0)) continue;
      // A failed walk changes nothing, so one known to fail is not taken.
      char* start = walk_start(seed, nets);
      if (dead.contains(start) && !nets.first_is_pn(start)) continue;
      auto* branch = new_branch(p_n_type);
      bool pruned = false;
      bool grown = growth::generate_branch(branch, seed, p_n_type, nets, recog, &dead, &pruned);
      if (grown && pruned) {
        // The branch takes the MOSFETs of the nodes passed by as well, in
        // the order a full walk meets them.
        branch = new_branch(p_n_type);
        grown = branch->generate_branch(seed, p_n_type);
      }
      if (grown) {
        list = group.insert_branch(list, branch);
      } else {
        group.undelete_mosfet(branch->mos_list);
        if (branch->node_list) remember_failed_walk(dead, branch, start, nets, !recog);
      }
    }
  }
}

// Clears in_branch of the MOSFET each record of `mlist` stands for.
template <NodeGraph Nets>
void undelete_mosfet(const MOSLIST* mlist, const Nets& nets) {
  for (; mlist; mlist = mlist->next)
    if (MOSLIST* own = nets.mosfet(mlist->mosname)) own->in_branch = false;
}

// 1 when some branch of the list holds a MOSFET of that name.
template <class B>
int list_holds(const B* list, const char* name) {
  for (; list; list = list->next)
    for (const MOSLIST* m = list->mos_list; m; m = m->next)
      if (same_name(m->mosname, name)) return 1;
  return 0;
}

// Folds every branch into the first one of the list with the same output, in
// list order, as a scan of the branches behind each branch would; a branch
// without an output folds into none. `count` is the length of the list.
// Returns how many branches went.
template <class B>
int merge_by_output(B* list, int count) {
  NameMap<B> first_on(static_cast<std::size_t>(count > 0 ? count : 0));
  int folded = 0;
  B* prev = nullptr;
  for (B* b = list; b;) {
    B* next = b->next;
    B* keep = b->pn_node ? first_on.emplace(b->pn_node, b) : b;
    if (keep == b) {
      prev = b;
    } else {
      // The folded branch is gone for good, so its records move over as
      // they are instead of being copied.
      keep->mos_list = lists::move_behind_head(keep->mos_list, b->mos_list);
      keep->node_list = lists::move_behind_head(keep->node_list, b->node_list);
      b->mos_list = nullptr;
      b->node_list = nullptr;
      prev->next = next;
      ++folded;
    }
    b = next;
  }
  return folded;
}

template <class B>
void count_mosfets(B* list) {
  for (; list; list = list->next) list->num_of_mos = lists::count(list->mos_list);
}

}  // namespace growth
