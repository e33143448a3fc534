// The flat stages and their subcircuit twins share their algorithms and
// differ only in lookups and in the steps where a definition is read
// differently. On a circuit that avoids those steps (distinct numbers in all
// names, no MOSFET gated from inside a branch, pass transistors between gate
// outputs) both must find the same gate network.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "classic/algo/growth.h"
#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/netlist/arena.h"
#include "classic/subckt/mtellnp.h"
#include "classic/subckt/stages.h"
#include "flat_pipeline.h"

namespace {

MGroup* run_subckt(MOSLIST* mos, MODELLIST* models) {
  MTellNP tell(mos, models);
  tell.mos_np_netlist();
  auto* node = arena_new<MNode>(mos, nullptr);
  run_node_stages(*node);
  auto* g = arena_new<MGroup>(node->moshead, node->nodehead, node->inputhead, node->outputhead);
  run_group_stages(*g);
  return g;
}

// Each gate as "output types cmos inputs", in no particular order.
template <class Gate>
std::multiset<std::string> gates(Gate* list) {
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
  std::string s;
  for (; t; t = t->next) s += std::string(t->transname) + ":" + t->input + ">" + t->output + " ";
  return s;
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
  reset_run();
  load_cards(cards);
  MGroup* sub = run_subckt(MosHead, ModelHead);
  FlatRun flat = run_flat(cards);

  EXPECT_EQ(gates(flat.group->cmos_gate_list), gates(sub->cmos_gate_list));
  EXPECT_EQ(gates(sub->cmos_gate_list).size(), 6u);
  EXPECT_EQ(gates(sub->cmos_gate_list).count("n7 NAND2/NOR2 pseudo a b c"), 1u);
  EXPECT_EQ(trans(TransHead), "trans0:n4>n5 ");
  EXPECT_EQ(trans(TransHead), trans(sub->transhead));
  EXPECT_EQ(num_of_trans, sub->num_of_trans);
}

// What the shared growth does where the stages' inputs are off.
TEST(FlatAndSubcircuit, GrowthGuards) {
  reset_run();
  Branch flat(0);
  EXPECT_FALSE(flat.generate_branch(nullptr, 0));  // no seed, no branch
  MBranch sub(1, nullptr, nullptr);
  EXPECT_FALSE(sub.generate_branch(nullptr, 1));

  // Branches without an output fold into none; later ones on an output fold
  // into the first, whose MOSFETs then follow behind its head.
  MBranch b[4] = {{0, nullptr, nullptr}, {0, nullptr, nullptr}, {0, nullptr, nullptr}, {0, nullptr, nullptr}};
  char out[] = "out", m0[] = "M0", m3[] = "M3";
  b[0].pn_node = b[3].pn_node = out;
  MOSLIST r0{}, r3{};
  r0.mosname = m0;
  r3.mosname = m3;
  b[0].mos_list = &r0;
  b[3].mos_list = &r3;
  for (int i = 0; i < 3; ++i) b[i].next = &b[i + 1];
  EXPECT_EQ(growth::merge_by_output(&b[0], 4), 1);
  EXPECT_EQ(b[2].next, nullptr);
  EXPECT_EQ(std::string(b[0].mos_list->mosname) + b[0].mos_list->next->mosname, "M0M3");
}

}  // namespace
