#pragma once
// What the cell search asks of a circuit's stages beyond its gates, worked
// out once per stage: its device sizes, as a number that stages of bitwise
// equal sizes share (so that a cell stage is compared with each list of
// sizes once, however many stages carry it), the call of the input that all
// its MOSFETs came from, and the rails and bulks its MOSFETs reach.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "profile/cellmatch/gate_graph.h"
#include "profile/circuit/circuit.h"
#include "profile/recognize/gate_network.h"
#include "profile/recognize/stage_sizes.h"

namespace cellmatch {

class StageFacts {
 public:
  // Rails of each kind and bulk nets of each channel among some MOSFETs, the
  // first met; kNone where there is none.
  struct Terminals {
    NetId supply = kNone, ground = kNone;
    NetId bulk_n = kNone, bulk_p = kNone;
  };

  // The circuit and its network must outlive the facts.
  StageFacts(const circuit::Circuit& c, const recognize::GateNetwork& network);

  // Works out the stages flagged in `wanted` (one flag per stage) in stage
  // order, which reads the circuit's MOSFETs far less at random than the
  // order occurrences ask for them. Stages not worked out yet are when
  // first asked for.
  void read(const std::vector<char>& wanted);

  // The call of the input every MOSFET of `stages` came from, or kNoCall.
  std::uint32_t common_call(std::span<const GateId> stages);

  // The terminals of the MOSFETs of `stages`, in stage order and each
  // stage's MOSFET order.
  Terminals terminals(std::span<const GateId> stages);

  // recognize::size_gap(wanted, the sizes of `stage`); `wanted_id` numbers
  // `wanted` among the lists the caller compares with (one per list).
  double size_gap(std::uint32_t wanted_id, const std::vector<recognize::DeviceSize>& wanted, GateId stage);

 private:
  struct Facts {
    std::uint32_t sizes = kNone;                    // into lists_; kNone until worked out
    std::uint32_t call = circuit::Mosfet::kNoCall;  // kNoCall: none, or several
    bool empty = false;                             // no MOSFET: says nothing of calls
    Terminals ends;
  };
  const Facts& facts(GateId stage);

  const circuit::Circuit& circuit_;
  const recognize::GateNetwork& network_;
  std::vector<Facts> facts_;
  std::vector<std::vector<recognize::DeviceSize>> lists_;
  // A list of sizes by its bytes; `key_` is the buffer it is written in.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> list_ids_;
  std::string key_;
  std::unordered_map<std::uint64_t, double> gaps_;  // by wanted_id (high word) and list (low word)
};

}  // namespace cellmatch
