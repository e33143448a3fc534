#include "profile/messages/messages.h"

#include "core/diag/assert.h"

namespace messages {

namespace {

struct Row {
  Message id;
  const char* key;  // the kind's name in the summary and the report
  const char* text;
};

// In the order of the enumeration.
constexpr Row kRows[] = {
    {Message::Usage, "usage", "parser: {}\nTry 'parser --help' for more information.\n"},
    {Message::CannotWrite, "cannot_write", "parser: cannot write {}"},
    {Message::CannotOpen, "cannot_open", "cannot open {}"},
    {Message::AlreadyDefined, "already_defined", "subcircuit {} already defined at {}:{}"},
    {Message::BlackBox, "black_box", "warning: subcircuit {} is defined nowhere: its calls are kept as black boxes"},
    {Message::SeveralTops, "several_tops", "several top cells ({}): choose one with --top"},
    {Message::UnusedPort, "unused_port", "warning: port {} of {} touches nothing"},
    {Message::NoDriver, "no_driver", "warning: net {} has no driver"},
    {Message::WideStage, "wide_stage", "warning: the stage of {} ({} MOSFETs) has more than {} inputs: written as switch primitives"},
    {Message::BlackBoxPins, "black_box_pins", "warning: black-box entry {} at {} has other pins than its definition at {}, which is used"},
    {Message::RailLike, "rail_like",
     "warning: net {} looks like a {} (only MOSFET bulks and {}-channel sources reach it) but is read as a signal: "
     "name it with {}"},
    {Message::MoreRailLike, "more_rail_like", "warning: {} more nets look like rails"},
    {Message::LeftOut, "left_out", "note: {} diodes and {} calls of cells without logic (decap, fill, tap, diode) are not written"},
    {Message::Indistinct, "indistinct",
     "warning: cells {} and {} are the same network with the same sizes and no call tells them apart: the first by "
     "name is written"},
    {Message::Flattened, "flattened",
     "note: subcircuit {} is flattened into its callers: its port {} is on a channel that does not always drive it"},
    {Message::OnlyOneOutput, "only_one_output", "only one --output"},
    {Message::BadCommandLine, "bad_command_line", "bad command line"},
    {Message::NoNetlist, "no_netlist", "no netlist file given"},
    {Message::NoOutput, "no_output", "no output file given (-o FILE)"},
    {Message::NotText, "not_text", "NUL byte: not a text file"},
    {Message::NoEnds, "no_ends", ".subckt {} has no .ends"},
    {Message::NoSection, "no_section", "warning: no section {} in {}: the run goes on without it"},
    {Message::Unread, "unread", "warning: cannot open {}: the run goes on without it"},
    {Message::CardIgnored, "card_ignored", "warning: card {} ignored"},
    {Message::SubcktWithoutName, "subckt_without_name", ".subckt without a name"},
    {Message::EndsWithoutSubckt, "ends_without_subckt", ".ends without .subckt"},
    {Message::EndsMismatch, "ends_mismatch", "warning: .ends {} closes .subckt {}"},
    {Message::NoFileName, "no_file_name", "{} without a file name"},
    {Message::IncludedTooDeep, "included_too_deep", "files included more than {} deep"},
    {Message::OutsideSubckt, "outside_subckt", "warning: cards outside .subckt in a library file ignored"},
    {Message::MosfetNodes, "mosfet_nodes", "MOSFET {} needs drain, gate, source, bulk and a model"},
    {Message::NoCallee, "no_callee", "{} calls no subcircuit"},
    {Message::UnknownElement, "unknown_element", "warning: element {} of an unknown kind ignored"},
    {Message::TooFewNodes, "too_few_nodes", "{} needs {} nodes"},
    {Message::UnknownCard, "unknown_card", "no card begins with {}"},
    {Message::UnclosedQuote, "unclosed_quote", "unclosed {} in expression"},
    {Message::TitleNotCard, "title_not_card",
     "warning: the first line is the deck's title, as simulators read a deck that holds {}; it is not read as the "
     "card {}"},
    {Message::LoneContinuation, "lone_continuation", "continuation line without a card before it"},
    {Message::TooLarge, "too_large", "{} flattens to more than {} devices"},
    {Message::DeviceNodes, "device_nodes", "device {} takes drain, gate, source and bulk; {} nodes given"},
    {Message::NoChannel, "no_channel", "MOSFET {}: model {} is neither n- nor p-channel (see --nmos, --pmos)"},
    {Message::NoChannelUnread, "no_channel_unread",
     "MOSFET {}: the channel of model {} is not known ({} was not read): give it with --nmos or --pmos"},
    {Message::PinCount, "pin_count", "{} calls {} with {} nodes; it has {} pins"},
    {Message::NoSuchPin, "no_such_pin", "{} calls {} with $PINS {}, which is no pin of it"},
    {Message::CallsItself, "calls_itself", "subcircuit {} calls itself"},
    {Message::NestedTooDeep, "nested_too_deep", "calls nested more than {} deep"},
    {Message::NoTop, "no_top", "no subcircuit {} (--top)"},
    {Message::NothingToExtract, "nothing_to_extract", "no circuit to extract: no devices outside .subckt and no uncalled .subckt"},
    {Message::MoreWarnings, "more_warnings", "note: {} more warnings of kind {} not shown"},
    {Message::CannotWriteReport, "cannot_write_report", "parser: cannot write the report {}"},
    {Message::OutOfMemory, "out_of_memory", "parser: out of memory in the {} step"},
    {Message::Progress, "progress", "parser: {} ({}/{}) {}%"},
    {Message::SummaryHead, "summary", "summary of {} (written to {}):"},
    {Message::SummaryMosfets, "summary", "  MOSFETs: {} read, {} after folding fingers"},
    {Message::SummaryModules, "summary",
     "  modules written: {} (top 1, library cells {}, gate modules {}, black-box cells {})"},
    {Message::SummaryKept, "summary", "  subcircuits: {} kept as modules, {} flattened into their callers"},
    {Message::SummaryInstances, "summary", "  instances in {}: {}"},
    {Message::SummaryCells, "summary", "    library cells: {}"},
    {Message::SummaryCell, "summary", "      {} {}"},
    {Message::SummaryStages, "summary",
     "    stages: {} (table gate {}, generated function {}, tristate {}, network {}, loop {})"},
    {Message::SummaryOthers, "summary", "    switch primitives: {}, black boxes: {}"},
    {Message::SummaryConstants, "summary", "  nets held at 1: {}, at 0: {}"},
    {Message::SummaryLeftOut, "summary", "  left out: diodes {}, calls of cells without logic {}"},
    {Message::SummaryNoStage, "summary",
     "  MOSFETs in no stage: never conducting {}, driving nothing read {}, holding constants {}, too wide to "
     "evaluate {}"},
    {Message::SummaryLibrary, "summary", "  library: {} cells (found {}, searched and not found {}, not searched {})"},
    {Message::SummaryNotSearched, "summary", "    not searched, {}: {}"},
    {Message::SummaryRails, "summary", "  rails: {}"},
    {Message::SummaryRail, "summary", "{} {} ({})"},
    {Message::SummaryWarnings, "summary", "  warnings: {}"},
    {Message::SummaryWarning, "summary", "{} {} ({} shown)"},
    {Message::SummaryNone, "summary", "none"},
    {Message::SummaryStepHead, "summary", "  step         CPU s   peak MiB"},
    {Message::SummaryStep, "summary", "  {} {} {}"},
    {Message::SummaryTotal, "summary", "total"},
    {Message::Supply, "supply", "supply"},
    {Message::Ground, "ground", "ground"},
    {Message::RailGiven, "option", "named by {}"},
    {Message::RailUsual, "usual_name", "a usual name"},
    {Message::RailGlobal, "global", ".global, reached by {}-channel sources and drains only"},
    {Message::RailSource, "source", "a DC voltage source from a ground drives it"},
    {Message::RailFound, "mosfets", "found from the MOSFETs: {}-channel bulks and sources reach it"},
    {Message::RailCall, "call", "a rail of a subcircuit it calls"},
    {Message::NoStages, "no_stages", "no logic stage"},
    {Message::CallsBlackBox, "black_box_call", "calls a subcircuit defined nowhere"},
    {Message::HasElement, "element", "holds an element other than a MOSFET"},
    {Message::TooWide, "too_wide", "a stage too wide to evaluate"},
    {Message::OutsideStage, "outside_stage", "a MOSFET outside every stage"},
    {Message::Disconnected, "disconnected", "its stages do not all meet through nets other than rails"},
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

const char* key(Message m) {
  const Row& row = kRows[static_cast<unsigned>(m)];
  EXTRACTOR_ASSERT(row.id == m);
  return row.key;
}

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
