#pragma once
// Grammar of the netlist cards and what each card stores in the netlist
// database. A card's records are stored as soon as its last token is read,
// before the next token is scanned; the parse stops at the first token that
// no card allows, keeping every card stored before it.

// Parses the whole input through yylex(). 0 when the input ends after
// complete cards, 1 after a syntax error.
int yyparse();

// Prints `s` and a newline on standard output.
void yyerror(const char* s);
