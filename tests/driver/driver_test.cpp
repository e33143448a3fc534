#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "driver/selection.h"
#include "messages/messages.h"
#include "netlist/arena.h"
#include "netlist/netlist.h"

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// A fresh working directory per scenario.
fs::path work_dir(const std::string& name) {
  fs::path d = fs::path(testing::TempDir()) / ("driver_" + name);
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

Outcome run_parser(const fs::path& dir, const std::string& args) {
  std::string cmd = "cd '" + dir.string() + "' && '" PARSER_EXE "' " + args + " >stdout.txt 2>stderr.txt";
  int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir / "stdout.txt"), slurp(dir / "stderr.txt")};
}

TEST(Driver, StartUpChecksArgumentsAndFiles) {
  fs::path d = work_dir("startup");
  Outcome r = run_parser(d, "a b c");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, msg::kUsage);
  EXPECT_FALSE(fs::exists(d / "a") || fs::exists(d / "b") || fs::exists(d / "c"));

  r = run_parser(d, "missing.sp in2.sp out.v hdr.v");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.err.find("can not open source file !\n: "), std::string::npos);
  EXPECT_FALSE(fs::exists(d / "out.v") || fs::exists(d / "hdr.v"));

  std::ofstream(d / "in1.sp") << "R1 a b 1\n";
  r = run_parser(d, "in1.sp in2.sp nodir/out.v hdr.v");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.err.find("can not open destination file !\n: "), std::string::npos);
  EXPECT_FALSE(fs::exists(d / "hdr.v"));

  r = run_parser(d, "in1.sp in2.sp out.v nodir/hdr.v");
  EXPECT_EQ(r.status, 255);
  EXPECT_TRUE(fs::exists(d / "out.v"));

  fs::remove(d / "out.v");
  r = run_parser(d, "in1.sp in2.sp out.v hdr.v");  // the second input is opened only once the first is read
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "   \n");
  EXPECT_NE(r.err.find(" can not open destination file !\n: "), std::string::npos);
  EXPECT_TRUE(fs::exists(d / "out.v") && fs::file_size(d / "out.v") == 0);
  EXPECT_TRUE(fs::exists(d / "hdr.v") && fs::file_size(d / "hdr.v") == 0);
}

TEST(Driver, OverlongLexemeEndsTheRun) {
  fs::path d = work_dir("lexeme");
  std::ofstream(d / "in1.sp") << "R1 a b 1\n.subckt top " << std::string(1100, 'a') << "\n";
  std::ofstream(d / "in2.sp") << "";
  Outcome r = run_parser(d, "in1.sp in2.sp out.v hdr.v");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "   \nInput string too long, limit 1024\n");
}

TEST(MacromodelSelection, MostMosfetsFirstTiesInListOrder) {
  MacroModelHead = nullptr;
  EXPECT_TRUE(macromodel_head_done());
  MacroModelList* empty = nullptr;
  for (auto [name, mos] : {std::pair{"a", 8}, {"b", 12}, {"c", 10}, {"d", 0}, {"e", 10}}) {
    auto* m = arena_new<MacroModelList>();
    m->macromodel_name = arena::strdup(name);
    m->num_of_mos = mos;
    MacroModelHead = link_behind_head(MacroModelHead, m);  // list order a e d c b
    if (mos == 0) empty = m;
  }
  std::string order;
  while (!macromodel_head_done()) order += return_macromodel()->macromodel_name;
  EXPECT_EQ(order, "beca");  // the definition without MOSFETs never holds the loop
  EXPECT_EQ(return_macromodel(), nullptr);
  EXPECT_FALSE(empty->done);
}

}  // namespace
