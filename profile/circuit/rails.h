#pragma once
// The role of every net of a circuit: supply and ground rails by name
// (--supply/--ground and the usual spellings, case-insensitive), by the DC
// voltage source that holds a net against a ground, by what
// reaches them (a net that the bulks of p-channel MOSFETs and p-channel
// sources or drains reach, and no n-channel one, is a supply; the same with
// n and p exchanged, a ground), `.global` nets by the channel of the MOSFETs
// whose source or drain they reach, and nets that only ever reach MOSFET
// bulk terminals, which take no part in extraction. Each circuit (the top,
// every library cell) finds its own rails.
#include <string>
#include <unordered_set>
#include <vector>

#include "profile/circuit/circuit.h"

namespace circuit {

// Why a net is a rail: its name was given (--supply, --ground), it is one
// of the usual names, it is `.global` and reached by one channel's sources
// and drains, a DC voltage source from a ground drives it, or the MOSFETs
// that reach it make it one.
// A net may also be a rail of a subcircuit it calls that is kept as a module.
enum class RailReason : std::uint8_t { Given, UsualName, Global, Source, FromMosfets, FromCall };

struct RailFound {
  NetId net = kNoNet;
  NetRole role = NetRole::Supply;
  RailReason why = RailReason::UsualName;
};

class Rails {
 public:
  // The names given add to the usual spellings; without `usual` only they
  // count, and no rail is found from the MOSFETs. `globals` are the
  // `.global` names.
  Rails(const std::vector<std::string>& supply, const std::vector<std::string>& ground,
        const std::vector<std::string>& globals, bool usual = true);

  // Sets every net's role; returns the rails, in net order, with why each
  // is one.
  std::vector<RailFound> assign(Circuit& c) const;

  // Signal nets that look like a rail: MOSFET bulks and one channel type's
  // sources or drains reach them, nothing else does. A stage would read
  // such a net as an input.
  static std::vector<NetId> rail_like(const Circuit& c);

  // A net found from the MOSFETs is the bulk of at least this many: a
  // MOSFET whose bulk is tied to its own source makes no rail.
  static constexpr int kFoundBulks = 2;

 private:
  std::unordered_set<std::string> supply_, ground_, globals_;  // lower case
  std::unordered_set<std::string> given_;  // the names given, lower case
  bool usual_ = true;
};

}  // namespace circuit
