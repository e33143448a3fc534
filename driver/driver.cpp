#include "driver/driver.h"

#include <cstdio>

#include "driver/selection.h"
#include "driver/timing.h"
#include "extract/records.h"
#include "netlist/netlist.h"
#include "netlist/parser.h"
#include "netlist/scanner.h"

namespace {

// What one run holds between its stages.
struct Run {
  FILE* fp_out = nullptr;
  FILE* fp_header = nullptr;
  const char* pvdd = nullptr;
  const char* pgnd = nullptr;
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
  reset_netlist_globals();
  flat_reset_unnumbered();
  flag = 1;
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
    std::printf(" begin patternmatching: \n");
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
  // numbering of names, n/p classification, node and MOSFET tables
  t.sample(t.tellnpuser, t.tellnpsys);
  // node graph, supply rails (pvdd, pgnd), inputs and outputs
  t.sample(t.nodeuser, t.nodesys);
  // branch extraction
  t.sample(t.branchuser, t.branchsys);
  // branch grouping
  t.sample(t.gbranchuser, t.gbranchsys);
  // pass transistors, transmission gates, branch numbering
  t.sample(t.prerecoguser, t.prerecogsys);
  // n and p branch recognition
  t.sample(t.nprecoguser, t.nprecogsys);
  // branch names and coupling
  t.sample(t.coupleuser, t.couplesys);
  // gate recognition
  t.sample(t.gaterecoguser, t.gaterecogsys);
  // gate and transmission-gate tables, gate inputs
  t.sample(t.preconnectuser, t.preconnectsys);
  // gate connections
  t.sample(t.gateconnectuser, t.gateconnectsys);
  // input counts of nodes, MOSFET counts of definitions
  list_macromodels();
  t.gate_finish = UnixTime();
  t.sample(t.miduser, t.midsys);
  std::printf("************** Begin the macromodel **************\n");
  t.patt_begin = UnixTime();
  match_macromodels();
  // wire list, header file, netlist file
  t.time_end = UnixTime();
  t.time = t.time_end - t.time_begin;
  t.print_summary();
  t.sample(t.totaluser, t.totalsys);
  t.print_report();

  finish(run);
  return 0;
}
