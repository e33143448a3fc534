#pragma once
// CPU-time accounting of one run: the clock readings and the per-stage
// samples of user and system time, and the two reports printed at the end.
#include <sys/times.h>

// User CPU time of the process so far, in seconds.
double UnixTime();

struct Timing {
  // Takes a `times` sample into `buffer` and copies its user and system
  // ticks to `user` and `sys`.
  void sample(double& user, double& sys);

  // The CPU summary: gate generation, pattern matching, whole run.
  void print_summary() const;
  // Phase and per-stage user and system times, in seconds.
  void print_report() const;

  tms buffer{};

  // Raw tick counts taken after the stage each is named for.
  double prevuser = 0, prevsys = 0;
  double parseruser = 0, parsersys = 0;
  double tellnpuser = 0, tellnpsys = 0;
  double nodeuser = 0, nodesys = 0;
  double branchuser = 0, branchsys = 0;
  double gbranchuser = 0, gbranchsys = 0;
  double prerecoguser = 0, prerecogsys = 0;
  double nprecoguser = 0, nprecogsys = 0;
  double coupleuser = 0, couplesys = 0;
  double gaterecoguser = 0, gaterecogsys = 0;
  double preconnectuser = 0, preconnectsys = 0;
  double gateconnectuser = 0, gateconnectsys = 0;
  double miduser = 0, midsys = 0;
  double totaluser = 0, totalsys = 0;

  // Clock readings in seconds.
  double time_begin = 0, gate_finish = 0, patt_begin = 0, time_end = 0, time = 0;
};
