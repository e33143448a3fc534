#include "profile/messages/messages.h"

#include "core/diag/assert.h"

namespace messages {

namespace {

struct Row {
  Message id;
  const char* text;
};

// In the order of the enumeration.
constexpr Row kRows[] = {
    {Message::Usage, "parser: {}\nTry 'parser --help' for more information.\n"},
    {Message::CannotWrite, "parser: cannot write {}"},
    {Message::CannotOpen, "cannot open {}"},
    {Message::AlreadyDefined, "subcircuit {} already defined at {}:{}"},
    {Message::BlackBox, "warning: subcircuit {} is defined nowhere: its calls are kept as black boxes"},
    {Message::SeveralTops, "several top cells ({}): choose one with --top"},
    {Message::UnusedPort, "warning: port {} of {} touches nothing"},
    {Message::NoDriver, "warning: net {} has no driver"},
    {Message::WideStage, "warning: the stage of {} ({} MOSFETs) has more than {} inputs: written as switch primitives"},
    {Message::BlackBoxPins, "warning: black-box entry {} at {} has other pins than its definition at {}, which is used"},
    {Message::RailLike,
     "warning: net {} looks like a {} (only MOSFET bulks and {}-channel sources reach it) but is read as a signal: "
     "name it with {}"},
    {Message::MoreRailLike, "warning: {} more nets look like rails"},
    {Message::LeftOut, "note: {} diodes and {} calls of cells without logic (decap, fill, tap, diode) are not written"},
    {Message::Indistinct,
     "warning: cells {} and {} are the same network with the same sizes and no call tells them apart: the first by "
     "name is written"},
    {Message::OnlyOneOutput, "only one --output"},
    {Message::BadCommandLine, "bad command line"},
    {Message::NoNetlist, "no netlist file given"},
    {Message::NoOutput, "no output file given (-o FILE)"},
    {Message::NotText, "NUL byte: not a text file"},
    {Message::NoEnds, ".subckt {} has no .ends"},
    {Message::NoSection, "warning: no section {} in {}: the run goes on without it"},
    {Message::Unread, "warning: cannot open {}: the run goes on without it"},
    {Message::CardIgnored, "warning: card {} ignored"},
    {Message::SubcktWithoutName, ".subckt without a name"},
    {Message::EndsWithoutSubckt, ".ends without .subckt"},
    {Message::EndsMismatch, "warning: .ends {} closes .subckt {}"},
    {Message::NoFileName, "{} without a file name"},
    {Message::IncludedTooDeep, "files included more than {} deep"},
    {Message::OutsideSubckt, "warning: cards outside .subckt in a library file ignored"},
    {Message::MosfetNodes, "MOSFET {} needs drain, gate, source, bulk and a model"},
    {Message::NoCallee, "{} calls no subcircuit"},
    {Message::UnknownElement, "warning: element {} of an unknown kind ignored"},
    {Message::TooFewNodes, "{} needs {} nodes"},
    {Message::UnknownCard, "no card begins with {}"},
    {Message::UnclosedQuote, "unclosed {} in expression"},
    {Message::TitleNotCard,
     "warning: the first line is the deck's title, as simulators read a deck that holds {}; it is not read as the "
     "card {}"},
    {Message::LoneContinuation, "continuation line without a card before it"},
    {Message::TooLarge, "{} flattens to more than {} devices"},
    {Message::DeviceNodes, "device {} takes drain, gate, source and bulk; {} nodes given"},
    {Message::NoChannel, "MOSFET {}: model {} is neither n- nor p-channel (see --nmos, --pmos)"},
    {Message::NoChannelUnread,
     "MOSFET {}: the channel of model {} is not known ({} was not read): give it with --nmos or --pmos"},
    {Message::PinCount, "{} calls {} with {} nodes; it has {} pins"},
    {Message::NoSuchPin, "{} calls {} with $PINS {}, which is no pin of it"},
    {Message::CallsItself, "subcircuit {} calls itself"},
    {Message::NestedTooDeep, "calls nested more than {} deep"},
    {Message::NoTop, "no subcircuit {} (--top)"},
    {Message::NothingToExtract, "no circuit to extract: no devices outside .subckt and no uncalled .subckt"},
};

// The length of the UTF-8 sequence that starts at `s[i]`, or 0 when none
// does.
std::size_t utf8_length(std::string_view s, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  std::size_t n = b >= 0xf0 && b <= 0xf4 ? 4 : b >= 0xe0 ? 3 : b >= 0xc2 && b < 0xe0 ? 2 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((byte(i + k) & 0xc0) != 0x80) return 0;
  return n;
}

// An argument as it may go to a terminal: control bytes and bytes of no
// UTF-8 character (a word of a binary file) as \xNN.
void append_printable(std::string& out, std::string_view arg) {
  static const char kHex[] = "0123456789abcdef";
  for (std::size_t i = 0; i < arg.size();) {
    auto b = static_cast<unsigned char>(arg[i]);
    std::size_t n = b < 0x80 ? (b < 0x20 || b == 0x7f ? 0 : 1) : utf8_length(arg, i);
    if (n == 0) {
      out.append("\\x").push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
      ++i;
    } else {
      out.append(arg.substr(i, n));
      i += n;
    }
  }
}

}  // namespace

const char* text(Message m) {
  const Row& row = kRows[static_cast<unsigned>(m)];
  EXTRACTOR_ASSERT(row.id == m);
  return row.text;
}

std::string format(Message m, std::initializer_list<std::string_view> args) {
  std::string_view t = text(m);
  std::string out;
  const std::string_view* arg = args.begin();
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '{' && i + 1 < t.size() && t[i + 1] == '}') {
      // A message is never given fewer arguments than it has marks.
      EXTRACTOR_ASSERT(arg != args.end());
      if (arg != args.end()) append_printable(out, *arg++);
      ++i;
    } else {
      out += t[i];
    }
  }
  EXTRACTOR_ASSERT(arg == args.end());
  return out;
}

std::string located(std::string_view where, Message m, std::initializer_list<std::string_view> args) {
  std::string out;
  append_printable(out, where);
  return out.append(": ").append(format(m, args));
}

std::string located(std::string_view file, int line, Message m, std::initializer_list<std::string_view> args) {
  std::string out;
  append_printable(out, file);
  return out.append(":").append(std::to_string(line)).append(": ").append(format(m, args));
}

}  // namespace messages
