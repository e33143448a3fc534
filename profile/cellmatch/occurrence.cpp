#include "profile/cellmatch/occurrence.h"

namespace cellmatch {

std::vector<NetId> Occurrence::port_nets(const GateGraph& cell, std::span<const NetId> ports, NetId supply,
                                         NetId ground) const {
  std::vector<NetId> out;
  out.reserve(ports.size());
  for (NetId p : ports) {
    NetId n = nets[p];
    if (n == kNone && (cell.flags(p) & kSupply)) n = supply;
    if (n == kNone && (cell.flags(p) & kGround)) n = ground;
    out.push_back(n);
  }
  return out;
}

}  // namespace cellmatch
