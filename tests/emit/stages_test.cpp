// Stages built from transmission gates and clocked inverters simulate as the
// transistors do, and the written file stands alone: escaped names, black
// boxes, other elements, library cells found in the circuit.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/emit/simulation.h"
#include "tests/recognize/circuit_builder.h"

namespace {

// A transmission gate between u and v, on while `on` is 1 (`off` its
// complement).
void tgate(CircuitBuilder& b, const std::string& u, const std::string& v, const std::string& on,
           const std::string& off) {
  b.n(u, on, v).p(u, off, v);
}

void inverter(CircuitBuilder& b, const std::string& in, const std::string& out) { b.n(out, in, "gnd").p(out, in, "vdd"); }

// The circuit as `dut`, each port on a net of its name; the ports that are
// not inputs declared as wires.
std::string dut(const circuit::Circuit& c, const std::vector<std::string>& inputs) {
  std::string wires;
  std::vector<std::string> ports;
  for (circuit::NetId p : c.ports) {
    ports.emplace_back(c.net_names[p]);
    if (std::find(inputs.begin(), inputs.end(), ports.back()) == inputs.end()) wires += "wire " + ports.back() + ";\n";
  }
  return wires + c.name + " dut(" + connect(ports) + ");\n";
}

// The netlist loads alone, lints, and passes the bench.
void expect_simulates(const circuit::Circuit& c, const std::string& bench_text) {
  std::string netlist = scratch_path(c.name + ".v"), bench = scratch_path(c.name + "_tb.v");
  write_netlist(c, netlist);
  write_text(bench, bench_text);
  EXPECT_EQ(simulate({netlist}, c.name).find("COMPILE"), std::string::npos) << read_text(netlist);
  expect_clean(simulate({netlist, bench}, "tb"), read_text(netlist));
  EXPECT_EQ(lint(netlist, c.name), "") << read_text(netlist);
  std::remove(netlist.c_str());
  std::remove(bench.c_str());
}

class Simulation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  }
};

using Build = std::function<void(CircuitBuilder&)>;

TEST_F(Simulation, CombinationalStagesComputeTheirFunction) {
  const struct {
    const char* name;
    std::vector<std::string> inputs;  // then the output y
    const char* y;
    Build build;
  } rows[] = {
      // Buffered: inverted data through the gates, an output inverter.
      {"tgmux", {"a", "b", "s"}, "s ? b : a",
       [](CircuitBuilder& b) {
         inverter(b, "a", "an"), inverter(b, "b", "bn"), inverter(b, "s", "sb");
         tgate(b, "an", "m", "sb", "s"), tgate(b, "bn", "m", "s", "sb"), inverter(b, "m", "y");
       }},
      // Unbuffered: the gates pass the input ports themselves.
      {"passmux", {"a", "b", "s"}, "s ? b : a",
       [](CircuitBuilder& b) { inverter(b, "s", "sb"), tgate(b, "a", "y", "sb", "s"), tgate(b, "b", "y", "s", "sb"); }},
      // b itself passes while a is 0, its complement while a is 1.
      {"tgxor", {"a", "b"}, "a ^ b",
       [](CircuitBuilder& b) {
         inverter(b, "a", "an"), inverter(b, "b", "bn");
         tgate(b, "b", "y", "an", "a"), tgate(b, "bn", "y", "a", "an");
       }},
      // A clocked inverter floats while disabled.
      {"clkinv", {"a", "en"}, "en ? ~a : 1'bz",
       [](CircuitBuilder& b) {
         inverter(b, "en", "enb");
         b.p("vdd", "a", "m1").p("m1", "enb", "y").n("y", "en", "m2").n("m2", "a", "gnd");
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CircuitBuilder b(row.name);
    for (const std::string& i : row.inputs) b.ports({i.c_str()});
    b.ports({"y"});
    row.build(b);
    expect_simulates(b.circuit(), exhaustive_bench(dut(b.circuit(), row.inputs), row.inputs, {{"y", row.y}}));
  }
}

TEST_F(Simulation, LatchAndFlipFlopFromTransmissionGates) {
  const struct {
    const char* name;
    std::vector<std::string> inputs;  // data, clock; then the output q
    const char* reference;
    Build build;
  } rows[] = {
      {"tglatch", {"d", "g"}, "always @* if (g) q_ref = d;",
       [](CircuitBuilder& b) {
         inverter(b, "g", "gb"), tgate(b, "d", "s", "g", "gb"), inverter(b, "s", "sn");
         inverter(b, "sn", "fb"), tgate(b, "fb", "s", "gb", "g"), inverter(b, "sn", "q");
       }},
      {"tgdff", {"d", "clk"}, "always @(posedge clk) q_ref <= d;",
       [](CircuitBuilder& b) {
         inverter(b, "clk", "clkb");
         // Master, open while clk is 0; slave, open while clk is 1.
         tgate(b, "d", "m", "clkb", "clk"), inverter(b, "m", "mn"), inverter(b, "mn", "mf");
         tgate(b, "mf", "m", "clk", "clkb");
         tgate(b, "mn", "s", "clk", "clkb"), inverter(b, "s", "q"), inverter(b, "q", "sf");
         tgate(b, "sf", "s", "clkb", "clk");
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CircuitBuilder b(row.name);
    b.ports({row.inputs[0].c_str(), row.inputs[1].c_str(), "q"});
    row.build(b);
    std::string body = dut(b.circuit(), row.inputs) + "reg q_ref;\n" + row.reference + "\n";
    expect_simulates(b.circuit(), sequence_bench(body, row.inputs, "q", 300));
  }
}

TEST_F(Simulation, BusTooLargeToEvaluateIsWrittenAsSwitches) {
  // Eight clocked inverters on one bus: 24 inputs to one stage.
  CircuitBuilder b("bus");
  b.ports({"a", "sel0", "sel1", "sel2", "y"});
  for (int k = 0; k < 8; ++k) {
    std::string d = "d" + std::to_string(k), en = "en" + std::to_string(k), enb = "enb" + std::to_string(k);
    // Driver k inverts a when it is selected, and a's complement otherwise.
    std::string sel_bits[3];
    for (int j = 0; j < 3; ++j) sel_bits[j] = ((k >> j) & 1) ? "sel" + std::to_string(j) : "nsel" + std::to_string(j);
    b.n(en, sel_bits[0], "e1_" + d).n("e1_" + d, sel_bits[1], "e2_" + d).n("e2_" + d, sel_bits[2], "gnd");
    for (const std::string& s : sel_bits) b.p(en, s, "vdd");  // en = NAND of the select bits
    inverter(b, en, enb);                                     // enb = selected
    b.p("vdd", "a", "pm" + d).p("pm" + d, en, "bus").n("bus", enb, "nm" + d).n("nm" + d, "a", "gnd");
  }
  for (int j = 0; j < 3; ++j) inverter(b, "sel" + std::to_string(j), "nsel" + std::to_string(j));
  inverter(b, "bus", "y");
  recognize::GateNetwork g = recognize::Recognizer().run(b.circuit());
  ASSERT_EQ(g.unevaluated.size(), 1u);
  EXPECT_EQ(g.unevaluated[0].size(), 32u);
  std::vector<std::string> inputs = {"a", "sel0", "sel1", "sel2"};
  expect_simulates(b.circuit(), exhaustive_bench(dut(b.circuit(), inputs), inputs, {{"y", "a"}}));
}

TEST_F(Simulation, BlackBoxesElementsAndOddNamesLoadAlone) {
  CircuitBuilder b("top");
  b.ports({"in[0]", "out", "wire"});
  inverter(b, "in[0]", "x1/n#1");
  inverter(b, "x1/n#1", "out");
  circuit::Circuit c = b.take();
  c.black_boxes.push_back(circuit::BlackBox{"xbb", "analog", {c.ports[0], c.ports[2]}});
  c.elements.push_back(circuit::Element{"R1", "R1 out wire 10k", {c.ports[1], c.ports[2]}});
  std::string path = scratch_path("whole.v");
  write_netlist(c, path);
  std::string text = read_text(path);
  EXPECT_NE(text.find("module analog(p0, p1);\ninput p0, p1;"), std::string::npos) << text;
  EXPECT_NE(text.find("// R1 out wire 10k"), std::string::npos) << text;
  EXPECT_EQ(simulate({path}, "top").find("COMPILE"), std::string::npos) << text;
  EXPECT_EQ(lint(path, ""), "") << text;
  std::remove(path.c_str());
}

TEST_F(Simulation, FoundCellIsOneInstanceOfItsOwnModule) {
  // A chain of four inverters; the library cell is a two-inverter buffer,
  // found at the first two stages.
  CircuitBuilder top("chain"), cell("buf2");
  top.ports({"a", "y"});
  inverter(top, "a", "n1"), inverter(top, "n1", "n2"), inverter(top, "n2", "n3"), inverter(top, "n3", "y");
  cell.ports({"i", "o"});
  inverter(cell, "i", "mid"), inverter(cell, "mid", "o");
  recognize::Recognizer r;
  recognize::GateNetwork top_net = r.run(top.circuit()), cell_net = r.run(cell.circuit());
  std::vector<design::LibraryCell> cells = {{&cell.circuit(), &cell_net}};
  design::CellOccurrence occ;
  occ.cell = 0;
  occ.stages = {0, 1};
  occ.pins = {top.net("a"), top.net("n2")};
  std::string path = scratch_path("chain.v"), bench = scratch_path("chain_tb.v");
  FILE* f = std::fopen(path.c_str(), "w");
  emit::VerilogWriter(f).write(design::DesignBuilder(cells).build(top.circuit(), top_net, {occ}));
  std::fclose(f);
  std::string text = read_text(path);
  EXPECT_NE(text.find("buf2 buf2_1 ( .i(a), .o(n2) );"), std::string::npos) << text;
  EXPECT_NE(text.find("module buf2(i, o);"), std::string::npos) << text;
  EXPECT_EQ(text.substr(0, text.find("endmodule")).find("U1 "), std::string::npos) << text;
  write_text(bench, exhaustive_bench(dut(top.circuit(), {"a"}), {"a"}, {{"y", "a"}}));
  expect_clean(simulate({path, bench}, "tb"), text);
  std::remove(path.c_str());
  std::remove(bench.c_str());
}

}  // namespace
