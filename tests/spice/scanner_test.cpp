#include "profile/spice/scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

std::vector<std::pair<int, Words>> cards(const std::string& text) {
  spice::Scanner s("f.sp", text);
  spice::Card c;
  std::vector<std::pair<int, Words>> out;
  while (s.next(c)) out.emplace_back(c.line, Words(c.words.begin(), c.words.end()));
  return out;
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
      "X1 net$1 a_1# cell w={2 * wn} l='x + 1' m=\"3\"\n");
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].first, 2);
  EXPECT_EQ(got[0].second, (Words{"M1", "d", "g", "s", "b", "nmos", "w", "=", "1u", "l", "=", "2u"}));
  EXPECT_EQ(got[1].first, 6);
  EXPECT_EQ(got[1].second, (Words{"R1", "a", "b", "10k"}));
  // `$` inside a word is part of the name; an expression stays one word.
  EXPECT_EQ(got[2].second, (Words{"X1", "net$1", "a_1#", "cell", "w", "=", "{2 * wn}", "l", "=", "'x + 1'", "m", "=",
                                  "\"3\""}));
}

// CDL's words beginning with `$` and its pin directions, a schematic
// editor's, and the escapes of layout extractors.
TEST(Scanner, CdlWordsPinLinesAndEscapes) {
  auto got = cards(
      "*.PININFO A:I Y:O\n"
      "*.pininfo_not a card\n"
      "* .PININFO not either\n"
      "  *.ipin A\n"
      "R0 a b $[rppd] $W = 1u $L=2u $ a comment $[x]\n"
      "X1 / INV $PINS A=a\n"
      "M\\$3 \\$19 a\\,b \\ x $comment\n");
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].second, (Words{"*.PININFO", "A:I", "Y:O"}));
  EXPECT_EQ(got[1].first, 4);
  EXPECT_EQ(got[1].second, (Words{"*.ipin", "A"}));
  EXPECT_EQ(got[2].second, (Words{"R0", "a", "b", "rppd", "W", "=", "1u", "L", "=", "2u"}));
  EXPECT_EQ(got[3].second, (Words{"X1", "/", "INV", "$PINS", "A", "=", "a"}));
  EXPECT_EQ(got[4].second, (Words{"M$3", "$19", "a,b", " x"}));
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
