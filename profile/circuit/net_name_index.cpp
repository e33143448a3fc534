#include "profile/circuit/net_name_index.h"

#include <functional>

namespace circuit {

NetNameIndex::NetNameIndex(const Circuit& c) : c_(c) {
  std::size_t size = 16;
  while (size < 2 * std::size_t{c.net_count()}) size *= 2;
  slots_.assign(size, kEmpty);
  for (NetId n = 0; n < c.net_count(); ++n) {
    std::uint64_t h = std::hash<std::string_view>{}(c.net_names[n]);
    for (std::size_t i = h & (size - 1);; i = (i + 1) & (size - 1))
      if (slots_[i] == kEmpty) {
        slots_[i] = (h >> 32) << 32 | n;
        break;
      }
  }
}

bool NetNameIndex::contains(std::string_view name) const {
  std::uint64_t h = std::hash<std::string_view>{}(name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = h & mask;; i = (i + 1) & mask) {
    std::uint64_t slot = slots_[i];
    if (slot == kEmpty) return false;
    if (slot >> 32 == h >> 32 && c_.net_names[static_cast<NetId>(slot)] == name) return true;
  }
}

}  // namespace circuit
