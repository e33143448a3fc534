#pragma once
// The flat circuit's gates grouped by logic type, so that the anchors of a
// definition are found without reading every gate of the table. Each group
// lists gate numbers in ascending order: anchors are tried in table order.
#include <unordered_map>
#include <utility>
#include <vector>

#include "classic/extract/cgate.h"
#include "classic/match/logic_type.h"

class GateTypeIndex {
 public:
  // Indexes the gates of table[0, count) that have a logic type.
  void build(CGate* const* table, int count);
  // Whether the index was built on this table (and is kept in step with it).
  bool built_on(CGate* const* table, int count) const { return table == table_ && count == count_; }

  // Gate `number` leaves its group (its table slot is being emptied).
  void remove(int number);
  // The gate now in slot `number` joins its group in number order.
  void add(int number);

  // Calls visit(gate) for each gate of logic type `t`, ascending by number.
  // The table slot is read when the walk reaches it, so a gate that visit
  // (or anything before) has emptied from the table is passed over. Gates
  // are not added during a walk.
  template <class Visit>
  void for_each_of_type(const LogicType& t, Visit&& visit) {
    std::vector<int>* group = group_of(t, false);
    if (!group) return;
    compact(*group);
    for (std::size_t k = 0; k < group->size(); ++k) {
      int number = (*group)[k];
      CGate* gate = number >= 0 ? table_[number] : nullptr;
      if (gate) visit(gate);
    }
  }

  // The logic type of the gate listed under `number` (its group's, so equal
  // types come back as the same pointers), or none.
  LogicType type_of(int number) const {
    int g = number >= 0 && number < count_ ? group_of_gate_[number] : -1;
    return g >= 0 ? types_[g] : LogicType{};
  }

  // Gate numbers of type `t` listed now, ascending (for checks).
  std::vector<int> numbers_of(const LogicType& t);

 private:
  std::vector<int>* group_of(const LogicType& t, bool create);
  // Drops the marks of removed gates.
  void compact(std::vector<int>& group);

  CGate* const* table_ = nullptr;
  int count_ = -1;
  // Branch type names are mostly shared texts, so a pair of pointers finds
  // the group without reading the names; equal texts at other addresses
  // find it through the text map.
  struct PointerPairHash {
    std::size_t operator()(const std::pair<const char*, const char*>& p) const {
      return std::hash<const char*>()(p.first) * 31 + std::hash<const char*>()(p.second);
    }
  };
  std::unordered_map<std::pair<const char*, const char*>, int, PointerPairHash> by_pointers_;
  std::unordered_map<LogicType, int, LogicTypeHash> by_text_;
  // Ascending gate numbers; a removed gate stays as ~number until the next
  // walk drops it, so removal during a walk moves nothing.
  std::vector<std::vector<int>> groups_;
  std::vector<LogicType> types_;    // by group
  std::vector<int> group_of_gate_;  // by gate number, -1 for none
  std::vector<char> has_removed_;   // by group
};

// The index of the flat circuit's gate table (hash_gate_list), kept in the
// run state: built on first use after the table is made, rebuilt for a new
// table, dropped by reset_run().
GateTypeIndex& flat_gate_type_index();
