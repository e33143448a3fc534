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

// What an output does for one input combination.
enum class Does : std::uint8_t { One, Zero, Float, Hold };

std::vector<Does> behaviour(const FunctionTable& t, std::uint32_t out, bool floats_to_z) {
  std::vector<Does> does(t.combos());
  for (std::uint32_t c = 0; c < t.combos(); ++c) {
    Value v = t.at(c, out);
    // Fights hold: they are the passing overlap of two clock phases in
    // zero-delay simulation.
    does[c] = v == Value::One                 ? Does::One
              : v == Value::Zero              ? Does::Zero
              : v == Value::Z && floats_to_z ? Does::Float
                                              : Does::Hold;
  }
  return does;
}

bool holds(const std::vector<Does>& does) { return std::find(does.begin(), does.end(), Does::Hold) != does.end(); }

// Sums of more products than this become a lookup.
constexpr std::size_t kMaxProducts = 64;

// A sum of all primes: exact in three-valued logic (see SopMinimizer::primes),
// or nothing when too long.
std::optional<std::string> exact_sum(std::uint32_t inputs, const std::vector<bool>& set, const std::vector<bool>& dc,
                                     const std::vector<std::string>& names) {
  std::vector<Cube> primes = SopMinimizer::primes(inputs, set, dc);
  if (primes.size() > kMaxProducts) return std::nullopt;
  return SopMinimizer::expression(primes, names);
}

// The output written as a lookup: a constant with, per input combination,
// one bit per value the output takes somewhere (1, 0, floating, held), and
// a function that folds it by one index bit at a time, the top bit first:
// a known bit keeps its half, an unknown one joins both halves. What is
// left says which values the completions of the unknown bits give: their
// common value, else x (a held value counts as the value it holds). A plain
// lookup would give x for any unknown bit.
std::string lookup(FILE* out, const std::string& tag, std::uint32_t inputs, const std::vector<Does>& does,
                   const std::vector<std::string>& pins, const std::string& held) {
  struct Column {
    Does does;
    const char* value;
  };
  std::vector<Column> columns;
  for (Column col : {Column{Does::One, "1'b1"}, Column{Does::Zero, "1'b0"}, Column{Does::Float, "1'bz"},
                     Column{Does::Hold, "h"}})
    if (std::find(does.begin(), does.end(), col.does) != does.end()) columns.push_back(col);
  const std::size_t width = columns.size();
  std::vector<bool> bits(does.size() * width);
  for (std::size_t c = 0; c < does.size(); ++c)
    for (std::size_t k = 0; k < width; ++k) bits[c * width + k] = does[c] == columns[k].does;
  const std::string table = "TABLE_" + tag, f = "V_" + tag;
  std::fprintf(out, "localparam [%zu:0] %s = %zu'h%s;\n", bits.size() - 1, table.c_str(), bits.size(),
               bitmap_hex(bits).c_str());
  std::fprintf(out, "function %s;\n  input [%u:0] i;\n  input h;\n  reg [%zu:0] t;\n  begin\n    t = %s;\n", f.c_str(),
               inputs - 1, bits.size() - 1, table.c_str());
  for (std::uint32_t k = inputs; k-- > 0;) {
    std::size_t half = (std::size_t{1} << k) * width;
    std::string hi = std::to_string(2 * half - 1) + ":" + std::to_string(half), lo = std::to_string(half - 1) + ":0";
    std::fprintf(out, "    t[%s] = i[%u] === 1'b1 ? t[%s] : i[%u] === 1'b0 ? t[%s] : t[%s] | t[%s];\n", lo.c_str(), k,
                 hi.c_str(), k, lo.c_str(), hi.c_str(), lo.c_str());
  }
  // One value alone, or a value and a held value equal to it.
  const std::string left = "t[" + std::to_string(width - 1) + ":0]";
  auto only = [&](std::size_t mask) { return left + " == " + std::to_string(width) + "'d" + std::to_string(mask); };
  std::string value;
  for (std::size_t k = 0; k < width; ++k) value += only(std::size_t{1} << k) + " ? " + columns[k].value + " : ";
  if (columns.back().does == Does::Hold)
    for (std::size_t k = 0; k + 1 < width; ++k)
      value += "(" + only((std::size_t{1} << k) | (std::size_t{1} << (width - 1))) + " && h === " + columns[k].value +
               ") ? " + columns[k].value + " : ";
  std::fprintf(out, "    %s = %s1'bx;\n  end\nendfunction\n", f.c_str(), value.c_str());
  std::string index = "{";
  for (std::size_t k = pins.size(); k-- > 0;) index += pins[k] + (k ? ", " : "}");
  return f + "(" + index + ", " + (held.empty() ? "1'bx" : held) + ")";
}

// An output's value, exact in three-valued logic: known wherever every
// completion of the unknown inputs, and of the held value `held` where it
// holds, agrees. Up to kMaxInputs inputs a chain of sums of all primes over
// the pins and the held value (1, then 0, then floating), above a lookup.
std::string value_text(FILE* out, const std::string& tag, std::uint32_t inputs, const std::vector<Does>& does,
                       const std::vector<std::string>& pins, const std::string& held) {
  if (inputs <= SopMinimizer::kMaxInputs) {
    // Over the pins and the held value, unless a pin reads it already: a
    // holding combination does what the held value is.
    const std::uint32_t own = static_cast<std::uint32_t>(std::find(pins.begin(), pins.end(), held) - pins.begin());
    const bool extra = holds(does) && own == pins.size();
    const std::uint32_t vars = inputs + (extra ? 1 : 0);
    std::vector<std::string> names = pins;
    if (extra) names.push_back(held);
    std::vector<bool> ones(std::size_t{1} << vars), zeros(ones.size()), floats(ones.size());
    for (std::uint32_t m = 0; m < ones.size(); ++m) {
      Does d = does[m & ((1u << inputs) - 1)];
      if (d == Does::Hold) d = (m >> (extra ? inputs : own)) & 1 ? Does::One : Does::Zero;
      (d == Does::One ? ones : d == Does::Zero ? zeros : floats)[m] = true;
    }
    auto any = [](const std::vector<bool>& v) { return std::find(v.begin(), v.end(), true) != v.end(); };
    std::optional<std::string> text;
    if (!any(floats)) {
      text = any(zeros) ? exact_sum(vars, ones, floats, names) : std::optional<std::string>("1'b1");
    } else {
      // The values present in order 1, 0, floating, the last one untested;
      // each test may count the values tested before it as met.
      struct Branch {
        const std::vector<bool>* set;
        const char* value;
      };
      std::vector<Branch> branches;
      for (Branch b : {Branch{&ones, "1'b1"}, Branch{&zeros, "1'b0"}, Branch{&floats, "1'bz"}})
        if (any(*b.set)) branches.push_back(b);
      text = "";
      std::vector<bool> met(ones.size(), false);
      for (std::size_t b = 0; b + 1 < branches.size() && text; ++b) {
        std::optional<std::string> test = exact_sum(vars, *branches[b].set, met, names);
        if (test) text->append("(").append(*test).append(") ? ").append(branches[b].value).append(" : ");
        else text.reset();
        for (std::size_t m = 0; m < met.size(); ++m) met[m] = met[m] || (*branches[b].set)[m];
      }
      if (text) text->append(branches.back().value);
    }
    if (text) return *text;
  }
  return lookup(out, tag, inputs, does, pins, held);
}

// An output that never holds. Driven for every combination (a gate): the
// sum of all primes of the function or of its complement, whichever is
// shorter, as inverting gates read best as ~(...).
std::string driven_text(FILE* out, const std::string& tag, std::uint32_t inputs, const std::vector<Does>& does,
                        const std::vector<std::string>& pins) {
  bool driven = std::all_of(does.begin(), does.end(), [](Does d) { return d == Does::One || d == Does::Zero; });
  if (!driven || inputs > SopMinimizer::kMaxInputs) return value_text(out, tag, inputs, does, pins, "");
  std::vector<bool> ones(does.size()), zeros(does.size()), none(does.size(), false);
  for (std::size_t c = 0; c < does.size(); ++c) (does[c] == Does::One ? ones : zeros)[c] = true;
  std::vector<Cube> on = SopMinimizer::primes(inputs, ones, none);
  std::vector<Cube> off = SopMinimizer::primes(inputs, zeros, none);
  bool complement = !off.empty() && !on.empty() && SopMinimizer::literals(off) <= SopMinimizer::literals(on);
  if ((complement ? off : on).size() > kMaxProducts) complement = !complement;
  if ((complement ? off : on).size() > kMaxProducts) return lookup(out, tag, inputs, does, pins, "");
  if (!complement) return SopMinimizer::expression(on, pins);
  std::string e = SopMinimizer::expression(off, pins);
  // One literal: its complement, never `~~a` (Icarus rejects it).
  if (off.size() == 1 && SopMinimizer::literals(off) == 1) return e[0] == '~' ? e.substr(1) : "~" + e;
  return "~(" + e + ")";
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

std::string FunctionModules::base_name(const Stage& s, const std::vector<bool>& floats_to_z) {
  const FunctionTable& t = s.table();
  if (s.kind == StageKind::Loop)
    return std::string("L").append(std::to_string(t.inputs)).append("x").append(std::to_string(t.outputs)).append("_").append(hash_hex(s.label()));
  if (s.kind == StageKind::Gate) {
    std::string hex = bitmap_hex(where(t, 0, Value::One));
    return std::string("F").append(std::to_string(t.inputs)).append("_").append(hex.size() > 16 ? hash_hex(s.label()) : hex);
  }
  std::string table = s.label().substr(s.label().find(':') + 1);
  if (table.size() > 16) table = hash_hex(s.label());
  std::string name(1, s.kind == StageKind::Tristate ? 'T' : 'N');
  name += std::to_string(t.inputs);
  if (s.kind != StageKind::Tristate) name.append("x").append(std::to_string(t.outputs));
  name.append("_").append(table).append("_");
  for (bool z : floats_to_z) name += z ? 'z' : 'h';
  return name;
}

std::string FunctionModules::module_for(const Stage& s, const std::vector<bool>& floats_to_z) {
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
  std::string key = s.label() + "/" + std::to_string(static_cast<int>(s.kind)) + "/";
  if (s.kind != StageKind::Gate)
    for (bool z : floats_to_z) key += z ? 'z' : 'h';
  if (s.weak) key += "/weak";
  auto it = by_key_.find(key);
  if (it != by_key_.end()) return generated_[it->second].name;
  std::string base = base_name(s, floats_to_z), name = base;
  if (s.weak) name = base = base + "_w";
  for (int k = 2; taken_.count(name); ++k) name = base + "_" + std::to_string(k);
  taken_.insert(name);
  by_key_.emplace(key, static_cast<std::uint32_t>(generated_.size()));
  generated_.push_back(Generated{name, s.kind, s.table(), floats_to_z, s.parts, s.weak});
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
  // Values first: a wide part's lookup is declared outside the process.
  std::vector<std::string> lines;
  for (std::size_t p = 0; p < g.parts.size(); ++p) {
    const recognize::LoopPart& part = g.parts[p];
    std::vector<std::string> pins;
    for (std::uint32_t k : part.inputs) pins.push_back(slots[k]);
    for (std::uint32_t o = 0; o < part.table.outputs; ++o) {
      const std::string& y = slots[part.outputs[o]];
      std::string tag = std::string("P").append(std::to_string(p)).append("_").append(y);
      std::string text = value_text(out, tag, part.table.inputs, behaviour(part.table, o, false), pins, y);
      lines.push_back(y + " = " + text + ";");
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
  std::vector<std::vector<Does>> does;
  for (std::uint32_t o = 0; o < t.outputs; ++o) does.push_back(behaviour(t, o, g.floats_to_z[o]));
  // An output that holds is set by a process: as a continuous assignment
  // reading itself, `c1 ? 1'b1 : c0 ? 1'b0 : y` can take its inner branch
  // stale when c1 and c0 fall together, and keep the stale value. A weak
  // one sets a register that drives it weakly, and holds what the net has.
  std::vector<std::string> regs;
  for (std::uint32_t o = 0; o < t.outputs; ++o)
    if (holds(does[o]) && !ins.empty()) regs.push_back(g.weak ? "h_" + outs[o] : outs[o]);
  if (!regs.empty()) std::fprintf(out, "reg %s;\n", join(regs).c_str());
  for (std::uint32_t o = 0; o < t.outputs; ++o) {
    const std::string& y = outs[o];
    if (!holds(does[o]) || ins.empty()) {
      std::string text = holds(does[o]) ? value_text(out, y, t.inputs, does[o], ins, y)
                                        : driven_text(out, y, t.inputs, does[o], ins);
      std::fprintf(out, "assign %s%s = %s;\n", strength, y.c_str(), text.c_str());
      continue;
    }
    std::string text = value_text(out, y, t.inputs, does[o], ins, y);
    std::vector<std::string> wakes = ins;
    if (g.weak) wakes.push_back(y);
    const std::string r = g.weak ? "h_" + y : y;
    std::fprintf(out, "always @(%s) %s = %s;\n", join(wakes).c_str(), r.c_str(), text.c_str());
    if (g.weak) std::fprintf(out, "assign %s%s = %s;\n", strength, y.c_str(), r.c_str());
  }
  std::fputs("endmodule\n\n", out);
}

}  // namespace design
