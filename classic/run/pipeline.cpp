#include "classic/run/pipeline.h"

#include <cstring>

#include "classic/algo/tables.h"
#include "classic/extract/group.h"
#include "classic/extract/node.h"
#include "classic/extract/tellnp.h"
#include "classic/match/macromodel.h"
#include "classic/match/patternmatch.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"
#include "classic/netlist/parser.h"
#include "classic/run/selection.h"
#include "classic/verilog/header_writer.h"
#include "classic/verilog/netlist_writer.h"
#include "classic/verilog/wire.h"
#include "core/diag/assert.h"

namespace {

// A progress line with numbers or names in it.
template <class... Args>
void progress(const StageContext& c, const char* format, Args... args) {
  if (c.progress) std::printf(format, args...);
}

void tell_np(StageContext& c) {
  auto* tellnp = arena_new<TellNP>();
  tellnp->mos_np_netlist();
  node_biggest = tellnp->return_node_biggest();
  device_biggest = tellnp->return_device_biggest();
  progress(c, msg::kNodeBiggest, node_biggest, device_biggest);
  hash_mos_list.clear();
  hash_node_list.clear();
}

void rails(StageContext& c) {
  c.node->delete_vdd_gnd_from_inputlist();
  c.pvdd = c.node->get_vdd(MosHead);
  c.pgnd = c.node->get_gnd(MosHead);
}

void list_macromodels(StageContext& c) {
  progress(c, "%s", msg::kCircuitDone);
  progress(c, "%s", msg::kOutputMacromodel);
  for (MacroModelList* m = MacroModelHead; m; m = m->next)
    progress(c, msg::kMacromodelLine, m->macromodel_name ? m->macromodel_name : "", m->num_of_mos, m->done ? 1 : 0);
  c.t.gate_finish = UnixTime();
}

// Each definition in turn, most MOSFETs first, is extracted on its own and
// its occurrences in the circuit are replaced.
void match_macromodels(StageContext& c) {
  progress(c, "%s", msg::kBeginMacromodels);
  c.t.patt_begin = UnixTime();
  while (!macromodel_head_done()) {
    MacroModelList* hmac = return_macromodel();
    if (!hmac) break;
    progress(c, msg::kBeginMatchingFor, hmac->macromodel_name ? hmac->macromodel_name : "");
    auto* a_macromodel = new Macromodel(hmac);
    a_macromodel->gen_data_structure();
    progress(c, "%s", msg::kBeginMatching);
    Patternmatch(a_macromodel).pattern_match_process();
  }
}

void report(StageContext& c) {
  Timing& t = c.t;
  t.time_end = UnixTime();
  t.time = t.time_end - t.time_begin;
  t.print_summary();
  t.sample(t.totaluser, t.totalsys);
  t.print_report();
}

// Calls of one member function of the stage's object.
template <void (Node::*F)()>
void on_node(StageContext& c) {
  (c.node->*F)();
}
template <void (Group::*F)()>
void on_group(StageContext& c) {
  (c.group->*F)();
}

using T = Timing;

const Stage kClassic[] = {
    {"parse", [](StageContext&) { yyparse(); }, nullptr, &T::parseruser, &T::parsersys},
    {"tellnp", tell_np, msg::kTellNPDone, &T::tellnpuser, &T::tellnpsys},
    {"node", [](StageContext& c) { c.node = arena_new<Node>(); }, msg::kNode1, nullptr, nullptr},
    {"gen_nodelist", on_node<&Node::gen_nodelist>, msg::kNode2, nullptr, nullptr},
    {"gen_mos_list", on_node<&Node::gen_mos_list>, msg::kNode3, nullptr, nullptr},
    {"gen_np_char_netlist", on_node<&Node::gen_np_char_netlist>, msg::kNode3_5, nullptr, nullptr},
    {"rails", rails, msg::kNode4, nullptr, nullptr},
    {"output_pinlist", on_node<&Node::generate_output_pinlist>, nullptr, nullptr, nullptr},
    {"input_pinlist", on_node<&Node::generate_input_pinlist>, msg::kNodeDone, &T::nodeuser, &T::nodesys},
    {"group", [](StageContext& c) { c.group = arena_new<Group>(); }, nullptr, nullptr, nullptr},
    {"generate_branch_list", on_group<&Group::generate_branch_list>, msg::kGenerateBranchList, &T::branchuser,
     &T::branchsys},
    {"group_branch_list", on_group<&Group::group_branch_list>, msg::kGroupBranchList, &T::gbranchuser,
     &T::gbranchsys},
    {"generate_pass_left_list", on_group<&Group::generate_pass_left_list>, msg::kPassLeftList, nullptr, nullptr},
    {"generate_trans_list", on_group<&Group::generate_trans_list>, msg::kTransList, nullptr, nullptr},
    {"generate_num_for_branch", on_group<&Group::generate_num_for_branch>, msg::kNumForBranch, &T::prerecoguser,
     &T::prerecogsys},
    {"n_branch_recognition", on_group<&Group::n_branch_recognition>, msg::kNBranchRecognition, nullptr, nullptr},
    {"p_branch_recognition", on_group<&Group::p_branch_recognition>, msg::kPBranchRecognition, &T::nprecoguser,
     &T::nprecogsys},
    {"give_name_to_branch", on_group<&Group::give_name_to_branch>, msg::kGiveName, nullptr, nullptr},
    {"gen_hash_branch_list", on_group<&Group::gen_hash_branch_list>, msg::kHashBranch, nullptr, nullptr},
    {"couple_p_n_branch", on_group<&Group::couple_p_n_branch>, msg::kCouple, &T::coupleuser, &T::couplesys},
    {"gate_recognition", on_group<&Group::gate_recognition>, msg::kGateRecognition, &T::gaterecoguser,
     &T::gaterecogsys},
    {"gen_hash_gate_list",
     [](StageContext& c) {
       c.group->gen_hash_gate_list();
       progress(c, msg::kNumOfGates, num_of_gates);
     },
     msg::kHashGateList, nullptr, nullptr},
    {"gen_inlist_for_gate",
     [](StageContext& c) {
       progress(c, msg::kGateCount, num_of_gates);
       c.group->gen_inlist_for_gate();
     },
     msg::kInlist, nullptr, nullptr},
    {"gen_hash_trans_list", on_group<&Group::gen_hash_trans_list>, msg::kHashTransList, nullptr, nullptr},
    {"gate_count", [](StageContext& c) { progress(c, msg::kGatesAndTrans, num_of_gates, num_of_trans); }, nullptr,
     &T::preconnectuser, &T::preconnectsys},
    {"gen_connection_of_gates", on_group<&Group::gen_connection_of_gates>, nullptr, nullptr, nullptr},
    {"gen_connection_of_trans", on_group<&Group::gen_connection_of_trans>, msg::kConnection, &T::gateconnectuser,
     &T::gateconnectsys},
    {"count_input_num_of_node", on_group<&Group::count_input_num_of_node>, msg::kInputCount, nullptr, nullptr},
    {"gen_num_for_macromodel", on_group<&Group::gen_num_for_macromodel>, msg::kNumForMacromodel, nullptr, nullptr},
    {"list_macromodels", list_macromodels, nullptr, &T::miduser, &T::midsys},
    {"match", match_macromodels, nullptr, nullptr, nullptr},
    {"wires", [](StageContext&) { arena_new<Wire>()->generate_wirelist(); }, msg::kWireDone, nullptr, nullptr},
    {"write",
     [](StageContext& c) {
       write_header_file(c.fp_header);
       write_netlist_file(c.fp_out, c.pvdd, c.pgnd);
     },
     nullptr, nullptr, nullptr},
    {"report", report, nullptr, nullptr, nullptr},
};

}  // namespace

std::span<const Stage> classic_pipeline() { return kClassic; }

std::span<const Stage> stages(std::span<const Stage> table, const char* first, const char* last) {
  std::size_t from = table.size(), to = table.size();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (std::strcmp(table[i].name, first) == 0) from = i;
    if (std::strcmp(table[i].name, last) == 0) to = i;
  }
  EXTRACTOR_ASSERT(from <= to && to < table.size());
  if (from > to || to >= table.size()) return {};
  return table.subspan(from, to - from + 1);
}

void run_stages(std::span<const Stage> rows, StageContext& c) {
  for (const Stage& s : rows) {
    s.call(c);
    if (s.message && c.progress) std::fputs(s.message, stdout);
    if (s.user) c.t.sample(c.t.*s.user, c.t.*s.sys);
  }
}
