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

}  // namespace recognize
