// What a run says of itself: the summary on standard error, warnings that
// repeat printed a few times and counted, and the JSON report, checked
// against the schema the README documents and against the written netlist.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include <nlohmann/json.hpp>

#include "parser_run.h"
#include "profile/messages/messages.h"
#include "profile/messages/warning_log.h"

namespace {

using namespace parser_run;
using nlohmann::json;
using M = messages::Message;

// Two calls of a library NAND, a flat inverter, a decap, a black box, a net
// held at 1 by a resistor and a MOSFET that drives nothing read.
const char* const kCells =
    ".subckt nand2 A B VGND VNB VPB VPWR Y\n"
    "X0 Y A VPWR VPB pfet w=1 l=0.15\nX1 VPWR B Y VPB pfet w=1 l=0.15\n"
    "X2 VGND B m VNB nfet w=0.65 l=0.15\nX3 m A Y VNB nfet w=0.65 l=0.15\n.ends\n"
    ".subckt decap VGND VNB VPB VPWR\nX0 VGND VPWR VGND VNB nfet w=1 l=1\nX1 VPWR VGND VPWR VPB pfet w=1 l=1\n.ends\n"
    ".subckt pullup A Y\nR1 A Y 1k\n.ends\n";
const char* const kDesign =
    ".subckt top a b c y z vdd gnd\n"
    "X1 a b gnd gnd vdd vdd n1 nand2\nX2 n1 c gnd gnd vdd vdd y nand2\n"
    "M1 z n1 vdd vdd pfet\nM2 z n1 gnd gnd nfet\n"
    "XD gnd gnd vdd vdd decap\nXbb y z opamp\nR1 k vdd 1k\nM3 q a gnd gnd nfet\n.ends\n";

fs::path write_design(const std::string& name) {
  fs::path d = work_dir(name);
  std::ofstream(d / "cells.sp") << kCells;
  std::ofstream(d / "design.sp") << kDesign;
  return d;
}

// Instances per module and cell as the Verilog file writes them.
std::map<std::string, std::map<std::string, int>> verilog_instances(const std::string& v) {
  std::map<std::string, std::map<std::string, int>> out;
  static const std::set<std::string> kWords = {"module", "input", "output", "inout", "wire", "assign", "endmodule"};
  std::regex module(R"(^module (\S+)\()"), instance(R"(^(\S+) \S+ \()");
  std::string current, line;
  std::istringstream in(v);
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_search(line, m, module)) current = m[1];
    else if (std::regex_search(line, m, instance) && !kWords.count(m[1])) ++out[current][m[1]];
  }
  return out;
}

TEST(Summary, CountsWhatTheNetlistHolds) {
  fs::path d = write_design("summary");
  Outcome r = run(d, "design.sp -l cells.sp -o out.v");
  ASSERT_EQ(r.status, 0) << r.err;
  auto f = [](M m, std::initializer_list<std::string_view> args = {}) { return messages::format(m, args) + "\n"; };
  std::string rails = messages::format(M::SummaryRail, {"vdd", messages::format(M::Supply), messages::format(M::RailUsual)}) +
                      ", " +
                      messages::format(M::SummaryRail, {"gnd", messages::format(M::Ground), messages::format(M::RailUsual)});
  // In order, each after the one before.
  const std::string lines[] = {
      f(M::SummaryHead, {"top", "out.v"}),
      f(M::SummaryMosfets, {"13", "13"}),
      f(M::SummaryModules, {"5", "1", "2", "1"}),
      f(M::SummaryInstances, {"top", "4"}),
      f(M::SummaryCells, {"2"}),
      f(M::SummaryCell, {"nand2", "2"}),
      f(M::SummaryStages, {"1", "1", "0", "0", "0", "0"}),
      f(M::SummaryOthers, {"0", "1"}),
      f(M::SummaryConstants, {"1", "0"}),
      f(M::SummaryLeftOut, {"0", "1"}),
      f(M::SummaryNoStage, {"2", "1", "0", "0"}),
      f(M::SummaryLibrary, {"3", "1", "0", "2"}),
      f(M::SummaryNotSearched, {messages::format(M::NoStages), "decap"}),
      f(M::SummaryNotSearched, {messages::format(M::HasElement), "pullup"}),
      f(M::SummaryRails, {rails}),
      f(M::SummaryWarnings, {messages::format(M::SummaryWarning, {"black_box", "1", "1"}) + ", " +
                                 messages::format(M::SummaryWarning, {"left_out", "1", "1"})}),
      f(M::SummaryStepHead),
  };
  std::size_t at = 0;
  for (const std::string& line : lines) EXPECT_NE(at = r.err.find(line, at), std::string::npos) << line << r.err;
  // A row per step, then the total.
  for (const char* step : {"read", "flatten", "rails", "recognize", "search", "design", "write", "total"})
    EXPECT_TRUE(std::regex_search(r.err, std::regex(std::string("\n  ") + step + " +[0-9]+\\.[0-9]{2} +[0-9]+\\.[0-9]\n")))
        << step << "\n" << r.err;
  // The same counts in the file written.
  std::string written = slurp(d / "out.v");
  auto v = verilog_instances(written);
  EXPECT_EQ(v["top"], (std::map<std::string, int>{{"nand2", 2}, {"INV", 1}, {"opamp", 1}}));
  EXPECT_EQ(v["nand2"], (std::map<std::string, int>{{"NAND2", 1}}));
  // top, nand2, and the INV, NAND2 and opamp modules
  int modules = 0;
  for (std::size_t at = 0; (at = written.find("\nmodule ", at)) != std::string::npos; ++at) ++modules;
  EXPECT_EQ(modules, 5);

  // --quiet drops the summary and nothing else.
  Outcome quiet = run(d, "--quiet design.sp -l cells.sp -o out.v");
  EXPECT_EQ(quiet.err, r.err.substr(0, r.err.find(lines[0])));
}

TEST(Summary, RepeatedWarningsArePrintedAFewTimesAndCounted) {
  fs::path d = work_dir("repeats");
  std::ofstream deck(d / "in.sp");
  deck << ".subckt top y0 y1 y2 y3 y4 y5 y6 y7 vdd gnd\n";
  for (int k = 0; k < 8; ++k)
    deck << "mp" << k << " y" << k << " f" << k << " vdd vdd pch\nmn" << k << " y" << k << " f" << k << " gnd gnd nch\n";
  deck << ".ends\n";
  deck.close();
  Outcome r = run(d, "in.sp -o out.v");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected;
  for (int k = 0; k < int(messages::WarningLog::kPrinted); ++k)
    expected += messages::located("in.sp:1", M::NoDriver, {"f" + std::to_string(k)}) + "\n";
  expected += messages::format(M::MoreWarnings, {"3", "no_driver"}) + "\n";
  EXPECT_EQ(r.err.substr(0, expected.size()), expected);
  EXPECT_NE(r.err.find(messages::format(M::SummaryWarnings, {messages::format(M::SummaryWarning, {"no_driver", "8", "5"})})),
            std::string::npos)
      << r.err;
}

// Enough of JSON Schema for the report's schema: types, properties,
// required members, closed objects, items, enumerations and minimums.
// Returns the path of the first value that breaks it, or "".
std::string violation(const json& schema, const json& value, const std::string& path = "$") {
  if (schema.contains("enum")) {
    bool any = false;
    for (const json& e : schema["enum"]) any = any || e == value;
    if (!any) return path;
  }
  if (schema.contains("type")) {
    std::string t = schema["type"];
    bool ok = t == "object"    ? value.is_object()
              : t == "array"   ? value.is_array()
              : t == "string"  ? value.is_string()
              : t == "integer" ? value.is_number_integer()
              : t == "number"  ? value.is_number()
              : t == "boolean" ? value.is_boolean()
                               : value.is_null();
    if (!ok) return path;
  }
  if (schema.contains("minimum") && value.is_number() && value.get<double>() < schema["minimum"].get<double>()) return path;
  if (value.is_object()) {
    for (const json& name : schema.value("required", json::array()))
      if (!value.contains(name.get<std::string>())) return path + "." + name.get<std::string>();
    for (const auto& [key, member] : value.items()) {
      const json props = schema.value("properties", json::object());
      json rule = props.contains(key) ? props[key] : schema.value("additionalProperties", json(true));
      if (rule.is_boolean()) {
        if (!rule.get<bool>()) return path + "." + key;
        continue;
      }
      std::string bad = violation(rule, member, path + "." + key);
      if (!bad.empty()) return bad;
    }
  }
  if (value.is_array() && schema.contains("items"))
    for (std::size_t i = 0; i < value.size(); ++i) {
      std::string bad = violation(schema["items"], value[i], path + "[" + std::to_string(i) + "]");
      if (!bad.empty()) return bad;
    }
  return "";
}

TEST(Report, FollowsItsSchemaAndTheNetlist) {
  fs::path d = write_design("report");
  Outcome r = run(d, "-q --flatten design.sp -l cells.sp -o out.v --report run.json");
  ASSERT_EQ(r.status, 0) << r.err;
  json schema = json::parse(slurp(REPORT_SCHEMA));
  json report = json::parse(slurp(d / "run.json"));
  EXPECT_EQ(violation(schema, report), "") << report.dump(2);

  // The check itself finds what breaks the schema.
  const struct {
    const char* pointer;
    json value;  // null: the member is removed
  } broken[] = {
      {"/top", nullptr},  {"/version", 2}, {"/mosfets/read", -1},        {"/library/0/status", "lost"},
      {"/extra", 1},      {"/rails/0/why", "guess"}, {"/design/0/instances/0/devices", "X1/X0"},
  };
  for (const auto& b : broken) {
    json bad = report;
    json::json_pointer p(b.pointer);
    if (b.value.is_null()) bad[p.parent_pointer()].erase(p.back());
    else bad[p] = b.value;
    EXPECT_NE(violation(schema, bad), "") << b.pointer;
  }

  // The counts are the netlist's: instances by cell, and every device of
  // the top in at most one instance, named as read.
  auto v = verilog_instances(slurp(d / "out.v"));
  EXPECT_EQ(report["instances"]["total"], 4);
  EXPECT_EQ(report["instances"]["by_cell"], (json{{"nand2", 2}}));
  std::map<std::string, int> written;
  std::set<std::string> devices;
  std::size_t listed = 0;
  for (const json& inst : report["design"][0]["instances"]) {
    ++written[inst["cell"]];
    for (const json& dev : inst["devices"]) devices.insert(dev.get<std::string>());
    listed += inst["devices"].size();
  }
  EXPECT_EQ(written, v["top"]);
  EXPECT_EQ(listed, devices.size());
  EXPECT_EQ(devices, (std::set<std::string>{"X1/X0", "X1/X1", "X1/X2", "X1/X3", "X2/X0", "X2/X1", "X2/X2", "X2/X3", "M1", "M2"}));
  const json& first = report["design"][0]["instances"][0];
  EXPECT_EQ(first["name"], "X1");
  EXPECT_EQ(first["path"], "X1");
  EXPECT_EQ(report["library"][1], (json{{"cell", "decap"}, {"status", "not_searched"}, {"why", "no_stages"},
                                         {"by_calls", false}, {"instances", 0}, {"given_up", 0}}));
  EXPECT_EQ(report["mosfets"]["never_conducting"], 2);
  EXPECT_EQ(report["mosfets"]["driving_nothing"], 1);

  // The hierarchy kept: the library NAND called by name is one module and
  // its calls are instances of it, holding no devices of the top; the
  // decap holds no logic and is flattened; MOSFETs count as flat.
  r = run(d, "-q design.sp -l cells.sp -o out.v --report hier.json");
  ASSERT_EQ(r.status, 0) << r.err;
  json hier = json::parse(slurp(d / "hier.json"));
  EXPECT_EQ(violation(schema, hier), "") << hier.dump(2);
  EXPECT_EQ(hier["mosfets"]["read"], report["mosfets"]["read"]);
  EXPECT_EQ(hier["modules"]["subcircuits"], 1);
  EXPECT_EQ(hier["modules"]["flattened_subcircuits"], 1);
  EXPECT_EQ(hier["instances"]["by_cell"], report["instances"]["by_cell"]);
  const json& call = hier["design"][0]["instances"][0];
  EXPECT_EQ(call["name"], "X1");
  EXPECT_EQ(call["kind"], "cell");
  EXPECT_EQ(call["path"], "X1");
  EXPECT_EQ(call["devices"], json::array());

  // A report that cannot be written fails the run.
  r = run(d, "-q design.sp -l cells.sp -o out.v --report no/such/dir/run.json");
  EXPECT_EQ(r.status, 1);
  std::string last = messages::format(M::CannotWriteReport, {"no/such/dir/run.json"}) + "\n";
  EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), last.size())), last);
}

}  // namespace
