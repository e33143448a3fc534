#pragma once
// Cuts the text of one SPICE file into cards: the words of a line and of its
// `+` continuation lines, without comments. `*` lines are comments, but for
// the pin directions of CDL (`*.PININFO A:I Y:O`) and of schematic editors
// (`*.ipin A`, `*.opin Y`, `*.iopin VDD`), which are cards. `;` or a
// word-initial `$` start an inline comment, but for CDL's words: `$[model]`
// is the word `model`, `$W=1u` the parameter `W=1u`, and `$PINS` a word.
// `=` is a word of its own so that `w = 1u` and `w=1u` read alike; a
// `{...}`, `'...'` or `"..."` expression stays one word, blanks and all. A
// backslash takes the next character into the word as it is (`\$19` is
// `$19`, as layout extractors escape names).
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace spice {

struct Card {
  std::vector<std::string_view> words;  // views into the scanned text
  int line = 0;                         // line of the card's first line
  std::size_t pins = 0;                 // the index of a `$PINS` word; 0: none
};

class Scanner {
 public:
  // `file` names the text in error messages; `text` must outlive the cards.
  // The text may be a piece of a file that begins at line `first_line`.
  Scanner(std::string file, std::string_view text, int first_line = 1)
      : file_(std::move(file)), text_(text), line_(first_line) {}

  // The next card into `card`, its words valid while the scanner lives;
  // false at the end of the text. Throws
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
  void split(std::string_view line, int number, Card& card);
  // The word without the backslashes that escape its characters.
  std::string_view unescaped(std::string_view word);

  std::string file_;
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t next_ = 0;  // start of the line after the one peeked
  int line_ = 1;
  std::deque<std::string> unescaped_;  // words that held escapes, kept for their views
};

}  // namespace spice
