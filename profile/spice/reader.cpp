#include "profile/spice/reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/diag/diagnostic.h"
#include "profile/messages/messages.h"
#include "profile/spice/card_shapes.h"

namespace spice {

namespace fs = std::filesystem;

struct Reader::FileState {
  FileId id = 0;
  std::string path;
  bool library = false;
  std::string section;              // lower case; empty: the whole file
  bool in_section = false;          // inside the wanted section
  bool section_seen = false;
  bool ended = false;               // after .end
  bool in_control = false;          // inside .control ... .endc
  bool outside_warned = false;
  std::vector<std::uint32_t> open;  // definitions being read, innermost last
  std::vector<int> open_lines;
  // Per open definition: the live definition of its name read earlier, or
  // kNoEarlier; settled when the new one closes and its cards are known.
  std::vector<std::uint32_t> open_earlier;
  static constexpr std::uint32_t kNoEarlier = ~std::uint32_t{0};
  const Scanner* scanner = nullptr;  // over the piece being read
  std::size_t size = 0;              // of the file; 0 when not known
  std::size_t done = 0;              // bytes before that piece
};

namespace {

// Deeper than this, an include chain is taken for a runaway.
constexpr int kIncludeLimit = 64;

bool word_is(std::string_view w, std::string_view lower_word) {
  if (w.size() != lower_word.size()) return false;
  for (std::size_t i = 0; i < w.size(); ++i) {
    char c = w[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_word[i]) return false;
  }
  return true;
}

std::string unquoted(std::string_view w) {
  if (w.size() >= 2 && (w.front() == '\'' || w.front() == '"') && w.back() == w.front())
    w = w.substr(1, w.size() - 2);
  return std::string(w);
}

// The bytes of a file, read a piece at a time into one buffer that stays in
// the cache: mapping a large file whole costs a page-table entry and a miss
// on each of its pages.
class FileText {
 public:
  FileText() = default;
  FileText(const FileText&) = delete;
  FileText& operator=(const FileText&) = delete;
  ~FileText() {
    if (fd_ >= 0) close(fd_);
  }

  // Only regular files are included: a card naming a device or a pipe
  // (/dev/zero, /dev/stdin) would never end. Files named on the command
  // line may be anything but a directory.
  bool open_file(const std::string& path, bool included) {
    fd_ = open(path.c_str(), O_RDONLY);
    if (fd_ < 0) return false;
    struct stat st {};
    if (fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode) || (included && !S_ISREG(st.st_mode))) return false;
    if (S_ISREG(st.st_mode)) size_ = static_cast<std::size_t>(st.st_size);
    return true;
  }
  // The size of a regular file; 0 for anything else.
  std::size_t size() const { return size_; }

  // Appends up to `count` more bytes to `buffer`; false at the end.
  bool read_more(std::string& buffer, std::size_t count) {
    std::size_t old = buffer.size();
    buffer.resize(old + count);
    ssize_t n;
    do n = read(fd_, buffer.data() + old, count);
    while (n < 0 && errno == EINTR);
    buffer.resize(old + static_cast<std::size_t>(n > 0 ? n : 0));
    return n > 0;
  }

 private:
  int fd_ = -1;
  std::size_t size_ = 0;
};

}  // namespace

void Reader::fail(const FileState& f, int line, messages::Message m,
                  std::initializer_list<std::string_view> args) const {
  throw core::Diagnostic(messages::located(f.path, line, m, args));
}

void Reader::warn(const FileState& f, int line, messages::Message m,
                  std::initializer_list<std::string_view> args) const {
  if (warn_) warn_(m, messages::located(f.path, line, m, args));
}

std::string Reader::identity(const std::string& path) {
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(path, ec);
  return ec ? path : canonical.string();
}

FileId Reader::file_id(const std::string& path) {
  auto [it, added] = file_ids_.try_emplace(identity(path), static_cast<FileId>(deck_.files.size()));
  if (added) deck_.files.push_back(path);
  return it->second;
}

void Reader::read_netlist(const std::string& path) { read_given(path, false); }

void Reader::read_library(const std::string& path) { read_given(path, true); }

void Reader::read_given(const std::string& path, bool library) {
  auto known = file_ids_.find(identity(path));
  if (known != file_ids_.end() && whole_.count(known->second)) {
    if (library) mark_library(known->second);
    return;
  }
  read_file(path, {}, library, nullptr, 0);
}

void Reader::mark_library(FileId file) {
  for (Definition& d : deck_.definitions)
    if (d.file == file && !d.superseded) d.from_library = true;
}

void Reader::unread(const FileState& from, int line, const std::string& path, messages::Message m,
                    std::initializer_list<std::string_view> args) {
  // Extraction needs no model values: a model library not at hand is read
  // without, and only a MOSFET whose channel nothing else tells fails.
  if (std::find(deck_.unread.begin(), deck_.unread.end(), path) != deck_.unread.end()) return;
  deck_.unread.push_back(path);
  warn(from, line, m, args);
}

bool Reader::read_file(const std::string& path, std::string_view section, bool library, const FileState* from,
                       int from_line) {
  FileText text;
  if (!text.open_file(path, from != nullptr)) {
    if (from) {
      unread(*from, from_line, path, messages::Message::Unread, {path});
      return false;
    }
    throw core::Diagnostic(messages::format(messages::Message::CannotOpen, {path}));
  }
  FileState f;
  f.path = path;
  f.id = file_id(path);
  f.library = library;
  f.section = lower(section);
  f.size = text.size();
  if (section.empty()) whole_.insert(f.id);
  // About one new name per two card lines is usual; more grows the table.
  deck_.symbols.reserve(deck_.symbols.size() + f.size / 160);
  // Pieces end where a card ends, so that no card is cut; the names of the
  // cards waiting for them (see flush) are taken before the next piece.
  constexpr std::size_t kPiece = std::size_t{1} << 18;
  std::string buffer;
  int line = 1;
  bool more = true;
  Card c;
  try {
    while (!f.ended && more) {
      std::size_t before = buffer.size();
      more = text.read_more(buffer, kPiece);
      if (before == 0 && line == 1 && !from && !library && drop_title(f, buffer, more)) {
        std::size_t end = buffer.find('\n');
        end = end == std::string::npos ? buffer.size() : end + 1;
        buffer.erase(0, end);
        f.done += end;
        line = 2;
      }
      // A netlist is text. A NUL byte means a binary file or a device such
      // as /dev/zero, whose endless card would never be read to its end.
      if (const void* nul = std::memchr(buffer.data() + before, '\0', buffer.size() - before)) {
        auto at = static_cast<const char*>(nul) - buffer.data();
        fail(f, line + static_cast<int>(std::count(buffer.data(), buffer.data() + at, '\n')),
             messages::Message::NotText);
      }
      std::size_t end = more ? Scanner::last_card_end(buffer) : buffer.size();
      if (end == 0) continue;
      Scanner scanner(path, std::string_view(buffer.data(), end), line);
      f.scanner = &scanner;
      while (!f.ended && scanner.next(c)) card(f, c);
      flush(f);
      line = scanner.line();
      f.done += end;
      if (meter_) meter_->add(end);
      f.scanner = nullptr;
      buffer.erase(0, end);
    }
  } catch (...) {
    // The waiting names are views into this file's text, which goes now.
    pending_.clear();
    pending_names_.clear();
    throw;
  }
  if (!f.open.empty()) {
    const Definition& d = deck_.definitions[f.open.back()];
    fail(f, f.open_lines.back(), messages::Message::NoEnds, {deck_.symbols.spelling(d.name)});
  }
  if (from && !f.section.empty() && !f.section_seen)
    unread(*from, from_line, path, messages::Message::NoSection, {section, path});
  return true;
}

namespace {

// The first card of the file at `path` that a simulator deck holds, read
// again from its start; empty when none, or when the file cannot be read
// again (a pipe).
std::string simulation_card_of(const std::string& path) {
  FileText again;
  if (!again.open_file(path, true)) return {};
  constexpr std::size_t kPiece = std::size_t{1} << 18;
  std::string buffer;
  for (bool more = true; more;) {
    more = again.read_more(buffer, kPiece);
    std::size_t end = more ? buffer.rfind('\n') : buffer.size();
    if (end == std::string::npos) continue;
    std::string_view found = simulation_card_in(std::string_view(buffer).substr(0, end));
    if (!found.empty()) return std::string(found);
    buffer.erase(0, end);
  }
  return {};
}

}  // namespace

bool Reader::drop_title(const FileState& f, const std::string& piece, bool more) {
  // A simulator takes the first line of a deck as its title. A first line
  // that is a comment, a dot card or blank reads as such; one that reads as
  // no card is the title; one that reads as a card is the title only in a
  // deck that a simulator runs, and then with a warning.
  std::string_view first(piece.data(), std::min(piece.find('\n'), piece.size()));
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  std::size_t i = first.find_first_not_of(" \t");
  if (i == std::string_view::npos || first[i] == '*' || first[i] == '.' || first[i] == '+' || first[i] == ';')
    return false;
  Scanner scanner(f.path, first);  // holds the words of the card
  Card c;
  try {
    scanner.next(c);
  } catch (const core::Diagnostic&) {
    return true;  // an unclosed quote: no card
  }
  if (c.words.empty()) return false;
  if (!reads_as_element(c)) return true;
  std::string deck_card(simulation_card_in(piece));
  if (deck_card.empty() && more) deck_card = simulation_card_of(f.path);
  if (deck_card.empty()) return false;
  warn(f, 1, messages::Message::TitleNotCard, {deck_card, c.words[0]});
  return true;
}

void Reader::card(FileState& f, const Card& c) {
  std::string_view first = c.words[0];
  if (f.in_control) {
    if (word_is(first, ".endc")) f.in_control = false;
    else if (!f.library) observe(c);
    return;
  }
  if (!f.section.empty()) {
    // Only the wanted section of a library file is read.
    if (word_is(first, ".lib") && c.words.size() == 2 && lower(unquoted(c.words[1])) == f.section) {
      f.in_section = f.section_seen = true;
      return;
    }
    if (!f.in_section) return;
    if (word_is(first, ".endl")) {
      f.in_section = false;
      return;
    }
  }
  if (first[0] == '.') {
    control(f, c, lower(first));
    return;
  }
  if (first[0] == '*') return pin_directions(f, c);
  element(f, c);
}

void Reader::control(FileState& f, const Card& c, const std::string& key) {
  flush(f);
  if (key == ".subckt") return open_definition(f, c);
  if (key == ".ends") return close_definition(f, c);
  if (key == ".end") {
    f.ended = true;
    return;
  }
  if (key == ".include" || key == ".inc") return include(f, c, false);
  if (key == ".lib") {
    // `.lib FILE SECTION` reads a section; `.lib NAME` opens one, which a
    // file read whole reads like any other card.
    if (c.words.size() >= 3) include(f, c, true);
    return;
  }
  if (key == ".global") return global(c);
  if (key == ".model") return model(c);
  if (key == ".param") return param(c);
  if (key == ".control") {
    f.in_control = true;
    return;
  }
  if (key == ".print" || key == ".plot" || key == ".probe" || key == ".save" || key == ".meas" ||
      key == ".measure" || key == ".four") {
    if (!f.library) observe(c);
    return;
  }
  // Analyses, options, parameters and the like: their values are not needed
  // to extract gates.
  static const std::unordered_set<std::string> known = {
      ".endl", ".option", ".options", ".tran", ".op", ".dc", ".ac", ".print", ".plot", ".probe",
      ".meas", ".measure", ".temp", ".save", ".ic", ".nodeset", ".title", ".func", ".data", ".enddata",
      ".alter", ".protect", ".unprotect", ".hdl", ".noise", ".four", ".csparam", ".pz", ".tf", ".sens",
      ".connect", ".scale", ".pin", ".bipolar", ".resistor", ".capacitor", ".diode", ".equation", ".endc"};
  if (!known.count(key)) warn(f, c.line, messages::Message::CardIgnored, {c.words[0]});
}

void Reader::open_definition(FileState& f, const Card& c) {
  std::size_t n = positional_count(c);
  if (n < 2) fail(f, c.line, messages::Message::SubcktWithoutName);
  SymbolId name = deck_.symbols.intern(c.words[1]);
  auto index = static_cast<std::uint32_t>(deck_.definitions.size());
  auto [earlier, first] = deck_.definition_of.emplace(name, index);
  f.open_earlier.push_back(first ? FileState::kNoEarlier : earlier->second);
  Definition d;
  d.name = name;
  d.file = f.id;
  d.line = c.line;
  d.from_library = f.library;
  f.open.push_back(index);
  f.open_lines.push_back(c.line);
  deck_.definitions.push_back(std::move(d));
  Definition& def = deck_.definitions.back();
  Body& body = def.body;
  for (std::size_t i = 2; i < n; ++i) local(body, index + 1, deck_.symbols.intern(c.words[i]), c.words[i]);
  body.pin_count = static_cast<std::uint32_t>(body.locals.size());
  // Parameters with their defaults, `name=value` or after `params:`; a
  // default may use those before it.
  for (std::size_t i = n; i < c.words.size(); ++i) {
    if (i + 2 >= c.words.size() || c.words[i + 1] != "=") continue;
    def.has_params = true;
    if (std::optional<double> v = evaluate(c.words[i + 2], def.defaults, &deck_.params))
      def.defaults[lower(c.words[i])] = *v;
    i += 2;
  }
}

namespace {

bool same_pins(const Body& a, const Body& b) {
  return a.pin_count == b.pin_count && std::equal(a.locals.begin(), a.locals.begin() + a.pin_count, b.locals.begin());
}

// Two bodies with the same pins and the same cards, card by card, on nets
// of the same names: one definition read twice (a netlist that carries a
// copy of a library cell).
bool same_body(const Body& a, const Body& b) {
  if (!same_pins(a, b) || a.cards.size() != b.cards.size() || a.texts != b.texts) return false;
  for (std::size_t i = 0; i < a.cards.size(); ++i) {
    const DeviceCard& x = a.cards[i];
    const DeviceCard& y = b.cards[i];
    if (x.letter != y.letter || x.model != y.model || x.node_count != y.node_count || x.text != y.text ||
        a.name(x) != b.name(y)) {
      return false;
    }
    for (std::uint32_t k = 0; k < x.node_count; ++k) {
      if (a.locals[a.nodes[x.first_node + k]] != b.locals[b.nodes[y.first_node + k]]) return false;
    }
  }
  return true;
}

}  // namespace

void Reader::settle_redefinition(FileState& f, std::uint32_t index, std::uint32_t earlier) {
  Definition& now = deck_.definitions[index];
  Definition& old = deck_.definitions[earlier];
  auto place = [&](const Definition& d) { return deck_.files[d.file] + ":" + std::to_string(d.line); };
  const std::string name = deck_.symbols.spelling(now.name);
  // An empty entry is a black box that layout tools write for every cell
  // they call; a definition of the name, from either side, takes its place.
  if (now.body.cards.empty() || old.body.cards.empty()) {
    Definition& entry = now.body.cards.empty() ? now : old;
    Definition& kept = now.body.cards.empty() ? old : now;
    if (!now.body.cards.empty() || !old.body.cards.empty()) {
      if (!same_pins(entry.body, kept.body))
        warn(f, now.line, messages::Message::BlackBoxPins, {name, place(entry), place(kept)});
    }
    entry.superseded = true;
    deck_.definition_of[now.name] = static_cast<std::uint32_t>(&kept - deck_.definitions.data());
    return;
  }
  if (!same_body(now.body, old.body))
    fail(f, now.line, messages::Message::AlreadyDefined, {name, deck_.files[old.file], std::to_string(old.line)});
  now.superseded = true;
  old.from_library = old.from_library || now.from_library;
}

void Reader::close_definition(FileState& f, const Card& c) {
  if (f.open.empty()) fail(f, c.line, messages::Message::EndsWithoutSubckt);
  const std::uint32_t index = f.open.back();
  const Definition& d = deck_.definitions[index];
  // A simulator closes the open definition whatever name follows.
  if (c.words.size() >= 2 && deck_.symbols.find(c.words[1]) != d.name)
    warn(f, c.line, messages::Message::EndsMismatch, {c.words[1], deck_.symbols.spelling(d.name)});
  const std::uint32_t earlier = f.open_earlier.back();
  f.open.pop_back();
  f.open_lines.pop_back();
  f.open_earlier.pop_back();
  if (earlier != FileState::kNoEarlier) settle_redefinition(f, index, earlier);
}

void Reader::include(FileState& f, const Card& c, bool lib) {
  if (c.words.size() < 2) fail(f, c.line, messages::Message::NoFileName, {c.words[0]});
  fs::path target = unquoted(c.words[1]);
  if (target.is_relative()) target = fs::path(f.path).parent_path() / target;
  std::string path = target.lexically_normal().string();
  std::string section = lib ? unquoted(c.words[2]) : std::string();
  std::string key = identity(path) + '\n' + lower(section);
  // A file is read once, which also ends a file that includes itself; its
  // definitions are cells if any read of it is a library's.
  if (!included_.insert(key).second) {
    auto known = file_ids_.find(identity(path));
    if (f.library && known != file_ids_.end()) mark_library(known->second);
    return;
  }
  if (depth_ >= kIncludeLimit) fail(f, c.line, messages::Message::IncludedTooDeep, {std::to_string(kIncludeLimit)});
  ++depth_;
  read_file(path, section, f.library, &f, c.line);
  --depth_;
}

void Reader::reserve_ahead(const FileState& f, Body& body, std::size_t incoming) {
  // Growing by doubling copies a large body's arrays again and again and
  // faults in twice their pages; once a body is large, room for what the
  // rest of the file may hold is taken at once (address space only until
  // used). The estimate: one card per remaining line of the average length,
  // and an eighth more, since growing once more would copy it all again.
  if (body.cards.size() + incoming <= body.cards.capacity() || body.cards.size() < 4096) return;
  // At least half again, so that a low estimate still grows geometrically.
  std::size_t scanned = f.done + f.scanner->position();
  std::size_t average = std::max<std::size_t>(1, scanned / static_cast<std::size_t>(f.scanner->line()));
  std::size_t lines = (f.size > scanned ? f.size - scanned : 0) / average;
  lines = std::max(lines + lines / 8, body.cards.size() / 2);
  std::size_t nodes_per_card = body.nodes.size() / body.cards.size() + 1;
  std::size_t pool_per_card = body.pool->size() / body.cards.size() + 1;
  body.cards.reserve(body.cards.size() + lines + 1);
  body.nodes.reserve(body.nodes.size() + (lines + 1) * nodes_per_card);
  body.pool->reserve(body.pool->size() + (lines + 1) * pool_per_card);
}

Body& Reader::body_of(std::uint32_t id) { return id == 0 ? deck_.top : deck_.definitions[id - 1].body; }

std::uint32_t Reader::local(Body& body, std::uint32_t body_id, SymbolId name, std::string_view spelling) {
  std::uint32_t& owner = deck_.symbols.tag(name);
  std::uint32_t& cached = deck_.symbols.value(name);
  if (owner == body_id) return cached;
  std::uint32_t found;
  auto it = body.evicted.find(name);
  if (it != body.evicted.end()) {
    found = it->second;
    body.evicted.erase(it);
  } else {
    found = body.add_local(name, spelling);
  }
  // The entry this one displaces is kept by the body it belongs to.
  if (owner != kNoSymbol) body_of(owner).evicted.emplace(name, cached);
  owner = body_id;
  cached = found;
  return found;
}

std::optional<std::uint32_t> Reader::find_local(const Body& body, std::uint32_t body_id, SymbolId name) {
  if (deck_.symbols.tag(name) == body_id) return deck_.symbols.value(name);
  auto it = body.evicted.find(name);
  if (it != body.evicted.end()) return it->second;
  return std::nullopt;
}

void Reader::pin_directions(FileState& f, const Card& c) {
  flush(f);
  if (f.open.empty()) return;
  Definition& d = deck_.definitions[f.open.back()];
  using circuit::PinDirection;
  // A schematic editor's line gives one direction to the pins it names;
  // CDL's gives each its own: I, O or B.
  const std::string kind = lower(c.words[0]);
  const PinDirection all = kind == "*.ipin"    ? PinDirection::Input
                           : kind == "*.opin"  ? PinDirection::Output
                           : kind == "*.iopin" ? PinDirection::Inout
                                               : PinDirection::Unknown;
  for (std::size_t i = 1; i < c.words.size(); ++i) {
    std::string_view pin = c.words[i];
    PinDirection direction = all;
    if (all == PinDirection::Unknown) {
      std::size_t colon = pin.rfind(':');
      if (colon == std::string_view::npos || colon + 2 != pin.size()) continue;
      char letter = pin[colon + 1];
      direction = letter == 'I' || letter == 'i'   ? PinDirection::Input
                  : letter == 'O' || letter == 'o' ? PinDirection::Output
                  : letter == 'B' || letter == 'b' ? PinDirection::Inout
                                                   : PinDirection::Unknown;
      pin = pin.substr(0, colon);
    }
    SymbolId name = deck_.symbols.find(pin);
    if (name == kNoSymbol || direction == PinDirection::Unknown) continue;
    std::optional<std::uint32_t> at = find_local(d.body, f.open.back() + 1, name);
    if (!at || *at >= d.body.pin_count) continue;
    d.pin_directions.resize(d.body.pin_count, PinDirection::Unknown);
    d.pin_directions[*at] = direction;
  }
}

void Reader::global(const Card& c) {
  for (std::size_t i = 1; i < c.words.size(); ++i) {
    SymbolId id = deck_.symbols.intern(c.words[i]);
    if (deck_.global_set.insert(id).second) deck_.globals.push_back(id);
  }
}

void Reader::observe(const Card& c) {
  // A voltage is v(NET), or vm(NET), vdb(NET) and the like of AC analyses;
  // of v(a,b) (cut at the comma) the first net.
  for (std::size_t i = 1; i < c.words.size(); ++i) {
    std::string_view w = c.words[i];
    std::size_t open = w.find('(');
    if (open == std::string_view::npos || open == 0 || (w[0] != 'v' && w[0] != 'V')) continue;
    bool letters = true;
    for (std::size_t k = 1; k < open; ++k) letters = letters && std::isalpha(static_cast<unsigned char>(w[k]));
    std::string_view net = w.substr(open + 1);
    net = net.substr(0, net.find(')'));
    if (letters && !net.empty() && net != "*") deck_.observed.emplace_back(net);
  }
}

void Reader::model(const Card& c) {
  if (c.words.size() < 3) return;
  std::string type = lower(c.words[2]);
  ModelType t = type == "nmos" ? ModelType::NMos : type == "pmos" ? ModelType::PMos : ModelType::Other;
  deck_.models[deck_.symbols.intern(c.words[1])] = t;
  // A binned model (`nch.1`) also names its base model.
  std::string_view name = c.words[1];
  std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot + 1 < name.size() &&
      name.find_first_not_of("0123456789", dot + 1) == std::string_view::npos)
    deck_.models.try_emplace(deck_.symbols.intern(name.substr(0, dot)), t);
}

void Reader::param(const Card& c) {
  // name = value pairs; a value that does not evaluate leaves the name unknown.
  for (std::size_t i = 1; i + 2 < c.words.size(); ++i) {
    if (c.words[i + 1] != "=") continue;
    if (std::optional<double> v = evaluate(c.words[i + 2], deck_.params)) deck_.params[lower(c.words[i])] = *v;
    i += 2;
  }
}

void Reader::sizes(const Card& c, std::size_t first, std::size_t last, DeviceCard& d, Definition* in,
                   std::uint32_t index) {
  std::string_view w, l, m;
  for (std::size_t i = first; i + 2 < last; ++i) {
    if (c.words[i + 1] != "=") continue;
    std::string_view key = c.words[i], value = c.words[i + 2];
    i += 2;
    if (word_is(key, "w")) w = value;
    else if (word_is(key, "l")) l = value;
    else if (word_is(key, "m") || word_is(key, "mult")) m = value;
  }
  if (!in || !in->has_params) {
    DrawnSize s = drawn_size(w, l, m, deck_.params);
    d.width = s.width;
    d.length = s.length;
    return;
  }
  DrawnSize s = drawn_size(w, l, m, in->defaults, &deck_.params);
  d.width = s.width;
  d.length = s.length;
  // A plain number needs no scope; a text that names anything is evaluated
  // again for every call with its values.
  static const Params kNone;
  for (std::string_view text : {w, l, m})
    if (!text.empty() && !evaluate(text, kNone)) {
      in->body.sized.push_back(SizeTexts{index, std::string(w), std::string(l), std::string(m)});
      return;
    }
}

void Reader::element(FileState& f, const Card& c) {
  char letter = c.words[0][0];
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  Body* body = nullptr;
  std::uint32_t body_id = 0;
  if (!f.open.empty()) {
    body = &deck_.definitions[f.open.back()].body;
    body_id = f.open.back() + 1;
  } else if (f.library) {
    if (!f.outside_warned) warn(f, c.line, messages::Message::OutsideSubckt);
    f.outside_warned = true;
    return;
  } else {
    body = &deck_.top;
  }
  std::size_t n = positional_count(c);
  DeviceCard d;
  d.letter = letter;
  d.file = f.id;
  d.line = c.line;
  std::size_t nets;
  std::size_t model = 0;  // the word naming the model, if any
  std::string_view model_word;
  std::string_view name = c.words[0];
  const std::string_view* node_words = c.words.data() + 1;
  std::size_t last = c.words.size();  // of the parameters
  NamedPins named;
  if (letter == 'm') {
    if (n < 6) fail(f, c.line, messages::Message::MosfetNodes, {name});
    nets = 4;
    model = 5;
  } else if (letter == 'x') {
    // CDL writes `/` before the cell name (`X1 a b / CELL`, `X1 a b /CELL`),
    // and may connect the nets by pin name after `$PINS`.
    if (c.pins > 0) {
      last = c.pins;
      n = std::min(n, c.pins);
    }
    std::size_t at = n - 1;
    nets = n >= 2 ? n - 2 : 0;
    for (std::size_t i = 1; i < n; ++i)
      if (c.words[i][0] == '/') {
        at = c.words[i].size() == 1 ? i + 1 : i;
        nets = i - 1;
        break;
      }
    if (n < 2 || at >= n) fail(f, c.line, messages::Message::NoCallee, {name});
    model_word = c.words[at];
    if (model_word[0] == '/') model_word.remove_prefix(1);
    if (last < c.words.size()) {
      named_nets_.clear();
      for (std::size_t i = last + 1; i + 2 < c.words.size(); i += 3) {
        if (c.words[i + 1] != "=") break;
        named.pins.push_back(deck_.symbols.intern(c.words[i]));
        named_nets_.push_back(c.words[i + 2]);
      }
      node_words = named_nets_.data();
      nets = named_nets_.size();
    }
  } else if (letter >= 'a' && letter <= 'z') {
    int want = nets_of(letter, n);
    if (want < 0) {
      warn(f, c.line, messages::Message::UnknownElement, {name});
      return;
    }
    nets = static_cast<std::size_t>(want);
    if (n < nets + 1) fail(f, c.line, messages::Message::TooFewNodes, {name, std::to_string(nets)});
    if ((letter == 'd' || letter == 'q' || letter == 'j') && n > nets + 1) model = nets + 1;
  } else {
    fail(f, c.line, messages::Message::UnknownCard, {name});
  }
  if (body != pending_body_) flush(f);
  pending_body_ = body;
  pending_body_id_ = body_id;
  d.node_count = static_cast<std::uint32_t>(nets);
  d.name = body->store(name);
  const auto index = static_cast<std::uint32_t>(body->cards.size() + pending_.size());
  if (letter == 'm' || letter == 'x')
    sizes(c, n, last, d, f.open.empty() ? nullptr : &deck_.definitions[f.open.back()], index);
  if (!named.pins.empty()) {
    named.card = index;
    body->named.push_back(std::move(named));
  }
  if (letter != 'm' && letter != 'x') {
    ElementText text;
    for (std::size_t i = 1 + nets; i < c.words.size(); ++i) {
      std::string_view w = c.words[i];
      if (!text.value.empty() && w != "=" && text.value.back() != '=') text.value += ' ';
      text.value += w;
    }
    if (letter == 'v' || letter == 'i') {
      SourceValue s = source_value(letter, c.words.data() + 1 + nets, c.words.size() - 1 - nets, deck_.params);
      text.source = s.kind;
      text.volts = s.volts;
    }
    d.text = static_cast<std::uint32_t>(body->texts.size());
    body->texts.push_back(std::move(text));
  }
  if (model != 0) model_word = c.words[model];
  // Cards mostly name the model the card before named, spelled alike.
  bool model_known = !model_word.empty() && model_word == last_model_.first;
  if (model_known) d.model = last_model_.second;
  else if (!model_word.empty()) pending_names_.push_back(model_word);
  pending_names_.insert(pending_names_.end(), node_words, node_words + nets);
  pending_.push_back(Pending{d, !model_word.empty() && !model_known});
  // Enough names to keep many table lines in flight, few enough to stay in cache.
  if (pending_names_.size() >= 512) flush(f);
}

void Reader::flush(const FileState& f) {
  if (pending_.empty()) return;
  reserve_ahead(f, *pending_body_, pending_.size());
  ids_.resize(pending_names_.size());
  deck_.symbols.intern_all(pending_names_.data(), pending_names_.size(), ids_.data());
  Body& body = *pending_body_;
  std::size_t k = 0;
  for (Pending& p : pending_) {
    DeviceCard& d = p.card;
    if (p.has_model) {
      if (pending_names_[k] != last_model_.first) last_model_ = {std::string(pending_names_[k]), ids_[k]};
      d.model = ids_[k++];
    }
    d.first_node = static_cast<std::uint32_t>(body.nodes.size());
    for (std::uint32_t i = 0; i < d.node_count; ++i, ++k)
      body.nodes.push_back(local(body, pending_body_id_, ids_[k], pending_names_[k]));
    body.cards.push_back(d);
  }
  pending_.clear();
  pending_names_.clear();
}

}  // namespace spice
