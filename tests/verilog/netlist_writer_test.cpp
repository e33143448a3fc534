// The Verilog netlist and its wire list, written from circuit state set by
// hand straight into the globals the writer reads, and the pin maps its
// instances follow.
#include "classic/verilog/netlist_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "classic/algo/gate_types.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/extract/cgate.h"
#include "classic/match/records.h"
#include "classic/netlist/arena.h"
#include "classic/verilog/header_writer.h"
#include "classic/verilog/pin_map.h"
#include "classic/verilog/records.h"
#include "classic/verilog/wire.h"
#include "core/verilog/identifier.h"

namespace {

char* s(const char* text) { return arena::strdup(text); }

// Records linked in the order given, each filled from its item.
template <class T, class Item, class Fill>
T* chain(std::initializer_list<Item> items, Fill fill) {
  T* head = nullptr;
  for (T** tail = &head; const Item& item : items) {
    *tail = arena_new<T>();
    fill(*tail, item);
    tail = &(*tail)->next;
  }
  return head;
}

INOUTLIST* ports(std::initializer_list<const char*> names) {
  return chain<INOUTLIST>(names, [](INOUTLIST* r, const char* n) { r->pinname = s(n); });
}

using Pin = std::pair<const char*, const char*>;
RESULTLIST* instance(const char* lib, std::initializer_list<Pin> in, std::initializer_list<Pin> out) {
  auto fill = [](EQUALNAMELIST* r, Pin p) { r->macromodel_name = s(p.first), r->circuit_name = s(p.second); };
  auto* r = arena_new<RESULTLIST>();
  r->libname = s(lib);
  r->input_list = chain<EQUALNAMELIST>(in, fill);
  r->output_list = chain<EQUALNAMELIST>(out, fill);
  return r;
}

// Everything `write` puts into a stream.
template <class Fn>
std::string written(Fn write) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  write(fp);
  fclose(fp);
  std::string out(buf, len);
  free(buf);
  return out;
}

class CircuitTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_run(); }

  // A gate whose n-branch was recognised as `type` from `expr`.
  void gate(const char* type, const char* expr, std::initializer_list<std::pair<char, const char*>> letters,
            const char* out, bool cmos = true, std::initializer_list<const char*> inputs = {}) {
    auto* b = arena_new<Branch>(0);
    b->headername = type ? s(type) : nullptr;
    b->pn_node = s(out);
    b->mos_list = arena_new<MOSLIST>();
    b->mos_list->g = s(expr);
    b->name_list = chain<NAMELIST>(letters, [](NAMELIST* r, auto l) {
      r->virtual_name = l.first, r->gatename = s(l.second);
    });
    std::string name = "gate" + std::to_string(gates_.size());
    gates_.push_back(arena_new<CGate>(name.data(), b, b, cmos));
    gates_.back()->inlist = chain<PINLIST>(inputs, [](PINLIST* r, const char* n) { r->NodeName = s(n); });
    hash_gate_list = gates_.data();
    num_of_gates = static_cast<int>(gates_.size());
  }

  std::vector<CGate*> gates_;
};

// The lines of the netlist after its five banner lines.
std::vector<std::string> netlist_lines(char* pvdd, char* pgnd) {
  std::string file = written([&](FILE* fp) { write_netlist_file(fp, pvdd, pgnd); });
  EXPECT_EQ(file.find("(null)"), std::string::npos);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = file.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(file.substr(start, end - start));
  return {lines.begin() + 5, lines.end()};
}

TEST(HeaderWriter, MatchesTheReferenceLibraryByteForByte) {
  std::stringstream expected;
  expected << std::ifstream(VERILOG_TEST_DATA "/header.v", std::ios::binary).rdbuf();
  EXPECT_EQ(written(write_header_file), expected.str());
}

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
  EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 6),
            (std::vector<std::string>{" module top (gnd); ", " input gnd;", "",
                                      "    AOOI112  U1 ( .c(p), .a(r), .d(q), .b(s), .out(y) );",
                                      "    // gate1: n-branch without a gate type, output w",
                                      "    INV  U2 ( .out(v) );"}));
  EXPECT_EQ(lines[9] + "\n" + lines[15], "    sink  X3 ( .A(a) );\n// D1 z 0.000000e+00 dmod ");

  // Ten wires a line.
  for (int i = 1; i <= 10; ++i) WireHead = Wire().insert_wire(WireHead, s(("w" + std::to_string(i)).c_str()));
  lines = netlist_lines(s("vdd"), s("gnd"));
  EXPECT_EQ(lines[2] + "\n" + lines[3], " wire  w1, w10, w9, w8, w7, w6, w5, w4, w3, w2\n;");
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

TEST_F(CircuitTest, WireListOrderAndExclusions) {
  InputHead = ports({"top", "a", "b"});
  OutputHead = ports({"y"});
  hash_node_list.set(7, arena_new<NODELIST>());
  gate("NAND2", "", {}, "y", true, {"a", "p", "top"});
  gate("INV", "", {}, "z", true, {"never"});
  gate("NOR2", "", {}, "y", false, {"q", "p", "gnd", "b", "n7", "x07", "ghost", "ghost"});
  hash_gate_list[1] = nullptr;  // folded into an instance
  ResultHead = instance("half", {{"A", "q"}, {"B", "r"}}, {{"Y", "y"}});
  Wire().generate_wirelist();
  // Found p, q, gnd, n7, ghost, r: the ground net is no port, x07 is node 7;
  // nets without a node record are guarded by name.
  std::string names;
  for (WIRELIST* w = WireHead; w; w = w->next) names += std::string(w->wirename) + " ";
  EXPECT_EQ(names, "p r ghost n7 gnd q ");
}

TEST(PinMap, EvaluatorReadsGateExpressions) {
  EXPECT_EQ(evaluate_expression("~((a & b) | c)", 0b011), false);
  EXPECT_EQ(evaluate_expression("a | b & c", 0b001), true);  // & binds tighter
  EXPECT_EQ(evaluate_expression("~~f", 0b100000), true);
  for (const char* bad : {"~(a & b", "a & g", "a b", ""}) EXPECT_FALSE(evaluate_expression(bad, 0)) << bad;
}

// Each recognised form, instantiated through its mapping, computes the form's
// own function in its module.
TEST(PinMap, EveryFormComputesItsFunctionInItsModule) {
  for (int r = 0; r < kNumGateTypeRows; ++r) {
    const char* type = kGateTypeTable[r].name;
    const HeaderModule* module = find_header_module(type);
    ASSERT_NE(module, nullptr) << type;
    int n = static_cast<int>(std::strlen(module->inputs) + 2) / 3;
    for (const char* form : kGateTypeTable[r].forms) {
      if (!form) break;
      const char* mapping = pin_mapping_for(type, form);
      for (unsigned v = 0; v < (1u << n); ++v) {
        unsigned w = 0;
        for (int k = 0; k < n; ++k) w |= ((v >> k) & 1u) << (map_pin_letter(mapping, char('a' + k)) - 'a');
        ASSERT_EQ(evaluate_expression(form, v), evaluate_expression(module->expr, w)) << form << " v=" << v;
      }
    }
  }
  EXPECT_STREQ(pin_mapping_for("AOOI112", "~((a | b) | (c & d))"), "cdab");
  EXPECT_EQ(smallest_pin_mapping("~(a & b)", "~(a | b)"), "");
  EXPECT_EQ(smallest_pin_mapping("~(a & b)", "~(a & b & c)"), "");
  EXPECT_EQ(pin_mapping_for("AOI22", "~((a | b) | (c & d))"), nullptr);  // another type's form
}

}  // namespace
