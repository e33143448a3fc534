#include "classic/extract/node.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "classic/algo/list_ops.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/messages/messages.h"


char* find_rail(MOSLIST* moshead, bool want_p) {
  for (MOSLIST* mos = moshead; mos; mos = mos->next)
    if ((mos->nptype != 0) == want_p) return mos->b;
  return nullptr;
}

int pn_rule(const NODELIST* node) {
  bool n_side = false, p_side = false;
  for (const DEVICELIST* dev = node->devicelist; dev && !(n_side && p_side); dev = dev->next) {
    if (dev->pintype() == GP) continue;
    if (dev->devicetype() == 0) n_side = true;
    if (dev->devicetype() == 1) p_side = true;
  }
  return (n_side && p_side) ? 1 : 0;
}

void drop_rails(INOUTLIST* ports, const char* vdd, const char* gnd) {
  lists::unlink_after_first(ports, [&](const char* name) { return same_name(name, vdd) || same_name(name, gnd); });
}

void drop_outputs(INOUTLIST* ports, const INOUTLIST* outputs) {
  if (!ports) return;
  std::unordered_set<std::string_view> names;
  for (; outputs; outputs = outputs->next)
    if (outputs->pinname) names.insert(outputs->pinname);
  lists::unlink_after_first(ports, [&](const char* name) { return name && names.count(name); });
}

DEVICELIST* Node::insert_device(DEVICELIST* head, MOSLIST* mos, PinType pintype) {
  return lists::insert_device(head, mos, pintype);
}

NODELIST* Node::insert_node(NODELIST* head, DEVICELIST* devicelist, char* nodename) {
  return lists::insert_node(head, devicelist, nodename);
}

bool Node::query_in_moslist(const char* name, DEVICELIST* moslist) {
  for (; moslist; moslist = moslist->next)
    if (same_name(moslist->devicename(), name)) return true;
  return false;
}

long long Node::query_in_hash_node_list(const char* name) { return flat_unnumbered_index(name); }

NODELIST* Node::get_node(const char* nodename) { return flat_get_node(nodename); }

char* Node::get_vdd(MOSLIST* moshead) { return find_rail(moshead, true); }

char* Node::get_gnd(MOSLIST* moshead) { return find_rail(moshead, false); }

int Node::return_number(const char* name) { return ::return_number(name); }

INOUTLIST* Node::insert_output(INOUTLIST* head, INOUTLIST* curr) { return lists::insert_output(head, curr); }

namespace {

// Answers "is a MOSFET of this name already on that node" without walking
// the node's device list (a rail holds half of all MOSFETs). A name is on
// exactly the nodes of the terminals of the cards that carry it, so only the
// nodes of the earlier cards of the same name need looking at. Equal names
// carry equal numbers, so a name whose number no other card carries needs no
// lookup at all.
class CardsByName {
 public:
  explicit CardsByName(const MOSLIST* head) {
    std::size_t cards = 0;
    for (const MOSLIST* m = head; m; m = m->next) ++cards;
    dense_.assign(cards * 4 + 16, 0);
    for (const MOSLIST* m = head; m; m = m->next) {
      int n = ::return_number(m->mosname);
      if (n >= 0 && static_cast<std::size_t>(n) < dense_.size() && dense_[n] < 2) ++dense_[n];
    }
  }

  // Whether another card may carry the name of `mos`.
  bool may_repeat(const MOSLIST* mos) const {
    if (!mos->mosname) return false;
    int n = ::return_number(mos->mosname);
    return n < 0 || static_cast<std::size_t>(n) >= dense_.size() || dense_[n] > 1;
  }

  // Whether `node` holds a MOSFET named like `mos`, given the nodes already
  // settled for the earlier terminals of `mos` itself and may_repeat(mos).
  bool on_node(const MOSLIST* mos, bool repeats, const NODELIST* node, NODELIST* const* own, int own_count) const {
    for (int i = 0; i < own_count; ++i)
      if (own[i] == node) return true;
    return repeats && touched_.count(Touch{mos->mosname, node}) != 0;
  }

  // Called once a card that may_repeat is fully filed. A name's node never
  // changes once made, so the nodes the card touches are known for good;
  // keeping them (rather than the cards) answers on_node at once however
  // many cards share a name.
  void add(const MOSLIST* mos) {
    for (const char* term : {mos->d, mos->g, mos->s})
      if (const NODELIST* node = flat_get_node(term)) touched_.insert(Touch{mos->mosname, node});
  }

 private:
  // A card name and a node one of its cards touches.
  struct Touch {
    std::string_view name;
    const NODELIST* node;
    bool operator==(const Touch&) const = default;
  };
  struct TouchHash {
    std::size_t operator()(const Touch& t) const {
      return std::hash<std::string_view>()(t.name) * 31 + std::hash<const NODELIST*>()(t.node);
    }
  };
  std::vector<unsigned char> dense_;  // cards per small number, up to 2
  std::unordered_set<Touch, TouchHash> touched_;
};

// The number rule makes every name with a node's number that node; a second
// spelling is said once, as it joins nets the writer then prints as one.
void report_merged_node(const NODELIST* node, const char* name, int n, std::unordered_set<std::string_view>& merged) {
  if (!name || !node->nodename || std::strcmp(name, node->nodename) == 0) return;
  if (!merged.insert(name).second) return;
  std::printf(msg::kMergedNodeNames, node->nodename, name, n);
}

}  // namespace

bool flat_cards_folded() { return run_state().cards_folded; }

void Node::gen_nodelist() {
  long long k = 1;
  CardsByName filed(MosHead);
  // Spellings already reported as merged into the node of their number; a
  // spelling carries one number, so it names the pair on its own.
  std::unordered_set<std::string_view> merged;
  for (MOSLIST* mos = MosHead; mos; mos = mos->next) {
    char* names[3] = {mos->d, mos->g, mos->s};
    const PinType pins[3] = {DP, GP, SP};
    NODELIST* own[3];
    bool repeats = filed.may_repeat(mos);
    for (int t = 0; t < 3; ++t) {
      char* name = names[t];
      int n = return_number(name);
      long long index = n >= 0 ? n : flat_unnumbered_index(name);
      NODELIST* node = index >= 0 ? hash_node_list.get(index) : nullptr;
      if (node) {
        if (n >= 0) report_merged_node(node, name, n, merged);
        if (!filed.on_node(mos, repeats, node, own, t))
          node->devicelist = insert_device(node->devicelist, mos, pins[t]);
        else if (std::find(own, own + t, node) == own + t)
          run_state().cards_folded = true;
      } else {
        if (n < 0) {
          index = static_cast<long long>(node_biggest) + k++;
          flat_register_unnumbered(name ? name : "", index);
        }
        node = insert_node(nullptr, insert_device(nullptr, mos, pins[t]), name);
        hash_node_list.set(index, node);
      }
      own[t] = node;
    }
    if (repeats) filed.add(mos);
  }
}

void Node::gen_mos_list() {
  for (MOSLIST* mos = MosHead; mos; mos = mos->next) {
    int n = return_number(mos->mosname);
    if (n == -1) {
      std::fputs(msg::kBadMosfetName, stdout);
      continue;
    }
    // A card of another name dropped here loses its transistor without a
    // trace in the output, so it is said.
    MOSLIST* earlier = hash_mos_list.get(n);
    if (earlier && earlier->mosname && mos->mosname && std::strcmp(earlier->mosname, mos->mosname) != 0)
      std::printf(msg::kMosfetReplaced, mos->mosname, earlier->mosname, n);
    hash_mos_list.set(n, mos);
  }
}

void Node::gen_np_char_netlist() {
  hash_node_list.for_each([](long long, NODELIST* node) { node->pn_node = pn_rule(node); });
}

void Node::delete_vdd_gnd_from_inputlist() {
  // The first record is the circuit's name and stays.
  if (InputHead) drop_rails(InputHead, get_vdd(MosHead), get_gnd(MosHead));
}

void Node::generate_output_pinlist() {
  if (!InputHead) return;
  for (INOUTLIST* port = InputHead->next; port; port = port->next) {
    // A port that names no MOSFET node drives nothing: it stays an input.
    NODELIST* node = get_node(port->pinname);
    if (!node) continue;
    node->terminal = true;
    for (DEVICELIST* dev = node->devicelist; dev; dev = dev->next) {
      if (dev->pintype() != GP) {
        OutputHead = insert_output(OutputHead, port);
        break;
      }
    }
  }
}

void Node::generate_input_pinlist() { drop_outputs(InputHead, OutputHead); }
