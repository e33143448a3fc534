#include "profile/recognize/recognizer.h"

#include <algorithm>
#include <unordered_map>

#include "profile/circuit/ties.h"
#include "profile/recognize/component_builder.h"
#include "profile/recognize/finger_merger.h"
#include "profile/recognize/loop_merger.h"
#include "profile/recognize/runs.h"
#include "profile/recognize/switch_evaluator.h"
#include "profile/recognize/table_types.h"

namespace recognize {

namespace {

StageKind kind_of(const FunctionTable& t, const std::vector<NetId>& inputs, const std::vector<NetId>& outputs) {
  if (t.outputs != 1) return StageKind::Network;
  if (std::find(inputs.begin(), inputs.end(), outputs[0]) != inputs.end()) return StageKind::Network;
  bool floats = false;
  for (Value v : t.values) {
    if (v == Value::X) return StageKind::Network;
    if (v == Value::Z) floats = true;
  }
  return floats ? StageKind::Tristate : StageKind::Gate;
}

}  // namespace

const Recognizer::Known& Recognizer::canonical(const FunctionTable& t) {
  key_.assign(std::to_string(t.inputs)).append(".").append(std::to_string(t.outputs)).append(":");
  for (Value v : t.values) key_ += static_cast<char>('0' + static_cast<int>(v));
  auto it = cache_.find(key_);
  if (it != cache_.end()) return it->second;
  CanonicalForm f = FunctionCanon::canonicalize(t);
  Known known;
  auto function = std::make_shared<StageFunction>();
  if (const TableType* type = TableTypes::instance().find(f.label)) {
    known.table_type = type->module;
    function->table_pins = type->pins;
  }
  function->label = std::move(f.label);
  function->table = std::move(f.table);
  function->input_class = std::move(f.input_class);
  known.function = std::move(function);
  known.order = std::move(f.order);
  known.output_order = std::move(f.output_order);
  return cache_.emplace(key_, std::move(known)).first->second;
}

GateNetwork Recognizer::run(const circuit::Circuit& circuit) {
  GateNetwork net;
  net.nets.resize(circuit.net_count());
  for (NetId n = 0; n < circuit.net_count(); ++n) net.nets[n].role = circuit.net_roles[n];
  for (NetId p : circuit.ports)
    if (p < net.nets.size()) net.nets[p].port = true;

  // Constants first: the MOSFETs that make them are no logic.
  circuit::HeldValues wires = circuit::held_by_wires(circuit);
  circuit::MosfetTies ties = circuit::held_by_mosfets(circuit, wires);
  for (NetId n = 0; n < circuit.net_count(); ++n) net.nets[n].constant = ties.value[n] >= 0 ? ties.value[n] : wires[n];
  std::vector<char> tied(circuit.mosfets.size(), 0);
  for (std::uint32_t m : ties.mosfets) tied[m] = 1;
  net.tie_mosfets = std::move(ties.mosfets);

  FingerMerger fingers(circuit, tied);
  fingers.run();
  ComponentBuilder builder(circuit, fingers.devices());
  const std::uint32_t count = builder.run();

  // MOSFETs of each component (ascending), and the ones in none.
  for (std::uint32_t m = 0; m < circuit.mosfets.size(); ++m)
    if (!tied[m] && fingers.device_of()[m] == FingerMerger::kNoDevice) {
      net.unused_mosfets.push_back(m);
      ++net.idle_mosfets;
    }
  const Runs members(count, [&](auto add) {
    for (std::uint32_t m = 0; m < circuit.mosfets.size(); ++m) {
      std::uint32_t d = fingers.device_of()[m];
      if (!tied[m] && d != FingerMerger::kNoDevice) add(builder.component_of(d), m);
    }
  });
  net.folded_devices = static_cast<std::uint32_t>(fingers.devices().size() + net.tie_mosfets.size()) + net.idle_mosfets;
  // Stages go in the order of their first MOSFET as read.
  std::vector<std::uint32_t> order(count);
  for (std::uint32_t c = 0; c < order.size(); ++c) order[c] = c;
  std::sort(order.begin(), order.end(),
            [&](std::uint32_t x, std::uint32_t y) { return members.of(x)[0] < members.of(y)[0]; });

  for (NetId n = 0; n < circuit.net_count(); ++n) net.nets[n].floats_to_z = builder.floats_to_z(n);
  SwitchEvaluator evaluator(circuit, fingers.devices());
  net.stages.reserve(order.size());
  if (meter_) meter_->start(order.size());
  Component c;  // the one at hand; its lists are reused
  for (std::uint32_t ci : order) {
    if (meter_) meter_->add(1);
    builder.fill(ci, c);
    const std::span<const std::uint32_t> run = members.of(ci);
    if (c.outputs.empty()) {
      net.unused_mosfets.insert(net.unused_mosfets.end(), run.begin(), run.end());
      continue;
    }
    std::optional<FunctionTable> table = evaluator.evaluate(c);
    if (!table) {
      net.unevaluated.emplace_back(run.begin(), run.end());
      continue;
    }
    Stage s = make_stage(*table, c.inputs, c.outputs);
    s.devices = static_cast<std::uint32_t>(c.devices.size());
    s.mosfet_ids.assign(run.begin(), run.end());
    s.mosfets = static_cast<std::uint32_t>(s.mosfet_ids.size());
    for (NetId o : s.outputs) net.nets[o].driver = static_cast<std::uint32_t>(net.stages.size());
    net.stages.push_back(std::move(s));
  }
  std::sort(net.unused_mosfets.begin(), net.unused_mosfets.end());
  mark_weak(net, circuit);
  merge_loops(net, circuit, builder);
  return net;
}

void Recognizer::mark_weak(GateNetwork& net, const circuit::Circuit& circuit) {
  float shortest = 0;
  for (const circuit::Mosfet& m : circuit.mosfets)
    if (m.length > 0 && (shortest == 0 || m.length < shortest)) shortest = m.length;
  if (shortest == 0) return;
  for (Stage& s : net.stages) {
    bool on_port = std::any_of(s.outputs.begin(), s.outputs.end(), [&](NetId o) { return net.nets[o].port; });
    if (!on_port || s.kind == StageKind::Loop) continue;
    s.weak = std::all_of(s.mosfet_ids.begin(), s.mosfet_ids.end(),
                         [&](std::uint32_t m) { return circuit.mosfets[m].length >= kWeakLength * shortest; });
    // A table module drives at full strength.
    if (s.weak) s.table_type = -1;
  }
}

Stage Recognizer::make_stage(const FunctionTable& raw, const std::vector<NetId>& inputs,
                             const std::vector<NetId>& outputs) {
  const Known& f = canonical(raw);
  Stage s;
  s.function = f.function;
  s.inputs.reserve(f.order.size());
  for (std::uint32_t k : f.order) s.inputs.push_back(inputs[k]);
  s.outputs.reserve(f.output_order.size());
  for (std::uint32_t o : f.output_order) s.outputs.push_back(outputs[o]);
  s.kind = kind_of(s.table(), s.inputs, s.outputs);
  if (s.kind == StageKind::Gate) s.table_type = f.table_type;
  return s;
}

Stage Recognizer::combined(const LoopRegion& r, const std::vector<std::uint32_t>& shown, FunctionTable raw) {
  std::vector<NetId> outputs;
  for (std::uint32_t j : shown) outputs.push_back(r.nets[j]);
  return make_stage(raw, r.inputs, outputs);
}

Stage Recognizer::loop_stage(const std::vector<Stage>& stages, const LoopRegion& r, std::vector<Value> settled) {
  Stage s;
  s.kind = StageKind::Loop;
  s.inputs = r.inputs;
  s.outputs = r.nets;
  auto function = std::make_shared<StageFunction>();
  for (std::uint32_t k = 0; k < r.inputs.size(); ++k) function->input_class.push_back(k);
  function->table.inputs = static_cast<std::uint32_t>(r.inputs.size());
  function->table.outputs = static_cast<std::uint32_t>(r.nets.size());
  function->table.values = std::move(settled);
  const RegionSlots slots = region_slots(stages, r);
  // Equal labels iff equal parts wired alike.
  std::string& label = function->label;
  label.append("L").append(std::to_string(r.inputs.size())).append(".").append(std::to_string(r.nets.size()));
  for (std::size_t i = 0; i < r.stages.size(); ++i) {
    const Stage& st = stages[r.stages[i]];
    LoopPart part;
    part.table = st.table();
    part.inputs = slots.inputs[i];
    part.outputs = slots.outputs[i];
    label.append(" (").append(st.label());
    for (std::uint32_t i : part.inputs) label.append(" ").append(std::to_string(i));
    label.append(" >");
    for (std::uint32_t o : part.outputs) label.append(" ").append(std::to_string(o));
    label.append(")");
    s.parts.push_back(std::move(part));
  }
  s.function = std::move(function);
  return s;
}

void Recognizer::merge_loops(GateNetwork& net, const circuit::Circuit& circuit, const ComponentBuilder& builder) {
  const NetId nets = circuit.net_count();
  std::vector<std::uint32_t> driver(nets, kNoStage);
  for (std::uint32_t s = 0; s < net.stages.size(); ++s)
    for (NetId o : net.stages[s].outputs) driver[o] = s;
  // Read by something other than a stage: a port, an element, a black box,
  // a MOSFET in no stage.
  std::vector<bool> elsewhere(nets, false);
  for (NetId n = 0; n < nets; ++n) elsewhere[n] = builder.read_outside(n);
  auto mark_gate = [&](std::uint32_t m) {
    if (circuit.mosfets[m].gate < nets) elsewhere[circuit.mosfets[m].gate] = true;
  };
  for (std::uint32_t m : net.unused_mosfets) mark_gate(m);
  for (std::uint32_t m : net.tie_mosfets) mark_gate(m);
  for (const auto& component : net.unevaluated)
    for (std::uint32_t m : component) mark_gate(m);

  std::vector<LoopRegion> regions = LoopMerger::find_regions(net.stages, driver, elsewhere);
  if (regions.empty()) return;
  std::vector<std::uint32_t> readers(nets, 0);  // stage inputs on each net
  for (const Stage& st : net.stages)
    for (NetId n : st.inputs) ++readers[n];
  std::vector<std::uint32_t> merged_into(net.stages.size(), kNoStage);
  std::vector<Stage> merged;
  for (const LoopRegion& r : regions) {
    std::optional<std::vector<Value>> settled = LoopMerger::settle(net.stages, r);
    if (!settled) continue;
    bool open = std::any_of(settled->begin(), settled->end(), [](Value v) { return v != Value::Zero && v != Value::One; });
    bool restless = false;
    if (open)
      if (std::optional<std::vector<Value>> rest = LoopMerger::stable_states(net.stages, r, &restless))
        settled = std::move(rest);
    // What the region gives the rest of the circuit must be known for every
    // input combination, whatever its nodes started from. A net is read
    // outside when stages read it more often than the region's own do.
    std::unordered_map<NetId, std::uint32_t> inside;
    for (std::uint32_t k : r.stages)
      for (NetId n : net.stages[k].inputs) ++inside[n];
    std::vector<std::uint32_t> shown;
    for (std::uint32_t j = 0; j < r.nets.size(); ++j) {
      NetId n = r.nets[j];
      auto it = inside.find(n);
      if (elsewhere[n] || readers[n] > (it == inside.end() ? 0 : it->second)) shown.push_back(j);
    }
    // A region nothing else reads still runs in simulation: one that holds
    // state there (cross-coupled gates released into equal values) would
    // race for ever, so it is judged by all its nets.
    const bool unread = shown.empty();
    if (unread)
      for (std::uint32_t j = 0; j < r.nets.size(); ++j) shown.push_back(j);
    FunctionTable raw;
    raw.inputs = static_cast<std::uint32_t>(r.inputs.size());
    raw.outputs = static_cast<std::uint32_t>(shown.size());
    bool known = true;
    for (std::uint32_t combo = 0; combo < raw.combos() && known; ++combo)
      for (std::uint32_t j : shown) {
        Value v = (*settled)[std::size_t{combo} * r.nets.size() + j];
        known = known && (v == Value::Zero || v == Value::One);
        raw.values.push_back(v);
      }
    if (unread && known) continue;
    // A lone stage holding one output keeps it as written: it cannot chase
    // itself. A loop of gates that always drive and compute a plain function
    // settles in simulation as written and keeps its net names; one that
    // holds state (cross-coupled gates) would race forever there. One with
    // no state to rest in (a ring oscillator) is kept as written too.
    if (!known && r.stages.size() == 1 && net.stages[r.stages[0]].outputs.size() == 1) continue;
    bool gates = std::all_of(r.stages.begin(), r.stages.end(),
                             [&](std::uint32_t k) { return net.stages[k].kind == StageKind::Gate; });
    if ((known || restless) && gates) continue;
    // A bus holder's loop yields to an outside driver as written.
    if (std::any_of(r.stages.begin(), r.stages.end(), [&](std::uint32_t k) { return net.stages[k].weak; })) continue;
    Stage s = known ? combined(r, shown, std::move(raw)) : loop_stage(net.stages, r, std::move(*settled));
    for (std::uint32_t k : r.stages) {
      const Stage& part = net.stages[k];
      s.mosfet_ids.insert(s.mosfet_ids.end(), part.mosfet_ids.begin(), part.mosfet_ids.end());
      s.devices += part.devices;
      merged_into[k] = static_cast<std::uint32_t>(merged.size());
    }
    std::sort(s.mosfet_ids.begin(), s.mosfet_ids.end());
    s.mosfets = static_cast<std::uint32_t>(s.mosfet_ids.size());
    merged.push_back(std::move(s));
  }
  if (merged.empty()) return;
  // A merged stage takes the place of its first part; the list closes up in
  // place (a second list would double its peak).
  std::size_t kept = 0;
  std::vector<bool> placed(merged.size(), false);
  for (std::uint32_t k = 0; k < net.stages.size(); ++k) {
    std::uint32_t m = merged_into[k];
    if (m == kNoStage) {
      if (kept != k) net.stages[kept] = std::move(net.stages[k]);
      ++kept;
    } else if (!placed[m]) {
      placed[m] = true;
      net.stages[kept++] = std::move(merged[m]);
    }
  }
  net.stages.resize(kept);
  for (NetInfo& info : net.nets) info.driver = kNoStage;
  for (std::uint32_t s = 0; s < net.stages.size(); ++s)
    for (NetId o : net.stages[s].outputs) net.nets[o].driver = s;
}

void warn_wide_stages(const circuit::Circuit& c, const GateNetwork& network, const std::string& where,
                      const std::function<void(messages::Message, const std::string&)>& warn) {
  if (!warn) return;
  for (const std::vector<std::uint32_t>& wide : network.unevaluated)
    warn(messages::Message::WideStage,
         messages::located(where, messages::Message::WideStage,
                           {c.mosfets[wide.front()].name, std::to_string(wide.size()),
                            std::to_string(SwitchEvaluator::kMaxInputs)}));
}

}  // namespace recognize
