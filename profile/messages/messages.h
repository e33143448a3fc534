#pragma once
// Every message the SPICE profile prints on standard error, as one table:
// the code builds them from it and the tests take their texts from it.
// A message about a place in the input starts with that place.
#include <initializer_list>
#include <string>
#include <string_view>

namespace messages {

enum class Message : unsigned char {
  Usage,           // the command line's fault
  CannotWrite,     // the output file
  CannotOpen,      // an input file
  AlreadyDefined,  // subcircuit name, file, line of the first definition
  BlackBox,        // subcircuit called but defined nowhere
  SeveralTops,     // the uncalled cells
  UnusedPort,      // port, cell
  NoDriver,        // net
  WideStage,       // first MOSFET, MOSFETs, the most inputs evaluated
  BlackBoxPins,    // cell, entry's file:line, definition's file:line
  RailLike,        // net, supply|ground, p|n, --supply|--ground
  MoreRailLike,    // how many more
  LeftOut,         // diodes, calls of cells without logic
  Indistinct,      // two cell names
  Flattened,       // subcircuit, port (at its .subckt line): a note
  // The command line's faults, each given to Usage.
  OnlyOneOutput,      // no arguments
  BadCommandLine,     // no arguments (getopt has said what)
  NoNetlist,          // no arguments
  NoOutput,           // no arguments
  // Reading netlists: each located at the file and line of the card.
  NotText,            // no arguments (at the line of the NUL byte)
  NoEnds,             // subcircuit (at its .subckt card)
  NoSection,          // section, file (at the .lib card): a warning
  Unread,             // file (at the .include or .lib card): a warning
  CardIgnored,        // the card's first word
  SubcktWithoutName,  // no arguments
  EndsWithoutSubckt,  // no arguments
  EndsMismatch,       // name after .ends, the open subcircuit: a warning
  NoFileName,         // the card's first word
  IncludedTooDeep,    // how deep files may be included
  OutsideSubckt,      // no arguments
  MosfetNodes,        // MOSFET
  NoCallee,           // call
  UnknownElement,     // element
  TooFewNodes,        // element, nodes it takes
  UnknownCard,        // the card's first word
  UnclosedQuote,      // the opening character
  TitleNotCard,       // a simulation card of the deck, the first word of its first line
  LoneContinuation,   // no arguments
  // Flattening: located at the card unless said otherwise.
  TooLarge,           // top cell or deck, the most flat devices (not located)
  DeviceNodes,        // device subcircuit, nodes given
  NoChannel,          // MOSFET, its model
  NoChannelUnread,    // MOSFET, its model, a model file not read
  PinCount,           // call, subcircuit, nodes given, its pins
  NoSuchPin,          // call, subcircuit, the pin name it gives
  CallsItself,        // subcircuit
  NestedTooDeep,      // how deep calls may be nested
  NoTop,              // the name given to --top (not located)
  NothingToExtract,   // no arguments (not located)
  // What a run says besides its warnings.
  MoreWarnings,       // how many more, the kind's key
  CannotWriteReport,  // the report file
  OutOfMemory,        // the step under way
  Progress,           // step, its number, steps, percent done
  // The summary at the end of a run, line by line (pieces padded by the
  // caller), then the words its lines are made of.
  SummaryHead,         // top, output file
  SummaryMosfets,      // read, after folding
  SummaryModules,      // modules, library cells, gate modules, black-box cells
  SummaryKept,         // subcircuits kept as modules, flattened into their callers
  SummaryInstances,    // module, instances
  SummaryCells,        // instances of library cells
  SummaryCell,         // cell (padded), instances
  SummaryStages,       // stages, table gates, functions, tristates, networks, loops
  SummaryOthers,       // switch primitives, black boxes
  SummaryConstants,    // nets at 1, at 0
  SummaryLeftOut,      // diodes, calls of cells without logic
  SummaryNoStage,      // off or shorted, driving nothing, holding constants, too wide
  SummaryLibrary,      // cells, found, not found, not searched
  SummaryNotSearched,  // why, cell names
  SummaryRails,        // the list of SummaryRail
  SummaryRail,         // net, supply|ground, why
  SummaryWarnings,     // the list of SummaryWarning, or SummaryNone
  SummaryWarning,      // key, count, printed
  SummaryNone,         // no arguments
  SummaryStepHead,     // no arguments
  SummaryStep,         // step (padded), CPU seconds, peak MiB (padded)
  SummaryTotal,        // no arguments: the step name of the whole run
  Supply,              // no arguments
  Ground,              // no arguments
  // Why a net is a rail.
  RailGiven,           // --supply|--ground
  RailUsual,           // no arguments
  RailGlobal,          // p|n
  RailSource,          // no arguments
  RailFound,           // p|n
  RailCall,            // no arguments
  // Why a library cell is not searched for.
  NoStages,            // no arguments
  CallsBlackBox,       // no arguments
  HasElement,          // no arguments
  TooWide,             // no arguments
  OutsideStage,        // no arguments
  Disconnected,        // no arguments
};

inline constexpr unsigned kMessageCount = static_cast<unsigned>(Message::Disconnected) + 1;

// The message's kind as a short name (`no_driver`): how the summary and the
// report name a kind of warning, and the report a reason.
const char* key(Message m);

// The message's text, with "{}" where each argument goes. Arguments and
// places are written with their control bytes, and bytes of no UTF-8
// character, as \xNN.
const char* text(Message m);

// The text with the arguments in place of its marks, in order.
std::string format(Message m, std::initializer_list<std::string_view> args = {});

// The same, located: "WHERE: text" ("FILE" or "FILE:LINE").
std::string located(std::string_view where, Message m, std::initializer_list<std::string_view> args = {});

// Located at a line of a file: "FILE:LINE: text".
std::string located(std::string_view file, int line, Message m, std::initializer_list<std::string_view> args = {});

}  // namespace messages
