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
  std::ofstream(d / "in1.sp") << "R1 a b 1\n";
  const struct {
    const char* args;
    int status;
    std::string out, err;  // the whole standard output; found in standard error
    std::vector<const char*> made, not_made;  // made empty
  } rows[] = {
      // Anything but four plain arguments is the option form, which needs -o.
      {"a b c", 2, "", messages::format(messages::Message::Usage, {messages::format(messages::Message::NoOutput)}),
       {}, {"a", "b", "c"}},
      {"missing.sp in2.sp out.v hdr.v", 255, "", "can not open source file !\n: ", {}, {"out.v", "hdr.v"}},
      {"in1.sp in2.sp nodir/out.v hdr.v", 255, "", "can not open destination file !\n: ", {}, {"hdr.v"}},
      {"in1.sp in2.sp out.v nodir/hdr.v", 255, "", "", {"out.v"}, {}},
      // The second input is opened only once the first is read.
      {"in1.sp in2.sp out.v hdr.v", 255, "   \n", " can not open destination file !\n: ", {"out.v", "hdr.v"}, {}},
  };
  for (const auto& row : rows) {
    fs::remove(d / "out.v");
    fs::remove(d / "hdr.v");
    Outcome r = run(d, row.args);
    EXPECT_EQ(r.status, row.status) << row.args;
    EXPECT_EQ(r.out, row.out) << row.args;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << row.args << "\n" << r.err;
    for (const char* f : row.made) EXPECT_TRUE(fs::exists(d / f) && fs::file_size(d / f) == 0) << row.args << " " << f;
    for (const char* f : row.not_made) EXPECT_FALSE(fs::exists(d / f)) << row.args << " " << f;
  }
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
