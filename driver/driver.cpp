#include "driver/driver.h"

#include <cstdio>

#include "driver/selection.h"
#include "driver/timing.h"
#include "extract/group.h"
#include "extract/node.h"
#include "algo/records.h"
#include "extract/tellnp.h"
#include "match/macromodel.h"
#include "match/patternmatch.h"
#include "netlist/arena.h"
#include "netlist/netlist.h"
#include "netlist/parser.h"
#include "netlist/scanner.h"
#include "verilog/header_writer.h"
#include "verilog/netlist_writer.h"
#include "verilog/wire.h"
#include "algo/tables.h"
#include "algo/run_state.h"

namespace {

// What one run holds between its stages.
struct Run {
  FILE* fp_out = nullptr;
  FILE* fp_header = nullptr;
  char* pvdd = nullptr;
  char* pgnd = nullptr;
  Timing t;
};

// Opens the files and resets the lists. -1 when a file cannot be opened,
// 1 when the run goes on.
int start_up(Run& run, char** argv) {
  FILE* in = std::fopen(argv[1], "r");
  if (!in) {
    std::perror("can not open source file !\n");
    return -1;
  }
  run.fp_out = std::fopen(argv[3], "w");
  if (!run.fp_out) {
    std::perror("can not open destination file !\n");
    std::fclose(in);
    return -1;
  }
  run.fp_header = std::fopen(argv[4], "w");
  if (!run.fp_header) {
    std::perror("can not open destination file !\n");
    std::fclose(in);
    std::fclose(run.fp_out);
    return -1;
  }
  reset_run();
  scanner_start(in);
  return 1;
}

void list_macromodels() {
  for (MacroModelList* m = MacroModelHead; m; m = m->next)
    std::printf(" name: %s num of mos: %d  done: %d\n", m->macromodel_name ? m->macromodel_name : "", m->num_of_mos,
                m->done ? 1 : 0);
}

// Each definition in turn, most MOSFETs first, is extracted on its own and
// its occurrences in the circuit are replaced.
void match_macromodels() {
  while (!macromodel_head_done()) {
    MacroModelList* hmac = return_macromodel();
    if (!hmac) break;
    std::printf(" begin pattern matching for ............ : %s\n", hmac->macromodel_name ? hmac->macromodel_name : "");
    auto* a_macromodel = arena_new<Macromodel>(hmac);
    a_macromodel->gen_data_structure();
    std::printf(" begin patternmatching: \n");
    auto* mypatternmatch = arena_new<Patternmatch>(a_macromodel);
    mypatternmatch->pattern_match_process();
  }
}

void finish(Run& run) {
  if (yyin) std::fclose(yyin);
  yyin = nullptr;
  std::fclose(run.fp_out);
  std::fclose(run.fp_header);
}

}  // namespace

int run_extractor(int argc, char** argv) {
  Run run;
  Timing& t = run.t;
  t.time_begin = UnixTime();
  t.sample(t.prevuser, t.prevsys);
  file_num = 1;
  files = argv;
  if (argc < 5) {
    std::printf("Useage: parser input output \n");
    return 0;
  }
  if (int status = start_up(run, argv); status < 0) return status;

  // The pipeline, in its fixed order: each step's calls, then its message,
  // then its sample.
  yyparse();
  t.sample(t.parseruser, t.parsersys);

  auto* tellnp = arena_new<TellNP>();
  tellnp->mos_np_netlist();
  node_biggest = tellnp->return_node_biggest();
  device_biggest = tellnp->return_device_biggest();
  std::printf("node_beggest: %d,  device_biggest: %d\n", node_biggest, device_biggest);
  hash_mos_list.clear();
  hash_node_list.clear();
  std::printf("TellNP part done\n");
  t.sample(t.tellnpuser, t.tellnpsys);

  auto* mynode = arena_new<Node>();
  std::printf("hehe_1\n");
  mynode->gen_nodelist();
  std::printf("hehe_2\n");
  mynode->gen_mos_list();
  std::printf("hehe_3\n");
  mynode->gen_np_char_netlist();
  std::printf("hehe_3_5\n");
  mynode->delete_vdd_gnd_from_inputlist();
  run.pvdd = mynode->get_vdd(MosHead);
  run.pgnd = mynode->get_gnd(MosHead);
  std::printf("hehe_4\n");
  mynode->generate_output_pinlist();
  mynode->generate_input_pinlist();
  std::printf("Node part done\n");
  t.sample(t.nodeuser, t.nodesys);

  auto* mygroup = arena_new<Group>();
  mygroup->generate_branch_list();
  std::printf("Generate_branch_list\n");
  t.sample(t.branchuser, t.branchsys);
  mygroup->group_branch_list();
  std::printf("Group_branch_list\n");
  t.sample(t.gbranchuser, t.gbranchsys);
  mygroup->generate_pass_left_list();
  std::printf("generate_pass_left_list\n");
  mygroup->generate_trans_list();
  std::printf("generate_trans_list\n");
  mygroup->generate_num_for_branch();
  std::printf("Generate num for branch\n");
  t.sample(t.prerecoguser, t.prerecogsys);
  mygroup->n_branch_recognition();
  std::printf("n branch recognition\n");
  mygroup->p_branch_recognition();
  std::printf("p branch recognition\n");
  t.sample(t.nprecoguser, t.nprecogsys);
  mygroup->give_name_to_branch();
  std::printf("give name\n");
  mygroup->gen_hash_branch_list();
  std::printf("gen_hash_branch\n");
  mygroup->couple_p_n_branch();
  std::printf("couple\n");
  t.sample(t.coupleuser, t.couplesys);
  mygroup->gate_recognition();
  std::printf("Gate recognition\n");
  t.sample(t.gaterecoguser, t.gaterecogsys);
  mygroup->gen_hash_gate_list();
  std::printf(" num of gates %d\n", num_of_gates);
  std::printf("gen hash gate list\n");
  std::printf("%d duoshaoge \n", num_of_gates);
  mygroup->gen_inlist_for_gate();
  std::printf("gen inlist for every gate\n");
  mygroup->gen_hash_trans_list();
  std::printf("gen hash trans list\n");
  std::printf(" Num of Gates: %d Num of trans: %d\n", num_of_gates, num_of_trans);
  t.sample(t.preconnectuser, t.preconnectsys);
  mygroup->gen_connection_of_gates();
  mygroup->gen_connection_of_trans();
  std::printf("gen connection\n");
  t.sample(t.gateconnectuser, t.gateconnectsys);
  mygroup->count_input_num_of_node();
  std::printf("Count the input num of every node \n");
  mygroup->gen_num_for_macromodel();
  std::printf("Gen num for every macromodel\n");
  std::printf(" Circuit part done. \n");
  std::printf(" output: macromodel \n");
  list_macromodels();
  t.gate_finish = UnixTime();
  t.sample(t.miduser, t.midsys);
  std::printf("************** Begin the macromodel **************\n");
  t.patt_begin = UnixTime();
  match_macromodels();

  auto* gwire = arena_new<Wire>();
  gwire->generate_wirelist();
  std::printf(" Wire gen ended\n");
  write_header_file(run.fp_header);
  write_netlist_file(run.fp_out, run.pvdd, run.pgnd);
  t.time_end = UnixTime();
  t.time = t.time_end - t.time_begin;
  t.print_summary();
  t.sample(t.totaluser, t.totalsys);
  t.print_report();

  finish(run);
  return 0;
}
