// The cells of an open standard-cell library, each read from its own
// unedited file (tests/spice/data/cells) by whole runs of the parser: every
// file reads without an error, and every cell that the classic recognition
// handles computes its reference function for every input combination in
// Icarus Verilog.
#include <gtest/gtest.h>

#include "parser_run.h"
#include "tests/emit/bench.h"

namespace {

using namespace parser_run;

const char* const kClassicCells[] = {"inv_1",   "buf_1",   "clkinv_1", "nand2_1", "nor2_1", "nand3_1", "nor3_1",
                                     "nand4_1", "and2_1",  "or2_1",    "a21oi_1", "a21o_1", "o21ai_1", "a22oi_1",
                                     "o22ai_1", "a31oi_1", "xor2_1",   "mux2_1",  "ha_1"};

TEST(Cells, EveryFileReadsWithoutAnError) {
  fs::path d = work_dir("cells_read");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(CELLS_DIR) / "spice")) {
    Outcome r = run(d, "-q '" + entry.path().string() + "' -o out.v");
    EXPECT_EQ(r.status, 0) << entry.path() << "\n" << r.err;
    EXPECT_EQ(r.err, "") << entry.path();  // no warning
    ++files;
  }
  EXPECT_EQ(files, 33);
}

TEST(Cells, ClassicCellsComputeTheirFunction) {
  if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  fs::path d = work_dir("cells_sim");
  for (std::string cell : kClassicCells) {
    SCOPED_TRACE(cell);
    std::string name = "sky130_fd_sc_hd__" + cell, model = name.substr(0, name.rfind('_'));
    Outcome r = run(d, "'" + std::string(CELLS_DIR) + "/spice/" + name + ".spice' -o dut.v");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string model_text = slurp(fs::path(CELLS_DIR) / "functional" / (model + ".functional.v"));
    write_text(d / "ref.v", model_source(model_text));
    write_text(d / "tb.v", model_bench(name, model, model_ports(model_text)));
    expect_clean(simulate({d / "dut.v", d / "ref.v", d / "tb.v"}, "tb"), slurp(d / "dut.v"));
  }
}

}  // namespace
