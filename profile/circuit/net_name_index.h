#pragma once
// Whether a name is the name of one of a circuit's nets: an open-addressed
// table of net ids beside a piece of each name's hash, so that a million
// nets cost no node and no copy of their names, and a probe reads a name
// only when the hashes agree.
#include <cstdint>
#include <string_view>
#include <vector>

#include "profile/circuit/circuit.h"

namespace circuit {

class NetNameIndex {
 public:
  // The circuit must outlive the index and keep its nets.
  explicit NetNameIndex(const Circuit& c);

  bool contains(std::string_view name) const;

 private:
  static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};

  const Circuit& c_;
  std::vector<std::uint64_t> slots_;  // hash's high half << 32 | net, or kEmpty
};

}  // namespace circuit
