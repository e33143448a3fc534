#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "classic/netlist/arena.h"
#include "classic/subckt/mnode.h"
#include "classic/subckt/mtellnp.h"
#include "classic/subckt/stages.h"

namespace {

// One subcircuit definition as the reader leaves it: MOSFETs and terminals
// inserted behind the head, in card order.
struct Def {
  MOSLIST* mos = nullptr;
  MODELLIST* models = nullptr;
  INOUTLIST* terms = nullptr;

  Def() {
    models = insert_model(models, MOSFET_TYPE, "nch", "nmos", 0, 0, 0, 0, 0);
    models = insert_model(models, MOSFET_TYPE, "pch", "pmos", 0, 0, 0, 0, 0);
  }
  void n(const char* name, const char* d, const char* g, const char* s) {
    mos = insert_mos(mos, name, d, g, s, "gnd", "nch", 1, 1);
  }
  void p(const char* name, const char* d, const char* g, const char* s) {
    mos = insert_mos(mos, name, d, g, s, "vdd", "pch", 1, 1);
  }
  // Terminal list of the card, then the pin list built from it.
  void terminals(std::initializer_list<const char*> names) {
    TERMINALLIST* tl = nullptr;
    for (const char* t : names) {
      auto* rec = arena_new<TERMINALLIST>();
      rec->name = arena::strdup(t);
      tl = link_behind_head(tl, rec);
    }
    for (TERMINALLIST* t = tl; t; t = t->next) {
      auto* rec = arena_new<INOUTLIST>();
      rec->pinname = t->name;
      terms = link_behind_head(terms, rec);
    }
  }
};

struct Extracted {
  std::unique_ptr<MNode> node;
  std::unique_ptr<MGroup> group;
  std::string out;  // standard output of the whole extraction
};

// Every stage, in the order of the subcircuit tables.
Extracted extract(Def& def) {
  Extracted r;
  testing::internal::CaptureStdout();
  MTellNP tell(def.mos, def.models);
  tell.mos_np_netlist();
  r.node = std::make_unique<MNode>(tell.moshead, def.terms);
  run_node_stages(*r.node);
  r.group = std::make_unique<MGroup>(r.node->moshead, r.node->nodehead, r.node->inputhead, r.node->outputhead);
  run_group_stages(*r.group);
  r.out = testing::internal::GetCapturedStdout();
  return r;
}

std::vector<NODELIST*> nodes_named(const Extracted& r, const std::string& name) {
  std::vector<NODELIST*> v;
  for (NODELIST* n = r.group->nodehead; n; n = n->next)
    if (name == n->nodename) v.push_back(n);
  return v;
}

NODELIST* node(const Extracted& r, const std::string& name) {
  auto v = nodes_named(r, name);
  return v.empty() ? nullptr : v.front();
}

// A list as its records' texts, blank-separated, in list order.
template <class L, class F>
std::string join(const L* l, F text) {
  std::string s;
  for (; l; l = l->next) s += (s.empty() ? "" : " ") + std::string(text(l));
  return s;
}
std::string pins(const INOUTLIST* l) { return join(l, [](auto* x) { return x->pinname; }); }
std::string pins(const PINLIST* l) { return join(l, [](auto* x) { return x->NodeName; }); }
std::string names(const MOSLIST* l) { return join(l, [](auto* x) { return x->mosname; }); }
std::string outputs(const MBranch* l) { return join(l, [](auto* x) { return x->pn_node; }); }
std::string records(const NODELIST* n) {
  return join(n->devicelist, [](auto* x) { return std::string(x->devicename()) + "DGS"[x->pintype()]; });
}

TEST(SubcircuitExtraction, OneInverter) {
  Def def;
  def.terminals({"in", "out", "vdd", "gnd"});
  def.p("M1", "out", "in", "vdd");
  def.n("M2", "out", "in", "gnd");
  Extracted r = extract(def);
  MGroup& g = *r.group;

  EXPECT_EQ(pins(g.inputhead), "in");
  EXPECT_EQ(pins(g.outputhead), "out");
  ASSERT_EQ(outputs(g.n_branch_list) + "," + outputs(g.p_branch_list), "out,out");
  EXPECT_STREQ(g.n_branch_list->headername, "INV");
  EXPECT_STREQ(g.p_branch_list->headername, "INV");
  EXPECT_EQ(g.pass_transistor_list, nullptr);
  EXPECT_EQ(g.left_transistor_list, nullptr);
  ASSERT_EQ(g.num_of_gates, 1);
  MCGate* gate = g.hash_gate_list[0];
  EXPECT_STREQ(gate->gatename, "gate0");
  EXPECT_TRUE(gate->cmos_gate);
  EXPECT_EQ(pins(gate->inlist), "in");
  EXPECT_STREQ(node(r, "out")->output_of_gate_name, "gate0");
  EXPECT_EQ(node(r, "in")->pn_node, 0);
  EXPECT_EQ(r.out, "");
}

TEST(SubcircuitExtraction, TerminalLists) {
  // The first terminal is the output: it stays an input as well.
  Def first;
  first.terminals({"Y", "A"});
  first.n("M1", "Y", "A", "gnd");
  first.p("M2", "Y", "A", "vdd");
  Extracted r = extract(first);
  EXPECT_EQ(pins(r.group->inputhead), "Y A");
  EXPECT_EQ(pins(r.group->outputhead), "Y");

  // The first terminal is a rail: never removed; later rails are. A terminal
  // naming no node is no output. Outputs stand behind the head as found.
  Def rails;
  rails.terminals({"gnd", "q1", "vdd", "q2", "nowhere", "q3"});
  for (const char* q : {"q1", "q2", "q3"}) {
    rails.n((std::string("N") + q).c_str(), q, "a", "gnd");
    rails.p((std::string("P") + q).c_str(), q, "a", "vdd");
  }
  Extracted s = extract(rails);
  EXPECT_EQ(pins(s.group->outputhead), "gnd q3 q2 q1");
  EXPECT_EQ(pins(s.group->inputhead), "gnd nowhere");
}

TEST(SubcircuitExtraction, NodeRecords) {
  // Names differing only in case are two nets.
  Def cased;
  cased.terminals({"a", "out5", "OUT5"});
  cased.n("M1", "out5", "a", "gnd");
  cased.p("M2", "out5", "a", "vdd");
  cased.n("M3", "OUT5", "a", "gnd");
  cased.p("M4", "OUT5", "a", "vdd");
  Extracted r = extract(cased);
  EXPECT_EQ(outputs(r.group->n_branch_list), "out5 OUT5");
  EXPECT_EQ(pins(node(r, "a")->input_of_gate_list.list()), "gate0 gate1");

  // Gate on its own source, on a net that exists: a source and a gate
  // record, so the net counts as touched by that MOSFET's source.
  Def own;
  own.n("M1", "y", "a", "gnd");
  own.p("M2", "x", "y", "y");
  Extracted s = extract(own);
  EXPECT_EQ(records(node(s, "y")), "M1D M2G M2S");
  EXPECT_EQ(node(s, "y")->pn_node, 1);

  // Drain and source on one new net: a node record for each. A first
  // MOSFET wholly on one net gives three.
  Def same;
  same.n("M1", "gnd", "gnd", "gnd");
  same.n("M2", "z", "a", "z");
  Extracted t = extract(same);
  auto z = nodes_named(t, "z");
  ASSERT_EQ(z.size(), 2u);
  EXPECT_EQ(records(z[0]) + "," + records(z[1]), "M2S,M2D");
  auto gnd = nodes_named(t, "gnd");
  ASSERT_EQ(gnd.size(), 3u);
  EXPECT_EQ(records(gnd[0]) + "," + records(gnd[1]) + "," + records(gnd[2]), "M1D,M1G,M1S");
  EXPECT_EQ(t.group->n_branch_list, nullptr);  // a seed on the rail alone grows nothing
}

TEST(SubcircuitExtraction, BranchGrowth) {
  // NAND2 whose internal node also drives a gate: that MOSFET is not taken.
  Def nand;
  nand.terminals({"a", "b", "out"});
  nand.n("M1", "out", "a", "x");
  nand.n("M2", "x", "b", "gnd");
  nand.p("M3", "out", "a", "vdd");
  nand.p("M4", "out", "b", "vdd");
  nand.n("M5", "q", "x", "gnd");
  Extracted r = extract(nand);
  MGroup& g = *r.group;
  ASSERT_EQ(outputs(g.n_branch_list), "out");
  EXPECT_EQ(g.n_branch_list->num_of_mos, 2);
  EXPECT_STREQ(g.n_branch_list->headername, "NAND2");
  EXPECT_STREQ(g.p_branch_list->headername, "NOR2");
  EXPECT_TRUE(g.hash_gate_list[0]->cmos_gate);
  EXPECT_EQ(names(g.left_transistor_list), "M5");

  // An n-branch whose output has no p-branch: no gate and no message.
  Def lone;
  lone.n("M1", "out", "a", "gnd");
  lone.p("M2", "out", "b", "q");
  lone.p("M3", "r", "c", "vdd");
  Extracted s = extract(lone);
  EXPECT_EQ(outputs(s.group->n_branch_list) + "," + outputs(s.group->p_branch_list), "out,");
  EXPECT_EQ(s.group->num_of_gates, 0);
  EXPECT_EQ(s.out, "");
  EXPECT_EQ(names(s.group->left_transistor_list), "M3 M2");
}

TEST(SubcircuitExtraction, PassTransistors) {
  // Inverters in -> x and w -> y; between x and w the MOSFETs under test.
  auto two_inverters = [](Def& d) {
    d.p("P1", "x", "in", "vdd");
    d.n("N1", "x", "in", "gnd");
    d.p("P2", "y", "w", "vdd");
    d.n("N2", "y", "w", "gnd");
  };
  // One side a gate output, the other only feeding gates: a pass transistor,
  // and, being unpaired, a left-over one too.
  Def one;
  two_inverters(one);
  one.n("T1", "x", "c", "w");
  Extracted r = extract(one);
  EXPECT_EQ(names(r.group->pass_transistor_list), "T1");
  EXPECT_EQ(names(r.group->left_transistor_list), "T1");
  EXPECT_EQ(r.group->num_of_trans, 0);

  // A transmission gate, the p-channel one written the other way round;
  // a second n-channel one in parallel uses up a number.
  Def pair;
  two_inverters(pair);
  pair.n("T1", "x", "c", "w");
  pair.p("T3", "w", "cb", "x");
  pair.n("T2", "w", "c", "x");
  Extracted s = extract(pair);
  MGroup& g = *s.group;
  EXPECT_EQ(names(g.pass_transistor_list), "T2 T1 T3");
  ASSERT_EQ(g.num_of_trans, 2);
  EXPECT_EQ(g.hash_trans_list.get(0), nullptr);
  TRANSLIST* t = g.hash_trans_list.get(1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(std::string(t->transname) + " " + t->input + " " + t->output + " " + t->p_g + " " + t->n_g,
            "trans1 x w cb c");
  EXPECT_EQ(names(g.left_transistor_list), "T1");
  MOSLIST* t3 = g.moshead;
  while (std::string(t3->mosname) != "T3") t3 = t3->next;
  EXPECT_EQ(std::string(t3->d) + t3->s, "xw");  // swapped in its own record
  EXPECT_STREQ(node(s, "w")->output_of_trans_name, "trans1");
  EXPECT_STREQ(node(s, "x")->input_of_trans_name, "trans1");
  EXPECT_EQ(node(s, "x")->num_of_inputs, 1);
  EXPECT_EQ(node(s, "w")->num_of_inputs, 2);
}

TEST(SubcircuitExtraction, BufferGates) {
  Def buf;
  buf.terminals({"IN", "OUT"});
  buf.p("M1", "mid", "IN", "vdd");
  buf.n("M2", "mid", "IN", "gnd");
  buf.p("M3", "OUT", "mid", "vdd");
  buf.n("M4", "OUT", "mid", "gnd");
  Extracted r = extract(buf);
  MGroup& g = *r.group;
  // Gates follow the n-branch list: the branch seeded from M4 comes first.
  ASSERT_EQ(g.num_of_gates, 2);
  EXPECT_STREQ(g.hash_gate_list[0]->n_branch->pn_node, "OUT");
  EXPECT_EQ(pins(g.hash_gate_list[0]->inlist), "mid");
  EXPECT_STREQ(g.hash_gate_list[1]->n_branch->pn_node, "mid");
  EXPECT_EQ(pins(g.hash_gate_list[1]->inlist), "IN");
  EXPECT_STREQ(node(r, "OUT")->output_of_gate_name, "gate0");
  EXPECT_STREQ(node(r, "mid")->output_of_gate_name, "gate1");
  EXPECT_EQ(pins(node(r, "mid")->input_of_gate_list.list()), "gate0");
  EXPECT_EQ(pins(node(r, "IN")->input_of_gate_list.list()), "gate1");
  EXPECT_EQ(node(r, "mid")->num_of_inputs, 1);
  EXPECT_EQ(node(r, "IN")->num_of_inputs, 0);
}

TEST(SubcircuitExtraction, PseudoNmosNor) {
  // The load's gate sits on the ground rail; it seeds no n-branch there.
  Def nor;
  nor.terminals({"a", "b", "out"});
  nor.n("M1", "out", "a", "gnd");
  nor.p("M3", "out", "gnd", "vdd");
  nor.n("M2", "out", "b", "gnd");
  Extracted r = extract(nor);
  MGroup& g = *r.group;
  ASSERT_EQ(outputs(g.n_branch_list), "out");
  EXPECT_EQ(g.n_branch_list->num_of_mos, 2);
  EXPECT_STREQ(g.n_branch_list->headername, "NOR2");
  EXPECT_STREQ(g.p_branch_list->headername, "INV");
  ASSERT_EQ(g.num_of_gates, 1);
  MCGate* gate = g.hash_gate_list[0];
  EXPECT_FALSE(gate->cmos_gate);
  EXPECT_FALSE(gate->pn_input_match);
  EXPECT_EQ(pins(gate->inlist), "a gnd b");
  EXPECT_EQ(pins(node(r, "gnd")->input_of_gate_list.list()), "gate0");
  EXPECT_EQ(r.out, "");
}

TEST(SubcircuitExtraction, MissingParts) {
  // No n-channel MOSFET: no ground name, no gate; the supply still leaves
  // the pin list.
  Def p_only;
  p_only.terminals({"a", "b", "out", "vdd"});
  p_only.p("P1", "out", "a", "vdd");
  p_only.p("P2", "out", "b", "vdd");
  Extracted r = extract(p_only);
  EXPECT_EQ(pins(r.group->inputhead), "a b");
  EXPECT_EQ(pins(r.group->outputhead), "out");
  EXPECT_EQ(r.group->p_branch_list, nullptr);
  EXPECT_EQ(r.group->num_of_gates, 0);
  EXPECT_EQ(names(r.group->left_transistor_list), "P1 P2");

  Def n_only;
  n_only.n("N1", "out", "a", "gnd");
  Extracted s = extract(n_only);
  EXPECT_EQ(s.group->n_branch_list, nullptr);
  EXPECT_EQ(s.group->num_of_gates, 0);

  Def empty;
  Extracted t = extract(empty);
  EXPECT_EQ(t.group->nodehead, nullptr);
  EXPECT_EQ(t.group->inputhead, nullptr);
  EXPECT_EQ(t.group->num_of_gates, 0);
  EXPECT_EQ(t.group->num_of_trans, 0);
}

}  // namespace
