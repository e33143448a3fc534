#include "profile/spice/symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Names interned a group at a time get the ids one at a time would give:
// repeats within a group, other spellings of one name, and growth of the
// table in the middle of a group.
TEST(Symbols, InternAllMatchesInternOneByOne) {
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) {
    names.push_back("net_" + std::to_string(i % 1700));
    if (i % 7 == 0) names.push_back("NET_" + std::to_string(i / 3));
    // Names too long for the table's entries are kept apart.
    if (i % 5 == 0) names.push_back((i % 2 ? "X1/X2/Long_Net_" : "x1/x2/long_net_") + std::to_string(i % 300));
  }
  spice::Symbols one, all;
  std::vector<spice::SymbolId> expected;
  for (const std::string& n : names) expected.push_back(one.intern(n));
  std::vector<std::string_view> views(names.begin(), names.end());
  std::vector<spice::SymbolId> got(views.size());
  for (std::size_t start = 0; start < views.size(); start += 13)
    all.intern_all(views.data() + start, std::min<std::size_t>(13, views.size() - start), got.data() + start);
  EXPECT_EQ(got, expected);
  ASSERT_EQ(all.size(), one.size());
  for (spice::SymbolId id = 0; id < all.size(); ++id) EXPECT_EQ(all.spelling(id), one.spelling(id));
  EXPECT_EQ(all.find("Net_5"), one.find("net_5"));
}

}  // namespace
