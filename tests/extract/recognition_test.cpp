// The algorithms the flat and subcircuit stages share: branch recognition
// and the pairing of pass transistors into transmission gates.
#include "classic/algo/recognition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "classic/algo/gate_network.h"
#include "classic/extract/branch.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"
#include "flat_pipeline.h"

namespace {

// A branch on output "out" whose mos_list holds, head first, the MOSFETs
// written as "drain gate source" and separated by commas.
Branch* branch_of(const std::string& cards) {
  auto* br = arena_new<Branch>(0);
  std::istringstream in(cards);
  MOSLIST* tail = nullptr;
  auto copy = [](const std::string& t) { return arena::strdup(t.c_str()); };
  for (std::string d, g, s; in >> d >> g >> s;) {
    if (s.back() == ',') s.pop_back();
    auto* m = arena_new<MOSLIST>();
    m->mosname = copy("M" + std::to_string(br->num_of_mos++));
    m->d = copy(d), m->g = copy(g), m->s = copy(s);
    tail = (tail ? tail->next : br->mos_list) = m;
  }
  br->pn_node = arena::strdup("out");
  return br;
}

std::string recognize(Branch* br) {
  testing::internal::CaptureStdout();
  recognition::branch_recognition(br, "vdd", "gnd", "N_Model_", msg::kNBranchTooBig);
  return testing::internal::GetCapturedStdout();
}

// Input groups as "type:names/type:names".
std::string groups(const Branch* br) {
  auto names = [](auto* r) { return join(r->gatename_list, [](auto g) { return g->name; }); };
  return join(br->relation_list, [&](auto* r) { return std::to_string(r->type) + ":" + names(r); }, "/");
}

// MOSFETs as cards, the expression left in the one record, the type, the
// letters and the input groups.
// Every gate type from a branch of its shape, each reduced to one record;
// for some, the expression it leaves, its letters and its input groups.
TEST(Recognition, EveryGateTypeIsReachable) {
  struct Shape {
    const char* type;
    const char* cards;
    const char* read = nullptr;  // "expression / letters / groups"
  };
  const Shape rows[] = {
      {"AOI12", "out A y, out C gnd, y B gnd", "~((a & b) | c) / A=a C=c B=b / 1:A B/0:C"},
      // The third joins without new parentheses, unless the chain is listed out of order.
      {"NAND3", "out A x, x B y, y C gnd", "~(a & b & c) / A=a C=c B=b / 1:A C B"},
      {"NAND3", "out A x, y C gnd, x B y", "~((a & b) & c) / A=a C=c B=b / 1:A B/0:C"},
      {"NOR2", "out A gnd, gnd A out", "~(a | b) / A=a A=b / 1:A A"},  // letters stand for transistors, not nets
      // Single nets of later passes join the one type-0 group.
      {"OAOI112", "out A x, out B x, x C gnd, out D gnd", "~(((a | b) & c) | d) / A=a D=d C=c B=b / 1:A B/0:C D"},
      {"NOR2", "out A gnd, out B gnd"}, {"NAND2", "out A x1, x1 B gnd"}, {"NOR3", "out A gnd, out B gnd, out C gnd"},
      {"NAND3", "out A x1, x1 B x2, x2 C gnd"}, {"OAI12", "out A x1, out B x1, x1 C gnd"},
      {"AOI12", "out A x1, x1 B gnd, out C gnd"}, {"NOR4", "out A gnd, out B gnd, out C gnd, out D gnd"},
      {"NAND4", "out A x2, x2 B x1, x1 C x3, x3 D gnd"}, {"AOI22", "out A x1, x1 B gnd, out C x2, x2 D gnd"},
      {"OAI22", "out A x1, out B x1, x1 C gnd, x1 D gnd"}, {"AOI13", "out A x1, x1 B x2, x2 C gnd, out D gnd"},
      {"OAI13", "out A x1, out B x1, out C x1, x1 D gnd"}, {"OAOI112", "out A x1, out B x1, x1 C gnd, out D gnd"},
      {"AOOI112", "out A gnd, out B gnd, out C x1, x1 D gnd"}, {"OAAI112", "out A x1, out B x1, x1 C x2, x2 D gnd"},
      {"AOAI112", "out A x2, x2 B x1, out C x1, x1 D gnd"},
      {"AOI23", "out A x1, x1 B gnd, out C x2, x2 D x3, x3 E gnd"},
      {"AOI311", "out A gnd, out B gnd, out C x1, x1 D x2, x2 E gnd"},
      {"AOI221", "out A x1, x1 B gnd, out C x2, x2 D gnd, out E gnd"},
      {"OAI23", "out A x1, out B x1, out C x1, x1 D gnd, x1 E gnd"},
      {"OAI311", "out A x1, out B x1, out C x1, x1 D x2, x2 E gnd"},
      {"OAI221", "out A x1, out B x1, x1 C x2, x1 D x2, x2 E gnd"},
      {"OAOI212", "out A x1, out B x1, x1 C gnd, out D x2, x2 E gnd"},
      {"OAOI2111", "out A x1, out B x1, x1 E gnd, out C gnd, out D gnd"},
      {"AOAI212", "out A x1, out B x1, x1 C x2, x2 D gnd, x1 E gnd"},
      {"AOAI2111", "out A x2, x2 B x1, out E x1, x1 C x3, x3 D gnd"},
      {"AOI33", "out A x1, x1 B x2, x2 C gnd, out D x3, x3 E x4, x4 F gnd"},
      {"AOI321", "out A x1, x1 B x2, x2 C gnd, out D x3, x3 E gnd, out F gnd"},
      {"AOI222", "out A x1, x1 B gnd, out C x2, x2 D gnd, out E x3, x3 F gnd"},
      {"OAI222", "out A x1, out B x1, x1 C x2, x1 D x2, x2 E gnd, x2 F gnd"},
      {"OAI321", "out A x1, out B x1, out C x1, x1 D x2, x1 E x2, x2 F gnd"},
  };
  for (const Shape& r : rows) {
    Branch* br = branch_of(r.cards);
    EXPECT_EQ(recognize(br), "") << r.cards;
    EXPECT_STREQ(br->headername, r.type) << br->mos_list->g;
    EXPECT_EQ(br->mos_list->next, nullptr) << r.cards;
    if (!r.read) continue;
    EXPECT_EQ(std::string(br->mos_list->g) + " / " + letters(br) + " / " + groups(br), r.read);
  }
  // The one OAI33 form leads with the sum, but the record that builds the
  // product always leads the last merge, so reduction never writes it.
  for (int r = 0; r < kNumGateTypeRows; ++r) {
    std::string name = kGateTypeTable[r].name;
    bool covered = name == "OAI33";
    for (const Shape& shape : rows) covered = covered || name == shape.type;
    EXPECT_TRUE(covered) << name;
  }
}

TEST(Recognition, UntypedBranchesGetModelNamesAndReductionAlwaysEnds) {
  // A bridge: x and y each touch three records, so nothing ever merges.
  Branch* bridge = branch_of("out A x, out B y, x C y, x D gnd, y E gnd");
  // An AOOI112 whose product leads the sum reads outside the table.
  Branch* order = branch_of("out A x, out D gnd, out C gnd, x B gnd");
  bridge->next = order;
  EXPECT_EQ(recognize(bridge),
            msg::kNBranchTooBig + std::string("Branch name = N_Model_a, Logic function is: \n") + msg::kNBranchTooBig +
                "Branch name = N_Model_b, Logic function is: \n");
  EXPECT_STREQ(bridge->headername, "N_Model_a");
  EXPECT_STREQ(order->mos_list->g, "~~((c & d) | (a | b))");
  // Seven or more: left as grown, untyped and silent.
  Branch* seven = branch_of("out A x1, x1 B x2, x2 C x3, x3 D x4, x4 E x5, x5 F x6, x6 G gnd");
  EXPECT_EQ(recognize(seven), "");
  EXPECT_EQ(seven->headername, nullptr);
  EXPECT_STREQ(seven->mos_list->g, "A");
  EXPECT_EQ(seven->name_list, nullptr);
}

TEST(Recognition, GeneratedNamesStayLettersAndNeverRepeat) {
  const std::pair<int, const char*> rows[] = {{0, "a"}, {25, "z"}, {26, "aa"}, {27, "ab"}, {26 + 26 * 26, "aaa"}};
  for (auto [k, name] : rows) EXPECT_EQ(recognition::model_name("P_Model_", k), "P_Model_" + std::string(name));
}

// Pass transistors from "type drain source" cards; each one's gate is its
// position, so a record tells which two were paired.
MOSLIST* pass_list(const std::vector<std::string>& cards) {
  MOSLIST* head = nullptr;
  auto copy = [](const std::string& t) { return arena::strdup(t.c_str()); };
  for (std::size_t k = cards.size(); k-- > 0;) {
    auto* m = arena_new<MOSLIST>();
    m->d = copy(cards[k].substr(2, 1)), m->s = copy(cards[k].substr(4, 1)), m->g = copy(std::to_string(k));
    m->nptype = cards[k][0] == 'p';
    m->next = head, head = m;
  }
  return head;
}

// Each record against every record behind it, one number per match.
std::vector<std::string> scan(MOSLIST* list, long long& count) {
  std::vector<std::string> made;
  for (MOSLIST* a = list; a; a = a->next)
    for (MOSLIST* b = a->next; b && !a->in_branch; b = b->next) {
      bool ends = (*a->d == *b->d && *a->s == *b->s) || (*a->d == *b->s && *a->s == *b->d);
      if (b->in_branch || !ends || (++count, a->nptype == b->nptype)) continue;
      made.push_back("trans" + std::to_string(count - 1) + a->d + a->s + (a->nptype ? a : b)->g + "," +
                     (a->nptype ? b : a)->g);
      a->in_branch = b->in_branch = true;
    }
  return made;
}

TEST(TransmissionGates, PairingNumbersAsTheScanDoes) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> cards(rng() % 24);
    for (std::string& c : cards) c = {"np"[rng() % 2], ' ', "abc"[rng() % 3], ' ', "abc"[rng() % 3]};
    long long count = 0;
    std::vector<std::string> want = scan(pass_list(cards), count), got;
    TRANSLIST* made = nullptr;
    MOSLIST* left = nullptr;
    ASSERT_EQ(network::pair_transmission_gates(pass_list(cards), made, left), count);
    for (; made; made = made->next)
      got.push_back(std::string(made->transname) + made->input + made->output + made->p_g + "," + made->n_g);
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
    EXPECT_EQ(lists::count(left), static_cast<int>(cards.size() - 2 * want.size()));
  }
  // One p-channel and 70000 n-channel ones on the same two nets: the
  // unpaired ones use up some 2.4e9 numbers between them.
  std::vector<std::string> cards(70001, "n a b");
  cards[1] = "p b a";
  TRANSLIST* made = nullptr;
  MOSLIST* left = nullptr;
  EXPECT_EQ(network::pair_transmission_gates(pass_list(cards), made, left), INT_MAX);
  ASSERT_TRUE(made && !made->next);
  EXPECT_EQ(std::string(made->transname) + made->p_g + "," + made->n_g, "trans01,0");
}

}  // namespace
