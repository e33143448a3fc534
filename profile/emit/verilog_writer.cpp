#include "profile/emit/verilog_writer.h"

#include <string>

#include "core/verilog/identifier.h"

namespace emit {

using design::Direction;
using design::InstanceKind;
using design::ModuleKind;
using design::NetKind;

namespace {

const char* direction_word(Direction d) {
  return d == Direction::Inout ? "inout" : d == Direction::Output ? "output" : "input";
}

}  // namespace

void VerilogWriter::write(const design::Design& d) {
  // Latches and flip-flops are loops of continuous assignments.
  std::fputs("/* verilator lint_off UNOPTFLAT */\n", out_);
  for (const design::Module& m : d.modules)
    if (m.kind == ModuleKind::Netlist) write_netlist(d, m);
  d.functions.write(out_);
  for (const design::Module& m : d.modules)
    if (m.kind == ModuleKind::BlackBox) write_black_box(d, m);
}

void VerilogWriter::write_netlist(const design::Design& d, const design::Module& m) {
  auto id = [&](design::NameId n) { return verilog_identifier(std::string(d.name(n))); };
  auto net = [&](design::NetId n) { return n == design::kOpen ? std::string() : id(m.nets[n].name); };
  std::string port_list;
  for (std::size_t i = 0; i < m.ports.size(); ++i) port_list += (i ? ", " : "") + net(m.ports[i]);
  std::fprintf(out_, "module %s(%s);\n", id(m.name).c_str(), port_list.c_str());
  for (design::NetId p : m.declared)
    std::fprintf(out_, "%s %s;\n", direction_word(m.nets[p].direction), net(p).c_str());
  for (const design::Net& n : m.nets)
    if (n.kind == NetKind::Wire) std::fprintf(out_, "wire %s;\n", id(n.name).c_str());
  bool rails_written = false;
  for (const design::Instance& inst : m.instances) {
    if (inst.kind == InstanceKind::Switch) {
      // The rails of the switches are declared just before them.
      if (!rails_written)
        for (const design::Net& n : m.nets)
          if (n.kind == NetKind::Supply || n.kind == NetKind::Ground)
            std::fprintf(out_, "%s %s;\n", n.kind == NetKind::Supply ? "supply1" : "supply0", id(n.name).c_str());
      rails_written = true;
      // A switch instantiates a primitive, whose name is a keyword.
      std::fprintf(out_, "%s %s (%s, %s, %s);\n", std::string(d.name(inst.cell)).c_str(), id(inst.name).c_str(),
                   net(inst.pins[0].net).c_str(), net(inst.pins[1].net).c_str(), net(inst.pins[2].net).c_str());
      continue;
    }
    std::fprintf(out_, "%s %s (", id(inst.cell).c_str(), id(inst.name).c_str());
    for (std::size_t p = 0; p < inst.pins.size(); ++p) {
      const design::Pin& pin = inst.pins[p];
      if (pin.name == design::kNoName)
        std::fprintf(out_, "%s %s", p ? "," : "", net(pin.net).c_str());
      else
        std::fprintf(out_, "%s .%s(%s)", p ? "," : "", id(pin.name).c_str(), net(pin.net).c_str());
    }
    std::fputs(" );\n", out_);
  }
  for (const auto& [n, value] : m.constants) std::fprintf(out_, "assign %s = 1'b%d;\n", net(n).c_str(), value ? 1 : 0);
  for (const std::string& text : m.comments) std::fprintf(out_, "// %s\n", text.c_str());
  std::fputs("endmodule\n\n", out_);
}

void VerilogWriter::write_black_box(const design::Design& d, const design::Module& m) {
  std::string list;
  for (std::size_t p = 0; p < m.ports.size(); ++p)
    list += (p ? ", " : "") + std::string(d.name(m.nets[m.ports[p]].name));
  std::fprintf(out_, "module %s(%s);\n", verilog_identifier(std::string(d.name(m.name))).c_str(), list.c_str());
  if (!m.ports.empty()) std::fprintf(out_, "input %s;\n", list.c_str());
  std::fputs("endmodule\n\n", out_);
}

}  // namespace emit
