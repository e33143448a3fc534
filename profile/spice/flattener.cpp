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
    if (c.letter == 'x') {
      Callee k = callee(c.model);
      if (k.kind == Callee::Definition && kept(k.definition)) {
        add = 0;  // an instance: its devices stay in its module
      } else if (k.kind == Callee::Definition) {
        std::uint64_t& memo = sizes_[k.definition];
        if (memo == kSizing) {
          add = 0;  // a cycle, which expansion reports
        } else {
          if (memo == kUnsized) {
            memo = kSizing;
            memo = flat_size(deck_.definitions[k.definition].body);
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

Flattener::Callee Flattener::callee(SymbolId name) {
  if (name == last_callee_name_) return last_callee_;
  auto [known, fresh] = callees_.try_emplace(name, Callee{Callee::BlackBox});
  if (fresh) {
    auto it = deck_.definition_of.find(name);
    const bool defined = it != deck_.definition_of.end();
    std::optional<circuit::Channel> device = channel(name);
    if (defined && !deck_.definitions[it->second].body.cards.empty()) known->second = {Callee::Definition, it->second};
    else if (device) known->second = {Callee::Device, 0, *device};
    else if (defined) known->second = {Callee::Definition, it->second};
  }
  last_callee_name_ = name;
  last_callee_ = known->second;
  return last_callee_;
}

Flattener::Holds Flattener::holds(std::uint32_t definition) {
  if (holds_.size() != deck_.definitions.size()) holds_.assign(deck_.definitions.size(), Holds::Unknown);
  Holds& known = holds_[definition];
  if (known != Holds::Unknown) return known;
  const Definition& d = deck_.definitions[definition];
  if (d.body.cards.empty()) return known = is_device(d.name) ? Holds::Device : Holds::Cell;
  int mosfets = 0;
  for (const DeviceCard& c : d.body.cards) {
    Callee k = c.letter == 'x' ? callee(c.model) : Callee{Callee::BlackBox};
    if (c.letter == 'm' || (c.letter == 'x' && k.kind == Callee::Device)) {
      ++mosfets;
    } else if (c.letter == 'x' && k.kind == Callee::BlackBox &&
               circuit::is_diode_device(deck_.symbols.spelling(c.model), c.node_count)) {
      continue;
    } else if (c.letter != 'r' && c.letter != 'c' && c.letter != 'l' && c.letter != 'd') {
      return known = Holds::Cell;
    }
  }
  return known = mosfets == 0 ? Holds::Passives : mosfets == 1 ? Holds::Device : Holds::Cell;
}

std::uint32_t Flattener::pin_index(std::uint32_t definition, SymbolId name) {
  auto [it, fresh] = pin_indices_.try_emplace(definition);
  const Body& body = deck_.definitions[definition].body;
  if (fresh)
    for (std::uint32_t i = 0; i < body.pin_count; ++i) it->second.emplace(body.locals[i], i);
  auto pin = it->second.find(name);
  return pin == it->second.end() ? kNoPin : pin->second;
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
                       const Expansion& how) {
  // The top's own names are viewed in its body, not copied.
  if (prefix.empty()) keep(body);
  std::vector<circuit::NetId> nets;
  bind(body, pins, prefix, nets);
  std::vector<circuit::NetId> call_pins;
  std::size_t sized = 0, named = 0;  // the next of body.sized and body.named
  for (std::uint32_t index = 0; index < body.cards.size(); ++index) {
    const DeviceCard& c = body.cards[index];
    const circuit::NetId* n = body.nodes.data() + c.first_node;
    std::string_view written = body.name(c);
    float width = c.width, length = c.length;
    if (sized < body.sized.size() && body.sized[sized].card == index) {
      const SizeTexts& t = body.sized[sized++];
      if (how.scope) {
        DrawnSize size = drawn_size(t.w, t.l, t.m, *how.scope, &deck_.params);
        width = size.width;
        length = size.length;
      }
    }
    const NamedPins* by_name = nullptr;
    if (named < body.named.size() && body.named[named].card == index) by_name = &body.named[named++];
    Callee kind{c.letter == 'm' ? Callee::Device : Callee::BlackBox};
    if (c.letter == 'x') kind = callee(c.model);
    if (kind.kind == Callee::Device) {
      std::optional<circuit::Channel> channel = kind.channel;
      if (c.letter == 'm') channel = this->channel(c.model);
      if (!channel) {
        const std::string model = deck_.symbols.spelling(c.model);
        if (deck_.unread.empty()) fail(c, messages::Message::NoChannel, {written, model});
        std::string files;
        for (const std::string& f : deck_.unread) files.append(files.empty() ? "" : ", ").append(f);
        fail(c, messages::Message::NoChannelUnread, {written, model, files});
      }
      if (c.node_count != 4)
        fail(c, messages::Message::DeviceNodes, {deck_.symbols.spelling(c.model), std::to_string(c.node_count)});
      std::string_view name = how.alias       ? current_.names.add(*how.alias)
                              : prefix.empty() ? written
                                               : current_.names.add(prefix, written);
      current_.mosfets.push_back(circuit::Mosfet{name, *channel, nets[n[0]], nets[n[1]], nets[n[2]], nets[n[3]], width,
                                                 length, how.call});
      if (how.call != circuit::Mosfet::kNoCall) ++current_.calls[how.call].mosfets;
      continue;
    }
    std::string name = how.alias ? *how.alias : prefix + std::string(written);
    if (c.letter == 'x' && kind.kind == Callee::BlackBox) {
      const std::string callee = deck_.symbols.spelling(c.model);
      if (!circuit::is_diode_device(callee, c.node_count) && !circuit::is_short_device(callee, c.node_count) &&
          warned_black_boxes_.insert(c.model).second && warn_)
        warn_(messages::Message::BlackBox,
              messages::located(deck_.files[c.file], c.line, messages::Message::BlackBox, {callee}));
      circuit::BlackBox b{current_.names.add(name), cell_name(c.model), {}, how.call};
      for (std::uint32_t i = 0; i < c.node_count; ++i) b.pins.push_back(nets[n[i]]);
      current_.black_boxes.push_back(std::move(b));
      continue;
    }
    if (c.letter == 'x') {
      const Definition& d = deck_.definitions[kind.definition];
      if (!by_name && c.node_count != d.body.pin_count)
        fail(c, messages::Message::PinCount,
             {written, deck_.symbols.spelling(d.name), std::to_string(c.node_count), std::to_string(d.body.pin_count)});
      if (by_name) {
        // Nets by pin name; a pin that the call does not name is a net of
        // its own inside the call.
        call_pins.assign(d.body.pin_count, circuit::kNoNet);
        for (std::uint32_t i = 0; i < c.node_count; ++i) {
          std::uint32_t pin = pin_index(kind.definition, by_name->pins[i]);
          if (pin == kNoPin)
            fail(c, messages::Message::NoSuchPin,
                 {written, deck_.symbols.spelling(d.name), deck_.symbols.spelling(by_name->pins[i])});
          call_pins[pin] = nets[n[i]];
        }
        for (std::uint32_t i = 0; i < d.body.pin_count; ++i)
          if (call_pins[i] == circuit::kNoNet) call_pins[i] = new_net(name + "/", d.body.spelling(i));
      } else {
        call_pins.assign(c.node_count, circuit::kNoNet);
        for (std::uint32_t i = 0; i < c.node_count; ++i) call_pins[i] = nets[n[i]];
      }
      if (kept(kind.definition)) {
        current_.instances.push_back(circuit::Instance{current_.names.add(name), module_of_[kind.definition],
                                                       static_cast<std::uint32_t>(current_.instance_pins.size()),
                                                       static_cast<std::uint32_t>(call_pins.size())});
        current_.instance_pins.insert(current_.instance_pins.end(), call_pins.begin(), call_pins.end());
        continue;
      }
      if (active_[kind.definition]) fail(c, messages::Message::CallsItself, {deck_.symbols.spelling(d.name)});
      if (depth >= kDepthLimit) fail(c, messages::Message::NestedTooDeep, {std::to_string(kDepthLimit)});
      // The call's sizes go to the parameters of those names; the rest keep
      // their defaults.
      Params scope;
      Expansion inner;
      if (d.has_params && (width > 0 || length > 0)) {
        scope = d.defaults;
        auto pass = [&](const char* key, double value) {
          if (scope.count(key)) scope[key] = value;
        };
        if (width > 0) {
          pass("w", width);
          pass("m", 1);  // folded into the width
          pass("mult", 1);
        }
        if (length > 0) pass("l", length);
        inner.scope = &scope;
      }
      // A device subcircuit's call is that device: no call of its own, and
      // its one card takes the call's name.
      if (holds(kind.definition) == Holds::Device) {
        inner.call = how.call;
        if (d.body.cards.size() == 1) inner.alias = &name;
      } else {
        inner.call = new_call(name, d.name, how.call, call_pins);
      }
      active_[kind.definition] = true;
      expand(d.body, call_pins, name + "/", depth + 1, inner);
      active_[kind.definition] = false;
      continue;
    }
    const ElementText& text = body.texts[c.text];
    circuit::Element e{current_.names.add(name), c.letter, current_.names.add(text.value), {}, text.source, text.volts};
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
  current_.port_directions = d.pin_directions;
  auto index = deck_.definition_of.at(d.name);
  active_[index] = true;
  expand(d.body, pins, {}, 0, Expansion{});
  return std::move(current_);
}

circuit::Circuit Flattener::flatten_deck(const std::string& name) {
  std::uint64_t size = check_size(deck_.top, name);
  begin(name);
  current_.mosfets.reserve(size);
  current_.net_names.reserve(deck_.top.locals.size());
  expand(deck_.top, {}, {}, 0, Expansion{});
  return std::move(current_);
}

circuit::Circuit Flattener::flatten_top(const std::string& top, const std::string& deck_name) {
  std::optional<std::uint32_t> d = choose_top(top);
  return d ? flatten_definition(deck_.definitions[*d]) : flatten_deck(deck_name);
}

std::optional<std::uint32_t> Flattener::choose_top(const std::string& top) {
  if (!top.empty()) {
    auto it = deck_.definition_of.find(deck_.symbols.find(top));
    if (it == deck_.definition_of.end()) throw core::Diagnostic(messages::format(messages::Message::NoTop, {top}));
    const Definition& d = deck_.definitions[it->second];
    top_file = deck_.files[d.file];
    top_line = d.line;
    return it->second;
  }
  if (!deck_.top.cards.empty()) {
    top_file = deck_.files[deck_.top.cards.front().file];
    top_line = 0;
    return std::nullopt;
  }
  std::vector<bool> called(deck_.definitions.size(), false);
  for (const Definition& d : deck_.definitions)
    for (const DeviceCard& c : d.body.cards) {
      if (d.superseded || c.letter != 'x') continue;
      Callee k = callee(c.model);
      if (k.kind == Callee::Definition) called[k.definition] = true;
    }
  // Device and passive subcircuits nothing calls (a process's resistors and
  // diodes) are no top while a cell is.
  const Definition* found = nullptr;
  std::uint32_t found_index = 0;
  std::string names;
  for (bool devices : {false, true}) {
    for (std::uint32_t i = 0; i < deck_.definitions.size(); ++i) {
      const Definition& d = deck_.definitions[i];
      if (d.from_library || d.superseded || called[i] || (holds(i) != Holds::Cell) != devices) continue;
      if (found) names += ", ";
      names += deck_.symbols.spelling(d.name);
      if (!found) {
        found = &d;
        found_index = i;
      }
    }
    if (found) break;
  }
  if (!found) throw core::Diagnostic(messages::format(messages::Message::NothingToExtract));
  if (names.find(", ") != std::string::npos)
    throw core::Diagnostic(messages::format(messages::Message::SeveralTops, {names}));
  top_file = deck_.files[found->file];
  top_line = found->line;
  return found_index;
}

std::vector<std::uint32_t> Flattener::cells_called(const Body& body) {
  std::vector<std::uint32_t> out;
  std::unordered_set<std::uint32_t> seen;
  for (const DeviceCard& c : body.cards) {
    if (c.letter != 'x' || c.model == last_cell_called_) continue;
    last_cell_called_ = c.model;  // calls in a row mostly name one cell
    Callee k = callee(c.model);
    if (k.kind == Callee::Definition && holds(k.definition) == Holds::Cell && seen.insert(k.definition).second)
      out.push_back(k.definition);
  }
  last_cell_called_ = kNoSymbol;
  return out;
}

void Flattener::keep_as_module(std::uint32_t definition, std::uint32_t module) {
  if (module_of_.size() <= definition) module_of_.resize(deck_.definitions.size(), kNoModule);
  module_of_[definition] = module;
}

std::vector<circuit::NetId> Flattener::global_nets() const {
  std::vector<circuit::NetId> out;
  for (const auto& [name, net] : globals_) out.push_back(net);
  return out;
}

std::vector<circuit::Circuit> Flattener::flatten_cells() {
  std::vector<circuit::Circuit> cells;
  for (std::uint32_t i = 0; i < deck_.definitions.size(); ++i) {
    const Definition& d = deck_.definitions[i];
    if (d.from_library && !d.superseded && holds(i) != Holds::Device) cells.push_back(flatten_definition(d));
  }
  return cells;
}

}  // namespace spice
