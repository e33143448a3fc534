#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "classic/netlist/netlist.h"
#include "classic/netlist/scanner.h"
#include "tests/netlist/inputs.h"

namespace {

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

// The tokens of the two files, one word each; the copied characters go to `copied`.
std::string scan(const std::string& first, const std::string& second = "", std::string* copied = nullptr) {
  open_inputs(first, second);
  testing::internal::CaptureStdout();
  std::string tokens;
  for (int code; (code = yylex()) != 0;) tokens += (tokens.empty() ? "" : " ") + render(code);
  std::string out = testing::internal::GetCapturedStdout();
  if (copied) *copied = out;
  return tokens;
}

TEST(Scanner, NumbersAndScaleLetters) {
  std::string copied;
  EXPECT_EQ(scan("x 10p 10.0p 1.2.3 2M 2m 10meg 1.5f", "", &copied),
            "NAME:x NAME:10p FLOAT:1e-11 FLOAT:1.2 INTEGER:3 FLOAT:2e+06 FLOAT:0.002 FLOAT:0.01 NAME:eg FLOAT:1.5");
  EXPECT_EQ(copied, "   .    ");
  EXPECT_EQ(scan("x -5 -5.0 -5k +2. 1e+-2 1e-11"), "NAME:x INTEGER:5 FLOAT:-5 FLOAT:5000 FLOAT:2 FLOAT:1 FLOAT:1e-11");
  EXPECT_EQ(scan("x 10.0p"), "NAME:x FLOAT:1e-11");
  EXPECT_EQ(yylval.fvalue, 10.0f * 1e-12f);  // scaled in single precision
  EXPECT_EQ(base_value, 1e-12f);
  EXPECT_EQ(scan("007 000 99999999999"), "INTEGER:7 INTEGER:0 INTEGER:99999999999");
  EXPECT_EQ(yylval.ivalue, INT_MAX);
}

TEST(Scanner, NamesStopAtOtherCharacters) {
  std::string copied;
  EXPECT_EQ(scan("x net_1 out1p2 out1a vdd!\n* note\n", "", &copied),
            "NAME:x NAME:net INTEGER:1 NAME:out1p INTEGER:2 NAME:out1 NAME:a NAME:vdd NAME:note");
  EXPECT_EQ(copied, " _   !\n* \n");
}

TEST(Scanner, LineStartRules) {
  std::string copied;
  EXPECT_EQ(scan("  M2 out in 0 0 nmos l=1.0u w=2e-6\n", "", &copied),
            "M_NAME:M2 NAME:out NAME:in INTEGER:0 INTEGER:0 NAME:nmos NAME:l '=' FLOAT:1e-06 NAME:w '=' FLOAT:2e-06");
  EXPECT_EQ(copied, "       \n");  // the indentation belongs to the token
  EXPECT_EQ(scan("Cap1 R\nR\n.END\n.endsx R1\n\t.model\n"),
            "C_NAME:Cap1 NAME:R NAME:R NAME:END DOT_ENDS:.ends NAME:x NAME:R1 DOT_MODEL:.model");
  EXPECT_EQ(scan(".tran .subckt top a\nR1 .op .dc .print .endm\n"),
            "DOT_TRAN:.tran NAME:subckt NAME:top NAME:a R_NAME:R1 NAME:op NAME:dc NAME:print NAME:endm");
  EXPECT_EQ(scan(" .subckt top a b\nR1\n.macromodel inv a\n"),
            "DOT_SUBCKT:.subckt R_NAME:R1 DOT_MACROMODEL:.macromodel");
  EXPECT_STREQ(subname, " .subckt top a b\n");
  EXPECT_STREQ(macromodelname, ".macromodel inv a\n");
}

TEST(Scanner, FandHCardsNeedTheNewlineBeforeThem) {
  std::string copied;
  EXPECT_EQ(scan("F1 a\nF2 b\n  h3 c\n\nH4\n", "", &copied),
            "NAME:F1 NAME:a F_NAME:F2 NAME:b H_NAME:h3 NAME:c H_NAME:H4");
  EXPECT_EQ(copied, "   \n\n");
  EXPECT_EQ(scan(".subckt top\nF1 a\n"), "DOT_SUBCKT:.subckt NAME:F1 NAME:a");
}

TEST(Scanner, SecondFileContinuesTheStream) {
  EXPECT_EQ(scan("R1 a b 1", "0 x\n"), "R_NAME:R1 NAME:a NAME:b INTEGER:1 INTEGER:0 NAME:x");
  EXPECT_EQ(scan("x\n", "M1 a\n"), "NAME:x M_NAME:M1 NAME:a");
  EXPECT_EQ(scan("x", "M1 a\n"), "NAME:x NAME:M1 NAME:a");
  EXPECT_EQ(scan("x\n", "F1 a\n"), "NAME:x NAME:F1 NAME:a");  // the newline stays in the first file
  EXPECT_EQ(scan(".subckt top", "\n"), "NAME:subckt NAME:top");
  EXPECT_EQ(yylex(), 0);  // stays at end of input
}

TEST(Scanner, LexemeLimit) {
  std::string longest(kLexemeLimit, 'a');
  EXPECT_EQ(scan(longest + " " + std::string(5000, '*')), "NAME:" + longest);
  EXPECT_EXIT(scan("x " + longest + "b"), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(scan(".subckt " + longest + "\n"), testing::ExitedWithCode(1), "");
}

TEST(Scanner, UnreadableSecondFileEndsTheProcess) {
  open_inputs("R1", "");
  static char* missing[] = {const_cast<char*>("parser"), const_cast<char*>("a"), const_cast<char*>("/no/such/file")};
  files = missing;
  EXPECT_EXIT(while (yylex() != 0) {}, testing::ExitedWithCode(255), " can not open destination file !");
}

}  // namespace
