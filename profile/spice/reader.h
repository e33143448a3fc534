#pragma once
// Reads SPICE and CDL netlists into a Deck: one function per card kind.
// `.include` and `.lib FILE SECTION` name files relative to the including
// file. Throws core::Diagnostic (file and line in its text) on bad input; warnings
// go to the given sink.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/diag/work_meter.h"
#include "profile/messages/messages.h"
#include "profile/spice/deck.h"
#include "profile/spice/scanner.h"

namespace spice {

// Takes each warning with its kind.
using WarningSink = std::function<void(messages::Message, const std::string&)>;

class Reader {
 public:
  Reader(Deck& deck, WarningSink warn) : deck_(deck), warn_(std::move(warn)) {}

  // Counts the bytes read into `meter` (none by default).
  void set_meter(core::WorkMeter* meter) { meter_ = meter; }

  // A netlist file: its definitions and the cards outside them.
  void read_netlist(const std::string& path);
  // A library file: its definitions are the cells to find.
  void read_library(const std::string& path);

 private:
  struct FileState;

  // A file named on the command line; one already read whole is read no
  // more (its definitions become cells if it is now a library).
  void read_given(const std::string& path, bool library);
  void mark_library(FileId file);
  // False when `from` (the including file) names a file that cannot be
  // read; that is a warning, once per file.
  bool read_file(const std::string& path, std::string_view section, bool library, const FileState* from,
                 int from_line);
  void unread(const FileState& from, int line, const std::string& path, messages::Message m,
              std::initializer_list<std::string_view> args);
  // Whether the first line of `piece`, the start of a netlist named on the
  // command line, is a simulator deck's title; `more`: the file goes on
  // after the piece.
  bool drop_title(const FileState& f, const std::string& piece, bool more);
  void card(FileState& f, const Card& c);
  void control(FileState& f, const Card& c, const std::string& key);
  void open_definition(FileState& f, const Card& c);
  void close_definition(FileState& f, const Card& c);
  // A definition of a name already defined, once its cards are read.
  void settle_redefinition(FileState& f, std::uint32_t index, std::uint32_t earlier);
  void include(FileState& f, const Card& c, bool lib);
  void global(const Card& c);
  // The nets an output card names.
  void observe(const Card& c);
  void model(const Card& c);
  void param(const Card& c);
  // W, L and the multiplier of a MOSFET card (or call) from its words
  // `first` to `last`, in the parameters of `in` (a definition, or none); the
  // texts are kept when they name a parameter of `in`.
  void sizes(const Card& c, std::size_t first, std::size_t last, DeviceCard& d, Definition* in, std::uint32_t index);
  void element(FileState& f, const Card& c);
  // `*.PININFO A:I Y:O`, `*.ipin A`, `*.opin Y`, `*.iopin VDD`: directions
  // of the pins of the definition being read.
  void pin_directions(FileState& f, const Card& c);
  // Ends the run of element cards waiting for their names: interns the
  // names of all of them at once, then gives the cards their local nets.
  void flush(const FileState& f);
  [[noreturn]] void fail(const FileState& f, int line, messages::Message m,
                         std::initializer_list<std::string_view> args = {}) const;
  void warn(const FileState& f, int line, messages::Message m, std::initializer_list<std::string_view> args = {}) const;
  FileId file_id(const std::string& path);
  // The local net of `name` in a body (0: the deck's own cards, i + 1:
  // definition i), made on first use. A one-entry cache per name, kept in
  // the name's own entry, makes the usual case (a name used in one body
  // only) cost no hash lookup.
  std::uint32_t local(Body& body, std::uint32_t body_id, SymbolId name, std::string_view spelling);
  // The local net of `name` if the body has one.
  std::optional<std::uint32_t> find_local(const Body& body, std::uint32_t body_id, SymbolId name);
  Body& body_of(std::uint32_t id);
  // Room in a large body for the rest of the file once `incoming` more
  // cards would not fit.
  void reserve_ahead(const FileState& f, Body& body, std::size_t incoming);
  // The key of a file whatever path names it.
  static std::string identity(const std::string& path);

  Deck& deck_;
  WarningSink warn_;
  core::WorkMeter* meter_ = nullptr;
  std::unordered_set<std::string> included_;  // path and section of every file read through a card
  std::unordered_map<std::string, FileId> file_ids_;  // by identity
  std::unordered_set<FileId> whole_;  // files read whole, not by section
  int depth_ = 0;
  // Element cards read but not yet stored, all of one body: their names
  // wait in `pending_names_` (views into the file being read), each card's
  // model first if it names one, then its nets. Any other card, and the end
  // of a file, flush them first, so that names are interned in card order.
  struct Pending {
    DeviceCard card;
    bool has_model = false;
  };
  std::vector<Pending> pending_;
  // The model (or called subcircuit) name last interned, as spelled.
  std::pair<std::string, SymbolId> last_model_{std::string(), kNoSymbol};
  std::vector<std::string_view> pending_names_;
  Body* pending_body_ = nullptr;
  std::uint32_t pending_body_id_ = 0;
  std::vector<SymbolId> ids_;  // of pending_names_
  std::vector<std::string_view> named_nets_;  // of a call with `$PINS`
};

}  // namespace spice
