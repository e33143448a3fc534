#pragma once
// Scanner of the netlist language: cuts the two input files, read one after
// the other, into tokens for the parser. Characters that form no token are
// copied to standard output as they come.
#include <cstdio>

// Token codes handed to the parser; the characters "(", ")" and "=" are
// returned as their own codes and the end of input as 0.
enum TokenCode {
  NAME = 257,
  R_NAME = 258,
  L_NAME = 259,
  C_NAME = 260,
  G_NAME = 261,
  E_NAME = 262,
  INTEGER = 263,
  V_NAME = 264,
  I_NAME = 265,
  F_NAME = 266,
  H_NAME = 267,
  D_NAME = 268,
  M_NAME = 269,
  FLOAT = 270,
  DOT_TRAN = 271,
  DOT_SUBCKT = 272,
  DOT_MACROMODEL = 273,
  DOT_MODEL = 274,
  DOT_ENDS = 275,
  DOT_ENDM = 276,
  Q_NAME = 277,
  DOT_PRINT = 278,
  DOT_OP = 279,
  DOT_DC = 280,
};

// Value of the token just returned.
//   svalue: the word (name or keyword), whatever its length. For an INTEGER
//           it is the digits without leading zeros, which is the node name
//           the integer stands for. It stays valid until the next yylex().
//   ivalue: INTEGER value, saturated at INT_MAX when the digits do not fit.
//   fvalue: FLOAT value, scaled; for an INTEGER the digits as a float.
struct YYSTYPE {
  char* svalue;
  int ivalue;
  float fvalue;
};

extern YYSTYPE yylval;
extern FILE* yyin;

// Longest lexeme accepted; a longer one ends the process with status 1.
constexpr int kLexemeLimit = 1024;

// Next token code, 0 once both input files are exhausted.
int yylex();

// End-of-file hook: closes the current file and opens the second one named
// in `files`. Returns 0 when scanning goes on, 1 when input is finished.
int yywrap();

// Forgets every buffered character and starts a fresh scan of `in`, at the
// start of a line. `in` becomes yyin.
void scanner_start(FILE* in);
