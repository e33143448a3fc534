// The netlist reader: its scanner and its grammar, fed two input files the
// way the driver does (the first open, the second opened when the first
// runs out).
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <string>

#include "classic/netlist/netlist.h"
#include "classic/netlist/parser.h"
#include "classic/netlist/scanner.h"

namespace {

void write_file(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

void open_inputs(const std::string& first, const std::string& second) {
  // Named per process: test cases run as parallel processes.
  static std::string stem = testing::TempDir() + "netlist_" + std::to_string(getpid());
  static std::string paths[2] = {stem + "_in1.sp", stem + "_in2.sp"};
  static char* argv[] = {const_cast<char*>("parser"), paths[0].data(), paths[1].data(), nullptr};
  write_file(paths[0], first);
  write_file(paths[1], second);
  files = argv;
  file_num = 1;
  scanner_start(std::fopen(paths[0].c_str(), "r"));
}

const char* const kNames[] = {"NAME",   "R_NAME", "L_NAME", "C_NAME",   "G_NAME",   "E_NAME",         "INTEGER",
                              "V_NAME", "I_NAME", "F_NAME", "H_NAME",   "D_NAME",   "M_NAME",         "FLOAT",
                              "DOT_TRAN", "DOT_SUBCKT", "DOT_MACROMODEL", "DOT_MODEL", "DOT_ENDS", "DOT_ENDM",
                              "Q_NAME", "DOT_PRINT", "DOT_OP", "DOT_DC"};

std::string render(int code) {
  if (code < NAME) return std::string("'") + static_cast<char>(code) + "'";
  std::string s = std::string(kNames[code - NAME]) + ":";
  if (code != FLOAT) return s + yylval.svalue;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", yylval.fvalue);
  return s + buf;
}

// The tokens of the two files, one word each, then "|" and the characters
// the scanner copies to its output.
std::string scan(const std::string& first, const std::string& second = "") {
  open_inputs(first, second);
  testing::internal::CaptureStdout();
  std::string tokens;
  for (int code; (code = yylex()) != 0;) tokens += (tokens.empty() ? "" : " ") + render(code);
  return tokens + "|" + testing::internal::GetCapturedStdout();
}

TEST(Scanner, NumbersAndScaleLetters) {
  EXPECT_EQ(scan("x 10p 10.0p 1.2.3 2M 2m 10meg 1.5f"),
            "NAME:x NAME:10p FLOAT:1e-11 FLOAT:1.2 INTEGER:3 FLOAT:2e+06 FLOAT:0.002 FLOAT:0.01 NAME:eg FLOAT:1.5|"
            "   .    ");
  EXPECT_EQ(scan("x -5 -5.0 -5k +2. 1e+-2 1e-11"),
            "NAME:x INTEGER:5 FLOAT:-5 FLOAT:5000 FLOAT:2 FLOAT:1 FLOAT:1e-11| -  -   ");
  EXPECT_EQ(scan("x 10.0p"), "NAME:x FLOAT:1e-11| ");
  EXPECT_EQ(yylval.fvalue, 10.0f * 1e-12f);  // scaled in single precision
  EXPECT_EQ(scan("007 000 99999999999"), "INTEGER:7 INTEGER:0 INTEGER:99999999999|  ");
  EXPECT_EQ(yylval.ivalue, INT_MAX);
}

TEST(Scanner, NamesStopAtOtherCharacters) {
  EXPECT_EQ(scan("x net_1 out1p2 out1a vdd!\n* note\n"),
            "NAME:x NAME:net INTEGER:1 NAME:out1p INTEGER:2 NAME:out1 NAME:a NAME:vdd NAME:note| _   !\n* \n");
}

// The indentation belongs to the token.
TEST(Scanner, LineStartRules) {
  EXPECT_EQ(scan("  M2 out in 0 0 nmos l=1.0u w=2e-6\n"),
            "M_NAME:M2 NAME:out NAME:in INTEGER:0 INTEGER:0 NAME:nmos NAME:l '=' FLOAT:1e-06 NAME:w '=' FLOAT:2e-06|"
            "       \n");
  EXPECT_EQ(scan("Cap1 R\nR\n.END\n.endsx R1\n\t.model\n"),
            "C_NAME:Cap1 NAME:R NAME:R NAME:END DOT_ENDS:.ends NAME:x NAME:R1 DOT_MODEL:.model| \n\n.\n \n\n");
  EXPECT_EQ(scan(".tran .subckt top a\nR1 .op .dc .print .endm\n"),
            "DOT_TRAN:.tran NAME:subckt NAME:top NAME:a R_NAME:R1 NAME:op NAME:dc NAME:print NAME:endm|"
            " .  \n . . . .\n");
  EXPECT_EQ(scan(" .subckt top a b\nR1\n.macromodel inv a\n"),
            "DOT_SUBCKT:.subckt R_NAME:R1 DOT_MACROMODEL:.macromodel|\n");
}

TEST(Scanner, FandHCardsNeedTheNewlineBeforeThem) {
  EXPECT_EQ(scan("F1 a\nF2 b\n  h3 c\n\nH4\n"),
            "NAME:F1 NAME:a F_NAME:F2 NAME:b H_NAME:h3 NAME:c H_NAME:H4|   \n\n");
  EXPECT_EQ(scan(".subckt top\nF1 a\n"), "DOT_SUBCKT:.subckt NAME:F1 NAME:a| \n");
}

TEST(Scanner, SecondFileContinuesTheStream) {
  EXPECT_EQ(scan("R1 a b 1", "0 x\n"), "R_NAME:R1 NAME:a NAME:b INTEGER:1 INTEGER:0 NAME:x|    \n");
  EXPECT_EQ(scan("x\n", "M1 a\n"), "NAME:x M_NAME:M1 NAME:a|\n \n");
  EXPECT_EQ(scan("x", "M1 a\n"), "NAME:x NAME:M1 NAME:a| \n");
  EXPECT_EQ(scan("x\n", "F1 a\n"), "NAME:x NAME:F1 NAME:a|\n \n");  // the newline stays in the first file
  EXPECT_EQ(scan(".subckt top", "\n"), "NAME:subckt NAME:top|. \n");
  EXPECT_EQ(yylex(), 0);  // stays at end of input
}

TEST(Scanner, LexemeLimit) {
  std::string longest(kLexemeLimit, 'a');
  EXPECT_EQ(scan(longest + " " + std::string(5000, '*')), "NAME:" + longest + "| " + std::string(5000, '*'));
  EXPECT_EXIT(scan("x " + longest + "b"), testing::ExitedWithCode(1), "");
}

TEST(Scanner, UnreadableSecondFileEndsTheProcess) {
  open_inputs("R1", "");
  static char* missing[] = {const_cast<char*>("parser"), const_cast<char*>("a"), const_cast<char*>("/no/such/file")};
  files = missing;
  EXPECT_EXIT(while (yylex() != 0) {}, testing::ExitedWithCode(255), " can not open destination file !");
}

// The parser's status, "|", and what it printed.
std::string parse(const std::string& text) {
  reset_netlist_globals();
  open_inputs(text, "");
  testing::internal::CaptureStdout();
  int status = yyparse();
  return std::to_string(status) + "|" + testing::internal::GetCapturedStdout();
}

// One field of every record of a list, in list order, blank-separated.
template <class T, class F>
std::string join(T* head, F field) {
  std::string s;
  for (T* r = head; r; r = r->next) s += (s.empty() ? "" : " ") + std::string(field(r));
  return s;
}
auto element_name = [](Element* e) { return e->name; };
auto pin_name = [](PinList* p) { return p->NodeName; };
auto mos_name = [](MosList* m) { return m->mosname; };

auto pin = [](InoutList* p) { return p->pinname; };

// What the reader filed: elements, MOSFETs, definitions with their
// terminals and MOSFETs.
std::string filed() {
  auto def = [](MacroModelList* m) {
    return std::string(m->macromodel_name) + "(" + join(m->terminal_list, [](TerminalList* t) { return t->name; }) +
           ":" + join(m->mos_list, mos_name) + ")";
  };
  return "elements=" + join(ElementHead, element_name) + " mos=" + join(MosHead, mos_name) +
         " defs=" + join(MacroModelHead, def) + " flag=" + std::to_string(flag);
}

Element* element(const char* name) {
  for (Element* e = ElementHead; e; e = e->next)
    if (std::string(e->name) == name) return e;
  return nullptr;
}

TEST(Parser, ElementCards) {
  EXPECT_EQ(parse("R1 a b 10k\nC1 b 0 1.0p\nL1 a b 1n\nV1 vdd 0 -5\nI1 a 007 1m\nV2 x 0 -5.0\nD1 a b dmod\n"
                  "E1 a b c d 2\nG1 a b c d 2\nF1 a b c d 2\nH1 a b c d 2\n"),
            "0|   \n   \n   \n   -\n   \n   \n   \n     \n               \n");
  EXPECT_EQ(join(ElementHead, [](Element* e) {
              return std::string(e->name) + ":" + std::to_string(e->type) + ":" + join(e->nodelist, pin_name) + ":" +
                     e->Model;
            }),
            "R1:0:a b: H1:7:a b c d: F1:9:a b c d: G1:8:a b c d: E1:6:a b c d: D1:10:a b:dmod V2:3:x 0: I1:5:a 7: "
            "V1:3:vdd 0: L1:2:a b: C1:1:b 0:");
  EXPECT_EQ((std::array{element("R1")->value, element("V1")->value, element("V2")->value, element("D1")->value}),
            (std::array{10.0f * 1e3f, 5.0f, -5.0f, 0.0f}));
}

// What the extraction reads of MOSFET and model cards: nets, model names and
// channel words; sizes, parameters, bipolar and analysis cards are read past.
TEST(Parser, TransistorsModelsAndAnalysisCards) {
  EXPECT_EQ(parse("M1 out in vdd vdd pmos w=1u l=2u\nM2 out in gnd gnd nmos l=1u w=1u\nQ1 c b e qmod\n"
                  ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model dmod d is=1e-14 n=1.0\n"
                  ".model n2 nmos level=1.0 kp=5e-5\n"),
            "0|       \n       \n    \n      \n    \n    \n");
  auto mos_fields = [](MosList* m) {
    return std::string(m->mosname) + ":" + m->d + m->g + m->s + m->b + m->modelname;
  };
  EXPECT_EQ(join(MosHead, mos_fields), "M1:outinvddvddpmos M2:outingndgndnmos");
  EXPECT_EQ(join(ModelHead, [](ModelList* m) { return std::string(m->name) + "/" + m->npmos; }),
            "nmos/nmos n2/nmos dmod/d");

  // An integer commits to four parameters.
  EXPECT_EQ(parse(".model dmod d is=1 n=1.0\nR1 a b 1\n"), "1|    \nsyntax error\n");
  EXPECT_EQ(ModelHead, nullptr);
  EXPECT_EQ(parse(".tran 1n 100n\n.print v(3)\n.op\n.dc V1 0 5 0.1\n.ends top\n"), "0|  \n \n\n    \n \n");
  EXPECT_EQ(parse(".print tran v(3)\n"), "1|  syntax error\n");
}

TEST(Parser, CircuitDeclarationAndDefinitions) {
  parse(".subckt top a b c\nM1 y a vdd vdd pmos l=1u w=2u\n.macromodel inv a y\nM2 y a gnd gnd nmos l=1u w=1u\n"
        "M3 y a vdd vdd pmos l=1u w=2u\nE1 a b c d 2\nR1 a b 1\n.model nmos nmos level=1 kp=1 vto=1 lambda=1\n"
        ".endm inv\n.subckt x d\n.ends top\n");
  EXPECT_EQ(join(InputHead, pin) + " / " + filed(), "top d x c b a / elements=E1 mos=M1 defs=inv(a y:M2 M3) flag=1");
  ASSERT_NE(MacroModelHead, nullptr);
  EXPECT_EQ(join(MacroModelHead->element_list, element_name) + " " + MacroModelHead->model_list->name, "R1 nmos");

  // CRLF line ends: the carriage return is no part of the last word.
  parse(".subckt top a b\r\n.macromodel inv a\rb y\r\n.endm inv\r\n");
  EXPECT_EQ(join(InputHead, pin) + " / " + filed(), "top b a / elements= mos= defs=inv(a\rb y:) flag=1");
}

// A syntax error stops the scan at the offending token; definitions left
// malformed lose nothing.
TEST(Parser, SyntaxErrorsAndMalformedDefinitions) {
  const char* const M1 = "M1 p p 0 0 n l=1 w=1\n";
  const std::array<std::string, 3> rows[] = {  // netlist, status and printed text, what was filed
      {"R1 a b 10k\nR2 a ( 5\nR3 a b 1\n", "1|   \n  syntax error\n", "elements=R1 mos= defs= flag=1"},
      {"R1 a b 1\n.end\n", "1|   \n.syntax error\n", "elements=R1 mos= defs= flag=1"},
      {"R1 a b", "1|  syntax error\n", "elements= mos= defs= flag=1"},
      {"* a note\n", "1|* syntax error\n", "elements= mos= defs= flag=1"},
      {"", "0|", "elements= mos= defs= flag=1"},
      {"*\n", "0|*\n", "elements= mos= defs= flag=1"},
      {".endm x\nR1 a b 1\n", "0| .endm x without an open .macromodel, ignored\n\n   \n",
       "elements=R1 mos= defs= flag=1"},
      {".macromodel a p\n" + std::string(M1) + ".macromodel b q\nM2 q q 0 0 n l=1 w=1\n.endm b\n",
       "0|       \nmacromodel a has no .endm, closed at the next .macromodel\n       \n \n",
       "elements= mos= defs=a(p:M1) b(q:M2) flag=1"},
      {".macromodel\n" + std::string(M1) + ".endm inv\n.macromodel\n.macromodel c\n.endm c\n",
       "0|.macromodel without a name, named after its .endm card\n       \n \n"
       ".macromodel without a name, named after its .endm card\n"
       "macromodel unnamed has no .endm, closed at the next .macromodel\n \n",
       "elements= mos= defs=inv(:M1) c(:) unnamed(:) flag=1"},
      // Left open at the end of input, or at a syntax error: filed all the same.
      {".macromodel d p\n" + std::string(M1), "0|       \nmacromodel d has no .endm, closed at the end of input\n",
       "elements= mos= defs=d(p:M1) flag=1"},
      {".macromodel e p\n" + std::string(M1) + ".end\n",
       "1|       \n.syntax error\nmacromodel e has no .endm, closed at the end of input\n",
       "elements= mos= defs=e(p:M1) flag=1"},  };
  for (const auto& [text, out, state] : rows) {
    EXPECT_EQ(parse(text), out) << text;
    EXPECT_EQ(filed(), state) << text;
  }
}

}  // namespace
