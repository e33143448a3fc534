#pragma once
// Removing the gates of a recognised occurrence from the gate list of a flat
// net (a node's input_of_gate_list).
//
// Removing one name rebuilds the list: the names kept stay in order behind
// the first one kept, and the others are walked in reverse (behind-head
// insertion). Rebuilding a net that feeds thousands of gates once per removed
// gate would be quadratic over all the occurrences sharing a clock, so the
// removals are recorded here and the list is rebuilt only when someone reads
// it again.
#include <string_view>
#include <unordered_map>
#include <vector>

#include "classic/algo/records.h"

class GateInputTrim {
 public:
  explicit GateInputTrim(PINLIST* list);

  // Same effect as replacing the list by one without `name` (every record of
  // that name), rebuilt by behind-head insertion.
  void remove(const char* name);

  // Walk positions (0 = first) of the records named `name` still listed.
  void positions_of(const char* name, std::vector<long long>& out) const;

  // Relinks the records still listed in walk order and returns the head.
  PINLIST* relink();

 private:
  long long pop_front();

  std::vector<PINLIST*> records_;  // the list as it stood when trimming began
  std::vector<char> removed_;      // by index into records_
  std::unordered_map<std::string_view, std::vector<std::size_t>> where_;
  long long head_ = -1;  // index of the first record
  // The records behind the first one are records_[lo_, hi_), walked from
  // lo_ up, or from hi_ - 1 down when reversed_.
  std::size_t lo_ = 0;
  std::size_t hi_ = 0;
  bool reversed_ = false;
};

// Removes from the net's gate list every entry named in `names` (distinct
// names), one removal per entry, in the order the entries stand in the list
// when the call begins.
void remove_input_gates(NODELIST* node, const std::vector<const char*>& names);

// Writes every pending removal back into the nets' lists (GateInputs::list
// does it for one net).
void flush_input_gate_removals();
