// The Yosys JSON form of designs the profile's steps build: what a reader
// of the format relies on (names, directions, one bit per net shared by
// every pin on it, constants, positional pins named by their module's
// ports, gate modules as logic on their ports but those that stay black
// boxes).
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
  // A table module is its logic, on its own ports.
  const json& inv = j["modules"]["INV"];
  EXPECT_FALSE(inv["attributes"].contains("blackbox"));
  EXPECT_EQ(inv["ports"]["a"], (json{{"direction", "input"}, {"bits", {2}}}));
  EXPECT_EQ(inv["ports"]["out"], (json{{"direction", "output"}, {"bits", {3}}}));
  ASSERT_EQ(inv["cells"].size(), 1u);
  const json& not_a = inv["cells"].begin().value();
  EXPECT_EQ(not_a["type"], "$not");
  EXPECT_EQ(not_a["parameters"], (json{{"A_SIGNED", "00000000000000000000000000000000"},
                                       {"A_WIDTH", "00000000000000000000000000000001"},
                                       {"Y_WIDTH", "00000000000000000000000000000001"}}));
  EXPECT_EQ(not_a["port_directions"], (json{{"A", "input"}, {"Y", "output"}}));
  EXPECT_EQ(not_a["connections"], (json{{"A", {2}}, {"Y", {3}}}));
  // Every bit a cell reads or drives is a named net's, each net its own.
  std::set<std::string> named;
  for (const auto& [name, net] : top["netnames"].items())
    EXPECT_TRUE(named.insert(net["bits"].dump()).second || net["bits"][0].is_string()) << name;
  for (const auto& [name, cell] : top["cells"].items())
    for (const auto& [pin, b] : cell["connections"].items()) EXPECT_TRUE(named.count(b.dump())) << name << "." << pin;
}

// The cell of each kind of gate module, or none: a tristate driver, a
// multiplexer whose internal node keeps its charge, a latch's loop and a
// bus holder's weak feedback.
TEST(YosysJson, GateModulesAsLogicOrBlackBoxes) {
  fs::path d = fs::path(testing::TempDir()) / ("yosys_json_kinds_" + std::to_string(::getpid()));
  fs::create_directories(d);
  std::ofstream(d / "hold.sp") << ".subckt hold sh vdd vss\nmn1 n sh vss vss nch l=0.13u\nmp1 n sh vdd vdd pch l=0.13u\n"
                                  "mn0 sh n vss vss nch l=0.7u\nmp0 sh n vdd vdd pch l=0.7u\n.ends\n";
  const struct {
    fs::path dir;
    const char* netlist;
    const char* module;
    const char* cell;  // the type of the cell driving the output; null: a black box
    const char* output;
  } rows[] = {
      {CELL_DATA "/spice", "sky130_fd_sc_hd__ebufn_1.spice", "T3_6a60_z", "$tribuf", "y"},
      {CELL_DATA "/spice", "sky130_fd_sc_hd__mux2_1.spice", "T4_54586400_h", "$dlatch", "y"},
      {CELL_DATA "/spice", "sky130_fd_sc_hd__dlxtp_1.spice", "L2x3_1765e6c12ffffb30", nullptr, "y0"},
      {d, "hold.sp", "F1_1_w", nullptr, "y"},
  };
  for (const auto& row : rows) {
    json j = written(row.dir, {row.netlist});
    ASSERT_TRUE(j["modules"].contains(row.module)) << row.netlist << j["modules"].dump();
    const json& m = j["modules"][row.module];
    EXPECT_EQ(m["ports"]["a"]["direction"], "input") << row.module;
    EXPECT_EQ(m["ports"][row.output]["direction"], "output") << row.module;
    if (!row.cell) {
      EXPECT_EQ(m["attributes"]["blackbox"], "00000000000000000000000000000001") << row.module;
      EXPECT_TRUE(m["cells"].empty()) << row.module;
      continue;
    }
    EXPECT_FALSE(m["attributes"].contains("blackbox")) << row.module;
    std::string out = row.cell == std::string("$dlatch") ? "Q" : "Y";
    int drivers = 0;
    for (const auto& [name, cell] : m["cells"].items())
      if (cell["connections"].value(out, json()) == m["ports"][row.output]["bits"]) {
        ++drivers;
        EXPECT_EQ(cell["type"], row.cell) << row.module;
        json one = "00000000000000000000000000000001";
        json parameters = out == "Q" ? json{{"EN_POLARITY", one}, {"WIDTH", one}} : json{{"WIDTH", one}};
        EXPECT_EQ(cell["parameters"], parameters) << row.module;
        EXPECT_EQ(cell["port_directions"]["EN"], "input") << row.module;
        EXPECT_EQ(cell["port_directions"][out], "output") << row.module;
      }
    EXPECT_EQ(drivers, 1) << row.module;
  }
  fs::remove_all(d);
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
