#include "driver/timing.h"

#include <unistd.h>

#include <cstdio>

#include "messages/messages.h"

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
  print_phase("Phase I Time:\n", miduser - prevuser, midsys - prevsys);
  print_phase("Phase II Time:\n", totaluser - miduser, totalsys - midsys);
  print_phase("Total Time:\n", totaluser - prevuser, totalsys - prevsys);
  print_stage("Parser Time: \n", parseruser - prevuser, parsersys - prevsys);
  print_stage("TellNP Time: \n", tellnpuser - parseruser, tellnpsys - parsersys);
  print_stage("Node Time: \n", nodeuser - tellnpuser, nodesys - tellnpsys);
  print_stage("Generate Branch Time: \n", branchuser - nodeuser, branchsys - nodesys);
  print_stage("Group Branch Time: \n", gbranchuser - branchuser, gbranchsys - branchsys);
  print_stage("Pre Branch Recog Time: \n", prerecoguser - gbranchuser, prerecogsys - gbranchsys);
  print_stage("NP Branch Recog Time: \n", nprecoguser - prerecoguser, nprecogsys - prerecogsys);
  print_stage("Couple Time: \n", coupleuser - nprecoguser, couplesys - nprecogsys);
  print_stage("Gate Recog Time: \n", gaterecoguser - coupleuser, gaterecogsys - couplesys);
  print_stage("Pre Gateconnection Time: \n", preconnectuser - gaterecoguser, preconnectsys - gaterecogsys);
  print_stage("Gate Connection Time: \n", gateconnectuser - preconnectuser, gateconnectsys - preconnectsys);
  print_stage("Left Time: \n", miduser - gateconnectuser, midsys - gateconnectsys);
}
