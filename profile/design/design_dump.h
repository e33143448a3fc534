#pragma once
// A text dump of a design, one line per port, net, instance and comment, for
// the golden tests: it shows every choice the builder made, which the
// Verilog text shows only in part (devices and paths not at all).
#include <string>

#include "profile/design/design.h"

namespace design {

std::string dump_design(const Design& d);

}  // namespace design
