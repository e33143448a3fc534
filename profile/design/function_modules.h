#pragma once
// The modules stage instances use: header modules of table types, and one
// generated module per distinct stage function.
//
// Generated module names (all after the function, inputs in canonical order):
//   F<n>_<hex>      a gate of n inputs; <hex> is its truth table, the bit of
//                   input combination k (input j is bit j of k) at bit k;
//   T<n>_<hex>_<f>  a tristate stage; <hex> is its label's table (two bits
//                   per combination: 0, 1, Z, X as 0..3, first combination in
//                   the highest bits);
//   N<n>x<m>_<hex>_<f>  any other stage, m outputs, the same table
//                   column by column;
//   L<n>x<m>_<hash> a loop of m nets: a hash of its label;
// A weak stage's module (see Stage::weak) takes the suffix _w. Where <f> has one letter per output, z when a floating output is written
// as 1'bz and h when it holds its value. A table longer than 16 hex digits
// is replaced by a 64-bit hash of the label. A name taken by another module
// (a table module's too) gets a suffix _2, _3, ...
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "profile/recognize/gate_network.h"

namespace design {

class FunctionModules {
 public:
  // Keeps a module name (a cell, the top) from being generated.
  void reserve(const std::string& name) { taken_.insert(name); }

  // The module a stage instantiates (as written in the file), registered
  // for writing; per output, whether it floats to Z (recognize::floats_to_z).
  std::string module_for(const recognize::Stage& s, const std::vector<bool>& floats_to_z);

  // The module's input pin names for a generated module of n inputs, and
  // its output pin names.
  static std::vector<std::string> input_pins(std::uint32_t n);
  static std::vector<std::string> output_pins(std::uint32_t m);

  // Header modules used, in header order, then generated modules in order
  // of first use.
  void write(FILE* out) const;

  // The ports of each module `write` writes, in the same order, and what
  // the module computes: its table over the inputs in pin order (of a
  // loop, what it settles to from unknown nodes), per output whether a
  // floating value is written as 1'bz rather than held, and whether it
  // drives weakly. A table module's table is empty when its expression is
  // not one over its pins.
  struct Interface {
    std::string name;
    std::vector<std::string> inputs, outputs;
    recognize::StageKind kind = recognize::StageKind::Gate;
    recognize::FunctionTable table;
    std::vector<bool> floats_to_z;
    bool weak = false;
  };
  std::vector<Interface> interfaces() const;
  std::size_t module_count() const;

 private:
  struct Generated {
    std::string name;
    recognize::StageKind kind;
    recognize::FunctionTable table;
    std::vector<bool> floats_to_z;
    std::vector<recognize::LoopPart> parts;
    bool weak = false;  // assigned with weak strength
  };
  static std::string base_name(const recognize::Stage& s, const std::vector<bool>& floats_to_z);
  static void write_generated(FILE* out, const Generated& g);
  static void write_loop(FILE* out, const Generated& g);

  std::vector<std::string> header_names_;  // per table module: as written, "" when unused
  std::unordered_map<std::string, std::uint32_t> by_key_;
  std::vector<Generated> generated_;
  std::unordered_set<std::string> taken_;
};

}  // namespace design
