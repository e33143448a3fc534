#include "profile/emit/yosys_json_writer.h"

#include <span>
#include <string>
#include <utility>

namespace emit {

using design::Direction;
using design::InstanceKind;
using design::ModuleKind;
using design::NetKind;

namespace {

// Yosys writes its integer attributes as 32 binary digits.
constexpr const char* kOne = "\"00000000000000000000000000000001\"";

std::string binary32(std::uint64_t v) {
  std::string s(32, '0');
  for (int k = 0; k < 32; ++k)
    if (v >> k & 1) s[31 - k] = '1';
  return s;
}

// Whether the module is written as logic (see the header).
bool has_logic(const design::FunctionModules::Interface& f) {
  if (f.kind == recognize::StageKind::Loop || f.weak || f.table.values.empty()) return false;
  for (std::uint32_t o = 0; o < f.table.outputs; ++o)
    if (!GateLogic::buildable(f.table, o, o < f.floats_to_z.size() && f.floats_to_z[o])) return false;
  return true;
}

// Per cell type its Yosys name, its port names for A, B, S and Y (null:
// none) and whether its one parameter is WIDTH rather than the operands'
// widths and signedness.
struct CellForm {
  const char* type;
  bool width;
  const char *a, *b, *s, *y;
};

const CellForm& form_of(LogicType t) {
  static const CellForm kForms[] = {
      {"$pos", false, "A", nullptr, nullptr, "Y"},    {"$not", false, "A", nullptr, nullptr, "Y"},
      {"$and", false, "A", "B", nullptr, "Y"},        {"$or", false, "A", "B", nullptr, "Y"},
      {"$tribuf", true, "A", nullptr, "EN", "Y"},     {"$dlatch", true, "D", nullptr, "EN", "Q"},
      {"$shiftx", false, "A", "B", nullptr, "Y"},
  };
  return kForms[static_cast<int>(t)];
}

}  // namespace

void YosysJsonWriter::put_string(std::string_view s) {
  std::fputc('"', out_);
  // Most names need no escape: written whole.
  bool plain = true;
  for (char ch : s) plain = plain && ch != '"' && ch != '\\' && static_cast<unsigned char>(ch) >= 0x20;
  if (plain) {
    std::fwrite(s.data(), 1, s.size(), out_);
    std::fputc('"', out_);
    return;
  }
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      std::fputc('\\', out_);
      std::fputc(ch, out_);
    } else if (c < 0x20) {
      std::fprintf(out_, "\\u%04x", c);
    } else {
      std::fputc(ch, out_);
    }
  }
  std::fputc('"', out_);
}

void YosysJsonWriter::put_bits(design::NetId n) {
  if (n == design::kOpen) {
    std::fprintf(out_, "[%llu]", static_cast<unsigned long long>(next_bit_++));
    return;
  }
  std::int8_t v = constant_[n];
  if (v >= 0) std::fputs(v ? "[\"1\"]" : "[\"0\"]", out_);
  else std::fprintf(out_, "[%u]", n + 2);
}

void YosysJsonWriter::add_ports(std::string_view module,
                                std::vector<std::pair<std::string_view, design::Direction>> ports) {
  Ports& p = modules_[module];
  for (const auto& [name, dir] : ports) p.by_name.emplace(name, dir);
  p.ordered = std::move(ports);
}

void YosysJsonWriter::write(const design::Design& d) {
  modules_.clear();
  first_ = true;
  functions_ = d.functions.interfaces();
  for (const design::Module& m : d.modules) {
    std::vector<std::pair<std::string_view, Direction>> ports;
    for (design::NetId p : m.declared) ports.emplace_back(d.name(m.nets[p].name), m.nets[p].direction);
    add_ports(d.name(m.name), std::move(ports));
  }
  for (const design::FunctionModules::Interface& f : functions_) {
    std::vector<std::pair<std::string_view, Direction>> ports;
    for (const std::string& in : f.inputs) ports.emplace_back(in, Direction::Input);
    for (const std::string& out : f.outputs) ports.emplace_back(out, Direction::Output);
    add_ports(f.name, std::move(ports));
  }
  std::fputs("{\n  \"creator\": \"parser 1.1 (CMOS gate extractor)\",\n  \"modules\": {\n", out_);
  for (const design::Module& m : d.modules)
    if (m.kind == ModuleKind::Netlist) write_netlist(d, m);
  for (const design::FunctionModules::Interface& f : functions_) {
    if (has_logic(f)) write_logic(f);
    else write_ports_only(f.name, modules_[f.name]);
  }
  for (const design::Module& m : d.modules)
    if (m.kind == ModuleKind::BlackBox) write_ports_only(d.name(m.name), modules_[d.name(m.name)]);
  std::fputs("\n  }\n}\n", out_);
}

void YosysJsonWriter::begin_module(std::string_view name) {
  std::fputs(first_ ? "    " : ",\n    ", out_);
  first_ = false;
  put_string(name);
}

void YosysJsonWriter::write_ports_only(std::string_view name, const Ports& ports) {
  begin_module(name);
  std::fprintf(out_, ": {\n      \"attributes\": { \"blackbox\": %s },\n      \"ports\": {", kOne);
  std::uint64_t bit = 2;
  for (std::size_t p = 0; p < ports.ordered.size(); ++p) {
    std::fputs(p ? ",\n        " : "\n        ", out_);
    put_string(ports.ordered[p].first);
    std::fprintf(out_, ": { \"direction\": \"%s\", \"bits\": [%llu] }", design::direction_name(ports.ordered[p].second),
                 static_cast<unsigned long long>(bit++));
  }
  std::fputs("\n      },\n      \"cells\": {},\n      \"netnames\": {}\n    }", out_);
}

void YosysJsonWriter::write_netlist(const design::Design& d, const design::Module& m) {
  constant_.assign(m.nets.size(), -1);
  for (const auto& [n, value] : m.constants) constant_[n] = value ? 1 : 0;
  for (design::NetId n = 0; n < m.nets.size(); ++n)
    if (m.nets[n].kind == NetKind::Supply || m.nets[n].kind == NetKind::Ground)
      constant_[n] = m.nets[n].kind == NetKind::Supply ? 1 : 0;
  next_bit_ = m.nets.size() + 2;
  const bool top = &m == &d.modules.front();

  begin_module(d.name(m.name));
  std::fputs(": {\n      \"attributes\": {", out_);
  if (top) std::fprintf(out_, " \"top\": %s ", kOne);
  std::fputs("},\n      \"ports\": {", out_);
  for (std::size_t i = 0; i < m.declared.size(); ++i) {
    design::NetId p = m.declared[i];
    std::fputs(i ? ",\n        " : "\n        ", out_);
    put_string(d.name(m.nets[p].name));
    std::fprintf(out_, ": { \"direction\": \"%s\", \"bits\": ", design::direction_name(m.nets[p].direction));
    put_bits(p);
    std::fputs(" }", out_);
  }
  std::fputs("\n      },\n      \"cells\": {", out_);
  for (std::size_t i = 0; i < m.instances.size(); ++i) {
    const design::Instance& inst = m.instances[i];
    std::span<const design::Pin> pins = m.pins_of(inst);
    std::string_view cell = d.name(inst.cell);
    auto callee = modules_.find(cell);
    const Ports* ports = callee == modules_.end() ? nullptr : &callee->second;
    // A pin connected by position is the callee's port in that position.
    auto pin_name = [&](std::size_t k) {
      if (pins[k].name != design::kNoName) return d.name(pins[k].name);
      return ports && k < ports->ordered.size() ? ports->ordered[k].first : std::string_view();
    };
    auto pin_direction = [&](std::size_t k) {
      if (inst.kind == InstanceKind::Switch) return k == 0 ? Direction::Output : Direction::Input;
      if (!ports) return Direction::Input;
      auto it = ports->by_name.find(pin_name(k));
      return it == ports->by_name.end() ? Direction::Input : it->second;
    };
    std::fputs(i ? ",\n        " : "\n        ", out_);
    put_string(d.name(inst.name));
    std::fputs(": {\n          \"hide_name\": 0,\n          \"type\": ", out_);
    put_string(cell);
    std::fputs(",\n          \"parameters\": {},\n          \"attributes\": {},\n          \"port_directions\": {", out_);
    for (std::size_t k = 0; k < pins.size(); ++k) {
      std::fputs(k ? ", " : " ", out_);
      put_string(pin_name(k));
      std::fprintf(out_, ": \"%s\"", design::direction_name(pin_direction(k)));
    }
    std::fputs(" },\n          \"connections\": {", out_);
    for (std::size_t k = 0; k < pins.size(); ++k) {
      std::fputs(k ? ", " : " ", out_);
      put_string(pin_name(k));
      std::fputs(": ", out_);
      put_bits(pins[k].net);
    }
    std::fputs(" }\n        }", out_);
  }
  std::fputs("\n      },\n      \"netnames\": {", out_);
  bool first_net = true;
  for (design::NetId n = 0; n < m.nets.size(); ++n) {
    const design::Net& net = m.nets[n];
    if (net.kind == NetKind::Unused) continue;
    std::fputs(first_net ? "\n        " : ",\n        ", out_);
    first_net = false;
    put_string(d.name(net.name));
    std::fputs(": { \"hide_name\": 0, \"bits\": ", out_);
    put_bits(n);
    std::fputs(", \"attributes\": {} }", out_);
  }
  std::fputs("\n      }\n    }", out_);
}


// Ports are bits 2, 3, ... in port order, the logic's own signals follow.
void YosysJsonWriter::write_logic(const design::FunctionModules::Interface& f) {
  std::vector<std::string_view> ports(f.inputs.begin(), f.inputs.end());
  ports.insert(ports.end(), f.outputs.begin(), f.outputs.end());
  std::vector<Bit> inputs;
  for (std::size_t k = 0; k < f.inputs.size(); ++k) inputs.push_back(k + 2);
  GateLogic logic(std::move(inputs), ports.size() + 2);
  for (std::uint32_t o = 0; o < f.table.outputs; ++o)
    logic.drive(f.inputs.size() + o + 2, f.table, o, o < f.floats_to_z.size() && f.floats_to_z[o]);

  begin_module(f.name);
  std::fputs(": {\n      \"attributes\": {},\n      \"ports\": {", out_);
  for (std::size_t p = 0; p < ports.size(); ++p) {
    std::fputs(p ? ",\n        " : "\n        ", out_);
    put_string(ports[p]);
    std::fprintf(out_, ": { \"direction\": \"%s\", \"bits\": [%zu] }", p < f.inputs.size() ? "input" : "output", p + 2);
  }
  std::fputs("\n      },\n      \"cells\": {", out_);
  for (std::size_t i = 0; i < logic.cells().size(); ++i) {
    std::fputs(i ? ",\n        " : "\n        ", out_);
    write_logic_cell(i + 1, logic.cells()[i]);
  }
  std::fputs("\n      },\n      \"netnames\": {", out_);
  for (std::size_t p = 0; p < ports.size(); ++p) {
    std::fputs(p ? ",\n        " : "\n        ", out_);
    put_string(ports[p]);
    std::fprintf(out_, ": { \"hide_name\": 0, \"bits\": [%zu], \"attributes\": {} }", p + 2);
  }
  std::fputs("\n      }\n    }", out_);
}

// Named by its type and number, as Yosys names the cells it makes.
void YosysJsonWriter::write_logic_cell(std::size_t number, const LogicCell& c) {
  const CellForm& form = form_of(c.type);
  std::fprintf(out_, "\"%s$%zu\": {\n          \"hide_name\": 1,\n          \"type\": \"%s\",\n          \"parameters\": {",
               form.type, number, form.type);
  auto param = [&, first = true](const char* name, std::uint64_t v) mutable {
    std::fprintf(out_, "%s\"%s\": \"%s\"", first ? " " : ", ", name, binary32(v).c_str());
    first = false;
  };
  if (c.type == LogicType::Dlatch) param("EN_POLARITY", 1);
  if (form.width) {
    param("WIDTH", 1);
  } else {
    param("A_SIGNED", 0);
    param("A_WIDTH", c.a.size());
    if (form.b) {
      param("B_SIGNED", 0);
      param("B_WIDTH", c.b.size());
    }
    param("Y_WIDTH", 1);
  }
  std::fputs(" },\n          \"attributes\": {},\n          \"port_directions\": {", out_);
  for (const char* pin : {form.a, form.b, form.s})
    if (pin) std::fprintf(out_, " \"%s\": \"input\",", pin);
  std::fprintf(out_, " \"%s\": \"output\" },\n          \"connections\": {", form.y);
  const std::pair<const char*, std::span<const Bit>> connections[] = {
      {form.a, c.a}, {form.b, c.b}, {form.s, {&c.s, 1}}, {form.y, {&c.y, 1}}};
  const char* separator = " ";
  for (const auto& [pin, bits] : connections) {
    if (!pin) continue;
    std::fprintf(out_, "%s\"%s\": [", separator, pin);
    separator = ", ";
    for (std::size_t k = 0; k < bits.size(); ++k) {
      if (k) std::fputs(", ", out_);
      if (bits[k] == kZeroBit || bits[k] == kOneBit) std::fputs(bits[k] == kOneBit ? "\"1\"" : "\"0\"", out_);
      else std::fprintf(out_, "%llu", static_cast<unsigned long long>(bits[k]));
    }
    std::fputc(']', out_);
  }
  std::fputs(" }\n        }", out_);
}

}  // namespace emit
