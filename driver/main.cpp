#include <cstring>

#include "classic/run/driver.h"
#include "profile/run/profile_run.h"

namespace {

// Exactly four arguments, none an option, is the classic form; anything
// else is the SPICE profile.
bool classic_form(int argc, char** argv) {
  if (argc != 5) return false;
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] == '-') return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) { return classic_form(argc, argv) ? run_extractor(argc, argv) : run_profile(argc, argv); }
