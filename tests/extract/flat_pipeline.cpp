#include "flat_pipeline.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/algo/text.h"
#include "classic/netlist/arena.h"
#include "classic/run/pipeline.h"

void load_cards(const std::string& text) {
  std::istringstream lines(text);
  bool models = false;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string x; words >> x;) w.push_back(x);
    if (w.empty()) continue;
    if (w[0] == ".model")
      ModelHead = insert_model(ModelHead, MOSFET_TYPE, w[1].c_str(), w[2].c_str(), 0, 0, 0, 0, 0), models = true;
    else if (w[0] == ".subckt")
      insert_inout(line.c_str());
    else
      MosHead = insert_mos(MosHead, w[0].c_str(), w[1].c_str(), w[2].c_str(), w[3].c_str(), w[4].c_str(),
                           w[5].c_str(), 1e-6f, 2e-6f);
  }
  for (const char* type : {"nmos", "pmos"})
    if (!models) ModelHead = insert_model(ModelHead, MOSFET_TYPE, type, type, 0, 0, 0, 0, 0);
}

FlatRun run_flat(const std::string& cards) {
  reset_run();
  load_cards(cards);
  testing::internal::CaptureStdout();
  StageContext c;
  c.progress = false;
  run_stages(stages(classic_pipeline(), "tellnp", "gen_num_for_macromodel"), c);
  FlatRun run;
  run.group = c.group;
  run.out = testing::internal::GetCapturedStdout();
  return run;
}

std::string node_text(NODELIST* n) {
  std::string s =
      join(n->devicelist, [](const DEVICELIST* d) { return std::string(d->devicename()) + ":" + "DGS"[d->pintype()]; });
  auto add = [&s](const char* key, const std::string& value) {
    if (!value.empty()) s += " " + (key + value);
  };
  add("", n->pn_node ? "pn" : "");
  add("out=", text(n->output_of_gate_name));
  add("in=", join(n->input_of_gate_list.list(), [](auto* p) { return p->NodeName; }, ","));
  add("inputs=", n->num_of_inputs ? std::to_string(n->num_of_inputs) : "");
  add("tout=", text(n->output_of_trans_name));
  add("tin=", text(n->input_of_trans_name));
  return s;
}
