#include "profile/design/design_dump.h"

#include <initializer_list>
#include <string_view>

namespace design {

const char* direction_name(Direction d) {
  return d == Direction::Inout ? "inout" : d == Direction::Output ? "output" : "input";
}

namespace {

const char* net_kind_name(NetKind k) {
  switch (k) {
    case NetKind::Port: return "port";
    case NetKind::Wire: return "wire";
    case NetKind::Unused: return "unused";
    case NetKind::Supply: return "supply";
    case NetKind::Ground: return "ground";
  }
  return "?";
}

}  // namespace

const char* instance_kind_name(InstanceKind kind) {
  switch (kind) {
    case InstanceKind::TableGate: return "table";
    case InstanceKind::LibraryCell: return "cell";
    case InstanceKind::Function: return "function";
    case InstanceKind::BlackBox: return "blackbox";
    case InstanceKind::Switch: return "switch";
    case InstanceKind::Submodule: return "module";
  }
  return "?";
}

std::string dump_design(const Design& d) {
  std::string out;
  auto name = [&](NameId n) { return n == kNoName ? std::string_view("-") : d.name(n); };
  // Appends the pieces in order.
  auto put = [&](std::initializer_list<std::string_view> pieces) {
    for (std::string_view p : pieces) out.append(p);
  };
  for (const Module& m : d.modules) {
    put({"module ", name(m.name), m.kind == ModuleKind::BlackBox ? " blackbox\n" : "\n", "  ports"});
    for (NetId p : m.ports) put({" ", name(m.nets[p].name)});
    put({"\n"});
    for (NetId p : m.declared) put({"  port ", name(m.nets[p].name), " ", direction_name(m.nets[p].direction), "\n"});
    for (const Net& n : m.nets)
      if (n.kind != NetKind::Port && n.kind != NetKind::Unused) put({"  ", net_kind_name(n.kind), " ", name(n.name), "\n"});
    for (const Instance& inst : m.instances) {
      put({"  ", instance_kind_name(inst.kind), " ", name(inst.cell), " ", name(inst.name), " ("});
      const char* sep = "";
      for (const Pin& p : m.pins_of(inst)) {
        put({sep});
        sep = " ";
        if (p.name != kNoName) put({name(p.name), "="});
        put({p.net == kOpen ? std::string_view("open") : name(m.nets[p.net].name)});
      }
      put({") devices"});
      for (std::uint32_t k : m.devices_of(inst)) put({" ", std::to_string(k)});
      put({" path \"", d.name(inst.path), "\"\n"});
    }
    for (const auto& [n, one] : m.constants) put({"  constant ", name(m.nets[n].name), one ? " 1\n" : " 0\n"});
    for (const std::string& c : m.comments) put({"  comment ", c, "\n"});
  }
  return out;
}

}  // namespace design
