// Runs the SPICE profile's steps up to the design on a command line of the
// profile and prints the design's dump, for the golden runner.
#include <cstdio>

#include "profile/design/design_dump.h"
#include "profile/run/profile_run.h"

int main(int argc, char** argv) {
  Profile run;
  try {
    run.options = parse_profile_options(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  // Warnings are the writer run's to check; here they would be repeated.
  std::FILE* quiet = std::freopen("/dev/null", "w", stderr);
  bool ok = run_profile_steps(profile_steps("read", "design"), run);
  if (!quiet || !ok) return 1;
  std::fputs(design::dump_design(run.design).c_str(), stdout);
  return 0;
}
