#pragma once
// Everything the reader took from the files of one run, before flattening:
// the subcircuit definitions, the cards outside any definition, the model
// types and the global nets. Names are interned; nets are numbered locally
// per body.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/memory/huge_allocator.h"
#include "profile/circuit/device_kinds.h"
#include "profile/spice/symbols.h"
#include "profile/spice/values.h"

namespace spice {

using FileId = std::uint32_t;

// An element card of a body, in card order.
struct DeviceCard {
  char letter = 0;                  // lower-case first letter: m, x, r, c, ...
  SymbolId model = kNoSymbol;       // m: model; x: called subcircuit; d, q: model
  std::uint32_t first_node = 0;     // into Body::nodes
  std::uint32_t node_count = 0;
  std::uint32_t name = 0;           // into Body::pool (as written)
  std::uint32_t text = kNoText;     // into Body::texts for elements other than m and x
  FileId file = 0;
  int line = 0;
  // A MOSFET's drawn size in metres, 0 where not given: W times the
  // multiplier m (fingers, nf, share the W given), and L.
  float width = 0, length = 0;
  static constexpr std::uint32_t kNoText = ~std::uint32_t{0};
};

// The size texts of a MOSFET card or call in a definition with parameters,
// when they name one: evaluated again for each call that passes its own.
struct SizeTexts {
  std::uint32_t card = 0;  // into Body::cards
  std::string w, l, m;     // empty: not given
};

// What an element other than a MOSFET or a call keeps besides its nets.
struct ElementText {
  std::string value;  // its words after the nets, as written
  circuit::SourceKind source = circuit::SourceKind::None;
  double volts = 0;  // of a DC voltage source
  bool operator==(const ElementText&) const = default;
};

// The pin names of a call that connects its nets by name (CDL's `$PINS`),
// in the order of its nets.
struct NamedPins {
  std::uint32_t card = 0;  // into Body::cards
  std::vector<SymbolId> pins;
};

// The cards of a definition or of the deck itself. Names as written live in
// one pool, so that a million cards cost no million strings.
struct Body {
  template <typename T>
  using Array = std::vector<T, core::HugeAllocator<T>>;
  Array<SymbolId> locals;          // local net -> its name; pins come first
  Array<std::uint32_t> spellings;  // local net -> its name as first written here, in pool
  std::uint32_t pin_count = 0;
  Array<std::uint32_t> nodes;      // local nets of the cards, card after card
  Array<DeviceCard> cards;
  std::vector<ElementText> texts;  // of the other elements
  std::vector<SizeTexts> sized;    // by ascending card
  std::vector<NamedPins> named;    // by ascending card
  // NUL-terminated names; shared with the circuits that view them, so that
  // nothing is read into the deck once it is flattened.
  std::shared_ptr<Array<char>> pool = std::make_shared<Array<char>>();
  // Locals whose symbol the reader's one-entry cache gave to another body
  // since (see Reader::local).
  std::unordered_map<SymbolId, std::uint32_t> evicted;

  std::uint32_t store(std::string_view name);
  std::string_view at(std::uint32_t offset) const { return std::string_view(pool->data() + offset); }
  std::string_view spelling(std::uint32_t local) const { return at(spellings[local]); }
  std::string_view name(const DeviceCard& c) const { return at(c.name); }
  // A new local net.
  std::uint32_t add_local(SymbolId name, std::string_view spelling);
};

struct Definition {
  SymbolId name = kNoSymbol;
  Body body;
  FileId file = 0;
  int line = 0;
  bool from_library = false;  // read from a --library file
  // The parameters of the .subckt line with their default values (those
  // that evaluate), by lower-case name.
  Params defaults;
  bool has_params = false;
  // By pin, where the input gives any (CDL's `*.PININFO`); else empty.
  std::vector<circuit::PinDirection> pin_directions;
  // Another definition of the name stands for it: this one was an empty
  // black-box entry, or a copy of a definition read earlier.
  bool superseded = false;
};

enum class ModelType : std::uint8_t { NMos, PMos, Other };

struct Deck {
  Symbols symbols;
  std::vector<std::string> files;     // FileId -> path as shown in messages
  Body top;                           // cards outside any definition of the netlist files
  std::vector<Definition> definitions;
  std::unordered_map<SymbolId, std::uint32_t> definition_of;
  std::unordered_map<SymbolId, ModelType> models;
  std::vector<SymbolId> globals;      // in .global order, each once
  Params params;                      // .param values, as read so far
  std::unordered_set<SymbolId> global_set;
  // Files that `.include` or `.lib` named and that were not read (not at
  // hand, or without the section), each once.
  std::vector<std::string> unread;
  // Nets that the output cards of the netlist files name (`v(out)` of
  // `.print`, `.measure`, `.plot` and the like, and of `.control` blocks),
  // as written: outputs of a top that is the deck itself.
  std::vector<std::string> observed;

  // The `.global` names, in order.
  std::vector<std::string> global_names() const;
  // The channel of each `.model` card, by lower-case name.
  circuit::ModelChannels model_channels() const;

  const Definition* definition(SymbolId name) const {
    auto it = definition_of.find(name);
    return it == definition_of.end() ? nullptr : &definitions[it->second];
  }
};

}  // namespace spice
