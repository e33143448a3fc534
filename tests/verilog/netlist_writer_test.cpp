#include "verilog/netlist_writer.h"

#include "circuit_fixture.h"
#include "verilog/wire.h"

namespace {

const char* const kBanner =
    " /*****************************************************************/\n"
    " /***          Static CMOS Circuit Extractor Program            ***/\n"
    " /***        Output verilog netlist from Hspice netlist         ***/\n"
    " /*****************************************************************/\n"
    " \n";

// The lines of a written netlist after its banner.
std::vector<std::string> body_lines(const std::string& file) {
  std::vector<std::string> lines;
  size_t start = std::string(kBanner).size();
  for (size_t end; (end = file.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(file.substr(start, end - start));
  return lines;
}

}  // namespace

TEST_F(CircuitTest, NetlistReproducesTheLayoutExample) {
  InputHead = ports({"top", "a", "b"});
  OutputHead = ports({"y"});
  nodes({"a", "b", "y", "s", "t", "u"});
  gate("NAND2", "~(a & b)", {{'a', "a"}, {'b', "b"}}, "s", true, {"a", "b"});
  gate("NOR2", "~(a | b)", {{'a', "t"}, {'b', "a"}}, "u", false, {"t", "a"});
  instance("half", pins({{"A", "s"}, {"B", "b"}}), pins({{"Y", "y"}}));
  ElementHead = insert_element("R1", nullptr, RES, insert_node(insert_node(nullptr, "s"), "0"), 1000, "", 0, 0);
  Wire().generate_wirelist();
  testing::internal::CaptureStdout();
  std::string file = written([](FILE* fp) { write_netlist_file(fp, s("vdd"), s("gnd")); });
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " Output input \n Output output \n Output wire \n Output cmos_gates \n Output subcircuit \n");
  EXPECT_EQ(file, std::string(kBanner) +
                      " module top (a, b, vdd, gnd, y); \n"
                      " input vdd, gnd, a, b;\n"
                      " output y;\n"
                      " wire  t, s;\n"
                      "\n"
                      "    NAND2  U1 ( .a(a), .b(b), .out(s) );\n"
                      "\n\n"
                      " /***The following are subcircuit : ***/\n"
                      "    half  X2 ( .A(s), .B(b), .Y(y) );\n"
                      "\n\n"
                      " /***The following are Pseudo_Gate : ***/\n"
                      "    NOR2  U3 ( .a(t), .b(a), .out(u) );\n"
                      "\n\n"
                      " R1 s 0 1.000000e+03  \n"
                      "\n\n"
                      "endmodule\n");
}

TEST_F(CircuitTest, NetlistWithoutPortsWiresOrOutputPins) {
  InputHead = ports({"top"});
  gate("INV", "~a", {}, "y");  // empty letter map: output pin only
  instance("sink", pins({{"A", "a"}}), nullptr);
  ElementHead = insert_element("D1", nullptr, D, insert_node(nullptr, "z"), 0, "dmod", 0, 0);
  testing::internal::CaptureStdout();
  auto lines = body_lines(written([](FILE* fp) { write_netlist_file(fp, s("vdd"), s("gnd")); }));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(lines[0], " module top (vdd, gnd, ); ");
  EXPECT_EQ(lines[1], " input vdd, gnd, ;");
  EXPECT_EQ(lines[2], " output ;");
  EXPECT_EQ(lines[3], " wire ;");
  EXPECT_EQ(lines[5], "    INV  U1 ( .out(y) );");
  EXPECT_EQ(lines[9], "    sink  X2 ( .A(a), ");
  EXPECT_EQ(lines[12], " /***The following are Pseudo_Gate : ***/");
  EXPECT_EQ(lines[15], " D1 z 0.000000e+00 dmod ");
}

TEST_F(CircuitTest, WireDeclarationBreaksAfterEveryTenthName) {
  for (int count : {10, 11}) {
    WireHead = nullptr;
    Wire wire;
    for (int i = 1; i <= count; ++i) WireHead = wire.insert_wire(WireHead, s(("w" + std::to_string(i)).c_str()));
    testing::internal::CaptureStdout();
    auto lines = body_lines(written([](FILE* fp) { write_netlist_file(fp, s("vdd"), s("gnd")); }));
    testing::internal::GetCapturedStdout();
    if (count == 10) {
      EXPECT_EQ(lines[3], " wire  w1, w10, w9, w8, w7, w6, w5, w4, w3, w2");
      EXPECT_EQ(lines[4], ";");
    } else {
      EXPECT_EQ(lines[3], " wire  w1, w11, w10, w9, w8, w7, w6, w5, w4, w3,");
      EXPECT_EQ(lines[4], " w2;");
    }
  }
}

// Missing supply or ground, a missing declaration card and an untyped gate
// must give well-formed text, never "(null)".
TEST_F(CircuitTest, NetlistFillsGapsAndMovesPinsToTheirRoles) {
  OutputHead = ports({"y", "z"});
  gate("AOOI112", "~((a | b) | (c & d))", {{'a', "p"}, {'c', "r"}, {'b', "q"}, {'d', "s"}}, "y");
  gate(nullptr, "", {{'a', "p"}}, "w");
  gate("OAI12", "~((a | b) & c)", {{'a', "p"}, {'b', "q"}, {'c', "r"}}, "z");
  testing::internal::CaptureStdout();
  std::string file = written([](FILE* fp) { write_netlist_file(fp, nullptr, s("gnd")); });
  testing::internal::GetCapturedStdout();
  auto lines = body_lines(file);
  EXPECT_EQ(file.find("(null)"), std::string::npos);
  EXPECT_EQ(lines[0], " module top (gnd, y, z); ");
  EXPECT_EQ(lines[1], " input gnd, ;");
  EXPECT_EQ(lines[5], "    AOOI112  U1 ( .c(p), .a(r), .d(q), .b(s), .out(y) );");
  EXPECT_EQ(lines[6], "    // gate1: n-branch without a gate type, output w");
  EXPECT_EQ(lines[7], "    OAI12  U2 ( .a(p), .b(q), .c(r), .out(z) );");
}
