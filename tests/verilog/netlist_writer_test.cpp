#include "classic/verilog/netlist_writer.h"

#include "circuit_fixture.h"
#include "classic/algo/tables.h"
#include "classic/verilog/wire.h"
#include "core/verilog/identifier.h"

namespace {

// The lines of the netlist after its five banner lines.
std::vector<std::string> netlist_lines(char* pvdd, char* pgnd) {
  std::string file = written([&](FILE* fp) { write_netlist_file(fp, pvdd, pgnd); });
  EXPECT_EQ(file.find("(null)"), std::string::npos);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = file.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(file.substr(start, end - start));
  return {lines.begin() + 5, lines.end()};
}

}  // namespace

TEST_F(CircuitTest, NetlistReproducesTheLayoutExample) {
  InputHead = ports({"top", "a", "b"});
  OutputHead = ports({"y"});
  gate("NAND2", "~(a & b)", {{'a', "a"}, {'b', "b"}}, "s", true, {"a", "b"});
  gate("NOR2", "~(a | b)", {{'a', "t"}, {'b', "a"}}, "u", false, {"t", "a"});
  ResultHead = instance("half", {{"A", "s"}, {"B", "b"}}, {{"Y", "y"}});
  ElementHead = insert_element("R1", nullptr, RES, insert_node(insert_node(nullptr, "s"), "0"), 1000, "", 0, 0);
  Wire().generate_wirelist();
  testing::internal::CaptureStdout();
  std::string file = written([](FILE* fp) { write_netlist_file(fp, s("vdd"), s("gnd")); });
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " Output input \n Output output \n Output wire \n Output cmos_gates \n Output subcircuit \n");
  EXPECT_EQ(file, R"( /*****************************************************************/
 /***          Static CMOS Circuit Extractor Program            ***/
 /***        Output verilog netlist from Hspice netlist         ***/
 /*****************************************************************/
 
 module top (a, b, vdd, gnd, y); 
 input vdd, gnd, a, b;
 output y;
 wire  t, s;

    NAND2  U1 ( .a(a), .b(b), .out(s) );


 /***The following are subcircuit : ***/
    half  X2 ( .A(s), .B(b), .Y(y) );


 /***The following are Pseudo_Gate : ***/
    NOR2  U3 ( .a(t), .b(a), .out(u) );


// R1 s 0 1.000000e+03  


endmodule
)");
}

// No declaration card, no ports, no supply name, no wires; an untyped gate,
// a form lettered otherwise than its module, an instance without output pins.
TEST_F(CircuitTest, NetlistEdgeCases) {
  gate("AOOI112", "~((a | b) | (c & d))", {{'a', "p"}, {'c', "r"}, {'b', "q"}, {'d', "s"}}, "y");
  gate(nullptr, "", {{'a', "p"}}, "w");
  gate("INV", "~a", {}, "v");  // empty letter map: output pin only
  ResultHead = instance("sink", {{"A", "a"}}, {});
  ElementHead = insert_element("D1", nullptr, D, insert_node(nullptr, "z"), 0, "dmod", 0, 0);
  auto lines = netlist_lines(nullptr, s("gnd"));
  // No trailing separators; the empty output and wire declarations are left out.
  EXPECT_EQ(lines[0], " module top (gnd); ");
  EXPECT_EQ(lines[1], " input gnd;");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "    AOOI112  U1 ( .c(p), .a(r), .d(q), .b(s), .out(y) );");
  EXPECT_EQ(lines[4], "    // gate1: n-branch without a gate type, output w");
  EXPECT_EQ(lines[5], "    INV  U2 ( .out(v) );");
  EXPECT_EQ(lines[9], "    sink  X3 ( .A(a) );");
  EXPECT_EQ(lines[15], "// D1 z 0.000000e+00 dmod ");

  for (const char* name : {"w1", "w2", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10"})
    WireHead = Wire().insert_wire(WireHead, s(name));
  lines = netlist_lines(s("vdd"), s("gnd"));
  EXPECT_EQ(lines[2], " wire  w1, w10, w9, w8, w7, w6, w5, w4, w3, w2");
  EXPECT_EQ(lines[3], ";");
  WireHead = Wire().insert_wire(WireHead, s("w11"));
  lines = netlist_lines(s("vdd"), s("gnd"));
  EXPECT_EQ(lines[2], " wire  w1, w11, w10, w9, w8, w7, w6, w5, w4, w3,");
  EXPECT_EQ(lines[3], " w2;");
}

// Names that are no Verilog identifiers are escaped wherever a net, port or
// module name is written, and only those.
TEST_F(CircuitTest, NetlistEscapesIllegalNames) {
  EXPECT_TRUE(is_plain_identifier("n_1$"));
  for (const char* bad : {"0", "vdd!", "and", "3a", "logic", "a-b", ""}) EXPECT_FALSE(is_plain_identifier(bad)) << bad;

  InputHead = ports({"module", "in", "a1"});
  OutputHead = ports({"or"});
  gate("NAND2", "~(a & b)", {{'a', "in"}, {'b', "and"}}, "3");
  ResultHead = instance("SUB", {{"wire", "3"}}, {{"Y", "or"}});
  WireHead = Wire().insert_wire(nullptr, s("and"));
  auto lines = netlist_lines(s("vdd!"), s("0"));
  EXPECT_EQ(lines[0], " module \\module  (in, a1, \\vdd! , \\0 , \\or ); ");
  EXPECT_EQ(lines[1], " input \\vdd! , \\0 , in, a1;");
  EXPECT_EQ(lines[2], " output \\or ;");
  EXPECT_EQ(lines[3], " wire  \\and ;");
  EXPECT_EQ(lines[5], "    NAND2  U1 ( .a(in), .b(\\and ), .out(\\3 ) );");
  EXPECT_EQ(lines[9], "    SUB  X2 ( .\\wire (\\3 ), .Y(\\or ) );");
}
