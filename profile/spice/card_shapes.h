#pragma once
// What the words of a card are, before the reader takes them: how many nets
// an element takes, whether a line reads as a whole element card (a
// simulator deck's title line mostly does not), and which dot cards only a
// deck that a simulator runs holds.
#include <cstddef>
#include <string_view>

#include "profile/circuit/circuit.h"
#include "profile/spice/scanner.h"
#include "profile/spice/values.h"

namespace spice {

// The words of a card before its parameters (`name = value` pairs, or what
// follows `params:`).
std::size_t positional_count(const Card& c);

// Nets each element letter (lower case) takes after its name; -1: as many
// as are written before the model or subcircuit word (calls, bipolar
// transistors), or no element of that letter.
int nets_of(char letter, std::size_t positional);

// The words read as a whole element card: an element letter, the nets that
// element takes and what must follow them (a model, a subcircuit, a value:
// a source's a number or a source function).
bool reads_as_element(const Card& c);

// What the words after the nets of a V or I card (`letter`) make of it: a
// DC voltage source and its value (a number, `DC value`, a `.param`; no
// value is 0), or a stimulus (a source function such as `pulse(...)`, an
// AC or current source, a value that does not evaluate).
struct SourceValue {
  circuit::SourceKind kind = circuit::SourceKind::Stimulus;
  double volts = 0;
};
SourceValue source_value(char letter, const std::string_view* words, std::size_t count, const Params& params);

// A dot card (its word in lower case) that only a deck that a simulator
// runs holds: an analysis, output, option or control card.
bool is_simulation_card(std::string_view key);

// The first such card that begins a line of `text`, as written; empty when
// none does.
std::string_view simulation_card_in(std::string_view text);

}  // namespace spice
