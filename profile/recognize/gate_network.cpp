#include "profile/recognize/gate_network.h"

namespace recognize {

const char* stage_kind_name(StageKind kind) {
  switch (kind) {
    case StageKind::Gate:
      return "gate";
    case StageKind::Tristate:
      return "tristate";
    case StageKind::Network:
      return "network";
    case StageKind::Loop:
      return "loop";
  }
  return "?";
}

std::vector<bool> floats_to_z(const GateNetwork& net, const Stage& s) {
  std::vector<bool> out(s.outputs.size(), false);
  if (s.kind == StageKind::Loop) return out;
  for (std::size_t o = 0; o < s.outputs.size(); ++o) out[o] = s.outputs[o] < net.nets.size() && net.nets[s.outputs[o]].floats_to_z;
  return out;
}

}  // namespace recognize
