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
enum CharClass : unsigned char { kWord, kStop, kQuote };

struct Classes {
  CharClass of[256] = {};
  constexpr Classes() {
    for (char c : {' ', '\t', '\r', ',', '\f', '\v', '=', ';'}) of[static_cast<unsigned char>(c)] = kStop;
    for (char c : {'{', '\'', '"'}) of[static_cast<unsigned char>(c)] = kQuote;
  }
};
constexpr Classes kClasses;

}  // namespace

void Scanner::split(std::string_view line, int number, std::vector<std::string_view>& words) const {
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n) {
    char c = line[i];
    if (blank(c)) {
      ++i;
      continue;
    }
    if (c == ';' || c == '$') return;  // inline comment to the line end
    if (c == '=') {
      words.push_back(line.substr(i, 1));
      ++i;
      continue;
    }
    // A word ends at a blank, `=` or `;`; an expression in it runs to its
    // closing character.
    std::size_t j = i;
    while (j < n) {
      CharClass k = kClasses.of[static_cast<unsigned char>(line[j])];
      if (k == kWord) {
        ++j;
      } else if (k == kStop) {
        break;
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
    words.push_back(line.substr(i, j - i));
    i = j;
  }
}

bool Scanner::next(Card& card) {
  card.words.clear();
  bool have = false;
  while (pos_ < text_.size()) {
    std::string_view line = peek_line();
    std::size_t start = first_non_blank(line);
    if (start == line.size() || line[start] == '*') {
      consume_line();
      continue;
    }
    if (line[start] == '+') {
      if (!have) throw core::Diagnostic(messages::located(file_, line_, messages::Message::LoneContinuation));
      split(line.substr(start + 1), line_, card.words);
      consume_line();
      continue;
    }
    if (have) return true;
    have = true;
    card.line = line_;
    split(line.substr(start), line_, card.words);
    consume_line();
    // A line of nothing but an inline comment holds no card.
    if (card.words.empty()) have = false;
  }
  return have;
}

}  // namespace spice
