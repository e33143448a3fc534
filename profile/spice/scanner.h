#pragma once
// Cuts the text of one SPICE file into cards: the words of a line and of its
// `+` continuation lines, without comments. `*` lines are comments, and `;`
// or a word-initial `$` start an inline comment. `=` is a word of its own so
// that `w = 1u` and `w=1u` read alike; a `{...}`, `'...'` or `"..."`
// expression stays one word, blanks and all.
#include <string>
#include <string_view>
#include <vector>

namespace spice {

struct Card {
  std::vector<std::string_view> words;  // views into the scanned text
  int line = 0;                         // line of the card's first line
};

class Scanner {
 public:
  // `file` names the text in error messages; `text` must outlive the cards.
  // The text may be a piece of a file that begins at line `first_line`.
  Scanner(std::string file, std::string_view text, int first_line = 1)
      : file_(std::move(file)), text_(text), line_(first_line) {}

  // The next card into `card`; false at the end of the text. Throws
  // core::Diagnostic on a continuation line with no card before it or an
  // expression that the line does not close.
  bool next(Card& card);
  // The end of the last whole card of `text`, a piece of a longer text: the
  // start of the last line that surely begins a card (no continuation, no
  // comment, no blank line); 0 when there is none.
  static std::size_t last_card_end(std::string_view text);
  // Bytes scanned, and the number of the next line.
  std::size_t position() const { return pos_; }
  int line() const { return line_; }

 private:
  // The line at pos_ without its line end (a CR before the newline too);
  // consume_line() then moves past it without searching again.
  std::string_view peek_line();
  void consume_line();
  void split(std::string_view line, int number, std::vector<std::string_view>& words) const;

  std::string file_;
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t next_ = 0;  // start of the line after the one peeked
  int line_ = 1;
};

}  // namespace spice
