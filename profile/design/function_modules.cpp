#include "profile/design/function_modules.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "core/gates/expression.h"
#include "core/gates/header_modules.h"
#include "profile/design/sop_minimizer.h"

namespace design {

using recognize::FunctionTable;
using recognize::Stage;
using recognize::StageKind;
using recognize::Value;

namespace {

std::string hash_hex(const std::string& s) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

// Bits of combination k at bit k, highest combination first.
std::string bitmap_hex(const std::vector<bool>& bits) {
  static const char kHex[] = "0123456789abcdef";
  std::string s;
  std::size_t digits = (bits.size() + 3) / 4;
  for (std::size_t d = digits; d-- > 0;) {
    unsigned v = 0;
    for (unsigned b = 0; b < 4; ++b)
      if (d * 4 + b < bits.size() && bits[d * 4 + b]) v |= 1u << b;
    s += kHex[v];
  }
  return s;
}

std::string join(const std::vector<std::string>& v) {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + v[i];
  return s;
}

std::vector<bool> where(const FunctionTable& t, std::uint32_t out, Value v) {
  std::vector<bool> r(t.combos());
  for (std::uint32_t c = 0; c < t.combos(); ++c) r[c] = t.at(c, out) == v;
  return r;
}

// A condition true on `set`, free on `dc`: a sum of products over the pins,
// or, for many inputs, a lookup into a constant.
std::string condition(FILE* out, const std::string& table_name, std::uint32_t inputs, const std::vector<bool>& set,
                      const std::vector<bool>& dc, const std::vector<std::string>& pins) {
  if (inputs <= SopMinimizer::kMaxInputs)
    return SopMinimizer::expression(SopMinimizer::minimize(inputs, set, dc), pins);
  std::fprintf(out, "localparam [%zu:0] %s = %zu'h%s;\n", set.size() - 1, table_name.c_str(), set.size(),
               bitmap_hex(set).c_str());
  std::string index = "{";
  for (std::size_t k = pins.size(); k-- > 0;) index += pins[k] + (k ? ", " : "}");
  return table_name + "[" + index + "]";
}

}  // namespace

std::vector<std::string> FunctionModules::input_pins(std::uint32_t n) {
  std::vector<std::string> pins;
  for (std::uint32_t k = 0; k < n; ++k) pins.push_back(std::string(1, static_cast<char>('a' + k)));
  return pins;
}

std::vector<std::string> FunctionModules::output_pins(std::uint32_t m) {
  if (m == 1) return {"y"};
  std::vector<std::string> pins;
  for (std::uint32_t k = 0; k < m; ++k) pins.push_back(std::string("y").append(std::to_string(k)));
  return pins;
}

std::string FunctionModules::base_name(const Stage& s) {
  const FunctionTable& t = s.table;
  if (s.kind == StageKind::Loop)
    return std::string("L").append(std::to_string(t.inputs)).append("x").append(std::to_string(t.outputs)).append("_").append(hash_hex(s.label));
  if (s.kind == StageKind::Gate) {
    std::string hex = bitmap_hex(where(t, 0, Value::One));
    return std::string("F").append(std::to_string(t.inputs)).append("_").append(hex.size() > 16 ? hash_hex(s.label) : hex);
  }
  std::string table = s.label.substr(s.label.find(':') + 1);
  if (table.size() > 16) table = hash_hex(s.label);
  std::string name(1, s.kind == StageKind::Tristate ? 'T' : 'N');
  name += std::to_string(t.inputs);
  if (s.kind != StageKind::Tristate) name.append("x").append(std::to_string(t.outputs));
  name.append("_").append(table).append("_");
  for (bool z : s.floats_to_z) name += z ? 'z' : 'h';
  return name;
}

std::string FunctionModules::module_for(const Stage& s) {
  if (s.table_type >= 0) {
    // A cell of the library may bear a table module's name (NAND2): the
    // table module then takes a suffix.
    if (header_names_.empty()) header_names_.resize(kNumHeaderModules);
    std::string& name = header_names_[s.table_type];
    if (name.empty()) {
      std::string base = kHeaderModules[s.table_type].name;
      name = base;
      for (int k = 2; taken_.count(name); ++k) name = base + "_" + std::to_string(k);
      taken_.insert(name);
    }
    return name;
  }
  std::string key = s.label + "/" + std::to_string(static_cast<int>(s.kind)) + "/";
  if (s.kind != StageKind::Gate)
    for (bool z : s.floats_to_z) key += z ? 'z' : 'h';
  if (s.weak) key += "/weak";
  auto it = by_key_.find(key);
  if (it != by_key_.end()) return generated_[it->second].name;
  std::string base = base_name(s), name = base;
  if (s.weak) name = base = base + "_w";
  for (int k = 2; taken_.count(name); ++k) name = base + "_" + std::to_string(k);
  taken_.insert(name);
  by_key_.emplace(key, static_cast<std::uint32_t>(generated_.size()));
  generated_.push_back(Generated{name, s.kind, s.table, s.floats_to_z, s.parts, s.weak});
  return name;
}

void FunctionModules::write(FILE* out) const {
  for (std::size_t m = 0; m < header_names_.size(); ++m)
    if (!header_names_[m].empty()) {
      HeaderModule named = kHeaderModules[m];
      named.name = header_names_[m].c_str();
      write_header_module(out, named);
    }
  for (const Generated& g : generated_) {
    if (g.kind == StageKind::Loop) write_loop(out, g);
    else write_generated(out, g);
  }
}

std::size_t FunctionModules::module_count() const {
  return generated_.size() + header_names_.size() -
         static_cast<std::size_t>(std::count(header_names_.begin(), header_names_.end(), std::string()));
}

std::vector<FunctionModules::Interface> FunctionModules::interfaces() const {
  std::vector<Interface> out;
  for (std::size_t m = 0; m < header_names_.size(); ++m) {
    if (header_names_[m].empty()) continue;
    Interface i;
    i.name = header_names_[m];
    i.outputs = {"out"};
    std::string_view pins = kHeaderModules[m].inputs;
    // "a, b, c"
    for (std::size_t at = 0; at < pins.size();) {
      std::size_t end = std::min(pins.find(',', at), pins.size());
      i.inputs.emplace_back(pins.substr(at, end - at));
      at = end + 2;
    }
    i.table.inputs = static_cast<std::uint32_t>(i.inputs.size());
    i.table.outputs = 1;
    i.floats_to_z = {false};
    for (std::uint32_t c = 0; c < i.table.combos(); ++c) {
      std::optional<bool> v = evaluate_expression(kHeaderModules[m].expr, c);
      if (!v) {
        i.table.values.clear();
        break;
      }
      i.table.values.push_back(*v ? Value::One : Value::Zero);
    }
    out.push_back(std::move(i));
  }
  for (const Generated& g : generated_)
    out.push_back({g.name, input_pins(g.table.inputs), output_pins(g.table.outputs), g.kind, g.table, g.floats_to_z,
                   g.weak});
  return out;
}

// The parts in order, each net set to what its part drives it to and kept
// where the part leaves it floating or fought over, repeated until nothing
// changes (as many rounds as there are nets, plus one).
void FunctionModules::write_loop(FILE* out, const Generated& g) {
  const FunctionTable& t = g.table;
  std::vector<std::string> ins = input_pins(t.inputs), outs = output_pins(t.outputs);
  // The nets settle in regs of their own; the outputs take them after the
  // continuous assignments of the moment have run (nonblocking), as a
  // storage element's output changes after the clock: an inverted clock
  // phase is then in place before another loop reads the new value.
  std::vector<std::string> state;
  for (std::uint32_t j = 0; j < t.outputs; ++j) state.push_back(std::string("s").append(std::to_string(j)));
  std::vector<std::string> slots = ins, all = ins;
  slots.insert(slots.end(), state.begin(), state.end());
  all.insert(all.end(), outs.begin(), outs.end());
  std::fprintf(out, "module %s(%s);\n", g.name.c_str(), join(all).c_str());
  if (!ins.empty()) std::fprintf(out, "input %s;\n", join(ins).c_str());
  std::fprintf(out, "output %s;\n", join(outs).c_str());
  std::fprintf(out, "reg %s;\n", join(outs).c_str());
  std::fprintf(out, "reg %s;\n", join(state).c_str());
  // Conditions first: a wide part's lookup constant is declared outside the
  // process.
  std::vector<std::string> lines;
  for (std::size_t p = 0; p < g.parts.size(); ++p) {
    const recognize::LoopPart& part = g.parts[p];
    std::vector<std::string> pins;
    for (std::uint32_t k : part.inputs) pins.push_back(slots[k]);
    std::vector<bool> dc(part.table.combos(), false);
    for (std::uint32_t o = 0; o < part.table.outputs; ++o) {
      const std::string& y = slots[part.outputs[o]];
      std::vector<bool> ones = where(part.table, o, Value::One), zeros = where(part.table, o, Value::Zero);
      std::string tag = std::string("P").append(std::to_string(p)).append("_").append(y);
      std::string line = y;
      line.append(" = ");
      // Zero where it is not one: the ones are tested first.
      // A branch whose condition always holds ends the line.
      std::string last = y;
      for (auto [set, value, free, name] : {std::tuple{&ones, "1'b1", &dc, "ONE_"}, std::tuple{&zeros, "1'b0", &ones, "ZERO_"}}) {
        if (std::find(set->begin(), set->end(), true) == set->end() || last != y) continue;
        std::string c = condition(out, std::string(name).append(tag), part.table.inputs, *set, *free, pins);
        if (c == "1'b1") last = value;
        else line.append("(").append(c).append(") ? ").append(value).append(" : ");
      }
      lines.push_back(line.append(last).append(";"));
    }
  }
  // Without inputs it settles once, at the start.
  if (ins.empty()) std::fputs("integer round;\ninitial begin\n", out);
  else std::fprintf(out, "integer round;\nalways @(%s) begin\n", join(ins).c_str());
  std::fprintf(out, "  for (round = 0; round < %u; round = round + 1) begin\n", t.outputs + 1);
  for (const std::string& line : lines) std::fprintf(out, "    %s\n", line.c_str());
  std::fputs("  end\n", out);
  for (std::uint32_t j = 0; j < t.outputs; ++j) std::fprintf(out, "  %s <= %s;\n", outs[j].c_str(), state[j].c_str());
  std::fputs("end\nendmodule\n\n", out);
}

void FunctionModules::write_generated(FILE* out, const Generated& g) {
  const FunctionTable& t = g.table;
  const char* strength = g.weak ? "(weak0, weak1) " : "";
  std::vector<std::string> ins = input_pins(t.inputs), outs = output_pins(t.outputs);
  std::vector<std::string> all = ins;
  all.insert(all.end(), outs.begin(), outs.end());
  std::fprintf(out, "module %s(%s);\n", g.name.c_str(), join(all).c_str());
  if (!ins.empty()) std::fprintf(out, "input %s;\n", join(ins).c_str());
  std::fprintf(out, "output %s;\n", join(outs).c_str());
  for (std::uint32_t o = 0; o < t.outputs; ++o) {
    const std::string& y = outs[o];
    std::vector<bool> ones = where(t, o, Value::One), zeros = where(t, o, Value::Zero);
    std::vector<bool> floating = where(t, o, Value::Z), fights = where(t, o, Value::X);
    std::vector<bool> none(t.combos(), false);
    bool driven = true;
    for (std::uint32_t c = 0; c < t.combos(); ++c) driven = driven && (ones[c] || zeros[c]);
    if (driven) {
      if (t.inputs > SopMinimizer::kMaxInputs) {
        std::string c = condition(out, "ONE_" + y, t.inputs, ones, none, ins);
        std::fprintf(out, "assign %s%s = %s;\n", strength, y.c_str(), c.c_str());
        continue;
      }
      // Whichever of the function and its complement is shorter: inverting
      // gates read best as ~(...).
      std::vector<Cube> on = SopMinimizer::minimize(t.inputs, ones, none);
      std::vector<Cube> off = SopMinimizer::minimize(t.inputs, zeros, none);
      std::string text;
      if (!off.empty() && !on.empty() && SopMinimizer::literals(off) <= SopMinimizer::literals(on)) {
        std::string e = SopMinimizer::expression(off, ins);
        // One literal: its complement, never `~~a` (Icarus rejects it).
        if (off.size() == 1 && SopMinimizer::literals(off) == 1) text = e[0] == '~' ? e.substr(1) : "~" + e;
        else text = "~(" + e + ")";
      } else {
        text = SopMinimizer::expression(on, ins);
      }
      std::fprintf(out, "assign %s%s = %s;\n", strength, y.c_str(), text.c_str());
      continue;
    }
    // Branches in order 1, 0, Z (when written as 1'bz), hold; each tested
    // only where the earlier ones did not apply. Fights always hold: they
    // are the passing overlap of two clock phases in zero-delay simulation.
    std::vector<bool> hold = fights;
    std::vector<bool> to_z(t.combos(), false);
    for (std::uint32_t c = 0; c < t.combos(); ++c)
      if (floating[c]) (g.floats_to_z[o] ? to_z : hold)[c] = true;
    struct Branch {
      std::vector<bool>* set;
      std::string value, tag;
    };
    std::vector<Branch> branches;
    for (Branch b : {Branch{&ones, "1'b1", "ONE"}, Branch{&zeros, "1'b0", "ZERO"}, Branch{&to_z, "1'bz", "FLOAT"},
                     Branch{&hold, y, "HOLD"}}) {
      bool any = false;
      for (bool v : *b.set) any = any || v;
      if (any) branches.push_back(b);
    }
    if (branches.empty()) branches.push_back(Branch{&hold, y, "HOLD"});
    std::string text;
    std::vector<bool> dc(t.combos(), false);
    for (std::size_t i = 0; i + 1 < branches.size(); ++i) {
      std::string c = condition(out, branches[i].tag + "_" + y, t.inputs, *branches[i].set, dc, ins);
      text += "(" + c + ") ? " + branches[i].value + " : ";
      for (std::uint32_t k = 0; k < t.combos(); ++k) dc[k] = dc[k] || (*branches[i].set)[k];
    }
    text += branches.back().value;
    std::fprintf(out, "assign %s%s = %s;\n", strength, y.c_str(), text.c_str());
  }
  std::fputs("endmodule\n\n", out);
}

}  // namespace design
