// Subcircuit extraction on one definition, and its agreement with the flat
// stages that share its algorithms.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "classic/algo/growth.h"
#include "classic/algo/list_ops.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/algo/text.h"
#include "classic/netlist/arena.h"
#include "classic/subckt/mtellnp.h"
#include "classic/subckt/stages.h"
#include "flat_pipeline.h"

namespace {

struct Extracted {
  MGroup* group;
  std::string out;  // standard output of the whole extraction
};

// Every stage, in the order of the subcircuit tables, on the definition with
// the given terminals (in card order) and cards.
Extracted extract(const std::string& terminals, const std::string& cards) {
  reset_run();
  load_cards(cards);
  INOUTLIST* terms = nullptr;
  INOUTLIST** at = &terms;
  std::istringstream in(terminals);
  for (std::string t; in >> t; at = &(*at)->next) {
    *at = arena_new<INOUTLIST>();
    (*at)->pinname = arena::strdup(t.c_str());
  }
  testing::internal::CaptureStdout();
  MTellNP tell(MosHead, ModelHead);
  tell.mos_np_netlist();
  auto* node = arena_new<MNode>(tell.moshead, terms);
  run_node_stages(*node);
  auto* g = arena_new<MGroup>(node->moshead, node->nodehead, node->inputhead, node->outputhead);
  run_group_stages(*g);
  return {g, testing::internal::GetCapturedStdout()};
}

// The nodes of a name, as node_text, separated by " | ".
std::string nodes(const Extracted& r, const std::string& name) {
  std::string s;
  for (NODELIST* n = r.group->nodehead; n; n = n->next)
    if (name == n->nodename) s += (s.empty() ? "" : " | ") + node_text(n);
  return s;
}

std::string ends(const MOSLIST* l) {
  return join(l, [](auto* m) { return std::string(m->mosname) + "(" + m->d + "," + m->s + ")"; });
}

// Pins, branches ("n OUTPUT TYPE MOSFETS"), gates, pass and left-over
// MOSFETs, transmission gates by number ("-" for a number used up).
std::string shown(const MGroup& g) {
  std::string s = "in=" + names(g.inputhead) + " out=" + names(g.outputhead) +
                  " nodes=" + std::to_string(lists::count(g.nodehead)) + "\n";
  for (auto [kind, b] : {std::pair{"n ", g.n_branch_list}, {"p ", g.p_branch_list}})
    for (; b; b = b->next)
      s += kind + std::string(b->pn_node) + " " + text(b->headername, "-") + " " + std::to_string(b->num_of_mos) + "\n";
  for (int i = 0; i < g.num_of_gates; ++i) {
    MCGate* c = g.hash_gate_list[i];
    s += std::string(c->gatename) + (c->cmos_gate ? " cmos" : " pseudo") + (c->pn_input_match ? " match" : "") +
         " out=" + c->n_branch->pn_node + " in=" + names(c->inlist) + "\n";
  }
  s += "pass=" + ends(g.pass_transistor_list) + " left=" + ends(g.left_transistor_list) + "\n";
  for (MOSLIST* m = g.moshead; m; m = m->next)
    if (m->exchanged) s += "turned " + std::string(m->mosname) + "\n";  // in its own record
  for (int i = 0; i < g.num_of_trans; ++i) {
    TRANSLIST* t = g.hash_trans_list.get(i);
    s += t ? std::string(t->transname) + " " + t->input + ">" + t->output + " p=" + t->p_g + " n=" + t->n_g + "\n"
           : "-\n";
  }
  return s;
}

// in -> x and w -> y, with the MOSFETs under test between x and w.
#define TWO_INVERTERS "P1 x in vdd vdd pmos\nN1 x in gnd gnd nmos\nP2 y w vdd vdd pmos\nN2 y w gnd gnd nmos\n"

struct Case {
  const char* what;
  const char* terminals;
  const char* cards;
  const char* group;                                            // shown()
  std::vector<std::pair<const char*, const char*>> nodes = {};  // name, nodes()
};

const Case kCases[] = {
    {"the first terminal is the output: it stays an input as well", "Y A", "M1 Y A gnd gnd nmos\nM2 Y A vdd vdd pmos\n",
     "in=Y A out=Y nodes=4\nn Y INV 1\np Y INV 1\ngate0 cmos match out=Y in=A\npass= left=\n"},
    {"a first rail terminal stays, later ones go; no node, no output; outputs behind head", "gnd q1 vdd q2 nowhere q3",
     "Nq1 q1 a gnd gnd nmos\nPq1 q1 a vdd vdd pmos\nNq2 q2 a gnd gnd nmos\nPq2 q2 a vdd vdd pmos\n"
     "Nq3 q3 a gnd gnd nmos\nPq3 q3 a vdd vdd pmos\n",
     "in=gnd nowhere out=gnd q3 q2 q1 nodes=6\nn q1 INV 1\nn q3 INV 1\nn q2 INV 1\np q3 INV 1\np q2 INV 1\n"
     "p q1 INV 1\ngate0 cmos match out=q1 in=a\ngate1 cmos match out=q3 in=a\ngate2 cmos match out=q2 in=a\n"
     "pass= left=\n"},
    {"names differing only in case are two nets", "a out5 OUT5",
     "M1 out5 a gnd gnd nmos\nM2 out5 a vdd vdd pmos\nM3 OUT5 a gnd gnd nmos\nM4 OUT5 a vdd vdd pmos\n",
     "in=a out=out5 OUT5 nodes=5\nn out5 INV 1\nn OUT5 INV 1\np OUT5 INV 1\np out5 INV 1\n"
     "gate0 cmos match out=out5 in=a\ngate1 cmos match out=OUT5 in=a\npass= left=\n",
     {{"a", "M1:G M2:G M3:G M4:G in=gate0,gate1"}}},
    {"a gate on its own source, on a net that exists: a source and a gate record", "",
     "M1 y a gnd gnd nmos\nM2 x y y vdd pmos\n", "in= out= nodes=4\nn y INV 1\npass= left=M2(x,y)\n",
     {{"y", "M1:D M2:G M2:S pn"}}},
    {"drain and source on one net: a record each; a seed on the rail alone grows nothing", "",
     "M1 gnd gnd gnd gnd nmos\nM2 z a z gnd nmos\n", "in= out= nodes=6\npass= left=M1(gnd,gnd) M2(z,z)\n",
     {{"z", "M2:S | M2:D"}, {"gnd", "M1:D | M1:G | M1:S"}}},
    {"a NAND2 whose internal node also drives a gate: that MOSFET is not taken", "a b out",
     "M1 out a x gnd nmos\nM2 x b gnd gnd nmos\nM3 out a vdd vdd pmos\nM4 out b vdd vdd pmos\nM5 q x gnd gnd nmos\n",
     "in=a b out=out nodes=7\nn out NAND2 2\np out NOR2 2\ngate0 cmos match out=out in=a b\npass= left=M5(q,gnd)\n"},
    {"an n-branch whose output has no p-branch: no gate and no message", "",
     "M1 out a gnd gnd nmos\nM2 out b q vdd pmos\nM3 r c vdd vdd pmos\n",
     "in= out= nodes=8\nn out INV 1\npass= left=M3(r,vdd) M2(out,q)\n"},
    {"between a gate output and a net feeding gates: a pass transistor, unpaired so left over", "",
     TWO_INVERTERS "T1 x c w gnd nmos\n",
     "in= out= nodes=7\nn y INV 1\nn x INV 1\np x INV 1\np y INV 1\ngate0 cmos match out=y in=w\n"
     "gate1 cmos match out=x in=in\npass=T1(x,w) left=T1(x,w)\n"},
    {"a transmission gate, the p-channel one turned round; a second n-channel one uses up a number", "",
     TWO_INVERTERS "T1 x c w gnd nmos\nT3 w cb x vdd pmos\nT2 w c x gnd nmos\n",
     "in= out= nodes=8\nn y INV 1\nn x INV 1\np x INV 1\np y INV 1\ngate0 cmos match out=y in=w\n"
     "gate1 cmos match out=x in=in\npass=T2(x,w) T1(x,w) T3(x,w) left=T1(x,w)\nturned T2\nturned T3\n-\n"
     "trans1 x>w p=cb n=c\n",
     {{"w", "T2:D P2:G N2:G T1:S T3:D pn in=gate0 inputs=2 tout=trans1"},
      {"x", "P1:D N1:D T1:D T3:S T2:S pn out=gate1 inputs=1 tin=trans1"}}},
    {"a buffer: gates follow the n-branch list, so the branch seeded from M4 comes first", "IN OUT",
     "M1 mid IN vdd vdd pmos\nM2 mid IN gnd gnd nmos\nM3 OUT mid vdd vdd pmos\nM4 OUT mid gnd gnd nmos\n",
     "in=IN out=OUT nodes=5\nn OUT INV 1\nn mid INV 1\np mid INV 1\np OUT INV 1\ngate0 cmos match out=OUT in=mid\n"
     "gate1 cmos match out=mid in=IN\npass= left=\n",
     {{"OUT", "M4:D M3:D pn out=gate0"}, {"mid", "M1:D M2:D M3:G M4:G pn out=gate1 in=gate0 inputs=1"},
      {"IN", "M1:G M2:G in=gate1"}}},
    {"a pseudo-NMOS NOR: the load's gate sits on the ground rail; it seeds no n-branch there", "a b out",
     "M1 out a gnd gnd nmos\nM3 out gnd vdd vdd pmos\nM2 out b gnd gnd nmos\n",
     "in=a b out=out nodes=5\nn out NOR2 2\np out INV 1\ngate0 pseudo out=out in=a gnd b\npass= left=\n",
     {{"gnd", "M1:S M3:G M2:S in=gate0"}}},
    {"no n-channel MOSFET: no ground name, no gate; the supply still leaves the pin list", "a b out vdd",
     "P1 out a vdd vdd pmos\nP2 out b vdd vdd pmos\n", "in=a b out=out nodes=4\npass= left=P1(out,vdd) P2(out,vdd)\n"},
    {"no p-channel MOSFET", "", "N1 out a gnd gnd nmos\n", "in= out= nodes=3\npass= left=N1(out,gnd)\n"},
    {"an empty definition", "", "", "in= out= nodes=0\npass= left=\n"},
};

TEST(SubcircuitExtraction, Cases) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Extracted r = extract(c.terminals, c.cards);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(shown(*r.group), c.group);
    for (auto [name, want] : c.nodes) EXPECT_EQ(nodes(r, name), want) << name;
  }
}

// The flat stages and their subcircuit twins share their algorithms and
// differ only in lookups and in the steps where a definition is read
// differently. On a circuit that avoids those steps (distinct numbers in all
// names, no MOSFET gated from inside a branch, pass transistors between gate
// outputs) both must find the same gate network.
template <class Gate>
std::multiset<std::string> gates(Gate* list) {  // "output types cmos inputs", inputs sorted
  std::multiset<std::string> out;
  for (; list; list = list->next) {
    std::vector<std::string> in;
    for (PINLIST* p = list->inlist; p; p = p->next) in.push_back(p->NodeName);
    std::sort(in.begin(), in.end());
    std::string s = std::string(list->n_branch->pn_node) + " " + list->n_branch->headername + "/" +
                    list->p_branch->headername + (list->cmos_gate ? " cmos" : " pseudo");
    for (const auto& i : in) s += " " + i;
    out.insert(s);
  }
  return out;
}

std::string trans(const TRANSLIST* t) {
  return join(t, [](auto* t) { return std::string(t->transname) + ":" + t->input + ">" + t->output; });
}

TEST(FlatAndSubcircuit, SameGateNetworkOnAPlainCircuit) {
  const std::string cards =
      // NAND2 a b -> n1, NOR2 n1 c -> n2, pseudo NOR a c -> n3 (one load)
      "M1 n1 a x11 gnd nmos\nM2 x11 b gnd gnd nmos\nM3 n1 a vdd vdd pmos\nM4 n1 b vdd vdd pmos\n"
      "M5 n2 n1 gnd gnd nmos\nM6 n2 c gnd gnd nmos\nM7 n2 n1 x12 vdd pmos\nM8 x12 c vdd vdd pmos\n"
      "M9 n3 a gnd gnd nmos\nM10 n3 c gnd gnd nmos\nM13 n3 gnd vdd vdd pmos\n"
      // inverter n2 -> n4, transmission gate n4 -> n5, inverter n5 -> n6
      "M14 n4 n2 gnd gnd nmos\nM15 n4 n2 vdd vdd pmos\nM16 n4 s n5 gnd nmos\nM17 n4 sb n5 vdd pmos\n"
      "M18 n6 n5 gnd gnd nmos\nM19 n6 n5 vdd vdd pmos\n"
      // NAND2 a b whose pull-up reads a and c -> n7: pseudo on both sides
      "M20 n7 a x13 gnd nmos\nM21 x13 b gnd gnd nmos\nM22 n7 a vdd vdd pmos\nM23 n7 c vdd vdd pmos\n";
  MGroup* sub = extract("", cards).group;
  FlatRun flat = run_flat(cards);
  EXPECT_EQ(gates(flat.group->cmos_gate_list), gates(sub->cmos_gate_list));
  EXPECT_EQ(gates(sub->cmos_gate_list).size(), 6u);
  EXPECT_EQ(gates(sub->cmos_gate_list).count("n7 NAND2/NOR2 pseudo a b c"), 1u);
  EXPECT_EQ(trans(TransHead), "trans0:n4>n5");
  EXPECT_EQ(trans(TransHead), trans(sub->transhead));
  EXPECT_EQ(num_of_trans, sub->num_of_trans);
}

// What the shared growth does where the stages' inputs are off.
TEST(FlatAndSubcircuit, GrowthGuards) {
  reset_run();
  EXPECT_FALSE(Branch(0).generate_branch(nullptr, 0));  // no seed, no branch
  EXPECT_FALSE(MBranch(1, nullptr, nullptr).generate_branch(nullptr, 1));

  // Branches without an output fold into none; later ones on an output fold
  // into the first, whose MOSFETs then follow behind its head.
  MBranch b[4] = {{0, nullptr, nullptr}, {0, nullptr, nullptr}, {0, nullptr, nullptr}, {0, nullptr, nullptr}};
  char out[] = "out", m0[] = "M0", m3[] = "M3";
  MOSLIST r0{}, r3{};
  r0.mosname = m0, r3.mosname = m3;
  b[0].pn_node = b[3].pn_node = out;
  b[0].mos_list = &r0, b[3].mos_list = &r3;
  for (int i = 0; i < 3; ++i) b[i].next = &b[i + 1];
  EXPECT_EQ(growth::merge_by_output(&b[0], 4), 1);
  EXPECT_EQ(b[2].next, nullptr);
  EXPECT_EQ(names(b[0].mos_list), "M0 M3");
}

}  // namespace
