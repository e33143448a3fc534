// Every standard cell of the test data, from its own unedited file, written
// as a netlist that must load alone, pass Verilator's lint and compute the
// library's own functional model (combinational cells) or follow a reference
// over a random input sequence (latch and flip-flops).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/emit/simulation.h"
#include "profile/circuit/device_kinds.h"
#include "profile/circuit/rails.h"
#include "profile/spice/flattener.h"

namespace {

const std::string kCells = CELL_DATA;

// One cell file read by the profile's own reader, flattened, with its rails
// assigned by the default names.
circuit::Circuit read_spice_cell(const std::string& path) {
  spice::Deck deck;
  auto quiet = [](messages::Message, const std::string&) {};
  spice::Reader(deck, quiet).read_netlist(path);
  circuit::DeviceKinds kinds({}, {}, deck.model_channels());
  circuit::Circuit c = spice::Flattener(deck, kinds, quiet).flatten_top("", "cell");
  circuit::Rails({}, {}, deck.global_names()).assign(c);
  return c;
}

// Writes a cell's netlist and checks it loads alone and lints; returns its path.
std::string written_cell(const std::string& cell) {
  std::string path = scratch_path(cell + ".v");
  write_netlist(read_spice_cell(kCells + "/spice/" + cell + ".spice"), path);
  EXPECT_EQ(simulate({path}, cell).find("COMPILE"), std::string::npos) << read_text(path);
  EXPECT_EQ(lint(path, cell), "") << read_text(path);
  return path;
}

class CellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_simulator()) GTEST_SKIP() << "iverilog is not installed";
  }
};

TEST_F(CellTest, CombinationalCellsComputeTheirModels) {
  std::vector<std::string> cells;
  for (const auto& e : std::filesystem::directory_iterator(kCells + "/spice"))
    cells.push_back(e.path().stem().string());
  std::sort(cells.begin(), cells.end());
  int checked = 0;
  for (const std::string& cell : cells) {
    std::string model = cell.substr(0, cell.rfind('_'));  // without the drive size
    std::string model_text = read_text(kCells + "/functional/" + model + ".functional.v");
    if (model_text.empty()) continue;  // sequential: tested below
    SCOPED_TRACE(cell);
    ++checked;
    std::string netlist = written_cell(cell);
    std::string model_file = scratch_path(cell + "_model.v"), bench = scratch_path(cell + "_tb.v");
    write_text(model_file, model_source(model_text));
    write_text(bench, model_bench(cell, model, model_ports(model_text)));
    expect_clean(simulate({netlist, model_file, bench}, "tb"), read_text(netlist));
    for (const std::string& f : {netlist, model_file, bench}) std::remove(f.c_str());
  }
  EXPECT_EQ(checked, 30);
}

TEST_F(CellTest, LatchAndFlipFlopsFollowTheirReference) {
  const struct {
    const char* cell;
    std::vector<std::string> inputs;
    const char* reference;
  } rows[] = {
      {"sky130_fd_sc_hd__dlxtp_1", {"D", "GATE"}, "always @* if (GATE) q_ref = D;"},
      {"sky130_fd_sc_hd__dfxtp_1", {"D", "CLK"}, "always @(posedge CLK) q_ref <= D;"},
      {"sky130_fd_sc_hd__dfrtp_1", {"D", "CLK", "RESET_B"},
       "always @(posedge CLK or negedge RESET_B) if (!RESET_B) q_ref <= 0; else q_ref <= D;"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cell);
    std::string netlist = written_cell(row.cell), bench = scratch_path(std::string(row.cell) + "_tb.v");
    write_text(bench, sequence_bench(std::string("wire Q;\nreg q_ref;\n") + row.cell + " dut(" + kCellRails + ", " +
                                         connect(row.inputs) + ", .Q(Q));\n" + row.reference + "\n",
                                     row.inputs, "Q", 400));
    expect_clean(simulate({netlist, bench}, "tb"), read_text(netlist));
    std::remove(netlist.c_str());
    std::remove(bench.c_str());
  }
}

}  // namespace
