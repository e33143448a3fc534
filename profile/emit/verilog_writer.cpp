#include "profile/emit/verilog_writer.h"

#include <algorithm>
#include <span>
#include <string>

#include "core/verilog/identifier.h"

namespace emit {

using design::Direction;
using design::InstanceKind;
using design::ModuleKind;
using design::NetKind;

void VerilogWriter::write(const design::Design& d) {
  plain_.assign(d.names.size(), kUnjudged);
  // Latches and flip-flops are loops of continuous assignments.
  std::fputs("/* verilator lint_off UNOPTFLAT */\n", out_);
  for (const design::Module& m : d.modules)
    if (m.kind == ModuleKind::Netlist) write_netlist(d, m);
  d.functions.write(out_);
  for (const design::Module& m : d.modules)
    if (m.kind == ModuleKind::BlackBox) write_black_box(d, m);
}

void VerilogWriter::write_netlist(const design::Design& d, const design::Module& m) {
  // A million instances are some tens of megabytes of text: built in a
  // buffer written a piece at a time, each name judged plain or escaped once
  // (a net is written at every pin it reaches).
  std::string out;
  out.reserve(kPiece + 4096);
  auto flush = [&](bool all) {
    if (out.size() >= kPiece || (all && !out.empty())) {
      std::fwrite(out.data(), 1, out.size(), out_);
      out.clear();
    }
  };
  auto id = [&](design::NameId n) {
    std::string_view name = d.name(n);
    if (name.empty()) return;
    if (plain_[n] == kUnjudged) plain_[n] = is_plain_identifier(name) ? 1 : 0;
    if (plain_[n]) {
      out.append(name);
    } else {
      out += '\\';
      out.append(name);
      out += ' ';
    }
  };
  auto net = [&](design::NetId n) {
    if (n != design::kOpen) id(m.nets[n].name);
  };
  auto put = [&](std::string_view text) { out.append(text); };
  put("module ");
  id(m.name);
  put("(");
  for (std::size_t i = 0; i < m.ports.size(); ++i) {
    if (i) put(", ");
    net(m.ports[i]);
  }
  put(");\n");
  for (design::NetId p : m.declared) {
    put(design::direction_name(m.nets[p].direction));
    put(" ");
    net(p);
    put(";\n");
    flush(false);
  }
  for (const design::Net& n : m.nets)
    if (n.kind == NetKind::Wire) {
      put("wire ");
      id(n.name);
      put(";\n");
      flush(false);
    }
  bool rails_written = false;
  for (const design::Instance& inst : m.instances) {
    flush(false);
    std::span<const design::Pin> pins = m.pins_of(inst);
    // The rails of switches (and of instance pins tied to a rail) are
    // declared just before the first instance that reaches them.
    auto on_rail = [&](const design::Pin& p) {
      return p.net != design::kOpen && (m.nets[p.net].kind == NetKind::Supply || m.nets[p.net].kind == NetKind::Ground);
    };
    if (!rails_written &&
        (inst.kind == InstanceKind::Switch || std::any_of(pins.begin(), pins.end(), on_rail))) {
      for (const design::Net& n : m.nets)
        if (n.kind == NetKind::Supply || n.kind == NetKind::Ground) {
          put(n.kind == NetKind::Supply ? "supply1 " : "supply0 ");
          id(n.name);
          put(";\n");
        }
      rails_written = true;
    }
    if (inst.kind == InstanceKind::Switch) {
      // A switch instantiates a primitive, whose name is a keyword.
      put(d.name(inst.cell));
      put(" ");
      id(inst.name);
      put(" (");
      for (std::size_t p = 0; p < pins.size(); ++p) {
        if (p) put(", ");
        net(pins[p].net);
      }
      put(");\n");
      continue;
    }
    id(inst.cell);
    put(" ");
    id(inst.name);
    put(" (");
    for (std::size_t p = 0; p < pins.size(); ++p) {
      put(p ? ", " : " ");
      if (pins[p].name != design::kNoName) {
        put(".");
        id(pins[p].name);
        put("(");
        net(pins[p].net);
        put(")");
      } else {
        net(pins[p].net);
      }
    }
    put(" );\n");
  }
  for (const auto& [n, value] : m.constants) {
    put("assign ");
    net(n);
    put(value ? " = 1'b1;\n" : " = 1'b0;\n");
    flush(false);
  }
  for (const std::string& text : m.comments) {
    put("// ");
    put(text);
    put("\n");
    flush(false);
  }
  put("endmodule\n\n");
  flush(true);
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
