#include "profile/emit/yosys_json_writer.h"

#include <span>

namespace emit {

using design::Direction;
using design::InstanceKind;
using design::ModuleKind;
using design::NetKind;

namespace {

// Yosys writes its integer attributes as 32 binary digits.
constexpr const char* kOne = "\"00000000000000000000000000000001\"";

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
  for (const design::FunctionModules::Interface& f : functions_) write_ports_only(f.name, modules_[f.name]);
  for (const design::Module& m : d.modules)
    if (m.kind == ModuleKind::BlackBox) write_ports_only(d.name(m.name), modules_[d.name(m.name)]);
  std::fputs("\n  }\n}\n", out_);
}

void YosysJsonWriter::write_ports_only(std::string_view name, const Ports& ports) {
  std::fputs(first_ ? "    " : ",\n    ", out_);
  first_ = false;
  put_string(name);
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

  std::fputs(first_ ? "    " : ",\n    ", out_);
  first_ = false;
  put_string(d.name(m.name));
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

}  // namespace emit
