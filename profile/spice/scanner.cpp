#include "profile/spice/scanner.h"

#include "core/diag/diagnostic.h"
#include "profile/messages/messages.h"

namespace spice {

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == ',' || c == '\f' || c == '\v'; }

std::size_t first_non_blank(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && blank(line[i])) ++i;
  return i;
}

}  // namespace

std::size_t Scanner::last_card_end(std::string_view text) {
  for (std::size_t end = text.size(); end > 0;) {
    std::size_t nl = text.rfind('\n', end - 1);
    if (nl == std::string_view::npos) return 0;
    std::size_t i = nl + 1;
    while (i < text.size() && blank(text[i])) ++i;
    if (i < text.size() && text[i] != '\n' && text[i] != '*' && text[i] != '+') return nl + 1;
    end = nl;
  }
  return 0;
}

std::string_view Scanner::peek_line() {
  std::size_t end = text_.find('\n', pos_);
  if (end == std::string_view::npos) end = text_.size();
  next_ = end == text_.size() ? end : end + 1;
  std::string_view line = text_.substr(pos_, end - pos_);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

void Scanner::consume_line() {
  pos_ = next_;
  ++line_;
}

namespace {

// What a character is to split(): most are part of a word.
enum CharClass : unsigned char { kWord, kStop, kQuote, kEscape };

struct Classes {
  CharClass of[256] = {};
  constexpr Classes() {
    for (char c : {' ', '\t', '\r', ',', '\f', '\v', '=', ';'}) of[static_cast<unsigned char>(c)] = kStop;
    for (char c : {'{', '\'', '"'}) of[static_cast<unsigned char>(c)] = kQuote;
    of[static_cast<unsigned char>('\\')] = kEscape;
  }
};
constexpr Classes kClasses;

}  // namespace

namespace {

bool word_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool starts_folded(std::string_view text, std::string_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  for (std::size_t i = 0; i < lower_prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_prefix[i]) return false;
  }
  return true;
}

// A comment line that is a card: the pin directions of CDL and of
// schematic editors.
bool pin_card(std::string_view line) {
  for (std::string_view p : {"*.pininfo", "*.ipin", "*.opin", "*.iopin"})
    if (starts_folded(line, p) && (line.size() == p.size() || line[p.size()] == ' ' || line[p.size()] == '\t'))
      return true;
  return false;
}

}  // namespace

std::string_view Scanner::unescaped(std::string_view word) {
  std::string& out = unescaped_.emplace_back();
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '\\' && i + 1 < word.size()) ++i;
    out += word[i];
  }
  return out;
}

void Scanner::split(std::string_view line, int number, Card& card) {
  std::vector<std::string_view>& words = card.words;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n) {
    char c = line[i];
    if (blank(c)) {
      ++i;
      continue;
    }
    if (c == ';') return;  // inline comment to the line end
    if (c == '$') {
      // CDL's words; any other `$` starts an inline comment.
      if (i + 1 < n && line[i + 1] == '[') {
        std::size_t close = line.find(']', i + 2);
        if (close == std::string_view::npos) return;
        words.push_back(line.substr(i + 2, close - i - 2));
        i = close + 1;
        continue;
      }
      std::size_t j = i + 1;
      while (j < n && word_char(line[j])) ++j;
      std::string_view name = line.substr(i + 1, j - i - 1);
      std::size_t k = j;
      while (k < n && (line[k] == ' ' || line[k] == '\t')) ++k;
      if (!name.empty() && k < n && line[k] == '=') {
        words.push_back(name);
        i = j;
        continue;
      }
      if (starts_folded(name, "pins") && name.size() == 4) {
        if (card.pins == 0) card.pins = words.size();
        words.push_back(line.substr(i, j - i));
        i = j;
        continue;
      }
      return;
    }
    if (c == '=') {
      words.push_back(line.substr(i, 1));
      ++i;
      continue;
    }
    // A word ends at a blank, `=` or `;`; an expression in it runs to its
    // closing character; a backslash keeps the next character.
    std::size_t j = i;
    bool escaped = false;
    while (j < n) {
      CharClass k = kClasses.of[static_cast<unsigned char>(line[j])];
      if (k == kWord) {
        ++j;
      } else if (k == kStop) {
        break;
      } else if (k == kEscape) {
        escaped = escaped || j + 1 < n;
        j += j + 1 < n ? 2 : 1;
      } else {
        char q = line[j];
        char close = q == '{' ? '}' : q;
        std::size_t e = line.find(close, j + 1);
        if (e == std::string_view::npos)
          throw core::Diagnostic(
              messages::located(file_, number, messages::Message::UnclosedQuote, {std::string_view(&q, 1)}));
        j = e + 1;
      }
    }
    std::string_view word = line.substr(i, j - i);
    words.push_back(escaped ? unescaped(word) : word);
    i = j;
  }
}

bool Scanner::next(Card& card) {
  card.words.clear();
  card.pins = 0;
  bool have = false;
  while (pos_ < text_.size()) {
    std::string_view line = peek_line();
    std::size_t start = first_non_blank(line);
    if (start == line.size() || (line[start] == '*' && !pin_card(line.substr(start)))) {
      consume_line();
      continue;
    }
    if (line[start] == '+') {
      if (!have) throw core::Diagnostic(messages::located(file_, line_, messages::Message::LoneContinuation));
      split(line.substr(start + 1), line_, card);
      consume_line();
      continue;
    }
    if (have) return true;
    have = true;
    card.line = line_;
    split(line.substr(start), line_, card);
    consume_line();
    // A line of nothing but an inline comment holds no card.
    if (card.words.empty()) have = false;
  }
  return have;
}

}  // namespace spice
