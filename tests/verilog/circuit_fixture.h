#pragma once
// Hand-built circuit state for the writer tests: ports, nodes, gates,
// instances and elements set straight into the globals the writer reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "extract/cgate.h"
#include "match/records.h"
#include "netlist/arena.h"
#include "verilog/records.h"

// Everything `write` puts into a stream.
inline std::string written(const std::function<void(FILE*)>& write) {
  FILE* fp = tmpfile();
  write(fp);
  std::string out(static_cast<size_t>(ftell(fp)), '\0');
  rewind(fp);
  out.resize(fread(out.data(), 1, out.size(), fp));
  fclose(fp);
  return out;
}

class CircuitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_netlist_globals();
    hash_node_list.clear();
    flat_reset_unnumbered();
    node_biggest = 100;
    hash_gate_list = nullptr;
    num_of_gates = 0;
  }

  static char* s(const char* text) { return arena::strdup(text); }

  // A port list in the given walk order; for InputHead the circuit's name first.
  static INOUTLIST* ports(std::vector<const char*> names) {
    INOUTLIST* head = nullptr;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
      auto* rec = arena_new<INOUTLIST>();
      rec->pinname = s(*it);
      rec->next = head;
      head = rec;
    }
    return head;
  }

  // A node record for every net name, filed as the node graph files them.
  void nodes(std::vector<const char*> names) {
    for (const char* name : names) {
      auto* node = arena_new<NODELIST>();
      node->nodename = s(name);
      int n = return_number(name);
      long long index = n >= 0 ? n : node_biggest + (++unnumbered_);
      if (n < 0) flat_register_unnumbered(name, index);
      hash_node_list.set(index, node);
    }
  }

  // A gate with its recognised n-branch: letter map in walk order, inputs.
  CGate* gate(const char* type, const char* expr, std::vector<std::pair<char, const char*>> letters, const char* out,
              bool cmos = true, std::vector<const char*> inputs = {}) {
    auto* b = arena_new<Branch>(0);
    b->headername = type ? s(type) : nullptr;
    b->pn_node = s(out);
    b->mos_list = arena_new<MOSLIST>();
    b->mos_list->g = s(expr);
    for (auto it = letters.rbegin(); it != letters.rend(); ++it) {
      auto* n = arena_new<NAMELIST>();
      n->virtual_name = it->first;
      n->gatename = s(it->second);
      n->next = b->name_list;
      b->name_list = n;
    }
    std::string name = "gate" + std::to_string(gates_.size());
    auto* g = arena_new<CGate>(name.data(), b, b, cmos);
    for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) {
      auto* p = arena_new<PINLIST>();
      p->NodeName = s(*it);
      p->next = g->inlist;
      g->inlist = p;
    }
    gates_.push_back(g);
    hash_gate_list = gates_.data();
    num_of_gates = static_cast<int>(gates_.size());
    return g;
  }

  static EQUALNAMELIST* pins(std::vector<std::pair<const char*, const char*>> list) {
    EQUALNAMELIST* head = nullptr;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      auto* e = arena_new<EQUALNAMELIST>();
      e->macromodel_name = s(it->first);
      e->circuit_name = s(it->second);
      e->next = head;
      head = e;
    }
    return head;
  }

  // Instances in walk order.
  static void instance(const char* lib, EQUALNAMELIST* in, EQUALNAMELIST* out) {
    auto* r = arena_new<RESULTLIST>();
    r->libname = s(lib);
    r->input_list = in;
    r->output_list = out;
    RESULTLIST** tail = &ResultHead;
    while (*tail) tail = &(*tail)->next;
    *tail = r;
  }

  static std::vector<std::string> wire_names() {
    std::vector<std::string> names;
    for (WIRELIST* w = WireHead; w; w = w->next) names.emplace_back(w->wirename);
    return names;
  }

  std::vector<CGate*> gates_;
  int unnumbered_ = 0;
};
