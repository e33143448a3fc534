#pragma once
// Where the profile's warnings and notes go: each is counted by its kind,
// and printed only while its kind has been met fewer than a few times, so
// that a warning repeated a thousand times costs the reader a few lines and
// the summary gives its count.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "profile/messages/messages.h"

namespace messages {

class WarningLog {
 public:
  // How many of one kind are printed.
  static constexpr std::uint64_t kPrinted = 5;

  using Printer = std::function<void(const std::string&)>;
  explicit WarningLog(Printer print, std::uint64_t printed = kPrinted) : print_(std::move(print)), cap_(printed) {}

  void add(Message kind, const std::string& text);

  // For a kind with more than were printed: one note saying how many more.
  void print_hidden() const;

  std::uint64_t count(Message kind) const { return counts_[static_cast<unsigned>(kind)]; }
  std::uint64_t printed(Message kind) const;
  // The kinds met, in the order first met.
  const std::vector<Message>& kinds() const { return kinds_; }

 private:
  Printer print_;
  std::uint64_t cap_;
  std::array<std::uint64_t, kMessageCount> counts_{};
  std::vector<Message> kinds_;
};

}  // namespace messages
