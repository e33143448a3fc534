#include "profile/circuit/name_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/memory/huge_allocator.h"
#include "profile/circuit/net_name_index.h"

namespace {

// Names keep their address and text across new blocks (a name longer than
// a block too) and across moves of the pool.
TEST(NamePool, NamesStayWhereTheyWereAdded) {
  circuit::NamePool pool;
  std::vector<std::string> want;
  std::vector<std::string_view> got;
  for (int i = 0; i < 20000; ++i) {
    std::string tail = i % 997 == 0 ? std::string(10000, 'z') : std::to_string(i);
    want.push_back("x" + std::to_string(i % 7) + "/" + tail);
    got.push_back(pool.add("x" + std::to_string(i % 7) + "/", tail));
  }
  got.push_back(pool.add(""));
  want.emplace_back();
  circuit::NamePool moved(std::move(pool));
  circuit::NamePool assigned;
  assigned.add("gone");
  assigned = std::move(moved);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) ASSERT_EQ(got[i], want[i]) << i;
}

// Arrays large enough to be mapped apart grow and shrink with their contents.
TEST(HugeAllocator, LargeArraysKeepTheirContents) {
  std::vector<std::uint32_t, core::HugeAllocator<std::uint32_t>> v;
  for (std::uint32_t i = 0; i < 3'000'000; ++i) v.push_back(i * 7);
  for (std::uint32_t i = 0; i < v.size(); i += 4099) ASSERT_EQ(v[i], i * 7);
  v.resize(10);
  v.shrink_to_fit();
  EXPECT_EQ(v.back(), 63u);
}

// Every net's name is found, names that only share a prefix, a case or a
// hash bucket are not, and a circuit without nets holds no name.
TEST(NetNameIndex, FindsExactlyTheNetNames) {
  circuit::Circuit c;
  EXPECT_FALSE(circuit::NetNameIndex(c).contains(""));
  for (int i = 0; i < 5000; ++i) c.add_net("n", std::to_string(i));
  c.add_net("");
  c.add_net("n7");  // twice
  const circuit::NetNameIndex index(c);
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(index.contains("n" + std::to_string(i))) << i;
  EXPECT_TRUE(index.contains(""));
  for (const char* absent : {"n", "N7", "n5000", "n07", "m1", "n1 "}) EXPECT_FALSE(index.contains(absent)) << absent;
}

}  // namespace
