#pragma once
// The role of every net of a circuit: supply and ground rails by name
// (--supply/--ground, else the usual spellings, case-insensitive), `.global`
// nets by the channel of the MOSFETs whose source or drain they reach, and
// nets that only ever reach MOSFET bulk terminals, which take no part in
// extraction.
#include <string>
#include <unordered_set>
#include <vector>

#include "profile/circuit/circuit.h"

namespace circuit {

class Rails {
 public:
  // Empty lists take the usual spellings; `globals` are the `.global` names.
  Rails(const std::vector<std::string>& supply, const std::vector<std::string>& ground,
        const std::vector<std::string>& globals);

  void assign(Circuit& c) const;

 private:
  std::unordered_set<std::string> supply_, ground_, globals_;  // lower case
};

}  // namespace circuit
