#include "classic/run/timing.h"

#include <unistd.h>

#include <cstdio>

#include "classic/messages/messages.h"

namespace {

// The system's own tick rate; 60 only if it cannot be had.
double ticks_per_second() {
  long ticks = sysconf(_SC_CLK_TCK);
  return ticks > 0 ? static_cast<double>(ticks) : 60.0;
}

void print_phase(const char* title, double user, double sys) {
  std::printf("%s", title);
  std::printf("\tUser %f ", user / ticks_per_second());
  std::printf("\n\tSystem %f", sys / ticks_per_second());
  std::printf("\n");
}

void print_stage(const char* title, double user, double sys) {
  std::printf("%s", title);
  std::printf("\tUser %f \n", user / ticks_per_second());
  std::printf("\tSystem %f \n", sys / ticks_per_second());
}

}  // namespace

double UnixTime() {
  tms now{};
  times(&now);
  return static_cast<double>(now.tms_utime) / ticks_per_second();
}

void Timing::sample(double& user, double& sys) {
  times(&buffer);
  user = static_cast<double>(buffer.tms_utime);
  sys = static_cast<double>(buffer.tms_stime);
}

void Timing::print_summary() const {
  std::fputs(msg::kGateTimeTitle, stdout);
  std::printf(msg::kGateTime, gate_finish - time_begin);
  std::fputs(msg::kMatchTimeTitle, stdout);
  std::printf(msg::kMatchTime, time_end - patt_begin);
  std::fputs(msg::kCpuTimeTitle, stdout);
  std::printf(msg::kCpuTime, time);
  std::printf("\n\n");
}

void Timing::print_report() const {
  std::fputs(msg::kTimingTitle, stdout);
  print_phase(msg::kPhaseTitles[0], miduser - prevuser, midsys - prevsys);
  print_phase(msg::kPhaseTitles[1], totaluser - miduser, totalsys - midsys);
  print_phase(msg::kPhaseTitles[2], totaluser - prevuser, totalsys - prevsys);
  print_stage(msg::kStageTitles[0], parseruser - prevuser, parsersys - prevsys);
  print_stage(msg::kStageTitles[1], tellnpuser - parseruser, tellnpsys - parsersys);
  print_stage(msg::kStageTitles[2], nodeuser - tellnpuser, nodesys - tellnpsys);
  print_stage(msg::kStageTitles[3], branchuser - nodeuser, branchsys - nodesys);
  print_stage(msg::kStageTitles[4], gbranchuser - branchuser, gbranchsys - branchsys);
  print_stage(msg::kStageTitles[5], prerecoguser - gbranchuser, prerecogsys - gbranchsys);
  print_stage(msg::kStageTitles[6], nprecoguser - prerecoguser, nprecogsys - prerecogsys);
  print_stage(msg::kStageTitles[7], coupleuser - nprecoguser, couplesys - nprecogsys);
  print_stage(msg::kStageTitles[8], gaterecoguser - coupleuser, gaterecogsys - couplesys);
  print_stage(msg::kStageTitles[9], preconnectuser - gaterecoguser, preconnectsys - gaterecogsys);
  print_stage(msg::kStageTitles[10], gateconnectuser - preconnectuser, gateconnectsys - preconnectsys);
  print_stage(msg::kStageTitles[11], miduser - gateconnectuser, midsys - gateconnectsys);
}
