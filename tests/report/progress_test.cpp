#include "profile/report/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "profile/messages/messages.h"

namespace {

using namespace std::chrono_literals;

std::string contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string s;
  for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
  return s;
}

std::string line(const char* step, int number, int percent) {
  return "\r" + messages::format(messages::Message::Progress, {step, std::to_string(number), "8", std::to_string(percent)}) +
         "\033[K";
}

// A run shorter than the delay shows nothing of it; a longer one draws the
// line in place when it changes (the step, or the step's work meter),
// clears it for every line printed and at its end.
TEST(Progress, ShownOnlyAfterTheDelayAndClearedAtTheEnd) {
  const struct {
    std::chrono::milliseconds delay;
    bool shown;
  } rows[] = {{0ms, true}, {1h, false}};
  for (const auto& row : rows) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    core::WorkMeter meter;
    {
      report::Progress p(f, meter, row.delay, 2ms);
      p.step("read", 0, 8);
      std::this_thread::sleep_for(100ms);
      p.print("warning: one");
      p.step("write", 6, 8);
      meter.start(4);
      meter.add(1);  // a quarter of the step: 6.25 of 8 steps
      std::this_thread::sleep_for(100ms);
    }  // stopped by its end
    std::string s = contents(f);
    std::fclose(f);
    if (!row.shown) {
      EXPECT_EQ(s, "warning: one\n");
      continue;
    }
    std::size_t read = s.find(line("read", 1, 0)), warning = s.find("\r\033[Kwarning: one\n"),
                write = s.find(line("write", 7, 78));
    EXPECT_NE(read, std::string::npos) << s;
    EXPECT_NE(warning, std::string::npos) << s;
    EXPECT_NE(write, std::string::npos) << s;
    EXPECT_LT(read, warning);
    EXPECT_LT(warning, write);
    EXPECT_EQ(s.find(line("read", 1, 0), read + 1), std::string::npos) << "drawn again unchanged";
    EXPECT_EQ(s.substr(s.size() - 4), "\r\033[K");  // nothing left of the line
  }
}

}  // namespace
