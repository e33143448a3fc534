#pragma once
// Neighbour lists: the gates and transmission gates attached to one node, and
// their classification into unique, ambiguous and already matched entries.
// The subcircuit side and the flat-circuit side run the same rule with their
// own lookups.
#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "classic/algo/run_state.h"
#include "classic/match/logic_type.h"
#include "classic/match/records.h"

// Builds (from the shared pool, see release_rglist) the neighbour list of a node: one gate entry per name of
// `input_gates`, then the transmission gate the node is the input of, then
// the one it is the output of (behind-head, so the first gate stays first).
RGLIST* build_neighbour_list(PINLIST* input_gates, const char* input_of_trans, const char* output_of_trans);
// Hands a neighbour list's entries back for reuse.
void release_rglist(RGLIST* list);

// How one entry's gate looks up on its side of the search.
struct NeighbourGate {
  bool missing = false;  // the gate table slot is empty
  LogicType type;        // invalid when the gate has no logic type
};

// Sets `unique`/`unique2` of every entry: already matched entries (false,
// false); a not yet matched gate whose logic type occurs once among the list's
// not yet matched gates (true, true), otherwise (false, true); one
// transmission gate (true, true), two or more (false, false).
//
// `matched(name)` tells whether an entry already has a counterpart;
// `gate_of(name)` looks a gate entry up. Pairs in which one gate is missing
// keep their flags; the result is the number of such pairs the pairwise rule
// meets (each of them is reported by the flat-circuit side).
//
// The pairwise rule is quadratic; a clock net can feed thousands of gates, so
// the same flags are found by grouping entries by logic type.
template <class Matched, class GateOf>
long long classify_neighbours(RGLIST* list, Matched&& matched, GateOf&& gate_of) {
  if (!list) return 0;
  for (RGLIST* e = list; e; e = e->next) {
    if (matched(e->gatename)) e->unique = e->unique2 = false;
  }
  if (!list->next) return 0;

  struct Group {
    LogicType type;
    long long first;  // position of the group's first entry
    long long size;
  };
  // Most nets feed a few gates of a few types, which a walk over the groups
  // finds faster than hashing type names; a net of many types gets a map.
  constexpr std::size_t kFewTypes = 8;
  std::vector<Group> groups;
  std::unordered_map<LogicType, std::size_t, LogicTypeHash> group_at;
  auto group_of = [&](const LogicType& t, long long pos) {
    if (groups.size() < kFewTypes) {
      for (std::size_t k = 0; k < groups.size(); ++k) {
        if (groups[k].type == t) return k;
      }
    } else {
      if (group_at.empty()) {
        for (std::size_t k = 0; k < groups.size(); ++k) group_at.emplace(groups[k].type, k);
      }
      auto it = group_at.find(t);
      if (it != group_at.end()) return it->second;
      group_at.emplace(t, groups.size());
    }
    groups.push_back(Group{t, pos, 0});
    return groups.size() - 1;
  };
  std::vector<RGLIST*> trans;
  struct Candidate {
    RGLIST* entry;
    long long pos;
    bool missing;
    long long group;  // -1 for a gate without logic type (a group of its own)
  };
  std::vector<Candidate> gates;
  long long pos = 0;
  for (RGLIST* e = list; e; e = e->next, ++pos) {
    if (!e->unique) continue;
    if (e->type == 1) {
      trans.push_back(e);
    } else if (e->type == 0) {
      NeighbourGate g = gate_of(e->gatename);
      Candidate c{e, pos, g.missing, -1};
      if (!g.missing && g.type.valid()) {
        std::size_t k = group_of(g.type, pos);
        groups[k].size++;
        c.group = static_cast<long long>(k);
      }
      gates.push_back(c);
    }
  }
  if (trans.size() >= 2) {
    for (RGLIST* e : trans) e->unique = e->unique2 = false;
  }

  // Pairs the pairwise walk meets with a missing gate: the walk takes an
  // entry as the first of a pair while its `unique` is still set, i.e. every
  // missing entry and the first entry of each logic type; a later entry is
  // still set when the first of its type has not been walked yet.
  long long missing_total = 0;
  for (const Candidate& c : gates) missing_total += c.missing ? 1 : 0;
  long long pairs = missing_total * (missing_total - 1) / 2;
  std::vector<long long> missing_positions;
  for (const Candidate& c : gates) {
    if (c.missing) missing_positions.push_back(c.pos);
  }
  auto missing_before = [&](long long p) {
    return static_cast<long long>(std::lower_bound(missing_positions.begin(), missing_positions.end(), p) -
                                  missing_positions.begin());
  };
  for (const Candidate& c : gates) {
    if (c.missing) continue;
    const Group* group = c.group >= 0 ? &groups[c.group] : nullptr;
    long long first = group ? group->first : c.pos;
    pairs += missing_before(first);
    if (first == c.pos) pairs += missing_total - missing_before(c.pos);
    if (group && group->size >= 2) {
      c.entry->unique = false;
      c.entry->unique2 = true;
    }
  }
  return missing_total ? pairs : 0;
}
