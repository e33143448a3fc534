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
  Scanner(std::string file, std::string_view text) : file_(std::move(file)), text_(text) {}

  // The next card into `card`; false at the end of the text. Throws
  // ReadError on a continuation line with no card before it or an
  // expression that the line does not close.
  bool next(Card& card);
  // Bytes not yet scanned, and the average length of the lines scanned.
  std::size_t remaining() const { return text_.size() - pos_; }
  std::size_t average_line() const { return pos_ / static_cast<std::size_t>(line_); }

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
