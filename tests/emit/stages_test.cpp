// Stages built from transmission gates and clocked inverters simulate as the
// transistors do, and the written file stands alone: escaped names, black
// boxes, other elements, library cells found in the circuit.
#include <gtest/gtest.h>

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

struct Check {
  std::string output, expected;  // Verilog expression over the inputs
};

// Every input combination; each output compared with !== to its expression.
std::string exhaustive_bench(const circuit::Circuit& c, const std::vector<std::string>& inputs,
                             const std::vector<Check>& checks) {
  std::string s = "module tb;\n";
  for (const std::string& i : inputs) s += "reg " + i + ";\n";
  for (const Check& k : checks) s += "wire " + k.output + ";\n";
  s += c.name + " dut(";
  std::string sep;
  for (circuit::NetId p : c.ports) {
    std::string port(c.net_names[p]);
    s += sep + "." + port + "(" + port + ")", sep = ", ";
  }
  s += ");\ninteger i;\ninitial begin\n  for (i = 0; i < " + std::to_string(1 << inputs.size()) + "; i = i + 1) begin\n    {";
  sep.clear();
  for (const std::string& i : inputs) s += sep + i, sep = ", ";
  s += "} = i;\n    #1;\n";
  for (const Check& k : checks)
    s += "    if (" + k.output + " !== (" + k.expected + ")) $display(\"MISMATCH %b " + k.output + "=%b\", i, " +
         k.output + ");\n";
  s += "  end\n  $display(\"DONE\");\nend\nendmodule\n";
  return s;
}

// A random sequence changing one input at a time; q compared with the
// reference once the reference is known.
std::string sequence_bench(const circuit::Circuit& c, const std::vector<std::string>& inputs, const std::string& reference) {
  std::string s = "module tb;\n";
  for (const std::string& i : inputs) s += "reg " + i + ";\n";
  s += "wire q;\nreg q_ref;\n" + c.name + " dut(";
  std::string sep;
  for (circuit::NetId p : c.ports) {
    std::string port(c.net_names[p]);
    s += sep + "." + port + "(" + port + ")", sep = ", ";
  }
  s += ");\n" + reference + "\ninteger i;\ninitial begin\n  q_ref = 1'bx;\n";
  for (const std::string& i : inputs) s += "  " + i + " = 0;\n";
  s += "  #5;\n  for (i = 0; i < 300; i = i + 1) begin\n    case ($unsigned($random(i)) % " + std::to_string(inputs.size()) +
       ")\n";
  for (std::size_t k = 0; k < inputs.size(); ++k) s += "      " + std::to_string(k) + ": " + inputs[k] + " = ~" + inputs[k] + ";\n";
  s += "    endcase\n    #5;\n    if (q_ref !== 1'bx && q !== q_ref) $display(\"MISMATCH step %0d\", i);\n  end\n"
       "  $display(\"DONE\");\nend\nendmodule\n";
  return s;
}

void expect_simulates(const circuit::Circuit& c, const std::string& bench_text) {
  std::string netlist = scratch_path(c.name + ".v"), bench = scratch_path(c.name + "_tb.v");
  write_netlist(c, netlist);
  write_text(bench, bench_text);
  EXPECT_EQ(simulate({netlist}, c.name).find("COMPILE"), std::string::npos) << read_text(netlist);
  std::string out = simulate({netlist, bench}, "tb");
  EXPECT_EQ(out.find("MISMATCH"), std::string::npos) << out << read_text(netlist);
  EXPECT_NE(out.find("DONE"), std::string::npos) << out << read_text(netlist);
  if (have_tool("verilator")) {
    EXPECT_EQ(lint(netlist, c.name), "") << read_text(netlist);
  }
  std::remove(netlist.c_str());
  std::remove(bench.c_str());
}

class StageSimulation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  }
};

TEST_F(StageSimulation, TransmissionGateMuxes) {
  // Buffered: inverted data through the gates, an output inverter.
  CircuitBuilder b("tgmux");
  b.ports({"a", "b", "s", "y"});
  inverter(b, "a", "an");
  inverter(b, "b", "bn");
  inverter(b, "s", "sb");
  tgate(b, "an", "m", "sb", "s");
  tgate(b, "bn", "m", "s", "sb");
  inverter(b, "m", "y");
  expect_simulates(b.circuit(), exhaustive_bench(b.circuit(), {"a", "b", "s"}, {{"y", "s ? b : a"}}));
  // Unbuffered: the gates pass the input ports themselves.
  CircuitBuilder u("passmux");
  u.ports({"a", "b", "s", "y"});
  inverter(u, "s", "sb");
  tgate(u, "a", "y", "sb", "s");
  tgate(u, "b", "y", "s", "sb");
  expect_simulates(u.circuit(), exhaustive_bench(u.circuit(), {"a", "b", "s"}, {{"y", "s ? b : a"}}));
}

TEST_F(StageSimulation, TransmissionGateXor) {
  // b itself passes while a is 0, its complement while a is 1.
  CircuitBuilder b("tgxor");
  b.ports({"a", "b", "y"});
  inverter(b, "a", "an");
  inverter(b, "b", "bn");
  tgate(b, "b", "y", "an", "a");
  tgate(b, "bn", "y", "a", "an");
  expect_simulates(b.circuit(), exhaustive_bench(b.circuit(), {"a", "b"}, {{"y", "a ^ b"}}));
}

TEST_F(StageSimulation, ClockedInverterFloatsWhileDisabled) {
  CircuitBuilder b("clkinv");
  b.ports({"a", "en", "y"});
  inverter(b, "en", "enb");
  b.p("vdd", "a", "m1").p("m1", "enb", "y").n("y", "en", "m2").n("m2", "a", "gnd");
  expect_simulates(b.circuit(), exhaustive_bench(b.circuit(), {"a", "en"}, {{"y", "en ? ~a : 1'bz"}}));
}

TEST_F(StageSimulation, LatchFromTransmissionGates) {
  CircuitBuilder b("tglatch");
  b.ports({"d", "g", "q"});
  inverter(b, "g", "gb");
  tgate(b, "d", "s", "g", "gb");
  inverter(b, "s", "sn");
  inverter(b, "sn", "fb");
  tgate(b, "fb", "s", "gb", "g");
  inverter(b, "sn", "q");
  expect_simulates(b.circuit(), sequence_bench(b.circuit(), {"d", "g"}, "always @* if (g) q_ref = d;"));
}

TEST_F(StageSimulation, FlipFlopFromTransmissionGates) {
  CircuitBuilder b("tgdff");
  b.ports({"d", "clk", "q"});
  inverter(b, "clk", "clkb");
  // Master, open while clk is 0.
  tgate(b, "d", "m", "clkb", "clk");
  inverter(b, "m", "mn");
  inverter(b, "mn", "mf");
  tgate(b, "mf", "m", "clk", "clkb");
  // Slave, open while clk is 1.
  tgate(b, "mn", "s", "clk", "clkb");
  inverter(b, "s", "q");
  inverter(b, "q", "sf");
  tgate(b, "sf", "s", "clkb", "clk");
  expect_simulates(b.circuit(), sequence_bench(b.circuit(), {"d", "clk"}, "always @(posedge clk) q_ref <= d;"));
}

TEST_F(StageSimulation, BusTooLargeToEvaluateIsWrittenAsSwitches) {
  // Eight clocked inverters on one bus: 24 inputs to one stage.
  CircuitBuilder b("bus");
  b.ports({"a", "sel0", "sel1", "sel2", "y"});
  std::vector<std::string> inputs = {"a", "sel0", "sel1", "sel2"};
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
  expect_simulates(b.circuit(), exhaustive_bench(b.circuit(), inputs, {{"y", "a"}}));
}

class WholeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  }
};

TEST_F(WholeFile, BlackBoxesElementsAndOddNamesLoadAlone) {
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
  if (have_tool("verilator")) {
    std::string out = run_command("verilator --lint-only " + path);
    EXPECT_EQ(out, "") << text;
  }
  std::remove(path.c_str());
}

TEST_F(WholeFile, FoundCellIsOneInstanceOfItsOwnModule) {
  // A chain of four inverters; the library cell is a two-inverter buffer,
  // found at the first two stages.
  CircuitBuilder top("chain");
  top.ports({"a", "y"});
  inverter(top, "a", "n1");
  inverter(top, "n1", "n2");
  inverter(top, "n2", "n3");
  inverter(top, "n3", "y");
  CircuitBuilder cell("buf2");
  cell.ports({"i", "o"});
  inverter(cell, "i", "mid");
  inverter(cell, "mid", "o");
  recognize::Recognizer r;
  recognize::GateNetwork top_net = r.run(top.circuit());
  recognize::GateNetwork cell_net = r.run(cell.circuit());
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
  write_text(bench, exhaustive_bench(top.circuit(), {"a"}, {{"y", "a"}}));
  std::string out = simulate({path, bench}, "tb");
  EXPECT_NE(out.find("DONE"), std::string::npos) << out << text;
  EXPECT_EQ(out.find("MISMATCH"), std::string::npos) << out << text;
  std::remove(path.c_str());
  std::remove(bench.c_str());
}

}  // namespace
