#include "deck_fixture.h"
#include "profile/messages/messages.h"

#include <cmath>

#include "profile/spice/values.h"

namespace {

using ReaderTest = DeckFixture;

TEST_F(ReaderTest, CardsAndNamesAreCaseInsensitiveFirstSpellingWins) {
  file("inv.sp",
       ".subckt other a y vdd gnd\n.ends\n"
       ".SUBCKT Inv A Y Vdd GND\n"
       "m1 y a VDD vdd PMOS_x L=1u W=2u\n"
       "M2 Y A gnd Gnd nmos_x\n"
       ".Ends inv\n"
       ".MODEL pmos_x PMOS level=1\n"
       ".model NMOS_X nmos\n"
       ".END\n"
       "this line is never read\n");
  circuit::Circuit c = top({"inv.sp"}, "INV");
  EXPECT_EQ(c.name, "Inv");
  ASSERT_EQ(c.net_count(), 4u);
  EXPECT_EQ(std::vector<std::string>(c.net_names.begin(), c.net_names.end()),
            (std::vector<std::string>{"A", "Y", "Vdd", "GND"}));
  ASSERT_EQ(c.mosfets.size(), 2u);
  EXPECT_EQ(c.mosfets[0].type, circuit::Channel::P);
  EXPECT_EQ(c.mosfets[1].type, circuit::Channel::N);
  EXPECT_EQ(c.mosfets[0].drain, c.mosfets[1].drain);
  EXPECT_EQ(c.mosfets[0].source, net_named(c, "Vdd"));
  EXPECT_TRUE(warnings.empty());
}

std::string numbered(const char* prefix, int i) {
  std::string s = prefix;
  s += std::to_string(i);
  return s;
}

// A body large enough that the reader takes room ahead for the rest of the
// file, with lines of uneven length (a long line after short ones makes the
// estimate low): every card keeps its name and nets.
TEST_F(ReaderTest, ALargeBodyKeepsEveryCard) {
  std::string text = ".subckt chain in out vdd gnd\n";
  const int stages = 9000, long_one = 6000;
  for (int i = 0; i < stages; ++i) {
    std::string a = i == 0 ? std::string("in") : numbered("n", i);
    std::string y = i + 1 == stages ? std::string("out") : numbered("n", i + 1);
    if (i == long_one) {
      a += std::string(200, 'q');
      text += numbered("r", i) + " " + numbered("n", i) + " " + a + " 1k\n";
    }
    text += numbered("mp", i) + " " + y + " " + a + " vdd vdd pmos\n";
    text += numbered("mn", i) + " " + y + " " + a + " gnd gnd nmos\n";
  }
  text += ".ends\n";
  file("chain.sp", text);
  circuit::Circuit c = top({"chain.sp"});
  ASSERT_EQ(c.mosfets.size(), 2u * stages);
  ASSERT_EQ(c.elements.size(), 1u);
  EXPECT_EQ(c.net_names[c.elements[0].nets[1]], numbered("n", long_one) + std::string(200, 'q'));
  for (int i = 0; i < stages; ++i) {
    const circuit::Mosfet& p = c.mosfets[2 * i];
    const circuit::Mosfet& n = c.mosfets[2 * i + 1];
    ASSERT_EQ(p.name, numbered("mp", i));
    ASSERT_EQ(n.name, numbered("mn", i));
    ASSERT_EQ(p.drain, n.drain);
    ASSERT_EQ(p.gate, n.gate);
    if (i > 0 && i != long_one) {
      ASSERT_EQ(c.net_names[p.gate], numbered("n", i));
    }
    if (i + 1 < stages) {
      ASSERT_EQ(c.net_names[p.drain], numbered("n", i + 1));
    }
  }
  EXPECT_EQ(c.net_names[c.mosfets.back().drain], "out");
  EXPECT_EQ(c.net_names[c.mosfets.front().gate], "in");
}

// A file is read a piece at a time: cards continued over comment and blank
// lines keep all their words wherever a piece ends, and lines keep their
// numbers.
TEST_F(ReaderTest, ALargeFileReadInPiecesKeepsCardsAndLines) {
  std::string text = ".subckt top a vdd gnd\n";
  const int cards = 40000;  // about 1.5 MB
  int line = 1;
  for (int i = 0; i < cards; ++i) {
    text += numbered("m", i) + " " + numbered("n", i + 1) + "\n* between\n\n   + " + numbered("n", i) +
            "\n+ gnd gnd nmos w=1u\n";
    line += 5;
  }
  text += ".ends\n";
  file("big.sp", text);
  circuit::Circuit c = top({"big.sp"});
  ASSERT_EQ(c.mosfets.size(), static_cast<std::size_t>(cards));
  for (int i = 0; i < cards; ++i) {
    const circuit::Mosfet& m = c.mosfets[i];
    ASSERT_EQ(m.name, numbered("m", i));
    ASSERT_EQ(c.net_names[m.drain], numbered("n", i + 1));
    ASSERT_EQ(c.net_names[m.gate], numbered("n", i));
    ASSERT_EQ(c.net_names[m.source], "gnd");
  }
  file("bad.sp", text + "* note\nM9 x\n");
  EXPECT_EQ(error({"bad.sp"}),
            "bad.sp:" + std::to_string(line + 3) + ": MOSFET M9 needs drain, gate, source, bulk and a model");
}

TEST_F(ReaderTest, IncludeAndLibAreRelativeToTheIncludingFile) {
  file("top.sp",
       ".include 'sub/a.sp'\n"
       ".lib sub/corners.lib tt\n"
       ".param wn=1u wp = {2*wn}\n"
       ".subckt top i o vdd vss\n"
       "xa i m vdd vss a\n"
       "xc m o vdd vss c w={wp} l=150000u\n"
       ".ends\n");
  file("sub/a.sp", ".inc b.sp\n");
  file("sub/b.sp",
       ".subckt a x y vp vn\n"
       "mp y x vp vp pch\n"
       "mn y x vn vn nch\n"
       ".ends a\n");
  file("sub/corners.lib",
       ".lib ff\n.subckt c x y vp vn\nmn y x vn vn nch\n.ends\n.endl ff\n"
       ".lib tt\n.subckt c x y vp vn\nmp y x vp vp pch\nmn y x vn vn nch\n.ends\n.endl tt\n");
  circuit::Circuit c = top({"top.sp"});
  ASSERT_EQ(c.mosfets.size(), 4u);  // the tt section's c has two MOSFETs
  EXPECT_EQ(c.mosfets[2].name, "xc/mp");
}

TEST_F(ReaderTest, BadCardsNameFileAndLine) {
  file("cells.sp", "* cells\n.subckt a x y\n.ends\n.ends\n");
  EXPECT_EQ(error({"cells.sp"}), "cells.sp:4: .ends without .subckt");
  file("open.sp", "\n.subckt a x y\nR1 x y 1k\n");
  EXPECT_EQ(error({"open.sp"}), "open.sp:2: .subckt a has no .ends");
  file("mos.sp", "M1 d g s nmos\n");
  EXPECT_EQ(error({"mos.sp"}), "mos.sp:1: MOSFET M1 needs drain, gate, source, bulk and a model");
  file("inc.sp", "R1 a b 1\n.include nowhere.sp\n");
  EXPECT_EQ(error({"inc.sp"}), messages::located("inc.sp:2", messages::Message::CannotOpen, {"nowhere.sp"}));
  file("lib.sp", "R1 a b 1\n.lib inc.sp ss\n");
  EXPECT_EQ(error({"lib.sp"}), "lib.sp:2: no section ss in inc.sp");
  file("twice.sp", ".subckt a x\nR1 x 0 1k\n.ends\n.subckt A x\nR1 x 0 2k\n.ends\n");
  EXPECT_EQ(error({"twice.sp"}), messages::located("twice.sp:4", messages::Message::AlreadyDefined, {"a", "twice.sp", "1"}));
  file("ends.sp", ".subckt a x\n.ends b\n");
  EXPECT_EQ(error({"ends.sp"}), "ends.sp:2: .ends b closes .subckt a");
  file("name.sp", ".subckt\n");
  EXPECT_EQ(error({"name.sp"}), "name.sp:1: .subckt without a name");
  file("x.sp", "R1 a b 1\nX1\n");
  EXPECT_EQ(error({"x.sp"}), "x.sp:2: X1 calls no subcircuit");
  file("r.sp", "R1 a\n");
  EXPECT_EQ(error({"r.sp"}), "r.sp:1: R1 needs 2 nodes");
  EXPECT_EQ(error({"missing.sp"}), messages::format(messages::Message::CannotOpen, {"missing.sp"}));
  const char bin[] = "R1 a b 1\n\nR2 a\0b 1\n";
  file("bin.sp", std::string(bin, sizeof bin - 1));
  EXPECT_EQ(error({"bin.sp"}), "bin.sp:3: NUL byte: not a text file");
}

TEST_F(ReaderTest, BlackBoxEntriesGiveWayToDefinitions) {
  // As a layout tool writes it: empty entries for the cells, then the top;
  // the library (read after it) and a copy of a cell in the deck itself.
  const std::string inv = ".subckt inv a y vdd gnd\nmp y a vdd vdd pmos\nmn y a gnd gnd nmos\n.ends\n";
  file("design.sp", ".subckt inv a y vdd gnd\n.ends\n.subckt buf a y vdd gnd\n.ends\n" + inv +
                        ".subckt top i o vdd gnd\nx1 i m vdd gnd inv\nx2 m o vdd gnd buf\n.ends\n");
  file("cells.sp", ".subckt buf a y vdd gnd\nx1 a m vdd gnd inv\nx2 m y vdd gnd inv\n.ends\n"
                   ".subckt inv a y vdd gnd\n.ends\n" + inv);
  circuit::Circuit c = top({"design.sp"}, "", {"cells.sp"});
  EXPECT_EQ(c.name, "top");
  EXPECT_EQ(c.mosfets.size(), 6u);
  ASSERT_EQ(cells.size(), 2u);  // the library's buf, and inv: the deck's copy is the library's cell
  EXPECT_TRUE(warnings.empty()) << warnings.front();

  // An entry whose pins differ from the definition is said once.
  file("odd.sp", ".subckt inv a y vdd\n.ends\n" + inv + "x1 i o vdd gnd inv\n");
  top({"odd.sp"});
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], messages::located("odd.sp:3", messages::Message::BlackBoxPins, {"inv", "odd.sp:1", "odd.sp:3"}));
}

TEST_F(ReaderTest, AFileReadTwiceIsReadOnce) {
  file("cells.sp", ".subckt inv a y vdd gnd\nmp y a vdd vdd pmos\nmn y a gnd gnd nmos\n.ends\n");
  file("top.sp", ".include cells.sp\n.include ./cells.sp\nx1 i o vdd gnd inv\n");
  circuit::Circuit c = top({"top.sp"}, "", {"cells.sp"});
  EXPECT_EQ(c.mosfets.size(), 2u);
  ASSERT_EQ(cells.size(), 1u);  // given as a library, the included file's cell is a cell
  EXPECT_EQ(cells[0].name, "inv");
}

TEST(Values, NumbersScalesAndParameterExpressions) {
  const spice::Params params = {{"wn", 0.42e-6}, {"k", 3}};
  const std::pair<const char*, double> good[] = {
      {"650000u", 0.65},  {"1e+06u", 1.0}, {"10meg", 1e7}, {"2.5", 2.5},        {"3mil", 76.2e-6},
      {"1.5fF", 1.5e-15}, {"{wn*2}", 0.84e-6}, {"'k/2+1'", 2.5}, {"-(k - 1)", -2}, {"WN", 0.42e-6},
  };
  for (auto [text, value] : good) {
    std::optional<double> v = spice::evaluate(text, params);
    ASSERT_TRUE(v.has_value()) << text;
    EXPECT_NEAR(*v, value, 1e-9 * std::abs(value)) << text;
  }
  for (const char* bad : {"", "{wp}", "1/0", "(2", "2 3", "4x5"}) EXPECT_FALSE(spice::evaluate(bad, params)) << bad;
}

TEST_F(ReaderTest, MosfetSizesWithMultipliersAndParameters) {
  file("s.sp", ".param wp=2u lp={0.15u}\n.subckt s a y vdd gnd\nmp y a vdd vdd pmos w=wp l=lp m=2 nf=2\n"
               "xn y a gnd gnd nfet w = 650000u l=150000u\n.ends\n");
  circuit::Circuit c = top({"s.sp"});
  ASSERT_EQ(c.mosfets.size(), 2u);
  EXPECT_FLOAT_EQ(c.mosfets[0].width, 4e-6f);
  EXPECT_FLOAT_EQ(c.mosfets[0].length, 0.15e-6f);
  EXPECT_FLOAT_EQ(c.mosfets[1].width, 0.65f);  // a layout tool's micrometres written with a u
}

TEST(Glob, CaseInsensitiveWithStarsMarksAndSets) {
  EXPECT_TRUE(circuit::glob_match("*NFET*", "sky130_fd_pr__nfet_01v8"));
  EXPECT_TRUE(circuit::glob_match("[np]ch_?v", "PCH_3v"));
  EXPECT_TRUE(circuit::glob_match("a*b*c", "aXbYbc"));
  EXPECT_FALSE(circuit::glob_match("[!np]ch", "nch"));
  EXPECT_FALSE(circuit::glob_match("nch", "nch2"));
  EXPECT_FALSE(circuit::glob_match("*a*a*a*a*b", std::string(200, 'a')));
}

}  // namespace
