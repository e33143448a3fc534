#include "profile/spice/scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/diag/diagnostic.h"

namespace {

using Words = std::vector<std::string>;

std::vector<std::pair<int, Words>> cards(const std::string& text) {
  spice::Scanner s("f.sp", text);
  spice::Card c;
  std::vector<std::pair<int, Words>> out;
  while (s.next(c)) out.emplace_back(c.line, Words(c.words.begin(), c.words.end()));
  return out;
}

std::string error_of(const std::string& text) {
  try {
    cards(text);
  } catch (const core::Diagnostic& e) {
    return e.what();
  }
  return "no error";
}

TEST(Scanner, CardsJoinContinuationsAndDropComments) {
  auto got = cards(
      "* a comment with words\n"
      "M1 d g s b nmos w=1u $ inline comment\n"
      "* a comment between a card and its continuation\n"
      "\n"
      "  + l = 2u ; another inline comment\n"
      "   R1 a b 10k\r\n"
      "; nothing but a comment\n"
      "X1 net$1 a_1# cell\n");
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].first, 2);
  EXPECT_EQ(got[0].second, (Words{"M1", "d", "g", "s", "b", "nmos", "w", "=", "1u", "l", "=", "2u"}));
  EXPECT_EQ(got[1].first, 6);
  EXPECT_EQ(got[1].second, (Words{"R1", "a", "b", "10k"}));
  // `$` inside a word is part of the name.
  EXPECT_EQ(got[2].second, (Words{"X1", "net$1", "a_1#", "cell"}));
}

TEST(Scanner, ExpressionsStayOneWord) {
  auto got = cards("X1 a b cell w={2 * wn} l='x + 1' m=\"3\"\n");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].second,
            (Words{"X1", "a", "b", "cell", "w", "=", "{2 * wn}", "l", "=", "'x + 1'", "m", "=", "\"3\""}));
}

TEST(Scanner, BadLinesNameFileAndLine) {
  EXPECT_EQ(error_of("* title\n+ a b\n"), "f.sp:2: continuation line without a card before it");
  EXPECT_EQ(error_of("R1 a b 1\nM1 d g s b n w={2*wn\n"), "f.sp:2: unclosed { in expression");
}

// Where a piece of a file may end: before a line that begins a card, not
// before a continuation, a comment or a blank line that a continuation may
// still follow.
TEST(Scanner, PiecesEndBeforeALineThatBeginsACard) {
  EXPECT_EQ(spice::Scanner::last_card_end("M1 a b\n+ c d\nM2 e"), 13u);
  EXPECT_EQ(spice::Scanner::last_card_end("M1 a b\n+ c d\n* note\n\n  + e"), 0u);
  EXPECT_EQ(spice::Scanner::last_card_end("M1 a b\nM2 c d\n  "), 7u);
  EXPECT_EQ(spice::Scanner::last_card_end("M1 a b\n"), 0u);
}

}  // namespace
