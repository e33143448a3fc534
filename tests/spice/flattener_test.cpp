#include "deck_fixture.h"

namespace {

using FlattenerTest = DeckFixture;
using circuit::Channel;
using circuit::NetRole;

const char* const kCells =
    ".global vdd gnd\n"
    ".subckt inv a y\n"
    "xp y a vdd vdd sky130_fd_pr__pfet_01v8_hvt w=1e+06u l=150000u\n"
    "xn y a gnd gnd sky130_fd_pr__nfet_01v8 w=650000u l=150000u\n"
    ".ends\n"
    ".subckt buf in out\n"
    "x1 in mid inv\n"
    "x2 mid out inv\n"
    ".ends buf\n";

// Hierarchical names join with a slash; a circuit views the names of its
// top's own cards where they were read: they outlive the deck, and moving
// the circuit keeps them, as do the copied names inside calls.
TEST_F(FlattenerTest, HierarchyNamesOutliveTheDeckAndMoves) {
  file("deck.sp", std::string(kCells) + ".subckt top in out\nxb in m buf\nXI m out inv\nR1 in out 1k\n.ends\n");
  circuit::Circuit c = top({"deck.sp"});
  drop_deck();
  circuit::Circuit moved = std::move(c);
  std::vector<circuit::Circuit> many;
  // Each top() reads a new deck; the vector moves the circuits as it grows.
  for (int i = 0; i < 50; ++i) many.push_back(top({"deck.sp"}));
  drop_deck();
  for (const circuit::Circuit* k : {&moved, &many.front(), &many.back()}) {
    EXPECT_EQ(k->name, "top");
    ASSERT_EQ(k->mosfets.size(), 6u);
    EXPECT_EQ(k->mosfets[0].name, "xb/x1/xp");
    EXPECT_EQ(k->mosfets[3].name, "xb/x2/xn");
    EXPECT_EQ(k->mosfets[5].name, "XI/xn");
    EXPECT_EQ(net(*k, k->ports[0]), "in");
    EXPECT_EQ(k->ports.size(), 2u);
    EXPECT_EQ(net(*k, k->mosfets[0].drain), "xb/mid");
    EXPECT_EQ(net(*k, k->mosfets[3].drain), "m");  // a pin is the caller's net
    EXPECT_EQ(net(*k, k->mosfets[5].drain), "out");
    EXPECT_EQ(k->mosfets[0].source, k->mosfets[4].source);  // one global vdd
    EXPECT_EQ(net(*k, k->mosfets[0].source), "vdd");
    EXPECT_EQ(roles(*k), "ss");
    EXPECT_EQ(k->net_roles[k->mosfets[0].source], NetRole::Supply);
    EXPECT_EQ(k->net_roles[k->mosfets[1].source], NetRole::Ground);
    EXPECT_EQ(k->elements[0].text, "R1 in out 1k");
  }
}

TEST_F(FlattenerTest, MosfetKindsFromOptionsModelsAndNames) {
  file("kinds.sp",
       ".model mylow nmos\n.model myhigh PMOS\n.model dmod d\n"
       "M1 a b c d mylow\nM2 a b c d myhigh\nM3 a b c d nch_lvt\nM4 a b c d PCH\n"
       "X5 a b c d devn\nX6 a b c d devp\n"
       ".subckt nfet_cell a b c d\n.ends\nX7 a b c d nfet_cell\n");
  nmos = {"devn"};
  pmos = {"dev[p]"};
  circuit::Circuit c = top({"kinds.sp"});
  ASSERT_EQ(c.mosfets.size(), 7u);
  std::string types;
  for (const auto& m : c.mosfets) types += m.type == Channel::N ? 'n' : 'p';
  EXPECT_EQ(types, "npnpnpn");  // a device subcircuit is a MOSFET even when defined
  EXPECT_TRUE(c.black_boxes.empty());
}

TEST_F(FlattenerTest, BlackBoxesAndOtherElementsAreKept) {
  file("bb.sp",
       "* deck\nXA in out vdd analog_block\nXB out in vdd Analog_Block\nR1 out 0 10k\n"
       "C1 in 0 {cval}\nV1 vdd 0 dc 1.8\n");
  circuit::Circuit c = top({"bb.sp"});
  EXPECT_EQ(c.name, "bb");  // devices outside .subckt: the deck is the top, named after its file
  ASSERT_EQ(c.black_boxes.size(), 2u);
  EXPECT_EQ(c.black_boxes[1].name, "XB");
  EXPECT_EQ(c.black_boxes[1].cell, "analog_block");
  EXPECT_EQ(c.black_boxes[1].pins.size(), 3u);
  // One warning per missing subcircuit.
  EXPECT_EQ(warnings, std::vector{messages::located("bb.sp", 2, messages::Message::BlackBox, {"analog_block"})});
  ASSERT_EQ(c.elements.size(), 3u);
  EXPECT_EQ(c.elements[0].text, "R1 out 0 10k");
  EXPECT_EQ(c.elements[2].text, "V1 vdd 0 dc 1.8");
  EXPECT_EQ(c.elements[1].nets.size(), 2u);
}

// A layout tool's top names its rails other than its cells do; the bulks
// and sources show which is which. A lone inverter on unusual names shows
// too little: its nets are said to look like rails. Names given add to the
// usual ones, or replace them.
TEST_F(FlattenerTest, RailsByNameOptionGlobalBulksAndSources) {
  const std::string cell =
      ".global vq\n.subckt c A Y VGND VNB VPB VPWR vq\nX0 VGND A Y VNB sky130_fd_pr__nfet_01v8\n"
      "X1 VPWR A Y VPB sky130_fd_pr__pfet_01v8_hvt\nX2 vq Y VPWR VPB sky130_fd_pr__pfet_01v8_hvt\n.ends\n";
  const struct {
    std::string deck;
    const char* roles;  // of the ports
    std::size_t rail_like = 0;
    std::vector<std::string> supply = {}, ground = {};
    bool usual = true;
  } rows[] = {
      {cell, "ssGBBSS"},  // vq reaches p-channel sources only
      {cell, "ssGBBSS", 0, {"vq"}, {"VGND"}},
      {cell, "ssGBBsS", 0, {"vq"}, {"VGND"}, false},
      {".subckt top a y vccd1 vssd1\nmp1 m a vccd1 vccd1 pmos\nmn1 m a vssd1 vssd1 nmos\n"
       "mp2 y m vccd1 vccd1 pmos\nmn2 y m vssd1 vssd1 nmos\n.ends\n",
       "ssSG"},
      {".subckt top a y pw gr\nmp1 y a pw pw pmos\nmn1 y a gr gr nmos\n.ends\n", "ssss", 2},
      // Bulk and source tied on a signal net: no rail.
      {".subckt top a y x vccd1 vssd1\nmp1 x a y x pmos\nmp2 y a vccd1 vccd1 pmos\nmp3 x y vccd1 vccd1 pmos\n"
       "mn1 y a vssd1 vssd1 nmos\nmn2 x y vssd1 vssd1 nmos\n.ends\n",
       "sssSG"},
  };
  for (const auto& row : rows) {
    file("t.sp", row.deck);
    supply = row.supply;
    ground = row.ground;
    usual_rails = row.usual;
    circuit::Circuit c = top({"t.sp"});
    EXPECT_EQ(roles(c), row.roles) << row.deck;
    EXPECT_EQ(circuit::Rails::rail_like(c).size(), row.rail_like) << row.deck;
  }
}

}  // namespace
