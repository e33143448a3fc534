#include "driver/profile_writer.h"

#include <string_view>
#include <unordered_set>
#include <vector>

#include "netlist/arena.h"
#include "netlist/netlist.h"
#include "verilog/header_writer.h"
#include "verilog/identifier.h"
#include "verilog/netlist_writer.h"
#include "verilog/records.h"
#include "verilog/wire.h"

namespace {

// " KEYWORD a, b;" for a non-empty list.
void write_declaration(FILE* fp, const char* keyword, const std::vector<const char*>& names) {
  if (names.empty()) return;
  std::fprintf(fp, " %s ", keyword);
  for (std::size_t i = 0; i < names.size(); ++i) std::fprintf(fp, i + 1 < names.size() ? "%s, " : "%s", names[i]);
  std::fputs(";\n", fp);
}

}  // namespace

void write_profile_netlist(FILE* fp, const spice::Circuit& top, ClassicBridge& bridge) {
  arena_new<Wire>()->generate_wirelist();
  std::unordered_set<std::string_view> outputs;
  for (const INOUTLIST* p = OutputHead; p; p = p->next)
    if (p->pinname) outputs.insert(p->pinname);
  std::unordered_set<std::string_view> ports;
  std::vector<std::string> port_texts;
  std::vector<const char*> ins, outs;
  for (spice::NetId p : top.ports) port_texts.push_back(verilog_identifier(top.net_names[p]));
  for (std::size_t i = 0; i < top.ports.size(); ++i) {
    spice::NetId p = top.ports[i];
    const char* classic = bridge.top_net(p);
    ports.insert(classic);
    bool out = !top.is_rail(p) && outputs.count(classic);
    (out ? outs : ins).push_back(port_texts[i].c_str());
  }

  write_banner(fp);
  std::fprintf(fp, " module %s (", verilog_identifier(top.name).c_str());
  for (std::size_t i = 0; i < port_texts.size(); ++i)
    std::fprintf(fp, i + 1 < port_texts.size() ? "%s, " : "%s", port_texts[i].c_str());
  std::fputs("); \n", fp);
  write_declaration(fp, "input", ins);
  write_declaration(fp, "output", outs);

  const NameText name = [&](const char* s) { return bridge.text(s); };
  auto is_port = [&](const char* s) { return s && ports.count(s) != 0; };
  write_wires(fp, name, is_port);
  write_instances(fp, name);

  for (const spice::BlackBox& b : top.black_boxes) {
    std::fprintf(fp, "    %s %s ( ", verilog_identifier(b.cell).c_str(), verilog_identifier(b.name).c_str());
    for (std::size_t i = 0; i < b.pins.size(); ++i)
      std::fprintf(fp, i + 1 < b.pins.size() ? "%s, " : "%s", verilog_identifier(top.net_names[b.pins[i]]).c_str());
    std::fputs(" );\n", fp);
  }
  write_elements(fp, name);
  write_header_file(fp);
}
