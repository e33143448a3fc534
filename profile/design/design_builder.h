#pragma once
// Builds the design from the top circuit, its gate network and the library
// cells found in it: the top module (found cells in place of the stages
// they cover), one module per cell used (from that cell's own network), and
// an empty module per black-box cell.
#include <array>
#include <functional>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "profile/cellmatch/cell_search.h"
#include "profile/circuit/circuit.h"
#include "profile/design/design.h"
#include "profile/design/hierarchy.h"
#include "profile/recognize/gate_network.h"

namespace design {

using cellmatch::CellOccurrence;
using cellmatch::LibraryCell;

class DesignBuilder {
 public:
  explicit DesignBuilder(const std::vector<LibraryCell>& cells) : cells_(cells) {}

  // With a hierarchy, its modules follow the top (callers first), each with
  // the cells found in it (`found_in`, by module; none where empty), and
  // the top's instances of them are module instances.
  Design build(const circuit::Circuit& top, const recognize::GateNetwork& network,
               const std::vector<CellOccurrence>& occurrences, const Hierarchy* hierarchy = nullptr,
               const std::vector<std::vector<CellOccurrence>>* found_in = nullptr);

 private:
  void add_module(const circuit::Circuit& c, const recognize::GateNetwork& network,
                  const std::vector<CellOccurrence>& occurrences);
  // The instances of the modules `c` keeps, in call order; returns how many
  // are library cells.
  std::uint32_t add_instances(const circuit::Circuit& c, Module& m, const std::function<NameId(std::string_view)>& call_name,
                              NetId supply, NetId ground);
  // Pin `pin` of the instance is a signal of its module on a rail here.
  bool tied_to_rail(const circuit::Circuit& c, const circuit::Instance& ci, std::uint32_t pin) const;
  void add_black_box_modules();
  // The id of a fixed text (pin and module names), kept once.
  NameId fixed(const std::string& text);
  // The id of a table pin letter.
  NameId letter(char pin);
  // The instance path of the MOSFETs `devices` of `c`: their names' longest
  // common run of whole path steps.
  NameId path_of(const circuit::Circuit& c, std::span<const std::uint32_t> devices);
  NameId path_of(std::string_view instance);

  const std::vector<LibraryCell>& cells_;
  const Hierarchy* hierarchy_ = nullptr;
  std::vector<std::vector<NameId>> port_names_;  // per kept module, once it is instantiated
  Design design_;
  std::unordered_map<std::string, NameId> fixed_;
  std::array<NameId, 128> letters_{};
  std::unordered_map<std::string_view, NameId> paths_;
  // Black-box cells in order of first call, with their most pins.
  std::vector<std::pair<std::string_view, std::size_t>> black_boxes_;
  std::unordered_map<std::string_view, std::size_t> black_box_index_;
};

}  // namespace design
