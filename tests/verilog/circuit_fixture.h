#pragma once
// Hand-built circuit state, set straight into the globals the writer reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/extract/cgate.h"
#include "classic/match/records.h"
#include "classic/netlist/arena.h"
#include "classic/verilog/records.h"

inline char* s(const char* text) { return arena::strdup(text); }

// Records linked in the order given, each filled from its item.
template <class T, class Item, class Fill>
T* chain(std::initializer_list<Item> items, Fill fill) {
  T* head = nullptr;
  for (T** tail = &head; const Item& item : items) {
    *tail = arena_new<T>();
    fill(*tail, item);
    tail = &(*tail)->next;
  }
  return head;
}

inline INOUTLIST* ports(std::initializer_list<const char*> names) {
  return chain<INOUTLIST>(names, [](INOUTLIST* r, const char* n) { r->pinname = s(n); });
}

using Pin = std::pair<const char*, const char*>;
inline RESULTLIST* instance(const char* lib, std::initializer_list<Pin> in, std::initializer_list<Pin> out) {
  auto fill = [](EQUALNAMELIST* r, Pin p) { r->macromodel_name = s(p.first), r->circuit_name = s(p.second); };
  auto* r = arena_new<RESULTLIST>();
  r->libname = s(lib);
  r->input_list = chain<EQUALNAMELIST>(in, fill);
  r->output_list = chain<EQUALNAMELIST>(out, fill);
  return r;
}

// Everything `write` puts into a stream.
template <class Fn>
std::string written(Fn write) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  write(fp);
  fclose(fp);
  std::string out(buf, len);
  free(buf);
  return out;
}

class CircuitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_run();
    hash_node_list.clear();
        hash_gate_list = nullptr;
    num_of_gates = 0;
  }

  // A gate whose n-branch was recognised as `type` from `expr`.
  void gate(const char* type, const char* expr, std::initializer_list<std::pair<char, const char*>> letters,
            const char* out, bool cmos = true, std::initializer_list<const char*> inputs = {}) {
    auto* b = arena_new<Branch>(0);
    b->headername = type ? s(type) : nullptr;
    b->pn_node = s(out);
    b->mos_list = arena_new<MOSLIST>();
    b->mos_list->g = s(expr);
    b->name_list = chain<NAMELIST>(letters, [](NAMELIST* r, auto l) {
      r->virtual_name = l.first, r->gatename = s(l.second);
    });
    std::string name = "gate" + std::to_string(gates_.size());
    gates_.push_back(arena_new<CGate>(name.data(), b, b, cmos));
    gates_.back()->inlist = chain<PINLIST>(inputs, [](PINLIST* r, const char* n) { r->NodeName = s(n); });
    hash_gate_list = gates_.data();
    num_of_gates = static_cast<int>(gates_.size());
  }

  std::vector<CGate*> gates_;
};
