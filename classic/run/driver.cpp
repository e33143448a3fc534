#include "classic/run/driver.h"

#include <cstdio>

#include "classic/algo/run_state.h"
#include "classic/messages/messages.h"
#include "classic/netlist/netlist.h"
#include "classic/netlist/scanner.h"
#include "classic/run/pipeline.h"

namespace {

// Opens the files and resets the run. False when a file cannot be opened.
bool start_up(StageContext& c, char** argv) {
  FILE* in = std::fopen(argv[1], "r");
  if (!in) {
    std::perror(msg::kCannotOpenSource);
    return false;
  }
  c.fp_out = std::fopen(argv[3], "w");
  if (!c.fp_out) {
    std::perror(msg::kCannotOpenDestination);
    std::fclose(in);
    return false;
  }
  c.fp_header = std::fopen(argv[4], "w");
  if (!c.fp_header) {
    std::perror(msg::kCannotOpenDestination);
    std::fclose(in);
    std::fclose(c.fp_out);
    return false;
  }
  reset_run();
  scanner_start(in);
  return true;
}

void finish(StageContext& c) {
  if (yyin) std::fclose(yyin);
  yyin = nullptr;
  std::fclose(c.fp_out);
  std::fclose(c.fp_header);
}

}  // namespace

int run_extractor(int argc, char** argv) {
  StageContext c;
  Timing& t = c.t;
  t.time_begin = UnixTime();
  t.sample(t.prevuser, t.prevsys);
  file_num = 1;
  files = argv;
  if (argc < 5) {
    std::fputs(msg::kUsage, stdout);
    return 0;
  }
  if (!start_up(c, argv)) return -1;
  run_stages(classic_pipeline(), c);
  finish(c);
  return 0;
}
