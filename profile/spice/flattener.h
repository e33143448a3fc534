#pragma once
// Flattens the X hierarchy of a deck into Circuits: one for the top and one
// per library cell. Nets and devices inside a call are named by the path of
// calls, joined by `/` (`x1/x2/n3`); global nets (`.global`, node 0, names
// ending in `!`) stay one net everywhere.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "profile/circuit/circuit.h"
#include "profile/circuit/device_kinds.h"
#include "profile/messages/messages.h"
#include "profile/spice/deck.h"
#include "profile/spice/reader.h"

namespace spice {

class Flattener {
 public:
  Flattener(const Deck& deck, const circuit::DeviceKinds& kinds, WarningSink warn)
      : deck_(deck), kinds_(kinds), warn_(std::move(warn)) {}

  // The top: the definition `top` when given; else the deck's own cards when
  // there are any (named `deck_name`); else the one definition of the
  // netlist files that nothing calls. Throws core::Diagnostic when there is no such
  // circuit or more than one.
  circuit::Circuit flatten_top(const std::string& top, const std::string& deck_name);
  // Every definition of the library files that is not itself a device, in
  // file order.
  std::vector<circuit::Circuit> flatten_cells();

  // The top's definition, or none when it is the deck's own cards; throws
  // as flatten_top does.
  std::optional<std::uint32_t> choose_top(const std::string& top);
  // The definitions whose bodies calls in `body` expand (cells, not
  // devices), each once, in the order first called.
  std::vector<std::uint32_t> cells_called(const Body& body);
  // Calls of `definition` become instances of `module` rather than its
  // devices, while keeping is on (it is by default).
  void keep_as_module(std::uint32_t definition, std::uint32_t module);
  void set_keeping(bool on) { keeping_ = on; }
  static constexpr std::uint32_t kNoModule = ~std::uint32_t{0};
  // The global nets of the circuit flattened last.
  std::vector<circuit::NetId> global_nets() const;

  circuit::Circuit flatten_definition(const Definition& d);
  circuit::Circuit flatten_deck(const std::string& name);

  // The top's .subckt line (file and line), for messages about its ports;
  // line 0 for a deck.
  std::string top_file;
  int top_line = 0;

 private:
  // What a call of a subcircuit name is: the body of its definition (one
  // with cards: whatever its name), a MOSFET (a device defined nowhere, or
  // only by an empty entry), the empty body of an entry, or a black box.
  struct Callee {
    enum Kind : std::uint8_t { Definition, Device, BlackBox } kind;
    std::uint32_t definition = 0;
    circuit::Channel channel = circuit::Channel::N;  // of a Device
  };
  Callee callee(SymbolId name);
  bool is_device(SymbolId callee) { return channel(callee).has_value(); }
  // What a definition holds. A device subcircuit stands for one device (as
  // a process's device subcircuits are written): one MOSFET besides
  // resistors, capacitors, inductors and diodes, and no call of a cell, or
  // an empty entry of a device name; its calls are flattened as that device
  // without a call of their own, and it is no library cell. A passive one
  // holds resistors, capacitors, inductors and diodes only. Neither is a
  // top while a cell is a candidate.
  enum class Holds : std::int8_t { Unknown = -1, Cell, Device, Passives };
  Holds holds(std::uint32_t definition);
  // The channel of a MOSFET of model or device subcircuit `name`, decided
  // once per name.
  std::optional<circuit::Channel> channel(SymbolId name);
  bool is_global(SymbolId name, std::string_view spelling) const;
  // Nets of the body's locals: pins from `pins`, the rest made here.
  void bind(const Body& body, const std::vector<circuit::NetId>& pins, const std::string& prefix, std::vector<circuit::NetId>& nets);
  circuit::NetId new_net(const std::string& prefix, std::string_view name);
  circuit::NetId global_net(SymbolId name, std::string_view spelling);
  // How a body is expanded: `call` is the call being expanded, which the
  // body's MOSFETs name; `scope` the parameter values of that call where
  // they differ from the definition's defaults (sizes are evaluated again
  // in it); `alias` the name of the body's one card, when a device
  // subcircuit's call stands for it.
  struct Expansion {
    std::uint32_t call = circuit::Mosfet::kNoCall;
    const Params* scope = nullptr;
    const std::string* alias = nullptr;
  };
  void expand(const Body& body, const std::vector<circuit::NetId>& pins, const std::string& prefix, int depth,
              const Expansion& how);
  // A call of `cell` at `path` inside the call `parent`, on the nets `pins`,
  // filed in the circuit.
  std::uint32_t new_call(const std::string& path, SymbolId cell, std::uint32_t parent,
                         const std::vector<circuit::NetId>& pins);
  void begin(const std::string& name);
  // Makes the circuit hold the body's names, which it then views.
  void keep(const Body& body);
  [[noreturn]] void fail(const DeviceCard& c, messages::Message m,
                         std::initializer_list<std::string_view> args = {}) const;
  // The pin of the definition that `name` names, or kNoPin.
  std::uint32_t pin_index(std::uint32_t definition, SymbolId name);
  static constexpr std::uint32_t kNoPin = ~std::uint32_t{0};
  // Devices of the body once flat, saturating just past the limit.
  std::uint64_t flat_size(const Body& body);
  // The flat size of the body; throws when it is past the limit.
  std::uint64_t check_size(const Body& body, const std::string& name);

  bool kept(std::uint32_t definition) const {
    return keeping_ && definition < module_of_.size() && module_of_[definition] != kNoModule;
  }
  bool keeping_ = true;

  const Deck& deck_;
  const circuit::DeviceKinds& kinds_;
  std::vector<std::uint32_t> module_of_;  // per definition, or empty: nothing kept
  SymbolId last_cell_called_ = kNoSymbol;
  std::unordered_map<SymbolId, std::optional<circuit::Channel>> channels_;
  // The last names asked for: cards in a row mostly name the same device.
  SymbolId last_name_ = kNoSymbol;
  std::optional<circuit::Channel> last_channel_;
  std::unordered_map<SymbolId, Callee> callees_;
  SymbolId last_callee_name_ = kNoSymbol;
  Callee last_callee_{Callee::BlackBox};
  WarningSink warn_;
  circuit::Circuit current_;
  std::unordered_map<SymbolId, std::uint32_t> call_cell_index_;  // into current_.call_cells
  // A called cell's name, added to the circuit's names once.
  std::string_view cell_name(SymbolId cell);
  std::unordered_map<SymbolId, std::string_view> cell_names_;
  std::unordered_map<SymbolId, circuit::NetId> globals_;
  std::vector<bool> active_;          // definitions being expanded (a call cycle is an error)
  std::unordered_set<SymbolId> warned_black_boxes_;
  static constexpr std::uint64_t kUnsized = ~std::uint64_t{0}, kSizing = kUnsized - 1;
  std::vector<std::uint64_t> sizes_;  // per definition
  std::vector<Holds> holds_;  // per definition
  // Per definition that calls connect by pin name: its pins by name.
  std::unordered_map<std::uint32_t, std::unordered_map<SymbolId, std::uint32_t>> pin_indices_;
};

}  // namespace spice
