#include <gtest/gtest.h>

#include "parser_run.h"
#include "profile/messages/messages.h"

namespace {

using namespace parser_run;

using M = messages::Message;

TEST(Profile, HelpAndVersion) {
  fs::path d = work_dir("options");
  Outcome r = run(d, "--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: parser [OPTIONS] NETLIST... -o OUT.v\n", 0), 0u);
  r = run(d, "--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "parser 1.1 (CMOS gate extractor)\n");
}

// A deck too large for the memory the run may take stops with a message
// naming the step and exit status 1, not an abort, and leaves no file.
TEST(Profile, OutOfMemoryStopsTheRunWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer maps more address space than the limit leaves";
#endif
  fs::path d = work_dir("memory");
  {
    std::ofstream deck(d / "big.sp");
    for (int i = 0; i < 600000; ++i) deck << "M" << i << " n" << i << " g" << i % 97 << " n" << i + 1 << " 0 nmos\n";
  }
  Outcome r = run(d, "big.sp -o out.v", "ulimit -v 120000 && ");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("parser: out of memory in the ", 0), 0u) << r.err;
  EXPECT_FALSE(fs::exists(d / "out.v") || fs::exists(d / "out.v.part"));
}

// What a run writes on standard error, and its exit status; a run that
// fails leaves no output file. The first rows spell the bytes out, so that
// the message table itself is checked.
TEST(Profile, MessagesAndExitStatus) {
  fs::path d = work_dir("messages");
  auto usage = [](M m) { return messages::format(M::Usage, {messages::format(m)}); };
  const struct {
    const char* deck;  // written to in.sp
    const char* args;
    int status;
    std::string err;
  } rows[] = {
      {"* cells\n.subckt a x y\n.ends\n.ends\n", "in.sp -o out.v", 1, "in.sp:4: .ends without .subckt\n"},
      {"\nM1 d g s b mystery\n", "in.sp -o out.v", 1,
       "in.sp:2: MOSFET M1: model mystery is neither n- nor p-channel (see --nmos, --pmos)\n"},
      {".subckt a x\nx1 x y a\n.ends\nX0 n a\n", "in.sp -o out.v", 1,
       "in.sp:2: x1 calls a with 2 nodes; it has 1 pins\n"},
      {".frobnicate\nR1 a b 1\n", "-q in.sp -o out.v", 0, "in.sp:1: warning: card .frobnicate ignored\n"},
      {"* nothing\n", "in.sp -o out.v", 1,
       "no circuit to extract: no devices outside .subckt and no uncalled .subckt\n"},
      {"", "-o out.v", 2, "parser: no netlist file given\nTry 'parser --help' for more information.\n"},
      {"M1 d g s b nmos\n+ w={2*w\n", "in.sp -o out.v", 1,
       messages::located("in.sp", 2, M::UnclosedQuote, {"{"}) + "\n"},
      {"", "missing.sp --output=out.v", 1, messages::format(M::CannotOpen, {"missing.sp"}) + "\n"},
      // The words of a binary file reach the terminal as printable text.
      {"* x\n\x01\x1b[31m\xff\xe2\x82\xac b c\n", "in.sp -o out.v", 1,
       "in.sp:2: no card begins with \\x01\\x1b[31m\\xff\xe2\x82\xac\n"},
      {"", "in.sp", 2, usage(M::NoOutput)},
      {"", "in.sp -o a.v -o out.v", 2, usage(M::OnlyOneOutput)},
      {"", "--frobnicate in.sp -o out.v", 2,
       std::string(PARSER_EXE) + ": unrecognized option '--frobnicate'\n" + usage(M::BadCommandLine)},
  };
  for (const auto& row : rows) {
    std::ofstream(d / "in.sp") << row.deck;
    Outcome r = run(d, row.args);
    EXPECT_EQ(r.status, row.status) << row.args << "\n" << row.deck;
    EXPECT_EQ(r.err, row.err);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(fs::exists(d / "out.v"), row.status == 0) << row.deck;
    EXPECT_FALSE(fs::exists(d / "out.v.part")) << row.deck;
    fs::remove(d / "out.v");
  }
}

const char* const kCells =
    ".subckt INV A VGND VNB VPB VPWR Y\n"
    "X0 VGND A Y VNB sky130_fd_pr__nfet_01v8 w=650000u l=150000u\n"
    "X1 VPWR A Y VPB sky130_fd_pr__pfet_01v8_hvt w=1e+06u l=150000u\n"
    ".ends\n"
    ".subckt nand2 A B VGND VNB VPB VPWR Y\n"
    "X0 Y A VPWR VPB sky130_fd_pr__pfet_01v8_hvt\n"
    "X1 VPWR B Y VPB sky130_fd_pr__pfet_01v8_hvt\n"
    "X2 VGND B a_1# VNB sky130_fd_pr__nfet_01v8\n"
    "X3 a_1# A Y VNB sky130_fd_pr__nfet_01v8\n"
    ".ends\n";

const char* const kChain =
    "* an inverter into a NAND, through the hierarchy\n"
    ".include \"lib/cells.sp\"\n"
    ".subckt chain IN OUT[0] VPWR VGND\n"
    "X1 IN VGND VGND VPWR VPWR n_1 INV\n"
    "Xb n_1 IN VGND VGND VPWR VPWR OUT[0] nand2\n"
    ".ends chain\n";

// Whole runs that succeed: what they say on standard error besides the
// summary (-q), and pieces of the Verilog they write, each found after the
// one before.
TEST(Profile, RunsWriteGatesAndCellsWithOriginalNames) {
  fs::path d = work_dir("runs");
  fs::create_directories(d / "lib");
  std::ofstream(d / "lib/cells.sp") << kCells;
  std::ofstream(d / "chain.sp") << kChain;
  std::ofstream(d / "w.sp") << ".subckt top a y unused vdd gnd\nmp y f vdd vdd pch\nmn y f gnd gnd nch\n"
                               "xbb a y opamp\n.ends\n";
  std::ofstream(d / "my-inv.cir") << "M1 y a VSS VSS nch\nM2 y a VDD VDD pch\nV1 VDD 0 1.8\n";
  const struct {
    const char* args;
    std::string err;
    std::vector<const char*> written;
  } rows[] = {
      // Gates through the hierarchy flattened; the modules they use follow
      // the top module in the same file.
      {"-q --flatten chain.sp -o out.v", "",
       {"module chain(IN, \\OUT[0] , VPWR, VGND);\ninput IN;\noutput \\OUT[0] ;\ninput VPWR;\ninput VGND;\nwire n_1;\n",
        "INV U1 ( .a(IN), .out(n_1) );\nNAND2 U2 ( .a(IN), .b(n_1), .out(\\OUT[0] ) );\nendmodule",
        "module INV(a, out);"}},
      // The hierarchy kept: each call an instance of its subcircuit's
      // module, pins by name; a table module the deck's INV shadows takes
      // a suffix.
      {"-q chain.sp -o out.v", "",
       {"wire n_1;\nINV X1 ( .A(IN), .VGND(VGND), .VNB(VGND), .VPB(VPWR), .VPWR(VPWR), .Y(n_1) );\n"
        "nand2 Xb ( .A(n_1), .B(IN), .VGND(VGND), .VNB(VGND), .VPB(VPWR), .VPWR(VPWR), .Y(\\OUT[0] ) );\nendmodule\n",
        "module INV(A, VGND, VNB, VPB, VPWR, Y);", "INV_2 U1 ( .a(A), .out(Y) );",
        "module nand2(A, B, VGND, VNB, VPB, VPWR, Y);", "module INV_2(a, out);"}},
      // The library's cells found: the NAND's inputs land as the call placed
      // them; the wells take the nets the circuit's MOSFETs have as bulk;
      // each instance is the call whose devices it covers, and keeps its name.
      {"-q -l lib/cells.sp chain.sp -o out.v", "",
       {"wire n_1;\nINV X1 ( .A(IN), .VGND(VGND), .VNB(VGND), .VPB(VPWR), .VPWR(VPWR), .Y(n_1) );\n"
        "nand2 Xb ( .A(n_1), .B(IN), .VGND(VGND), .VNB(VGND), .VPB(VPWR), .VPWR(VPWR), .Y(\\OUT[0] ) );\nendmodule\n",
        "module INV(A, VGND, VNB, VPB, VPWR, Y);", "module nand2(A, B, VGND, VNB, VPB, VPWR, Y);"}},
      // Warnings go to standard error and the run goes on.
      {"--quiet w.sp -o out.v",
       messages::located("w.sp:4", M::BlackBox, {"opamp"}) + "\n" +
           messages::located("w.sp:1", M::UnusedPort, {"unused", "top"}) + "\n" +
           messages::located("w.sp:1", M::NoDriver, {"f"}) + "\n",
       {"INV U1 ( .a(f), .out(y) );\nopamp xbb ( a, y );\n", "module opamp(p0, p1);"}},
      // A deck without .subckt is the top, named after its file, with its
      // rails as ports.
      {"-q my-inv.cir -o out.v", messages::located("my-inv.cir", M::NoDriver, {"a"}) + "\n",
       {"module \\my-inv (VDD, VSS, \\0 );\ninput VDD;\ninput VSS;\ninput \\0 ;\n", "INV U1 ( .a(a), .out(y) );\n",
        "// V1 VDD 0 1.8\n"}},
  };
  for (const auto& row : rows) {
    Outcome r = run(d, row.args);
    ASSERT_EQ(r.status, 0) << row.args << "\n" << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, row.err);
    std::string v = slurp(d / "out.v");
    std::size_t at = 0;
    for (const char* piece : row.written) EXPECT_NE(at = v.find(piece, at), std::string::npos) << piece << "\n" << v;
  }
}

TEST(Profile, ExtractedDesignComesBackCellForCell) {
  // As a layout tool writes it: black-box entries, the top on rails of its
  // own names, calls of cells that share one network. bufa and bufb differ
  // in widths only; bufc equals bufa but for which end of each device is
  // the drain, so only the call tells them apart.
  fs::path d = work_dir("extracted");
  auto buffer = [](const std::string& name, const char* wn, const char* wp, bool flipped) {
    auto mos = [&](const char* n, const char* a, const char* b, const char* g, const char* bulk, const char* model,
                   const char* w) {
      return std::string(n) + " " + (flipped ? b : a) + " " + g + " " + (flipped ? a : b) + " " + bulk + " " + model +
             " w=" + w + " l=150000u\n";
    };
    return ".subckt " + name + " A VGND VNB VPB VPWR X\n" + mos("X0", "m", "VGND", "A", "VNB", "nfet", "420000u") +
           mos("X1", "m", "VPWR", "A", "VPB", "pfet", "640000u") + mos("X2", "X", "VGND", "m", "VNB", "nfet", wn) +
           mos("X3", "X", "VPWR", "m", "VPB", "pfet", wp) + ".ends\n";
  };
  std::ofstream(d / "cells.sp") << ".param wide=1.3\n" << buffer("bufa", "650000u", "1e+06u", false)
                                << buffer("bufb", "{wide/2}", "2u m=1", false)
                                << buffer("bufc", "650000u", "1e+06u", true);
  // Cells without logic: an antenna diode, a decap, a fill. A tie cell: its
  // outputs reach the rails through short devices only. A NOR called twice
  // with its inputs swapped: each comes back pin for pin.
  std::ofstream(d / "cells.sp", std::ios::app)
      << ".subckt ant DIODE VGND VNB VPB VPWR\nD0 VGND DIODE sky130_fd_pr__diode_pw2nd\n"
         "X0 VGND DIODE sky130_fd_pr__diode_pw2nd area=0.43\n.ends\n.subckt decap VGND VNB VPB VPWR\n"
         "X0 VGND VPWR VGND VNB nfet w=1 l=1\nX1 VPWR VGND VPWR VPB pfet w=1 l=1\n.ends\n"
         ".subckt fill VGND VNB VPB VPWR\n.ends\n.subckt tie VGND VNB VPB VPWR HI LO\nX0 VGND LO VNB short w=0.48 l=0.045\n"
         "X1 HI VPWR VNB short w=0.48 l=0.045\n.ends\n.subckt nor2x A B VGND VNB VPB VPWR Y\n"
         "X0 Y A VGND VNB nfet w=0.65 l=0.15\nX1 VGND B Y VNB nfet w=0.65 l=0.15\nX2 p A VPWR VPB pfet w=1 l=0.15\n"
         "X3 Y B p VPB pfet w=1 l=0.15\n.ends\n";
  std::ofstream(d / "design.sp")
      << ".subckt bufa A VGND VNB VPB VPWR X\n.ends\n.subckt bufb A VGND VNB VPB VPWR X\n.ends\n"
         ".subckt bufc A VGND VNB VPB VPWR X\n.ends\n.subckt top i o vccd1 vssd1\n"
         "X_1_ i vssd1 vssd1 vccd1 vccd1 a bufb\nX_2_ a vssd1 vssd1 vccd1 vccd1 b bufc\n"
         "X_3_ b vssd1 vssd1 vccd1 vccd1 o bufa\nX_4_ o b vssd1 vssd1 vccd1 vccd1 y1 nor2x\n"
         "X_5_ b o vssd1 vssd1 vccd1 vccd1 y2 nor2x\nXANT a vssd1 vssd1 vccd1 vccd1 ant\n"
         "XDECAP vssd1 vssd1 vccd1 vccd1 decap\nXFILL vssd1 vssd1 vccd1 vccd1 fill\n"
         "XTIE vssd1 vssd1 vccd1 vccd1 hi lo tie\nX_6_ hi lo vssd1 vssd1 vccd1 vccd1 y3 nor2x\n.ends\n";
  Outcome r = run(d, "-q design.sp -l cells.sp -o out.v");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, messages::located("design.sp:7", M::LeftOut, {"2", "3"}) + "\n");
  std::string v = slurp(d / "out.v");
  EXPECT_EQ(v.find("XANT"), std::string::npos) << v;
  EXPECT_EQ(v.find("diode"), std::string::npos) << v;
  // The tie cell is found as the call it was, and holds the constants.
  EXPECT_NE(v.find("tie XTIE ( .VGND(vssd1), .VNB(vssd1), .VPB(vccd1), .VPWR(vccd1), .HI(hi), .LO(lo) );"), std::string::npos)
      << v;
  EXPECT_NE(v.find("output LO;\nassign HI = 1'b1;\nassign LO = 1'b0;\nendmodule"), std::string::npos) << v;
  EXPECT_EQ(v.find("short"), std::string::npos) << v;

  // The same buffer written out flat: nothing tells bufa from bufc, and the
  // run says so.
  std::ofstream(d / "flat.sp") << ".subckt flat A X vccd1 vssd1\nX0 m A vssd1 vssd1 nfet w=420000u l=150000u\n"
                                  "X1 m A vccd1 vccd1 pfet w=640000u l=150000u\n"
                                  "X2 X m vssd1 vssd1 nfet w=650000u l=150000u\n"
                                  "X3 X m vccd1 vccd1 pfet w=1e+06u l=150000u\n.ends\n";
  r = run(d, "-q flat.sp -l cells.sp -o flat.v");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, messages::located("flat.sp:1", M::Indistinct, {"bufa", "bufc"}) + "\n");
  EXPECT_NE(slurp(d / "flat.v").find("bufa bufa_1 ( .A(A),"), std::string::npos) << slurp(d / "flat.v");
  for (const char* line : {"bufb X_1_ ( .A(i), .VGND(vssd1), .VNB(vssd1), .VPB(vccd1), .VPWR(vccd1), .X(a) );",
                           "bufc X_2_ ( .A(a), .VGND(vssd1), .VNB(vssd1), .VPB(vccd1), .VPWR(vccd1), .X(b) );",
                           "bufa X_3_ ( .A(b), .VGND(vssd1), .VNB(vssd1), .VPB(vccd1), .VPWR(vccd1), .X(o) );",
                           "nor2x X_4_ ( .A(o), .B(b), .VGND(vssd1), .VNB(vssd1), .VPB(vccd1), .VPWR(vccd1), .Y(y1) );",
                           "nor2x X_5_ ( .A(b), .B(o), .VGND(vssd1), .VNB(vssd1), .VPB(vccd1), .VPWR(vccd1), .Y(y2) );"})
    EXPECT_NE(v.find(line), std::string::npos) << line << "\n" << v;
}

}  // namespace
