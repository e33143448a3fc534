#pragma once
// Net, port and module names as Verilog identifiers. A circuit may name its
// nets in ways Verilog does not allow (a ground net "0", "vdd!") or with a
// reserved word ("and"); such names are written as escaped identifiers,
// which Verilog readers take as the same name.
#include <cstdio>
#include <string>
#include <string_view>

// True when `name` can be written as it is: a letter or underscore, then
// letters, digits, underscores and dollar signs, and no reserved word.
bool is_plain_identifier(const char* name);
bool is_plain_identifier(std::string_view name);

// Writes `name` as it is when plain, else escaped ("\0 ", with the blank that
// ends an escaped identifier). A null or empty name writes nothing.
void write_identifier(FILE* fp, const char* name);
void write_identifier(FILE* fp, std::string_view name);

// What write_identifier writes, as a string.
std::string verilog_identifier(const std::string& name);
