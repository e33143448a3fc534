// Stages built from transmission gates and clocked inverters simulate as the
// transistors do, and the written file stands alone: escaped names, black
// boxes, other elements, library cells found in the circuit.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/emit/simulation.h"
#include "tests/recognize/circuit_builder.h"

namespace {

// Adds the statements, separated by ';': "inv IN OUT", "tg U V ON OFF" (a
// transmission gate on while ON is 1 and OFF 0), "n D G S" and "p D G S".
CircuitBuilder& add(CircuitBuilder& b, const std::string& text) {
  std::istringstream statements(text);
  for (std::string statement; std::getline(statements, statement, ';');) {
    std::string k, u, v, w, x;
    std::istringstream(statement) >> k >> u >> v >> w >> x;
    if (k == "inv") b.n(v, u, "gnd").p(v, u, "vdd");
    if (k == "tg") b.n(u, w, v).p(u, x, v);
    if (k == "n") b.n(u, v, w);
    if (k == "p") b.p(u, v, w);
  }
  return b;
}

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

TEST_F(Simulation, CombinationalStagesComputeTheirFunction) {
  const struct {
    const char* name;
    std::vector<std::string> inputs;  // then the output y
    const char* y;
    const char* mosfets;
  } rows[] = {
      // Buffered: inverted data through the gates, an output inverter.
      {"tgmux", {"a", "b", "s"}, "s ? b : a", "inv a an; inv b bn; inv s sb; tg an m sb s; tg bn m s sb; inv m y"},
      // Unbuffered: the gates pass the input ports themselves.
      {"passmux", {"a", "b", "s"}, "s ? b : a", "inv s sb; tg a y sb s; tg b y s sb"},
      // b itself passes while a is 0, its complement while a is 1.
      {"tgxor", {"a", "b"}, "a ^ b", "inv a an; inv b bn; tg b y an a; tg bn y a an"},
      // A clocked inverter floats while disabled.
      {"clkinv", {"a", "en"}, "en ? ~a : 1'bz", "inv en enb; p vdd a m1; p m1 enb y; n y en m2; n m2 a gnd"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CircuitBuilder b(row.name);
    for (const std::string& i : row.inputs) b.ports({i.c_str()});
    add(b.ports({"y"}), row.mosfets);
    expect_simulates(b.circuit(), exhaustive_bench(dut(b.circuit(), row.inputs), row.inputs, {{"y", row.y}}));
  }
}

TEST_F(Simulation, LatchAndFlipFlopFromTransmissionGates) {
  const struct {
    const char* name;
    std::vector<std::string> inputs;  // data, clock; then the output q
    const char* reference;
    const char* mosfets;
  } rows[] = {
      {"tglatch", {"d", "g"}, "always @* if (g) q_ref = d;",
       "inv g gb; tg d s g gb; inv s sn; inv sn fb; tg fb s gb g; inv sn q"},
      // Master, open while clk is 0; slave, open while clk is 1.
      {"tgdff", {"d", "clk"}, "always @(posedge clk) q_ref <= d;",
       "inv clk clkb; tg d m clkb clk; inv m mn; inv mn mf; tg mf m clk clkb;"
       "tg mn s clk clkb; inv s q; inv q sf; tg sf s clkb clk"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CircuitBuilder b(row.name);
    add(b.ports({row.inputs[0].c_str(), row.inputs[1].c_str(), "q"}), row.mosfets);
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
    add(b, "inv " + en + " " + enb);                          // enb = selected
    b.p("vdd", "a", "pm" + d).p("pm" + d, en, "bus").n("bus", enb, "nm" + d).n("nm" + d, "a", "gnd");
  }
  add(b, "inv sel0 nsel0; inv sel1 nsel1; inv sel2 nsel2; inv bus y");
  recognize::GateNetwork g = recognize::Recognizer().run(b.circuit());
  ASSERT_EQ(g.unevaluated.size(), 1u);
  EXPECT_EQ(g.unevaluated[0].size(), 32u);
  std::vector<std::string> inputs = {"a", "sel0", "sel1", "sel2"};
  expect_simulates(b.circuit(), exhaustive_bench(dut(b.circuit(), inputs), inputs, {{"y", "a"}}));
}

TEST_F(Simulation, BlackBoxesElementsAndOddNamesLoadAlone) {
  CircuitBuilder b("top");
  add(b.ports({"in[0]", "out", "wire"}), "inv in[0] x1/n#1; inv x1/n#1 out");
  circuit::Circuit c = b.take();
  c.black_boxes.push_back(circuit::BlackBox{"xbb", "analog", {c.ports[0], c.ports[2]}});
  c.elements.push_back(circuit::Element{"R1", 'r', "10k", {c.ports[1], c.ports[2]}});
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
  add(top.ports({"a", "y"}), "inv a n1; inv n1 n2; inv n2 n3; inv n3 y");
  add(cell.ports({"i", "o"}), "inv i mid; inv mid o");
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
