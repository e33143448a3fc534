#pragma once
// From a flat transistor circuit to its gate network: fingers merged,
// channel-connected components found, each evaluated at switch level for
// every input combination, labelled by its canonical function and, when it
// is a complementary gate of a table type, named by that type.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/diag/work_meter.h"
#include "profile/circuit/circuit.h"
#include "profile/messages/messages.h"
#include "profile/recognize/component_builder.h"
#include "profile/recognize/function_canon.h"
#include "profile/recognize/gate_network.h"
#include "profile/recognize/loop_merger.h"

namespace recognize {

class Recognizer {
 public:
  GateNetwork run(const circuit::Circuit& circuit);

  // Counts the components evaluated into `meter` (none by default).
  void set_meter(core::WorkMeter* meter) { meter_ = meter; }

 private:
  // A function met before: what its stages share, the order of its inputs
  // and outputs as canonical, and its table type (-1: none).
  struct Known {
    std::shared_ptr<const StageFunction> function;
    std::vector<std::uint32_t> order, output_order;
    int table_type = -1;
  };
  const Known& canonical(const FunctionTable& t);
  // A stage computing `raw` (input k is inputs[k], output o is outputs[o]),
  // in canonical form, named by its table type when it has one.
  Stage make_stage(const FunctionTable& raw, const std::vector<NetId>& inputs, const std::vector<NetId>& outputs);
  // Loops of stages become one stage: a plain function where what they give
  // the rest of the circuit never depends on where their nodes started,
  // else a loop that holds state.
  Stage combined(const LoopRegion& r, const std::vector<std::uint32_t>& shown, FunctionTable raw);
  // Stages driving a port through channels at least this many times the
  // circuit's shortest are weak.
  static constexpr float kWeakLength = 3.0f;
  void mark_weak(GateNetwork& net, const circuit::Circuit& circuit);
  Stage loop_stage(const std::vector<Stage>& stages, const LoopRegion& r, std::vector<Value> settled);
  void merge_loops(GateNetwork& net, const circuit::Circuit& circuit, const ComponentBuilder& builder);

  // Tables met before, by their raw values: large designs repeat a few
  // functions many times.
  std::unordered_map<std::string, Known> cache_;
  std::string key_;  // scratch: a table's key in cache_
  core::WorkMeter* meter_ = nullptr;
};

// One warning, placed at `where`, for each stage of `network` too wide to
// evaluate (written as switch primitives).
void warn_wide_stages(const circuit::Circuit& c, const GateNetwork& network, const std::string& where,
                      const std::function<void(messages::Message, const std::string&)>& warn);

}  // namespace recognize
