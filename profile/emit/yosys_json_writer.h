#pragma once
// Prints a design as a Yosys JSON netlist: one module per netlist module
// (ports with directions, cells with the directions and connections of
// their pins, named nets), the table and generated modules its stages use,
// and the black-box cells as modules of ports only, marked `blackbox`.
// Nets are numbered from 2 in each module; a net held at a constant, and
// the rails of switch primitives, are the constant bits "0" and "1"; an
// open pin gets a bit nothing else has. Every choice is the design's; this
// only prints.
//
// A gate module is Yosys logic (see gate_logic.h): gates, tristate drivers
// as `$tribuf`, and outputs that hold where they are not driven as
// `$dlatch`. These stay black boxes of ports only, their functions in the
// Verilog form:
//   loop modules   their outputs are what rounds of evaluation in order
//                  settle to and change after the moment's continuous
//                  assignments; no cell of Yosys waits for that;
//   weak modules   (`_w`) they yield to a stronger driver of their net,
//                  which two-valued logic has no way to say;
//   an output that floats (as z) and also holds: the value held may be z.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "profile/design/design.h"
#include "profile/emit/gate_logic.h"

namespace emit {

class YosysJsonWriter {
 public:
  explicit YosysJsonWriter(FILE* out) : out_(out) {}

  void write(const design::Design& d);

 private:
  // A module's port directions by port name, and its ports in order.
  struct Ports {
    std::vector<std::pair<std::string_view, design::Direction>> ordered;
    std::unordered_map<std::string_view, design::Direction> by_name;
  };
  void add_ports(std::string_view module, std::vector<std::pair<std::string_view, design::Direction>> ports);
  void write_netlist(const design::Design& d, const design::Module& m);
  void write_ports_only(std::string_view name, const Ports& ports);
  void write_logic(const design::FunctionModules::Interface& f);
  void write_logic_cell(std::size_t number, const LogicCell& c);
  void begin_module(std::string_view name);
  void put_string(std::string_view s);
  void put_bits(design::NetId n);

  FILE* out_;
  std::unordered_map<std::string_view, Ports> modules_;
  std::vector<design::FunctionModules::Interface> functions_;  // their pin names are viewed
  std::vector<std::int8_t> constant_;  // of the module being written, per net: -1 none, 0, 1
  std::uint64_t next_bit_ = 0;     // the next bit no net has, for open pins
  bool first_ = true;              // no module written yet
};

}  // namespace emit
