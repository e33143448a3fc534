#include "profile/spice/card_shapes.h"

#include <array>

#include "profile/spice/symbols.h"
#include "profile/spice/values.h"

namespace spice {

namespace {

char low(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool word_is(std::string_view w, std::string_view lower_word) {
  if (w.size() != lower_word.size()) return false;
  for (std::size_t i = 0; i < w.size(); ++i)
    if (low(w[i]) != lower_word[i]) return false;
  return true;
}

// A value as a card writes one: a number or an expression.
bool value_like(std::string_view w) {
  if (w.empty()) return false;
  char c = w[0];
  return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == '{' || c == '\'' || c == '"';
}

// The word before a `(`, in lower case: a source function's name.
std::string function_of(std::string_view w) { return lower(w.substr(0, w.find('('))); }

bool is_source_function(std::string_view key) {
  for (const char* word : {"pulse", "sin", "pwl", "exp", "sffm", "am", "pat", "trnoise", "trrandom"})
    if (key == word) return true;
  return false;
}

// What may follow a source's nets: a value, or a word that starts a DC
// value or a source function (`pulse(0 1 ...)`).
bool source_value_like(std::string_view w) {
  std::string key = function_of(w);
  return value_like(w) || key == "dc" || key == "ac" || is_source_function(key);
}

}  // namespace

std::size_t positional_count(const Card& c) {
  std::size_t n = c.words.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i + 1 < n && c.words[i + 1] == "=") return i;
    if (c.words[i] == "=" || word_is(c.words[i], "params:")) return i;
  }
  return n;
}

int nets_of(char letter, std::size_t positional) {
  switch (letter) {
    case 'r': case 'c': case 'l': case 'v': case 'i': case 'f': case 'h': case 'd': case 'b': case 'w':
      return 2;
    case 'e': case 'g': return positional >= 6 ? 4 : 2;
    case 'j': case 'z': return 3;
    case 's': case 't': return 4;
    case 'k': return 0;
    case 'q': return positional >= 6 ? 4 : 3;
    default: return -1;
  }
}

bool reads_as_element(const Card& c) {
  if (c.words.empty() || c.words[0].empty()) return false;
  const char letter = low(c.words[0][0]);
  const std::size_t n = positional_count(c);
  const bool parameters = n < c.words.size();
  switch (letter) {
    case 'm': return n >= 6;
    case 'x': return n >= 3;
    case 'v': case 'i': return n >= 4 && source_value_like(c.words[3]);
    case 'r': case 'c': case 'l': return (n >= 4 && value_like(c.words[3])) || (n == 3 && parameters);
    default: break;
  }
  int nets = letter >= 'a' && letter <= 'z' ? nets_of(letter, n) : -1;
  return nets >= 0 && n >= static_cast<std::size_t>(nets) + 2;
}

SourceValue source_value(char letter, const std::string_view* words, std::size_t count, const Params& params) {
  std::optional<double> dc;
  bool ac = false, unknown = false;
  auto take = [&](std::string_view w) {
    dc = evaluate(w, params);
    unknown = !dc;
  };
  for (std::size_t i = 0; i < count; ++i) {
    std::string key = function_of(words[i]);
    if (is_source_function(key)) return {};
    if (key == "ac") ac = true;
    if (ac) continue;  // the AC magnitude and phase follow
    if (key == "dc" && i + 1 < count) take(words[++i]);
    else if (i == 0 && words[i] != "=" && (i + 1 >= count || words[i + 1] != "=")) take(words[i]);
  }
  if (letter != 'v' || unknown || (ac && !dc)) return {};
  return {circuit::SourceKind::DcVoltage, dc.value_or(0)};
}

bool is_simulation_card(std::string_view key) {
  static constexpr std::array<std::string_view, 24> kCards = {
      ".tran", ".ac",    ".dc",   ".op",    ".noise", ".tf",      ".pz",    ".sens",
      ".four", ".disto", ".step", ".print", ".plot",  ".probe",   ".meas",  ".measure",
      ".save", ".ic",    ".nodeset", ".option", ".options", ".temp", ".control", ".alter"};
  for (std::string_view card : kCards)
    if (key == card) return true;
  return false;
}

std::string_view simulation_card_in(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::size_t i = at;
    while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < end && text[i] == '.') {
      std::size_t j = i;
      while (j < end && text[j] != ' ' && text[j] != '\t' && text[j] != '\r') ++j;
      std::string_view word = text.substr(i, j - i);
      if (is_simulation_card(lower(word))) return word;
    }
    at = end + 1;
  }
  return {};
}

}  // namespace spice
