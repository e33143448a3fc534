// What the search reads of a circuit's stages: the call their MOSFETs came
// from, the rails and bulks they reach, and how far their sizes are.
#include <gtest/gtest.h>

#include "profile/cellmatch/stage_facts.h"

using namespace cellmatch;

namespace {

constexpr std::uint32_t kNoCall = circuit::Mosfet::kNoCall;

// Stages 0 and 1 are inverters of equal sizes on one call; 2 mixes two
// calls; 3 holds nothing; 4 is an N device of its own well on call 0, 5 one
// on call 1, 6 one on no call.
struct Fixture {
  circuit::Circuit c;
  recognize::GateNetwork network;
  circuit::NetId vdd, gnd, nw, pw, pw2, a, y, z;

  Fixture() {
    vdd = c.add_kept_net("vdd"), gnd = c.add_kept_net("gnd"), nw = c.add_kept_net("nw"), pw = c.add_kept_net("pw");
    pw2 = c.add_kept_net("pw2"), a = c.add_kept_net("a"), y = c.add_kept_net("y"), z = c.add_kept_net("z");
    c.net_roles[vdd] = circuit::NetRole::Supply;
    c.net_roles[gnd] = circuit::NetRole::Ground;
    auto n = [&](circuit::NetId d, circuit::NetId g, circuit::NetId s, circuit::NetId b, float w, std::uint32_t call) {
      c.mosfets.push_back({"m", circuit::Channel::N, d, g, s, b, w, 1.5e-7f, call});
    };
    auto p = [&](circuit::NetId d, circuit::NetId g, std::uint32_t call) {
      c.mosfets.push_back({"m", circuit::Channel::P, d, g, vdd, nw, 2e-6f, 1.5e-7f, call});
    };
    n(y, a, gnd, pw, 1e-6f, 0), p(y, a, 0);
    n(z, y, gnd, pw, 1e-6f, 0), p(z, y, 0);
    n(z, a, gnd, pw, 1e-6f, 0), p(z, a, 1);
    n(z, a, y, pw2, 3e-6f, 0);
    n(y, z, a, pw2, 1e-6f, 1);
    n(y, a, z, pw, 1e-6f, kNoCall);
    for (std::vector<std::uint32_t> ids : std::vector<std::vector<std::uint32_t>>{{0, 1}, {2, 3}, {4, 5}, {}, {6}, {7}, {8}})
      network.stages.emplace_back().mosfet_ids = ids;
  }
};

}  // namespace

TEST(StageFacts, CommonCall) {
  Fixture f;
  StageFacts facts(f.c, f.network);
  const struct {
    std::vector<GateId> stages;
    std::uint32_t call;
  } rows[] = {
      {{0}, 0},           {{0, 1, 4}, 0},      {{0, 3}, 0},  // a stage without MOSFETs says nothing
      {{3}, kNoCall},     {{2}, kNoCall},                    // nothing to tell; a stage of two calls
      {{0, 5}, kNoCall},  {{4, 6}, kNoCall},  {{6, 0}, kNoCall},
  };
  for (const auto& row : rows) EXPECT_EQ(facts.common_call(row.stages), row.call) << ::testing::PrintToString(row.stages);
}

TEST(StageFacts, TerminalsAreTheFirstMetInStageOrder) {
  Fixture f;
  StageFacts facts(f.c, f.network);
  const struct {
    std::vector<GateId> stages;
    circuit::NetId supply, ground, bulk_n, bulk_p;
  } rows[] = {
      {{0}, f.vdd, f.gnd, f.pw, f.nw},
      {{4, 0}, f.vdd, f.gnd, f.pw2, f.nw},
      {{0, 4}, f.vdd, f.gnd, f.pw, f.nw},
      {{4, 3}, kNone, kNone, f.pw2, kNone},
  };
  for (const auto& row : rows) {
    StageFacts::Terminals t = facts.terminals(row.stages);
    EXPECT_EQ((std::vector{t.supply, t.ground, t.bulk_n, t.bulk_p}),
              (std::vector{row.supply, row.ground, row.bulk_n, row.bulk_p}))
        << ::testing::PrintToString(row.stages);
  }
}

TEST(StageFacts, SizeGapsAsRecognitionGivesThem) {
  // Read in stage order or asked one by one, shared size lists or not: the
  // gaps are recognition's own.
  Fixture f;
  StageFacts read(f.c, f.network), asked(f.c, f.network);
  read.read(std::vector<char>(f.network.stages.size(), 1));
  const std::vector<recognize::DeviceSize> inverter = recognize::stage_sizes(f.c, f.network.stages[0]);
  const std::vector<recognize::DeviceSize> wide = recognize::stage_sizes(f.c, f.network.stages[4]);
  for (GateId s = 0; s < f.network.stages.size(); ++s) {
    const std::vector<recognize::DeviceSize> have = recognize::stage_sizes(f.c, f.network.stages[s]);
    EXPECT_EQ(read.size_gap(0, inverter, s), recognize::size_gap(inverter, have)) << s;
    EXPECT_EQ(asked.size_gap(1, wide, s), recognize::size_gap(wide, have)) << s;
  }
  EXPECT_EQ(read.size_gap(0, inverter, 1), 0.0);
  EXPECT_GT(read.size_gap(1, wide, 0), 0.0);
}
