// check_cells on a two-copy design written several ways: which instances it
// finds, which it judges sound, and what the simulation of the written
// netlist against the placed design shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

// BIG is a NAND2 feeding a NOR2; ONE is a NOR2 alone. The second copy of
// BIG reads the first one's output.
const char* kCells =
    "cell BIG in a1 a2 a3 out y4\n"
    "gate a&b w5 a1 a2\n"
    "gate a|b y4 w5 a3\n"
    "cell ONE in a6 a7 out y8\n"
    "gate a|b y8 a6 a7\n";
const char* kPlacedWithInside =
    "place BIG a1=n1 a2=n2 a3=n3 y4=n10 w5=n9\n"
    "place BIG a1=n10 a2=n2 a3=n1 y4=n12 w5=n11\n";
const char* kPlacedPinsOnly =
    "place BIG a1=n1 a2=n2 a3=n3 y4=n10\n"
    "place BIG a1=n10 a2=n2 a3=n1 y4=n12\n";

const char* kHeader =
    "module NAND2(a, b, out);\ninput a, b;\noutput out;\nassign out = ~(a & b);\nendmodule\n"
    "module NOR2(a, b, out);\ninput a, b;\noutput out;\nassign out = ~(a | b);\nendmodule\n";

const char* kFirstFound = "    BIG  X1 ( .a1(n1), .a2(n2), .a3(n3), .y4(n10) );\n";
const char* kSecondFound = "    BIG  X2 ( .a1(n10), .a2(n2), .a3(n1), .y4(n12) );\n";
// The second copy's NAND2 as a gate and its NOR2 as a ONE instance.
const char* kSecondSplit =
    "    NAND2  U3 ( .a(n10), .b(n2), .out(n11) );\n"
    "    ONE  X4 ( .a6(n11), .a7(n1), .y8(n12) );\n";

fs::path write(const std::string& name, const std::string& text) {
  fs::path p = fs::path(testing::TempDir()) / ("check_cells_" + std::to_string(getpid()) + "_" + name);
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

// check_cells's figures by name.
std::map<std::string, long> figures(const std::string& placed, const std::string& body) {
  fs::path side = write("placed.txt", std::string(kCells) + placed);
  fs::path netlist = write("out.v",
                           " module top (n1, n2, n3, vdd, gnd, n12);\n"
                           " input vdd, gnd, n1, n2, n3;\n"
                           " output n12;\n"
                           " wire n9, n10, n11;\n\n" +
                               body + "\nendmodule\n");
  fs::path header = write("hdr.v", kHeader);
  std::map<std::string, long> out;
  std::string cmd =
      "'" CHECK_CELLS_EXE "' '" + side.string() + "' '" + netlist.string() + "' '" + header.string() + "'";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return out;
  char buf[256];
  while (std::fgets(buf, sizeof buf, pipe)) {
    std::string line(buf);
    std::size_t space = line.find_last_of(' ');
    if (space != std::string::npos) out[line.substr(0, space)] = std::stol(line.substr(space + 1));
  }
  pclose(pipe);
  return out;
}

struct Case {
  const char* what;
  const char* placed;
  std::string body;
  std::map<std::string, long> expect;
};

TEST(CheckCells, JudgesInstancesAndSimulatesTheWrittenNetlist) {
  const Case cases[] = {
      {"both copies, the first with its NAND2 inputs swapped", kPlacedWithInside,
       "    BIG  X1 ( .a1(n2), .a2(n1), .a3(n3), .y4(n10) );\n" + std::string(kSecondFound),
       {{"found", 2}, {"not placed", 0}, {"undriven", 0}, {"mismatching nets", 0}}},
      {"a one-gate cell inside a copy the search missed", kPlacedWithInside,
       std::string(kFirstFound) + kSecondSplit,
       {{"found", 1}, {"not placed sound", 1}, {"not placed unsound", 0}, {"mismatching nets", 0}}},
      {"the one-gate cell on a wrong input", kPlacedWithInside,
       std::string(kFirstFound) +
           "    NAND2  U3 ( .a(n10), .b(n2), .out(n11) );\n    ONE  X4 ( .a6(n11), .a7(n3), .y8(n12) );\n",
       {{"not placed sound", 0}, {"not placed unsound", 1}, {"mismatching nets", 1}, {"mismatching outputs", 1}}},
      {"inside nets the side file does not name", kPlacedPinsOnly, std::string(kFirstFound) + kSecondSplit,
       {{"not placed sound", 0}, {"not placed unjudged", 1}, {"mismatching nets", 0}}},
      {"a gate reading a net whose driver went into an instance", kPlacedWithInside,
       "    NOR2  U1 ( .a(n9), .b(n3), .out(n10) );\n" + std::string(kSecondFound),
       {{"undriven", 1}, {"mismatching nets", 2}, {"mismatching outputs", 1}}},
      {"a gate of the wrong type", kPlacedWithInside,
       "    NOR2  U1 ( .a(n1), .b(n2), .out(n9) );\n    NOR2  U2 ( .a(n9), .b(n3), .out(n10) );\n" +
           std::string(kSecondFound),
       {{"undriven", 0}, {"mismatching nets", 3}, {"unmodelled gates", 0}}},
      {"a pseudo gate, which no header module models", kPlacedWithInside,
       "    N_Model_a  U1 ( .a(n1), .b(n2), .out(n9) );\n    NOR2  U2 ( .a(n9), .b(n3), .out(n10) );\n" +
           std::string(kSecondFound),
       {{"unmodelled gates", 1}, {"mismatching nets", 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::map<std::string, long> got = figures(c.placed, c.body);
    EXPECT_EQ(got["placed"], 2);
    for (const auto& [name, value] : c.expect) EXPECT_EQ(got[name], value) << name;
  }
}

}  // namespace
