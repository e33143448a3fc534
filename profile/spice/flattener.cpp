#include "profile/spice/flattener.h"

#include <algorithm>

#include "core/diag/diagnostic.h"
#include "profile/messages/messages.h"

namespace spice {

namespace {
constexpr int kDepthLimit = 256;
// More flat devices than this is no netlist that fits in memory, only a
// hierarchy that multiplies (each level calling the one below twice): it is
// refused before it is expanded.
constexpr std::uint64_t kDeviceLimit = 50'000'000;
}  // namespace

std::uint64_t Flattener::flat_size(const Body& body) {
  std::uint64_t n = 0;
  for (const DeviceCard& c : body.cards) {
    std::uint64_t add = 1;
    if (c.letter == 'x' && !is_device(c.model)) {
      auto def = deck_.definition_of.find(c.model);
      if (def != deck_.definition_of.end()) {
        std::uint64_t& memo = sizes_[def->second];
        if (memo == kSizing) {
          add = 0;  // a cycle, which expansion reports
        } else {
          if (memo == kUnsized) {
            memo = kSizing;
            memo = flat_size(deck_.definitions[def->second].body);
          }
          add = memo;
        }
      }
    }
    n = std::min(n + add, kDeviceLimit + 1);
  }
  return n;
}

std::uint64_t Flattener::check_size(const Body& body, const std::string& name) {
  sizes_.assign(deck_.definitions.size(), kUnsized);
  std::uint64_t size = flat_size(body);
  if (size > kDeviceLimit)
    throw core::Diagnostic(messages::format(messages::Message::TooLarge, {name, std::to_string(kDeviceLimit)}));
  return size;
}

void Flattener::fail(const DeviceCard& c, messages::Message m, std::initializer_list<std::string_view> args) const {
  throw core::Diagnostic(messages::located(deck_.files[c.file], c.line, m, args));
}

bool Flattener::is_global(SymbolId name, std::string_view spelling) const {
  // Any spelling of the name decides "0" and a final "!" alike.
  return spelling == "0" || (!spelling.empty() && spelling.back() == '!') ||
         (!deck_.global_set.empty() && deck_.global_set.count(name) != 0);
}

std::optional<circuit::Channel> Flattener::channel(SymbolId name) {
  if (name == last_name_) return last_channel_;
  auto it = channels_.find(name);
  if (it == channels_.end()) it = channels_.emplace(name, kinds_.channel(deck_.symbols.spelling(name))).first;
  last_name_ = name;
  last_channel_ = it->second;
  return last_channel_;
}

circuit::NetId Flattener::new_net(const std::string& prefix, std::string_view name) { return current_.add_net(prefix, name); }

circuit::NetId Flattener::global_net(SymbolId name, std::string_view spelling) {
  auto it = globals_.find(name);
  if (it != globals_.end()) return it->second;
  circuit::NetId n = new_net({}, spelling);
  globals_.emplace(name, n);
  return n;
}

void Flattener::keep(const Body& body) {
  if (current_.kept.empty() || current_.kept.back() != body.pool) current_.kept.push_back(body.pool);
}

void Flattener::begin(const std::string& name) {
  current_ = circuit::Circuit{};
  call_cell_index_.clear();
  cell_names_.clear();
  current_.name = name;
  globals_.clear();
  active_.assign(deck_.definitions.size(), false);
}

void Flattener::bind(const Body& body, const std::vector<circuit::NetId>& pins, const std::string& prefix,
                     std::vector<circuit::NetId>& nets) {
  nets.resize(body.locals.size());
  for (std::size_t i = 0; i < body.locals.size(); ++i) {
    std::string_view spelling = body.spelling(i);
    if (i < pins.size())
      nets[i] = pins[i];
    else if (is_global(body.locals[i], spelling))
      nets[i] = global_net(body.locals[i], spelling);
    else
      nets[i] = prefix.empty() ? current_.add_kept_net(spelling) : new_net(prefix, spelling);
  }
}

void Flattener::expand(const Body& body, const std::vector<circuit::NetId>& pins, const std::string& prefix, int depth,
                       std::uint32_t call) {
  // The top's own names are viewed in its body, not copied.
  if (prefix.empty()) keep(body);
  std::vector<circuit::NetId> nets;
  bind(body, pins, prefix, nets);
  std::vector<circuit::NetId> call_pins;
  for (const DeviceCard& c : body.cards) {
    const circuit::NetId* n = body.nodes.data() + c.first_node;
    std::string_view written = body.name(c);
    if (c.letter == 'm' || c.letter == 'x') {
      auto channel = this->channel(c.model);
      if (channel) {
        if (c.node_count != 4)
          fail(c, messages::Message::DeviceNodes, {deck_.symbols.spelling(c.model), std::to_string(c.node_count)});
        current_.mosfets.push_back(
            circuit::Mosfet{prefix.empty() ? written : current_.names.add(prefix, written), *channel, nets[n[0]], nets[n[1]],
                   nets[n[2]], nets[n[3]], c.width, c.length, call});
        if (call != circuit::Mosfet::kNoCall) ++current_.calls[call].mosfets;
        continue;
      }
    }
    std::string name = prefix + std::string(written);
    if (c.letter == 'm' || c.letter == 'x') {
      if (c.letter == 'm')
        fail(c, messages::Message::NoChannel, {written, deck_.symbols.spelling(c.model)});
      auto def = deck_.definition_of.find(c.model);
      if (def == deck_.definition_of.end()) {
        const std::string callee = deck_.symbols.spelling(c.model);
        if (!circuit::is_diode_device(callee, c.node_count) && !circuit::is_short_device(callee, c.node_count) &&
            warned_black_boxes_.insert(c.model).second && warn_)
          warn_(messages::Message::BlackBox,
                messages::located(deck_.files[c.file], c.line, messages::Message::BlackBox, {callee}));
        circuit::BlackBox b{current_.names.add(name), cell_name(c.model), {}, call};
        for (std::uint32_t i = 0; i < c.node_count; ++i) b.pins.push_back(nets[n[i]]);
        current_.black_boxes.push_back(std::move(b));
        continue;
      }
      const Definition& d = deck_.definitions[def->second];
      if (c.node_count != d.body.pin_count)
        fail(c, messages::Message::PinCount,
             {written, deck_.symbols.spelling(d.name), std::to_string(c.node_count), std::to_string(d.body.pin_count)});
      if (active_[def->second]) fail(c, messages::Message::CallsItself, {deck_.symbols.spelling(d.name)});
      if (depth >= kDepthLimit) fail(c, messages::Message::NestedTooDeep, {std::to_string(kDepthLimit)});
      call_pins.assign(c.node_count, circuit::kNoNet);
      for (std::uint32_t i = 0; i < c.node_count; ++i) call_pins[i] = nets[n[i]];
      active_[def->second] = true;
      expand(d.body, call_pins, name + "/", depth + 1, new_call(name, d.name, call, call_pins));
      active_[def->second] = false;
      continue;
    }
    circuit::Element e{current_.names.add(name), current_.names.add(body.texts[c.text]), {}};
    for (std::uint32_t i = 0; i < c.node_count; ++i) e.nets.push_back(nets[n[i]]);
    current_.elements.push_back(std::move(e));
  }
}

std::string_view Flattener::cell_name(SymbolId cell) {
  auto [it, added] = cell_names_.try_emplace(cell);
  if (added) it->second = current_.names.add(deck_.symbols.spelling(cell));
  return it->second;
}

std::uint32_t Flattener::new_call(const std::string& path, SymbolId cell, std::uint32_t parent,
                                  const std::vector<circuit::NetId>& pins) {
  if (parent != circuit::Mosfet::kNoCall) ++current_.calls[parent].children;
  auto [it, added] = call_cell_index_.try_emplace(cell, static_cast<std::uint32_t>(current_.call_cells.size()));
  if (added) current_.call_cells.push_back(cell_name(cell));
  current_.calls.push_back(circuit::Call{current_.names.add(path), it->second, 0, 0,
                                         static_cast<std::uint32_t>(current_.call_pins.size())});
  current_.call_pins.insert(current_.call_pins.end(), pins.begin(), pins.end());
  return static_cast<std::uint32_t>(current_.calls.size() - 1);
}

circuit::Circuit Flattener::flatten_definition(const Definition& d) {
  std::uint64_t size = check_size(d.body, deck_.symbols.spelling(d.name));
  begin(deck_.symbols.spelling(d.name));
  current_.mosfets.reserve(size);
  current_.net_names.reserve(d.body.locals.size());
  // The top's pins are its own nets, named as written.
  keep(d.body);
  std::vector<circuit::NetId> pins;
  for (std::uint32_t i = 0; i < d.body.pin_count; ++i) {
    SymbolId s = d.body.locals[i];
    std::string_view spelling = d.body.spelling(i);
    pins.push_back(is_global(s, spelling) ? global_net(s, spelling) : current_.add_kept_net(spelling));
  }
  current_.ports = pins;
  auto index = deck_.definition_of.at(d.name);
  active_[index] = true;
  expand(d.body, pins, {}, 0);
  return std::move(current_);
}

circuit::Circuit Flattener::flatten_deck(const std::string& name) {
  std::uint64_t size = check_size(deck_.top, name);
  begin(name);
  current_.mosfets.reserve(size);
  current_.net_names.reserve(deck_.top.locals.size());
  expand(deck_.top, {}, {}, 0);
  return std::move(current_);
}

circuit::Circuit Flattener::flatten_top(const std::string& top, const std::string& deck_name) {
  if (!top.empty()) {
    const Definition* d = deck_.definition(deck_.symbols.find(top));
    if (!d) throw core::Diagnostic(messages::format(messages::Message::NoTop, {top}));
    top_file = deck_.files[d->file];
    top_line = d->line;
    return flatten_definition(*d);
  }
  if (!deck_.top.cards.empty()) {
    top_file = deck_.files[deck_.top.cards.front().file];
    top_line = 0;
    return flatten_deck(deck_name);
  }
  std::vector<bool> called(deck_.definitions.size(), false);
  for (const Definition& d : deck_.definitions)
    for (const DeviceCard& c : d.body.cards) {
      if (d.superseded || c.letter != 'x' || is_device(c.model)) continue;
      auto it = deck_.definition_of.find(c.model);
      if (it != deck_.definition_of.end()) called[it->second] = true;
    }
  const Definition* found = nullptr;
  std::string names;
  for (std::size_t i = 0; i < deck_.definitions.size(); ++i) {
    const Definition& d = deck_.definitions[i];
    if (d.from_library || d.superseded || called[i] || is_device(d.name)) continue;
    if (found) names += ", ";
    names += deck_.symbols.spelling(d.name);
    if (!found) found = &d;
  }
  if (!found) throw core::Diagnostic(messages::format(messages::Message::NothingToExtract));
  if (names.find(", ") != std::string::npos)
    throw core::Diagnostic(messages::format(messages::Message::SeveralTops, {names}));
  top_file = deck_.files[found->file];
  top_line = found->line;
  return flatten_definition(*found);
}

std::vector<circuit::Circuit> Flattener::flatten_cells() {
  std::vector<circuit::Circuit> cells;
  for (const Definition& d : deck_.definitions)
    if (d.from_library && !d.superseded && !is_device(d.name)) cells.push_back(flatten_definition(d));
  return cells;
}

}  // namespace spice
