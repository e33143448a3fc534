#include "profile/messages/warning_log.h"

#include <algorithm>

namespace messages {

void WarningLog::add(Message kind, const std::string& text) {
  std::uint64_t& n = counts_[static_cast<unsigned>(kind)];
  if (n == 0) kinds_.push_back(kind);
  if (n++ < cap_ && print_) print_(text);
}

std::uint64_t WarningLog::printed(Message kind) const { return std::min(count(kind), cap_); }

void WarningLog::print_hidden() const {
  if (!print_) return;
  for (Message kind : kinds_)
    if (count(kind) > cap_)
      print_(format(Message::MoreWarnings, {std::to_string(count(kind) - cap_), key(kind)}));
}

}  // namespace messages
