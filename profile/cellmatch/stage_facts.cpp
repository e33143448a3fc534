#include "profile/cellmatch/stage_facts.h"

#include <cstring>

namespace cellmatch {

StageFacts::StageFacts(const circuit::Circuit& c, const recognize::GateNetwork& network)
    : circuit_(c), network_(network), facts_(network.stages.size()) {}

void StageFacts::read(const std::vector<char>& wanted) {
  for (GateId s = 0; s < wanted.size() && s < facts_.size(); ++s)
    if (wanted[s]) facts(s);
}

const StageFacts::Facts& StageFacts::facts(GateId stage) {
  Facts& f = facts_[stage];
  if (f.sizes != kNone) return f;
  const recognize::Stage& st = network_.stages[stage];
  f.empty = st.mosfet_ids.empty();
  if (!f.empty) f.call = circuit_.mosfets[st.mosfet_ids[0]].call;
  for (std::uint32_t m : st.mosfet_ids) {
    const circuit::Mosfet& mos = circuit_.mosfets[m];
    if (mos.call != f.call) f.call = circuit::Mosfet::kNoCall;
    Terminals& t = f.ends;
    for (NetId n : {mos.source, mos.drain}) {
      if (t.supply == kNone && circuit_.net_roles[n] == circuit::NetRole::Supply) t.supply = n;
      if (t.ground == kNone && circuit_.net_roles[n] == circuit::NetRole::Ground) t.ground = n;
    }
    NetId& bulk = mos.type == circuit::Channel::N ? t.bulk_n : t.bulk_p;
    if (bulk == kNone) bulk = mos.bulk;
  }
  std::vector<recognize::DeviceSize> sizes = recognize::stage_sizes(circuit_, st);
  key_.clear();
  for (const recognize::DeviceSize& d : sizes) {
    char bytes[1 + 2 * sizeof(float)];
    bytes[0] = static_cast<char>(d.type);
    std::memcpy(bytes + 1, &d.width, sizeof(float));
    std::memcpy(bytes + 1 + sizeof(float), &d.length, sizeof(float));
    key_.append(bytes, sizeof bytes);
  }
  auto it = list_ids_.find(std::string_view(key_));
  if (it == list_ids_.end()) {
    it = list_ids_.emplace(key_, static_cast<std::uint32_t>(lists_.size())).first;
    lists_.push_back(std::move(sizes));
  }
  f.sizes = it->second;
  return f;
}

std::uint32_t StageFacts::common_call(std::span<const GateId> stages) {
  std::uint32_t call = circuit::Mosfet::kNoCall;
  bool first = true;
  for (GateId s : stages) {
    const Facts& f = facts(s);
    if (f.empty) continue;
    if (f.call == circuit::Mosfet::kNoCall || (!first && f.call != call)) return circuit::Mosfet::kNoCall;
    call = f.call;
    first = false;
  }
  return call;
}

StageFacts::Terminals StageFacts::terminals(std::span<const GateId> stages) {
  Terminals t;
  for (GateId s : stages) {
    const Terminals& e = facts(s).ends;
    for (auto [to, from] : {std::pair{&t.supply, e.supply}, std::pair{&t.ground, e.ground},
                            std::pair{&t.bulk_n, e.bulk_n}, std::pair{&t.bulk_p, e.bulk_p}})
      if (*to == kNone) *to = from;
  }
  return t;
}

double StageFacts::size_gap(std::uint32_t wanted_id, const std::vector<recognize::DeviceSize>& wanted, GateId stage) {
  const std::uint32_t list = facts(stage).sizes;
  auto [it, fresh] = gaps_.try_emplace(std::uint64_t{wanted_id} << 32 | list, 0.0);
  if (fresh) it->second = recognize::size_gap(wanted, lists_[list]);
  return it->second;
}

}  // namespace cellmatch
