#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "classic/algo/gate_network.h"

namespace {

// Pass transistors from "type drain source" cards; each one's gate is its
// position, so a record tells which two were paired.
MOSLIST* pass_list(const std::vector<std::string>& cards) {
  MOSLIST* head = nullptr;
  for (std::size_t k = cards.size(); k-- > 0;) {
    auto* m = arena_new<MOSLIST>();
    m->d = arena::strdup(cards[k].substr(2, 1).c_str());
    m->s = arena::strdup(cards[k].substr(4, 1).c_str());
    m->g = arena::strdup(std::to_string(k).c_str());
    m->nptype = cards[k][0] == 'p';
    m->next = head;
    head = m;
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
