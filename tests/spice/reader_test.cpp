#include <algorithm>
#include <cmath>

#include "deck_fixture.h"
#include "profile/spice/values.h"

namespace {

using namespace std::literals;
using ReaderTest = DeckFixture;
using M = messages::Message;
using circuit::Channel;

TEST_F(ReaderTest, CardsAndNamesAreCaseInsensitiveFirstSpellingWins) {
  file("inv.sp",
       ".subckt other a y vdd gnd\n.ends\n"
       ".SUBCKT Inv A Y Vdd GND\nm1 y a VDD vdd PMOS_x L=1u W=2u\nM2 Y A gnd Gnd nmos_x\n.Ends inv\n"
       ".MODEL pmos_x PMOS level=1\n.model NMOS_X nmos\n.END\nthis line is never read\n");
  circuit::Circuit c = top({"inv.sp"}, "INV");
  EXPECT_EQ(c.name, "Inv");
  EXPECT_EQ(std::vector<std::string>(c.net_names.begin(), c.net_names.end()),
            (std::vector<std::string>{"A", "Y", "Vdd", "GND"}));
  ASSERT_EQ(c.mosfets.size(), 2u);
  EXPECT_EQ(c.mosfets[0].type, circuit::Channel::P);
  EXPECT_EQ(c.mosfets[1].type, circuit::Channel::N);
  EXPECT_EQ(c.mosfets[0].drain, c.mosfets[1].drain);
  EXPECT_EQ(net(c, c.mosfets[0].source), "Vdd");
  EXPECT_TRUE(warnings.empty());
}

std::string numbered(const char* prefix, int i) { return prefix + std::to_string(i); }

// A large file is read a piece at a time, and a large body takes room
// ahead for the rest of the file: cards continued over comment and blank
// lines keep all their words wherever a piece ends, a long line after short
// ones (which makes the estimate low) changes nothing, and lines keep their
// numbers.
TEST_F(ReaderTest, ALargeFileKeepsEveryCardAndLine) {
  std::string text = ".subckt chain in out vdd gnd\n";
  const int stages = 20000, long_one = 15000;  // about 1.7 MB
  for (int i = 0; i < stages; ++i) {
    std::string a = i == 0 ? "in"s : numbered("n", i);
    std::string y = i + 1 == stages ? "out"s : numbered("n", i + 1);
    if (i == long_one) {
      a += std::string(200, 'q');
      text += numbered("r", i) + " " + numbered("n", i) + " " + a + " 1k\n";
    }
    text += numbered("mp", i) + " " + y + "\n* between\n\n   + " + a + "\n+ vdd vdd pmos w=1u\n";
    text += numbered("mn", i) + " " + y + " " + a + " gnd gnd nmos\n";
  }
  file("chain.sp", text + ".ends\n");
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
    ASSERT_EQ(c.net_names[p.source], "vdd");
    ASSERT_EQ(c.net_names[p.gate], i == 0 ? "in"s : numbered("n", i) + std::string(i == long_one ? 200 : 0, 'q'));
    ASSERT_EQ(c.net_names[p.drain], i + 1 == stages ? "out"s : numbered("n", i + 1));
  }
  file("bad.sp", text + "* note\nM9 x\n");
  int line = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 2;
  EXPECT_EQ(error({"bad.sp"}), messages::located("bad.sp", line, M::MosfetNodes, {"M9"}));
}

TEST_F(ReaderTest, IncludesAreRelativeToTheIncludingFileAndReadOnce) {
  file("top.sp",
       ".include 'sub/a.sp'\n.lib sub/corners.lib tt\n.param wn=1u wp = {2*wn}\n"
       ".subckt top i o vdd vss\nxa i m vdd vss a\nxc m o vdd vss c w={wp} l=150000u\n.ends\n");
  file("sub/a.sp", ".inc b.sp\n");
  file("sub/b.sp", ".subckt a x y vp vn\nmp y x vp vp pch\nmn y x vn vn nch\n.ends a\n");
  file("sub/corners.lib",
       ".lib ff\n.subckt c x y vp vn\nmn y x vn vn nch\n.ends\n.endl ff\n"
       ".lib tt\n.subckt c x y vp vn\nmp y x vp vp pch\nmn y x vn vn nch\n.ends\n.endl tt\n");
  circuit::Circuit c = top({"top.sp"});
  ASSERT_EQ(c.mosfets.size(), 4u);  // the tt section's c has two MOSFETs
  EXPECT_EQ(c.mosfets[2].name, "xc/mp");

  // A file included twice is read once; given as a library too, its cells
  // are cells.
  file("twice.sp", ".include sub/b.sp\n.include ./sub/b.sp\nx1 i o vdd gnd a\n");
  c = top({"twice.sp"}, "", {"sub/b.sp"});
  EXPECT_EQ(c.mosfets.size(), 2u);
  ASSERT_EQ(cells.size(), 1u);
  EXPECT_EQ(cells[0].name, "a");
}

// Every fault in the input ends the run with one message, at the card's
// file and line where it has one.
TEST_F(ReaderTest, BadInputNamesFileAndLine) {
  file("inc.sp", "R1 a b 1\n");
  for (int i = 0; i <= 64; ++i) file(numbered("i", i) + ".sp", ".include " + numbered("i", i + 1) + ".sp\n");
  std::string doubling = ".subckt l0 a\nm1 a a a a nch\n.ends\n", nested = ".subckt c0 a\nm1 a a a a nch\n.ends\n";
  for (int i = 1; i <= 40; ++i)
    doubling += numbered(".subckt l", i) + numbered(" a\nx1 a l", i - 1) + numbered("\nx2 a l", i - 1) + "\n.ends\n";
  for (int i = 1; i <= 260; ++i) nested += numbered(".subckt c", i) + " a\n" + numbered("x1 a c", i - 1) + "\n.ends\n";
  auto at = [](int line, M m, std::initializer_list<std::string_view> args = {}) {
    return messages::located("bad.sp", line, m, args);
  };
  const struct {
    std::string deck, want;
    const char* top = "";
  } rows[] = {
      {"* cells\n.subckt a x y\n.ends\n.ends\n", at(4, M::EndsWithoutSubckt)},
      {"\n.subckt a x y\nR1 x y 1k\n", at(2, M::NoEnds, {"a"})},
      {".subckt\n", at(1, M::SubcktWithoutName)},
      {".subckt a x\nR1 x 0 1k\n.ends\n.subckt A x\nR1 x 0 2k\n.ends\n",
       at(4, M::AlreadyDefined, {"a", "bad.sp", "1"})},
      {"* deck\nM1 d g s nmos\n", at(2, M::MosfetNodes, {"M1"})},
      {"R1 a b 1\nX1\n", at(2, M::NoCallee, {"X1"})},
      {"* deck\nR1 a\n", at(2, M::TooFewNodes, {"R1", "2"})},
      {"* deck\n#1 a b\n", at(2, M::UnknownCard, {"#1"})},
      {"R1 a b 1\n\nR2 a\0b 1\n"s, at(3, M::NotText)},
      {"* title\n+ a b\n", at(2, M::LoneContinuation)},
      {"R1 a b 1\nM1 d g s b n w={2*wn\n", at(2, M::UnclosedQuote, {"{"})},
      {".include\n", at(1, M::NoFileName, {".include"})},
      {".include i0.sp\n", messages::located("i63.sp", 1, M::IncludedTooDeep, {"64"})},
      {"\nM1 a b c d dmod\n.model dmod d\n", at(2, M::NoChannel, {"M1", "dmod"})},
      // A model file not at hand leaves a model nothing else names.
      {".lib models.lib tt\nM1 a b c d n18\n", at(2, M::NoChannelUnread, {"M1", "n18", "models.lib"})},
      {"X1 a b c sky130_fd_pr__nfet_01v8\n", at(1, M::DeviceNodes, {"sky130_fd_pr__nfet_01v8", "3"})},
      {".subckt inv a y\nm1 y a 0 0 nch\n.ends\nx1 a b c inv\n", at(4, M::PinCount, {"x1", "inv", "3", "2"})},
      {".subckt a x\nx1 x b\n.ends\n.subckt b x\nx1 x a\n.ends\nX0 n a\n", at(5, M::CallsItself, {"a"})},
      {nested + "x0 a c260\n", at(17, M::NestedTooDeep, {"256"})},
      // Each level calls the one below twice: refused before it is expanded.
      {doubling, messages::format(M::TooLarge, {"l40", "50000000"})},
      {".subckt a p\n.ends\n.subckt b p\n.ends\n", messages::format(M::SeveralTops, {"a, b"})},
      {".subckt a p\n.ends\n", messages::format(M::NoTop, {"nosuch"}), "nosuch"},
      {"* nothing\n.param a=1\n", messages::format(M::NothingToExtract)},
  };
  for (const auto& row : rows) {
    file("bad.sp", row.deck);
    EXPECT_EQ(error({"bad.sp"}, row.top), row.want);
  }
  EXPECT_EQ(error({"missing.sp"}), messages::format(M::CannotOpen, {"missing.sp"}));
}

TEST_F(ReaderTest, WarningsNameFileAndLineAndTheReadGoesOn) {
  const std::string inv = ".subckt inv a y vdd gnd\nmp y a vdd vdd pmos\nmn y a gnd gnd nmos\n.ends\n";
  file("lib.sp", "R1 a b 1\nR2 a b 1\n" + inv);
  file("corners.lib", ".lib tt\n.endl\n");
  const struct {
    std::string deck;
    std::vector<std::string> want;
    std::vector<std::string> libraries = {};
  } rows[] = {
      {".frobnicate 3\nR1 a b 1\n", {messages::located("w.sp", 1, M::CardIgnored, {".frobnicate"})}},
      {"R1 a b 1\ny1 a b\n", {messages::located("w.sp", 2, M::UnknownElement, {"y1"})}},
      {".subckt inverter a y\nR1 a y 1\n.ends inverte\n",
       {messages::located("w.sp", 3, M::EndsMismatch, {"inverte", "inverter"})}},
      // Model files not at hand, or without the section: once each.
      {".lib /nowhere/models.lib tt\nR1 a b 1\n.include sub/nowhere.sp\n.lib /nowhere/models.lib ff\n"
       ".include sub/nowhere.sp\n.lib corners.lib ss\nMN1 a b c d nch\n",
       {messages::located("w.sp", 1, M::Unread, {"/nowhere/models.lib"}),
        messages::located("w.sp", 3, M::Unread, {"sub/nowhere.sp"}),
        messages::located("w.sp", 6, M::NoSection, {"ss", "corners.lib"})}},
      // Once per library file.
      {"R1 a b 1\n", {messages::located("lib.sp", 1, M::OutsideSubckt)}, {"lib.sp"}},
      // An entry whose pins differ from the definition.
      {".subckt inv a y vdd\n.ends\n" + inv + "x1 i o vdd gnd inv\n",
       {messages::located("w.sp", 3, M::BlackBoxPins, {"inv", "w.sp:1", "w.sp:3"})}},
  };
  for (const auto& row : rows) {
    warnings.clear();
    file("w.sp", row.deck);
    top({"w.sp"}, "", row.libraries);
    EXPECT_EQ(warnings, row.want);
  }
}

// A simulator takes a deck's first line as its title: a first line that
// reads as no card is the title; one that reads as a card is one only in a
// deck that a simulator runs (with a warning, wherever the deck says so),
// never in an included file.
TEST_F(ReaderTest, TheFirstLineOfASimulatorDeckIsItsTitle) {
  const std::string inv = "M1 y a vdd vdd pch\nM2 y a 0 0 nch\n";
  std::string far = "R0 a 0 1k\n";
  for (int i = 0; i < 20000; ++i) far += "* a comment line to make the deck longer than one piece\n";
  file("inc.sp", "R9 a b 1k\n.tran 1n 2n\n");
  const struct {
    std::string deck;
    const char* read;  // MOSFETs, elements, black boxes
    std::vector<std::string> warnings = {};
  } rows[] = {
      {"Inverter test deck\n" + inv + ".tran 1n 10n\n", "2 0 0"},
      {"MOSFET inverter\n" + inv, "2 0 0"},
      {"Voltage divider test deck\n" + inv, "2 0 0"},
      {"Inverter 'test\n" + inv, "2 0 0"},
      {"* Inverter test deck\n" + inv, "2 0 0"},
      {inv, "2 0 0"},
      {"Vin a 0 pulse(0 1 0 1n)\n" + inv, "2 1 0"},
      {inv + ".OP\n", "1 0 0", {messages::located("t.sp", 1, M::TitleNotCard, {".OP", "M1"})}},
      {"XOR gate test\n" + inv + ".control\nrun\n.endc\n", "2 0 0",
       {messages::located("t.sp", 1, M::TitleNotCard, {".control", "XOR"})}},
      {"X1 a b test\n" + far + inv + "  .measure tran t1 when v(y)=0.5\n", "2 1 0",
       {messages::located("t.sp", 1, M::TitleNotCard, {".measure", "X1"})}},
      {"X1 a b test\n" + far + inv, "2 1 1", {messages::located("t.sp", 1, M::BlackBox, {"test"})}},
      {"* deck\n.include inc.sp\n" + inv, "2 1 0"},
  };
  for (const auto& row : rows) {
    warnings.clear();
    file("t.sp", row.deck);
    circuit::Circuit c = top({"t.sp"});
    EXPECT_EQ(std::to_string(c.mosfets.size()) + " " + std::to_string(c.elements.size()) + " " +
                  std::to_string(c.black_boxes.size()),
              row.read)
        << row.deck.substr(0, 80);
    EXPECT_EQ(warnings, row.warnings) << row.deck.substr(0, 80);
  }
  // In a library the first line is a card.
  file("lib.sp", ".subckt inv a y vdd\nM1 y a vdd vdd pch\n.ends\n");
  file("cells.sp", "X1 a y inv\n.tran 1n 2n\n");
  top({"lib.sp"}, "", {"cells.sp"});
  EXPECT_EQ(warnings.back(), messages::located("cells.sp", 1, M::OutsideSubckt));
}

// CDL as LVS tools write it: `/` before the cell name, nets by pin name
// after $PINS, $[model] and $-parameters on device cards, and the pin
// directions of *.PININFO (and of a schematic editor's *.ipin lines).
TEST_F(ReaderTest, CdlCallsPinsModelsAndDirections) {
  file("cells.cdl",
       ".SUBCKT INV A Y VDD VSS\n*.PININFO A:I Y:O VDD:B VSS:B\nMN0 Y A VSS VSS $[nch] $W=1u $L=0.13u\n"
       "MP0 Y A VDD VDD $[pch] W=2u L=0.13u $X=1.5 $Y=2 $ placement\nR0 Y VSS $[rppd] $W=1u $L=2u $SUB=VSS\n.ENDS\n"
       ".SUBCKT BUF A Y VDD VSS\n*.ipin A\n*.opin Y\nXI0 A m VDD VSS / INV\nXI1 m Y VDD VSS /INV\n.ENDS\n"
       ".SUBCKT TOP I O VDD VSS\nXI0 VDD VSS I n1 /\n+ INV2\nXB / BUF $PINS Y=O VSS=VSS A=n1 VDD=VDD\n"
       "X2 n2 O /LEAF\n.ENDS\n.SUBCKT INV2 VDD VSS A Y\nXI0 A Y VDD VSS / INV\n.ENDS\n");
  circuit::Circuit c = top({"cells.cdl"}, "TOP", {"cells.cdl"});
  EXPECT_EQ(warnings, std::vector{messages::located("cells.cdl", 17, M::BlackBox, {"LEAF"})});
  ASSERT_EQ(c.mosfets.size(), 6u);
  const char* const path[] = {"XI0/XI0/MN0", "XI0/XI0/MP0", "XB/XI0/MN0", "XB/XI0/MP0", "XB/XI1/MN0", "XB/XI1/MP0"};
  const char* const gate[] = {"I", "I", "n1", "n1", "XB/m", "XB/m"};
  const char* const drain[] = {"n1", "n1", "XB/m", "XB/m", "O", "O"};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(c.mosfets[i].name, path[i]);
    EXPECT_EQ(net(c, c.mosfets[i].gate), gate[i]);
    EXPECT_EQ(net(c, c.mosfets[i].drain), drain[i]);
    EXPECT_EQ(c.mosfets[i].type, i % 2 ? Channel::P : Channel::N);
    EXPECT_FLOAT_EQ(c.mosfets[i].width, i % 2 ? 2e-6f : 1e-6f);
  }
  ASSERT_EQ(c.black_boxes.size(), 1u);
  EXPECT_EQ(c.black_boxes[0].cell, "LEAF");
  ASSERT_EQ(c.elements.size(), 3u);
  EXPECT_EQ(c.card(c.elements[0]), "XI0/XI0/R0 n1 VSS rppd W=1u L=2u SUB=VSS");
  // Directions by pin, where given.
  ASSERT_EQ(cells.size(), 4u);
  auto directions = [](const circuit::Circuit& cell) {
    std::string out;
    for (circuit::PinDirection d : cell.port_directions) out += "-IOB"[static_cast<int>(d)];
    return out;
  };
  EXPECT_EQ(directions(cells[0]), "IOBB");
  EXPECT_EQ(directions(cells[1]), "IO--");
  EXPECT_EQ(directions(cells[2]), "");
  // A pin the cell does not have.
  file("bad.cdl", ".SUBCKT INV A Y\nM0 Y A 0 0 nch\n.ENDS\nX1 / INV $PINS A=a Z=z\n");
  EXPECT_EQ(error({"bad.cdl"}), messages::located("bad.cdl", 4, M::NoSuchPin, {"X1", "INV", "Z"}));
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
  EXPECT_EQ(cells.size(), 2u);  // the library's buf, and inv: the deck's copy is the library's cell
  EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST(Values, NumbersScalesAndParameterExpressions) {
  const spice::Params params = {{"wn", 0.42e-6}, {"k", 3}};
  const std::pair<const char*, double> good[] = {
      {"650000u", 0.65},  {"1e+06u", 1.0}, {"10meg", 1e7}, {"2.5", 2.5},        {"3mil", 76.2e-6},
      {"1.5fF", 1.5e-15}, {"{wn*2}", 0.84e-6}, {"'k/2+1'", 2.5}, {"-(k - 1)", -2}, {"WN", 0.42e-6},
      {".5u", 0.5e-6},    {"5.", 5},       {"1e-999", 0},   {"2E-1N", 0.2e-9},   {"7e", 7},
  };
  for (auto [text, value] : good) {
    std::optional<double> v = spice::evaluate(text, params);
    ASSERT_TRUE(v.has_value()) << text;
    EXPECT_NEAR(*v, value, 1e-9 * std::abs(value)) << text;
  }
  for (const char* bad : {"", "{wp}", "1/0", "(2", "2 3", "4x5", "1e999", "0x10", "1.2.3"}) EXPECT_FALSE(spice::evaluate(bad, params)) << bad;
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
