#pragma once
// A flat transistor circuit as the SPICE profile reads it: every distinct
// net name is its own net (no name-number rule), names kept as written.
// The reader fills it; gate recognition and matching read it.

#include <cstdint>
#include <string>
#include <vector>

namespace spice {

using NetId = std::uint32_t;
inline constexpr NetId kNoNet = ~NetId{0};

enum class Channel : std::uint8_t { N, P };

struct Mosfet {
  std::string name;  // hierarchical path, e.g. "x1/xm3"
  Channel type = Channel::N;
  NetId drain = kNoNet, gate = kNoNet, source = kNoNet, bulk = kNoNet;
};

// A call to a subcircuit defined nowhere that is not a MOSFET device: kept
// as a black-box instance in the output.
struct BlackBox {
  std::string name;  // instance path
  std::string cell;  // called subcircuit name
  std::vector<NetId> pins;
};

// Any other element card (R, C, L, V, I, D, Q, E, F, G, H), kept as written.
struct Element {
  std::string name;
  std::string text;  // the card's text, continuation lines joined
  std::vector<NetId> nets;
};

enum class NetRole : std::uint8_t { Signal, Supply, Ground, BulkOnly };

struct Circuit {
  std::string name;                    // top cell, or the cell's name
  std::vector<std::string> net_names;  // NetId -> original name (path)
  std::vector<NetRole> net_roles;      // NetId -> role
  std::vector<NetId> ports;            // in the order of the .subckt line
  std::vector<Mosfet> mosfets;
  std::vector<BlackBox> black_boxes;
  std::vector<Element> elements;

  NetId net_count() const { return static_cast<NetId>(net_names.size()); }
  bool is_rail(NetId n) const {
    return n < net_roles.size() && (net_roles[n] == NetRole::Supply || net_roles[n] == NetRole::Ground);
  }
};

}  // namespace spice
