#pragma once
// What one run keeps beside the netlist's list heads and the analysis
// tables: the state the stages keep for themselves between calls. reset_run()
// is the one reset of all of it, of the tables and of the reader's globals.
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "classic/algo/gate_input_trim.h"
#include "classic/algo/scratch_pool.h"

struct PINLIST;
struct GATENAMELIST;
struct RGLIST;
struct MOSLIST;
class GateTypeIndex;

struct RunState {
  // Flat node names without a number and their node-table indexes (past
  // node_biggest). Keys view interned copies, so a lookup builds no string.
  std::unordered_map<std::string_view, long long> unnumbered;
  // The flat node graph left a MOSFET card off a node of one of its
  // terminals because another card of its name is there already.
  bool cards_folded = false;
  // Cleared by a branch walk that reaches the wrong rail, flat and subcircuit.
  bool branch_recog = true;
  bool branch_recog_m = true;
  // Removals from flat nets' gate lists not yet written back (see
  // GateInputs::list).
  std::unordered_map<GateInputs*, std::unique_ptr<GateInputTrim>> gate_trims;
  // Circuit nets that a pin of a placed subcircuit instance lies on, and the
  // circuit MOSFETs outside gates that a placed instance stands for: the
  // replaced gates no longer show these uses, so a later occurrence asks here.
  std::unordered_set<std::string_view> placed_pin_nets;
  std::unordered_set<const MOSLIST*> placed_lone_mosfets;
  // Recycled records of the short-lived lists of matching.
  ScratchPool<PINLIST> pinlist_pool;
  ScratchPool<GATENAMELIST> gatenamelist_pool;
  ScratchPool<RGLIST> rglist_pool;
  // The flat gate table grouped by logic type (see classic/match/gate_type_index.h);
  // made on first use. Shared, so that this layer needs no complete type.
  std::shared_ptr<GateTypeIndex> gate_type_index;
};

RunState& run_state();

// Start-of-run values for the run state, the analysis tables and the
// reader's globals.
void reset_run();
