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
};

// The message's text, with "{}" where each argument goes.
const char* text(Message m);

// The text with the arguments in place of its marks, in order.
std::string format(Message m, std::initializer_list<std::string_view> args = {});

// The same, located: "WHERE: text" ("FILE" or "FILE:LINE").
std::string located(std::string_view where, Message m, std::initializer_list<std::string_view> args = {});

}  // namespace messages
