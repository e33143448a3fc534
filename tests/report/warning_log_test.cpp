#include "profile/messages/warning_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using messages::Message;

// Each kind is printed up to the cap and counted in full; the kinds past
// it get one note each, in the order first met.
TEST(WarningLog, PrintsAFewOfEachKindAndCountsAll) {
  std::vector<std::string> printed;
  messages::WarningLog log([&](const std::string& s) { printed.push_back(s); }, 2);
  const struct {
    Message kind;
    int times;
  } rows[] = {{Message::NoDriver, 5}, {Message::BlackBox, 1}, {Message::CardIgnored, 3}};
  for (const auto& row : rows)
    for (int k = 0; k < row.times; ++k) log.add(row.kind, std::string(messages::key(row.kind)) + std::to_string(k));
  EXPECT_EQ(printed, (std::vector<std::string>{"no_driver0", "no_driver1", "black_box0", "card_ignored0", "card_ignored1"}));
  EXPECT_EQ(log.kinds(), (std::vector<Message>{Message::NoDriver, Message::BlackBox, Message::CardIgnored}));
  for (const auto& row : rows) {
    EXPECT_EQ(log.count(row.kind), std::uint64_t(row.times));
    EXPECT_EQ(log.printed(row.kind), std::uint64_t(std::min(row.times, 2)));
  }
  EXPECT_EQ(log.count(Message::WideStage), 0u);
  printed.clear();
  log.print_hidden();
  EXPECT_EQ(printed, (std::vector<std::string>{messages::format(Message::MoreWarnings, {"3", "no_driver"}),
                                               messages::format(Message::MoreWarnings, {"1", "card_ignored"})}));
}

}  // namespace
