#include "deck_fixture.h"
#include "profile/spice/deck_ports.h"

namespace {

using FlattenerTest = DeckFixture;
using circuit::Channel;
using circuit::NetRole;

const char* const kCells =
    ".global vdd gnd\n"
    ".subckt inv a y\n"
    "xp y a vdd vdd sky130_fd_pr__pfet_01v8_hvt w=1e+06u l=150000u\n"
    "xn y a gnd gnd sky130_fd_pr__nfet_01v8 w=650000u l=150000u\n"
    "C1 a y 1f\n"
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
    // Elements inside calls read with their path and the caller's nets.
    ASSERT_EQ(k->elements.size(), 4u);
    EXPECT_EQ(k->card(k->elements[0]), "xb/x1/C1 in xb/mid 1f");
    EXPECT_EQ(k->card(k->elements[2]), "XI/C1 m out 1f");
    EXPECT_EQ(k->card(k->elements[3]), "R1 in out 1k");
  }
}

// Each MOSFET as "name n|p drain gate source", a blank between them.
std::string described(const circuit::Circuit& c) {
  std::string out;
  for (const circuit::Mosfet& m : c.mosfets) {
    if (!out.empty()) out += ", ";
    out += std::string(m.name) + (m.type == Channel::N ? " n " : " p ") + std::string(c.net_names[m.drain]) + " " +
           std::string(c.net_names[m.gate]) + " " + std::string(c.net_names[m.source]);
  }
  return out;
}

// A defined subcircuit is its body whatever its name; the options and the
// name rules decide for models and for names defined nowhere, and the
// patterns given for a channel replace its name rule. A call of a device
// subcircuit is that device, named as the call.
TEST_F(FlattenerTest, MosfetKindsFromDefinitionsOptionsModelsAndNames) {
  const std::string wrappers =
      ".subckt sky130_fd_pr__nfet_01v8_64Z3AY a_15_n131# a_n175_n243# a_n33_91# a_n73_n131#\n"
      "X0 a_15_n131# a_n33_91# a_n73_n131# a_n175_n243# sky130_fd_pr__nfet_01v8 w=0.42 l=0.15\n.ends\n"
      ".subckt sky130_fd_pr__pfet_01v8_XGS3BL a_15_n100# w_n211_n319# a_n33_n197# a_n73_n100#\n"
      "X0 a_15_n100# a_n33_n197# a_n73_n100# w_n211_n319# sky130_fd_pr__pfet_01v8 w=1 l=0.15\n.ends\n";
  const struct {
    std::string deck;
    std::vector<std::string> nmos, pmos;
    const char* mosfets;
    std::size_t black_boxes = 0;
  } rows[] = {
      {".model mylow nmos\n.model myhigh PMOS\nM1 a b c d mylow\nM2 a b c d myhigh\nM3 a b c d nch_lvt\n"
       "M4 a b c d PCH\nX5 a b c d nfet_x\n",
       {}, {}, "M1 n a b c, M2 p a b c, M3 n a b c, M4 p a b c, X5 n a b c"},
      // Patterns replace the name rule of their channel only; `.model`
      // still decides.
      {".model mylow nmos\nM1 a b c d mylow\nX2 a b c d devn\nX3 a b c d devp\nX4 a b c d pch_x\n"
       "X5 a b c d nch_x\n",
       {"devn"}, {"dev[p]"}, "M1 n a b c, X2 n a b c, X3 p a b c", 2},
      {".model mylow nmos\nX1 a b c d devn\nX2 a b c d pch_x\nX3 a b c d nch_x\n", {"devn"}, {},
       "X1 n a b c, X2 p a b c", 1},
      // A layout tool's wrappers: pins drain, bulk, gate, source; the call
      // is the device, whatever the name rules or patterns say of the name.
      {wrappers + "XXM1 out vdd in vdd sky130_fd_pr__pfet_01v8_XGS3BL\nXXM2 out gnd in gnd sky130_fd_pr__nfet_01v8_64Z3AY\n",
       {}, {}, "XXM1 p out in vdd, XXM2 n out in gnd"},
      {wrappers + "XXM2 out gnd in gnd sky130_fd_pr__nfet_01v8_64Z3AY\n", {"*64Z3AY", "*nfet_01v8"}, {},
       "XXM2 n out in gnd"},
      // An empty entry of a device name defines nothing.
      {".subckt nfet_x d g s b\n.ends\nX1 a b c d nfet_x\n", {}, {}, "X1 n a b c"},
      // A subcircuit of several cards: the MOSFET keeps its own name.
      {".subckt nch_rc d g s b\nM0 d g s b nch\nC0 g b 1f\n.ends\nX1 a b c d nch_rc\n", {}, {}, "X1/M0 n a b c"},
  };
  for (const auto& row : rows) {
    file("kinds.sp", row.deck);
    nmos = row.nmos;
    pmos = row.pmos;
    circuit::Circuit c = top({"kinds.sp"});
    EXPECT_EQ(described(c), row.mosfets) << row.deck;
    EXPECT_EQ(c.black_boxes.size(), row.black_boxes) << row.deck;
    EXPECT_TRUE(c.calls.empty()) << row.deck;  // a device subcircuit's call is no call of a cell
  }
}

// Device subcircuits with parameters, as a process writes them: each call
// gives the device its own sizes, the others keep the defaults; uncalled
// ones (resistors, diodes, an unused MOSFET) are no top while a cell is.
TEST_F(FlattenerTest, DeviceSubcircuitParametersAndTops) {
  file("dev.sp",
       ".subckt rsil n1 n2 l=1e-6 w=1e-6\n.param rsil_res={l*7.0/w}\nRres n1 n2 r={rsil_res} rsil l=l w=w\n.ends rsil\n"
       ".subckt dantenna an cat params: w=0.48e-6 l=0.48e-6\nDdio an cat dantenna\n.ends dantenna\n"
       ".subckt lv_nmos s g d b params: l=0.13e-6 w=0.15e-6\nMtrans s g d b lv_nmos l=l w={w}\n.ends lv_nmos\n"
       ".subckt hv_nmos s g d b params: l=0.45e-6 w=0.3e-6\nMtrans s g d b hv_nmos l=l w=w\n.ends hv_nmos\n"
       ".subckt lv_pmos s g d b params: l=0.13e-6 w=0.15e-6\nMtrans s g d b lv_pmos l=l w=w\n.ends lv_pmos\n"
       ".subckt inv vdd vss i nq\nXn vss i nq vss lv_nmos l=1.3e-07 w=7.8e-07 m=2\nXp vdd i nq vdd lv_pmos\n.ends inv\n");
  circuit::Circuit c = top({"dev.sp"});
  EXPECT_EQ(c.name, "inv");
  EXPECT_EQ(described(c), "Xn n vss i nq, Xp p vdd i nq");
  EXPECT_FLOAT_EQ(c.mosfets[0].width, 1.56e-6f);
  EXPECT_FLOAT_EQ(c.mosfets[0].length, 1.3e-7f);
  EXPECT_FLOAT_EQ(c.mosfets[1].width, 0.15e-6f);
  EXPECT_FLOAT_EQ(c.mosfets[1].length, 0.13e-6f);
  // The same as a library: the MOSFET subcircuits are no cells.
  file("top.sp", ".subckt top a y vdd vss\nX1 vdd vss a y inv\n.ends\n");
  top({"top.sp"}, "", {"dev.sp"});
  std::string names;
  for (const circuit::Circuit& cell : cells) names += cell.name + " ";
  EXPECT_EQ(names, "rsil dantenna inv ");
  // Alone, a device subcircuit is the top.
  file("res.sp", ".subckt rsil n1 n2\nRres n1 n2 1k\n.ends\n");
  EXPECT_EQ(top({"res.sp"}).elements.size(), 1u);
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
  EXPECT_EQ(c.card(c.elements[0]), "R1 out 0 10k");
  EXPECT_EQ(c.card(c.elements[2]), "V1 vdd 0 dc 1.8");
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

// A deck without .subckt: DC voltage sources against a ground name rails
// (a ground so made holds the next), other sources drive inputs, and loaded
// or measured nets are outputs.
TEST_F(FlattenerTest, DeckPortsFromSourcesAndOutputCards) {
  file("tb.sp",
       "* deck\n.param supply=1.2\nVdd vdd 0 DC 1.8\nVp vp 0 {supply}\nVn vn 0 0\nVz vz vn dc 0.5\nVneg vneg 0 -1\n"
       "Va a 0 pulse(0 1.8 0 1n 1n 10n 20n)\nIb b 0 1m\nVac c 0 ac 1\nVk k 0 {unknown}\nM1 y a vdd vdd pch\n"
       "M2 y a 0 0 nch\nM3 w b vp vp pch\nM4 w b vn vn nch\nM5 u c vz vz pch\nM6 u c vneg vneg nch\n"
       "M7 t k vdd vdd pch\nM8 t k 0 0 nch\nCl y 0 1f\n.print tran v(w) V(nothere)\n.control\nplot vdb(t)\n.endc\n");
  circuit::Circuit c = top({"tb.sp"});
  spice::add_deck_ports(c, deck().observed);
  std::string ports;
  for (std::size_t i = 0; i < c.ports.size(); ++i) {
    circuit::NetId p = c.ports[i];
    ports += (i ? ", " : "") + net(c, p) + " " + "sSGB"[static_cast<int>(c.net_roles[p])] + " " +
             "-iob"[static_cast<int>(c.port_directions[i])];
  }
  EXPECT_EQ(ports, "vdd S -, vp S -, vz S -, 0 G -, vn G -, vneg s i, a s i, b s i, c s i, k s i, y s -, w s -, t s -");
  std::string why;
  for (const circuit::RailFound& r : rails_found) why += net(c, r.net) + "=" + "guGsm"[static_cast<int>(r.why)] + " ";
  EXPECT_EQ(why, "vdd=u 0=u vp=s vn=s vz=s ");
}

}  // namespace
