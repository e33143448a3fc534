#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "classic/netlist/arena.h"
#include "classic/netlist/netlist.h"
#include "classic/run/selection.h"
#include "parser_run.h"
#include "profile/messages/messages.h"

namespace {

using namespace parser_run;

TEST(Driver, StartUpChecksArgumentsAndFiles) {
  fs::path d = work_dir("startup");
  // Anything but four plain arguments is the option form, which needs -o.
  Outcome r = run(d, "a b c");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, messages::format(messages::Message::Usage, {messages::format(messages::Message::NoOutput)}));
  EXPECT_FALSE(fs::exists(d / "a") || fs::exists(d / "b") || fs::exists(d / "c"));

  r = run(d, "missing.sp in2.sp out.v hdr.v");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.err.find("can not open source file !\n: "), std::string::npos);
  EXPECT_FALSE(fs::exists(d / "out.v") || fs::exists(d / "hdr.v"));

  std::ofstream(d / "in1.sp") << "R1 a b 1\n";
  r = run(d, "in1.sp in2.sp nodir/out.v hdr.v");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.err.find("can not open destination file !\n: "), std::string::npos);
  EXPECT_FALSE(fs::exists(d / "hdr.v"));

  r = run(d, "in1.sp in2.sp out.v nodir/hdr.v");
  EXPECT_EQ(r.status, 255);
  EXPECT_TRUE(fs::exists(d / "out.v"));

  fs::remove(d / "out.v");
  r = run(d, "in1.sp in2.sp out.v hdr.v");  // the second input is opened only once the first is read
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
  Outcome r = run(d, "in1.sp in2.sp out.v hdr.v");
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
