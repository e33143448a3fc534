#include "driver/classic_bridge.h"

#include <cstdlib>
#include <string_view>

#include "algo/records.h"
#include "algo/run_state.h"
#include "algo/tables.h"
#include "netlist/arena.h"
#include "netlist/netlist.h"

using spice::Channel;
using spice::NetRole;

namespace {

// The classic element kind of an element card, by its first letter; false
// for kinds the classic lists do not hold.
bool element_type(char letter, ElementType& type) {
  switch (letter) {
    case 'r': type = RES; return true;
    case 'c': type = CAP; return true;
    case 'l': type = IND; return true;
    case 'v': type = VS; return true;
    case 'i': type = IS; return true;
    case 'e': type = E; return true;
    case 'g': type = G; return true;
    case 'f': type = F; return true;
    case 'h': type = H; return true;
    case 'd': type = D; return true;
    default: return false;
  }
}

// A SPICE number with its scale suffix (meg, mil, t g k m u n p f); 0 when
// the word is none.
float spice_value(std::string_view w) {
  std::string s(w);
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end == s.c_str()) return 0;
  std::string suffix;
  for (const char* p = end; *p; ++p) suffix += static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
  if (suffix.rfind("meg", 0) == 0) return static_cast<float>(v * 1e6);
  if (suffix.rfind("mil", 0) == 0) return static_cast<float>(v * 25.4e-6);
  static const std::pair<char, double> scales[] = {{'t', 1e12}, {'g', 1e9}, {'k', 1e3}, {'m', 1e-3},
                                                   {'u', 1e-6}, {'n', 1e-9}, {'p', 1e-12}, {'f', 1e-15}};
  for (auto [c, f] : scales)
    if (!suffix.empty() && suffix[0] == c) return static_cast<float>(v * f);
  return static_cast<float>(v);
}

std::vector<std::string_view> words_of(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j > i) out.push_back(text.substr(i, j - i));
    i = j;
  }
  return out;
}

ModelList* channel_models() {
  ModelList* head = nullptr;
  head = insert_model(head, MOSFET_TYPE, "nmos", "nmos", 0, 0, 0, 0, 0);
  head = insert_model(head, MOSFET_TYPE, "pmos", "pmos", 0, 0, 0, 0, 0);
  return head;
}

}  // namespace

char* ClassicBridge::synthetic(char letter, std::vector<std::string>& table, const std::string& original) {
  std::string name = letter + std::to_string(table.size());  // the index the text gets
  table.push_back(original);
  return arena::strndup(name.data(), name.size());
}

std::vector<char*> ClassicBridge::name_nets(const spice::Circuit& c) {
  std::vector<char*> nets(c.net_count(), nullptr);
  for (spice::NetId n = 0; n < c.net_count(); ++n) nets[n] = synthetic('n', net_texts_, c.net_names[n]);
  return nets;
}

MOSLIST* ClassicBridge::mosfets(const spice::Circuit& c, const std::vector<char*>& nets) {
  char* supply = nullptr;
  char* ground = nullptr;
  for (spice::NetId n = 0; n < c.net_count(); ++n) {
    if (c.net_roles[n] == NetRole::Supply && !supply) supply = nets[n];
    if (c.net_roles[n] == NetRole::Ground && !ground) ground = nets[n];
  }
  static char nmos[] = "nmos";
  static char pmos[] = "pmos";
  // The MOSFETs see one supply and one ground net.
  auto pin = [&](spice::NetId n) {
    NetRole role = c.net_roles[n];
    if (role == NetRole::Supply && supply) return supply;
    if (role == NetRole::Ground && ground) return ground;
    return nets[n];
  };
  MOSLIST* head = nullptr;
  std::size_t k = 0;
  for (const spice::Mosfet& m : c.mosfets) {
    // The records share the net name strings: the engine never writes
    // through them.
    auto* rec = arena_new<MosList>();
    std::string name = "m" + std::to_string(++k);
    rec->mosname = arena::strndup(name.data(), name.size());
    rec->d = pin(m.drain);
    rec->g = pin(m.gate);
    rec->s = pin(m.source);
    char* rail = m.type == Channel::P ? supply : ground;
    rec->b = rail ? rail : nets[m.bulk];
    rec->modelname = m.type == Channel::P ? pmos : nmos;
    head = link_behind_head(head, rec);
  }
  return head;
}

void ClassicBridge::load(const spice::Circuit& top, const std::vector<spice::Circuit>& cells) {
  reset_run();
  hash_node_list.clear();
  hash_mos_list.clear();
  net_texts_.clear();
  cell_texts_.clear();
  element_texts_.clear();
  // Numbers start at 1, as a hand-written netlist's would.
  for (auto* table : {&net_texts_, &cell_texts_, &element_texts_}) table->emplace_back();

  top_nets_ = name_nets(top);
  ModelHead = channel_models();
  MosHead = mosfets(top, top_nets_);

  // The circuit's name record comes first, then its ports.
  auto* name_rec = arena_new<InoutList>();
  name_rec->pinname = synthetic('c', cell_texts_, top.name);
  InputHead = name_rec;
  // Bulk-only ports take no part: the engine would look for them in vain.
  for (spice::NetId p : top.ports) {
    if (top.net_roles[p] == NetRole::BulkOnly) continue;
    auto* rec = arena_new<InoutList>();
    rec->pinname = top_nets_[p];
    InputHead = link_behind_head(InputHead, rec);
  }

  for (const spice::Element& e : top.elements) {
    std::vector<std::string_view> words = words_of(e.text);
    std::string_view last = e.name;
    if (auto slash = last.rfind('/'); slash != std::string_view::npos) last = last.substr(slash + 1);
    char letter = last.empty() ? 0 : static_cast<char>(last[0] | 0x20);
    ElementType type;
    if (!element_type(letter, type)) continue;
    PinList* pins = nullptr;
    for (spice::NetId n : e.nets) pins = insert_node(pins, top_nets_[n]);
    std::size_t after = 1 + e.nets.size();
    std::string_view next = after < words.size() ? words[after] : std::string_view();
    std::string model = type == D ? std::string(next) : std::string();
    char* name = synthetic('e', element_texts_, e.name);
    ElementHead = insert_element(name, ElementHead, type, pins, type == D ? 0 : spice_value(next), model.c_str(),
                                 0, 0);
  }

  for (const spice::Circuit& cell : cells) {
    std::vector<char*> nets = name_nets(cell);
    TerminalList* terminals = nullptr;
    for (spice::NetId p : cell.ports) {
      if (cell.net_roles[p] == NetRole::BulkOnly) continue;
      auto* rec = arena_new<TerminalList>();
      rec->name = nets[p];
      terminals = link_behind_head(terminals, rec);
    }
    auto* rec = arena_new<MacroModelList>();
    rec->macromodel_name = synthetic('c', cell_texts_, cell.name);
    rec->terminal_list = terminals;
    rec->mos_list = mosfets(cell, nets);
    rec->model_list = channel_models();
    MacroModelHead = link_behind_head(MacroModelHead, rec);
  }
}

const char* ClassicBridge::text(const char* name) {
  if (!name) return "";
  const std::vector<std::string>* table = nullptr;
  switch (name[0]) {
    case 'n': table = &net_texts_; break;
    case 'c': table = &cell_texts_; break;
    case 'e': table = &element_texts_; break;
    default: break;
  }
  if (table && name[1]) {
    char* end = nullptr;
    unsigned long k = std::strtoul(name + 1, &end, 10);
    if (*end == '\0' && k < table->size() && name[1] >= '0' && name[1] <= '9') return (*table)[k].c_str();
  }
  return name;
}
