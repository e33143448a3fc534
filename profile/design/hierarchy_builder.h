#pragma once
// Decides which subcircuits a deck's top calls are kept as modules and
// builds their circuits, callee before caller, then the top's. A subcircuit
// is kept when its ports are sound across the boundary (see
// recognize/port_uses.h), it holds logic, takes no parameters (calls could
// size each one differently) and joins no global signal; otherwise its
// calls are flattened into the caller, which is then judged with those
// devices as its own.
#include <string>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/circuit/rails.h"
#include "profile/design/hierarchy.h"
#include "profile/recognize/recognizer.h"
#include "profile/spice/deck.h"
#include "profile/spice/flattener.h"
#include "profile/spice/reader.h"

namespace design {

class HierarchyBuilder {
 public:
  HierarchyBuilder(const spice::Deck& deck, spice::Flattener& flattener, const circuit::Rails& rails,
                   spice::WarningSink warn)
      : deck_(deck), flattener_(flattener), rails_(rails), warn_(std::move(warn)) {}

  // The top's circuit (the definition `top`, or as Flattener::choose_top
  // finds it; `deck_name` names a top that is the deck's own cards), with
  // the modules it uses in `hierarchy`, their uses counted.
  circuit::Circuit build(const std::string& top, const std::string& deck_name, Hierarchy& hierarchy);

  // The caller's nets that an instance drives, from the module's port uses.
  static void mark_instance_outputs(circuit::Circuit& c, const Hierarchy& h);
  // A signal net on a rail port of an instance is that rail here too; each
  // one so made is added to `found` (when given), in net order with the rest.
  static void claim_rails(circuit::Circuit& c, const Hierarchy& h, std::vector<circuit::RailFound>* found);

 private:
  // Definitions the top reaches through calls, each after those it calls;
  // those on a call cycle are left out (flattening reports the cycle).
  std::vector<std::uint32_t> callees_first(const std::vector<std::uint32_t>& roots);
  void judge(std::uint32_t definition, Hierarchy& h);

  const spice::Deck& deck_;
  spice::Flattener& flattener_;
  const circuit::Rails& rails_;
  spice::WarningSink warn_;
  recognize::Recognizer recognizer_;  // one for all: its cache of functions is shared
};

}  // namespace design
