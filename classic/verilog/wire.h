#pragma once
// The wire list: every internal net that connects the written instances,
// declared once in the netlist file's wire declaration.
#include <string_view>
#include <unordered_set>

#include "classic/algo/records.h"
#include "classic/algo/tables.h"
#include "classic/verilog/records.h"

class Wire {
 public:
  Wire() = default;
  ~Wire() = default;

  // Builds WireHead from the remaining gates' inputs, then the pin nets of
  // the subcircuit instances, leaving out the module's ports.
  void generate_wirelist();

  WIRELIST* insert_wire(WIRELIST* head, char* name);
  // True when `name` is the circuit's name or one of its ports.
  bool query_is_terminal(char* name);
  NODELIST* get_node(char* nodename);
  int return_number(char* name);

 private:
  void add_if_new(char* name);
  void collect_terminals();

  // Port names, gathered once from InputHead and OutputHead, so the test
  // costs no walk of the port lists.
  std::unordered_set<std::string_view> terminals_;
  bool terminals_ready_ = false;
  // Guard for nets that have no node record to carry the wire flag.
  std::unordered_set<std::string_view> unnoded_wires_;
};
