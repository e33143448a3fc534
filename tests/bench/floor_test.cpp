// The floor program's counts on small decks: which lines make MOSFET cards,
// which words are nodes, and lines cut by the end of a read block.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path deck_file(const std::string& name, const std::string& text) {
  fs::path p = fs::path(testing::TempDir()) / ("floor_" + std::to_string(getpid()) + "_" + name);
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

// The floor's one line of output for the given files.
std::string floor_line(const std::string& files) {
  std::string out;
  FILE* pipe = popen(("'" FLOOR_EXE "' " + files).c_str(), "r");
  if (!pipe) return out;
  char buf[256];
  while (std::fgets(buf, sizeof buf, pipe)) out += buf;
  pclose(pipe);
  return out;
}

TEST(Floor, CountsMosfetCardsAndTheirFourNodes) {
  // Blanks before a card, lower-case m, tabs and CR line ends; a card whose
  // nodes go on over `+` lines with a comment between them; other cards'
  // words and model names are no nodes; the last line has no newline.
  fs::path deck = deck_file("cards.sp",
                            ".subckt top a b y\n"
                            "M1 y a gnd gnd nmos l=1u w=2u\n"
                            "  m2 y\ta vdd vdd\r\n"
                            "+ pmos w=2u\r\n"
                            "* a comment: nets x1 x2 are no nodes\n"
                            "R1 x1 x2 10k\n"
                            ".model nmos nmos level=1\n"
                            "M3 y\n"
                            "* between continuation lines\n"
                            "+ b mid\n"
                            "+ gnd nmos l=1u\n"
                            "Mp4 y a vdd vdd pmos");
  EXPECT_EQ(floor_line(deck.string()), "4 MOSFETs, 6 nodes, largest fan-out 3\n");
  // A layout tool's calls of device subcircuits count only when asked.
  fs::path wrapped = deck_file("wrapped.sp", "X1 y a gnd gnd nfet_w\nx2 y a vdd vdd pfet_w\nM3 y b gnd gnd nmos\n");
  EXPECT_EQ(floor_line(wrapped.string()), "1 MOSFETs, 3 nodes, largest fan-out 1\n");
  EXPECT_EQ(floor_line("--x-devices " + wrapped.string()), "3 MOSFETs, 5 nodes, largest fan-out 2\n");
}

TEST(Floor, ReadsFilesAsOneStreamAcrossBlockEnds) {
  // More than a read block of cards, and a comment line longer than a block,
  // so that cards and one line are cut by a block's end.
  std::string text;
  const int kCards = 60000;
  for (int i = 0; i < kCards; ++i) {
    char card[64];
    std::snprintf(card, sizeof card, "M%d n%d n%d gnd gnd nmos\n", i, i + 1, i);
    text += card;
    if (i == kCards / 2) text += "*" + std::string(3 << 20, '-') + "\n";
  }
  fs::path first = deck_file("first.sp", text);
  // The second file's card shares nodes with the first's.
  fs::path second = deck_file("second.sp", "M99999 n0 hub vdd vdd pmos\n");
  EXPECT_EQ(floor_line(first.string() + " " + second.string()),
            std::to_string(kCards + 1) + " MOSFETs, " + std::to_string(kCards + 4) + " nodes, largest fan-out 1\n");
}

}  // namespace
