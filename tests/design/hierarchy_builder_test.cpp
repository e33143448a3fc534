// Which subcircuits stand as modules of their own: kept where every port
// keeps its function across the boundary, flattened into the caller where a
// channel reaches a port that it does not always drive, where nothing of
// logic is inside, or where calls would make it another circuit each time.
#include <algorithm>

#include "deck_fixture.h"
#include "profile/design/hierarchy_builder.h"

namespace {

using circuit::NetRole;
using recognize::PortUse;

class HierarchyTest : public DeckFixture {
 protected:
  // Reads the files and builds the top with the hierarchy kept.
  circuit::Circuit kept(const std::string& deck, const std::string& top_name = "") {
    file("deck.sp", deck);
    deck_ = std::make_unique<spice::Deck>();
    auto sink = [this](messages::Message, const std::string& w) { warnings.push_back(w); };
    spice::Reader(*deck_, sink).read_netlist("deck.sp");
    kinds_ = std::make_unique<circuit::DeviceKinds>(nmos, pmos, deck_->model_channels());
    flattener_ = std::make_unique<spice::Flattener>(*deck_, *kinds_, sink);
    circuit::Rails rails(supply, ground, deck_->global_names(), true);
    h = design::Hierarchy();
    return design::HierarchyBuilder(*deck_, *flattener_, rails, sink).build(top_name, "deck", h);
  }

  // Each kept module as "name:uses", its ports' uses as letters (R rail,
  // I input, O output, S shared, - open), in the order kept.
  std::string modules() const {
    std::string out;
    for (const design::Submodule& s : h.modules) {
      out.append(out.empty() ? "" : " ").append(s.circuit.name).append(":").append(std::to_string(s.uses)).append(":");
      for (PortUse u : s.ports) out += "RI-OS"[static_cast<int>(u)];
    }
    return out;
  }

  design::Hierarchy h;

 private:
  std::unique_ptr<spice::Deck> deck_;
  std::unique_ptr<circuit::DeviceKinds> kinds_;
  std::unique_ptr<spice::Flattener> flattener_;
};

const char* const kInv =
    ".subckt inv a y vdd vss\nmp y a vdd vdd pch\nmn y a vss vss nch\n.ends\n";

TEST_F(HierarchyTest, KeptWherePortsOnlyReachGatesOrAreAlwaysDriven) {
  const struct {
    const char* cells;     // definitions besides inv
    const char* calls;     // the top's cards, on nets a, b, y and the rails
    const char* modules;   // as modules() writes them
    std::size_t flattened;
    std::size_t top_mosfets;
    const char* note;      // the port a note names, "" for none
  } rows[] = {
      // A gate: its input reaches gates, its output is always driven.
      {"", "x1 a m vdd vss inv\nx2 m y vdd vss inv\n", "inv:2:IORR", 0, 0, ""},
      // Nested: the buffer's instances count once per call of the buffer.
      {".subckt buf a y vdd vss\nx1 a m vdd vss inv\nx2 m y vdd vss inv\n.ends\n",
       "xa a m vdd vss buf\nxb m y vdd vss buf\nxc y b vdd vss inv\n", "inv:5:IORR buf:2:IORR", 0, 0, ""},
      // A transmission gate between ports joins the caller's stages.
      {".subckt tg a en enb y vdd vss\nmn a en y vss nch\nmp a enb y vdd pch\n.ends\n",
       "xt a b m y vdd vss tg\nxi b m vdd vss inv\n", "inv:1:IORR", 1, 2, "port a"},
      // A clocked inverter drives its output only some of the time.
      {".subckt cinv a en enb y vdd vss\nmp1 p a vdd vdd pch\nmp2 y enb p vdd pch\nmn2 y en n vss nch\n"
       "mn1 n a vss vss nch\n.ends\n",
       "xc a b m y vdd vss cinv\nxi b m vdd vss inv\n", "inv:1:IORR", 1, 4, "port y"},
      // A decap holds no logic; a cell with parameters would differ by call.
      {".subckt decap vdd vss\nmn vss vdd vss vss nch\nmp vdd vss vdd vdd pch\n.ends\n"
       ".subckt sized a y vdd vss w=1u\nmp y a vdd vdd pch w=w\nmn y a vss vss nch w=w\n.ends\n",
       "xd vdd vss decap\nxs a y vdd vss sized w=2u\n", "", 2, 4, ""},
      // A global signal is one net everywhere, which a module would cut.
      {".global clk\n.subckt g a y vdd vss\nmp y clk p vdd pch\nmp2 p a vdd vdd pch\nmn y a vss vss nch\n"
       "mn2 y clk vss vss nch\n.ends\n",
       "xg a y vdd vss g\nmc clk b vss vss nch\nmc2 clk b vdd vdd pch\n", "", 1, 6, ""},
      // A one-MOSFET subcircuit is a device, as ever.
      {".subckt pass a g y vss\nmn a g y vss nch\n.ends\n", "xp a b y vss pass\n", "", 0, 1, ""},
  };
  for (const auto& row : rows) {
    warnings.clear();
    circuit::Circuit c = kept(std::string(kInv) + row.cells + ".subckt top a b y vdd vss\n" + row.calls + ".ends\n", "top");
    EXPECT_EQ(modules(), row.modules) << row.calls;
    EXPECT_EQ(h.flattened, row.flattened) << row.calls;
    EXPECT_EQ(c.mosfets.size(), row.top_mosfets) << row.calls;
    bool noted = std::any_of(warnings.begin(), warnings.end(), [&](const std::string& w) {
      return *row.note && w.find(std::string("flattened into its callers: its ") + row.note) != std::string::npos;
    });
    EXPECT_EQ(noted, *row.note != 0) << row.calls << (warnings.empty() ? "" : warnings.front());
  }
}

// Instances keep the call's name and nets in the module's port order; the
// nets an instance drives are known to the caller, and a signal net on a
// rail port of an instance becomes that rail.
TEST_F(HierarchyTest, InstancesCarryPinsOutputsAndRails) {
  circuit::Circuit c = kept(std::string(kInv) + ".subckt top a y vccd1 vssd1\nXu[0] a y vccd1 vssd1 inv\n.ends\n");
  ASSERT_EQ(c.instances.size(), 1u);
  const circuit::Instance& i = c.instances[0];
  EXPECT_EQ(i.name, "Xu[0]");
  ASSERT_EQ(i.pin_count, 4u);
  std::vector<std::string> pins;
  for (std::uint32_t p = 0; p < i.pin_count; ++p) pins.push_back(net(c, c.instance_pins[i.first_pin + p]));
  EXPECT_EQ(pins, (std::vector<std::string>{"a", "y", "vccd1", "vssd1"}));
  ASSERT_EQ(c.instance_outputs.size(), 1u);
  EXPECT_EQ(net(c, c.instance_outputs[0]), "y");
  circuit::Rails(supply, ground, {}, true).assign(c);
  std::vector<circuit::RailFound> found;
  design::HierarchyBuilder::claim_rails(c, h, &found);
  EXPECT_EQ(roles(c), "ssSG");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].why, circuit::RailReason::FromCall);
}

// A hierarchy that multiplies stays as written: its size is its calls, not
// the 2^40 devices it would flatten to, which only --flatten refuses.
TEST_F(HierarchyTest, HierarchyPastTheFlatLimit) {
  std::string deck = kInv;
  std::string below = "inv";
  for (int level = 0; level < 40; ++level) {
    std::string name = "l" + std::to_string(level);
    deck += ".subckt " + name + " a y vdd vss\nx1 a m vdd vss " + below + "\nx2 m y vdd vss " + below + "\n.ends\n";
    below = name;
  }
  deck += ".subckt top a y vdd vss\nx a y vdd vss " + below + "\n.ends\n";
  circuit::Circuit c = kept(deck, "top");
  ASSERT_EQ(h.modules.size(), 41u);
  EXPECT_EQ(h.modules.front().uses, std::uint64_t{1} << 40);
  EXPECT_EQ(c.instances.size(), 1u);
  EXPECT_EQ(error({"deck.sp"}, "top"), messages::format(messages::Message::TooLarge, {"top", "50000000"}));
}

}  // namespace
