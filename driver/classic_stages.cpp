#include "driver/classic_stages.h"

#include "driver/pipeline.h"

// The rows of the four-argument form's table, without its progress lines.
void extract_flat_gates(char*& vdd, char*& gnd) {
  StageContext c;
  c.progress = false;
  run_stages(stages(classic_pipeline(), "tellnp", "gen_num_for_macromodel"), c);
  vdd = c.pvdd;
  gnd = c.pgnd;
}

void match_definitions() {
  StageContext c;
  c.progress = false;
  run_stages(stages(classic_pipeline(), "match", "match"), c);
}
