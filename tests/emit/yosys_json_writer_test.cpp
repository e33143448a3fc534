// The Yosys JSON form of designs the profile's steps build: what a reader
// of the format relies on (names, directions, one bit per net shared by
// every pin on it, constants, positional pins named by their module's
// ports, gate modules as black boxes with their ports).
#include "profile/emit/yosys_json_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "profile/run/profile_run.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

// The JSON of a run of the steps up to the design on `args` (run in `dir`).
json written(const fs::path& dir, std::vector<std::string> args) {
  fs::path was = fs::current_path();
  fs::current_path(dir);
  args.insert(args.begin(), "parser");
  args.insert(args.end(), {"-o", "out.json"});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  Profile run;
  run.options = parse_profile_options(static_cast<int>(argv.size()), argv.data());
  bool ok = run_profile_steps(profile_steps("read", "design"), run);
  fs::current_path(was);
  EXPECT_TRUE(ok);
  std::FILE* f = std::tmpfile();
  emit::YosysJsonWriter(f).write(run.design);
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  return json::parse(text);
}

json bits(const json& module, const char* net) { return module["netnames"][net]["bits"]; }

TEST(YosysJson, BusWithSwitchesAndABlackBox) {
  json j = written(GOLDEN_DATA, {"profile_bus.sp"});
  const json& top = j["modules"]["bus_top"];
  EXPECT_EQ(top["attributes"]["top"], "00000000000000000000000000000001");
  EXPECT_EQ(top["ports"]["y"]["direction"], "output");
  EXPECT_EQ(top["ports"]["d0"]["direction"], "input");
  EXPECT_EQ(top["ports"]["y"]["bits"], bits(top, "y"));
  // The black box's pins take its module's port names.
  const json& keep = top["cells"]["xkeep"];
  EXPECT_EQ(keep["type"], "keeper");
  EXPECT_EQ(keep["port_directions"], (json{{"p0", "input"}, {"p1", "input"}}));
  EXPECT_EQ(keep["connections"]["p0"], bits(top, "bus"));
  EXPECT_EQ(keep["connections"]["p1"], bits(top, "y"));
  EXPECT_EQ(j["modules"]["keeper"]["attributes"]["blackbox"], "00000000000000000000000000000001");
  // A switch passes from the rail: its supply is the constant 1.
  const json& sw = top["cells"]["mp0.1"];
  EXPECT_EQ(sw["type"], "pmos");
  EXPECT_EQ(sw["port_directions"], (json{{"out", "output"}, {"in", "input"}, {"gate", "input"}}));
  EXPECT_EQ(sw["connections"]["in"], json::array({"1"}));
  EXPECT_EQ(sw["connections"]["gate"], bits(top, "d0"));
  EXPECT_EQ(sw["connections"]["out"], bits(top, "pmd0"));
  // The gate modules are black boxes with their ports.
  const json& inv = j["modules"]["INV"];
  EXPECT_EQ(inv["attributes"]["blackbox"], "00000000000000000000000000000001");
  EXPECT_EQ(inv["ports"]["a"]["direction"], "input");
  EXPECT_EQ(inv["ports"]["out"]["direction"], "output");
  // Every bit a cell reads or drives is a named net's, each net its own.
  std::set<std::string> named;
  for (const auto& [name, net] : top["netnames"].items())
    EXPECT_TRUE(named.insert(net["bits"].dump()).second || net["bits"][0].is_string()) << name;
  for (const auto& [name, cell] : top["cells"].items())
    for (const auto& [pin, b] : cell["connections"].items()) EXPECT_TRUE(named.count(b.dump())) << name << "." << pin;
}

TEST(YosysJson, ConstantsAndNamesThatNeedEscapes) {
  json j = written(GOLDEN_DATA, {"profile_tie_cells.sp", "-l", "profile_tie_cells.cells.sp"});
  EXPECT_EQ(j["modules"]["TIEHI"]["ports"]["HI"], (json{{"direction", "output"}, {"bits", {"1"}}}));
  EXPECT_EQ(j["modules"]["TIELO"]["ports"]["LO"]["bits"], json::array({"0"}));

  fs::path d = fs::path(testing::TempDir()) / ("yosys_json_" + std::to_string(::getpid()));
  fs::create_directories(d);
  std::ofstream(d / "esc.sp") << ".subckt t a y vdd gnd\nM1 n.1 a vdd vdd pch\nM2 n.1 a gnd gnd nch\n"
                                 "M3 y n.1 vdd vdd pch\nM4 y n.1 gnd gnd nch\n.ends\n";
  j = written(d, {"esc.sp"});
  const json& t = j["modules"]["t"];
  ASSERT_TRUE(t["netnames"].contains("n.1")) << t.dump();
  EXPECT_EQ(t["cells"]["U1"]["connections"]["out"], bits(t, "n.1"));
  EXPECT_EQ(t["cells"]["U2"]["connections"]["a"], bits(t, "n.1"));
  fs::remove_all(d);
}

}  // namespace
