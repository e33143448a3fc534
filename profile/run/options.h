#pragma once
// The command line of the SPICE profile, GNU style:
//   parser [OPTIONS] NETLIST... -o OUT.v|OUT.json
#include <stdexcept>
#include <string>
#include <vector>

struct ProfileOptions {
  std::vector<std::string> netlists;
  std::vector<std::string> libraries;  // -l, --library
  std::string output;                  // -o, --output (.json: a Yosys JSON netlist)
  std::string report;                  // --report
  std::string top;                     // --top
  std::vector<std::string> supply, ground, nmos, pmos;
  bool default_rails = true;  // false: --no-default-rails
  bool quiet = false;         // --quiet: no summary, no progress line
  bool flatten = false;       // --flatten: one flat module, the hierarchy not kept
  bool help = false;
  bool version = false;
};

// A command line that cannot be run; the text says why.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Throws UsageError; an unknown option is also reported on standard error
// as it is met.
ProfileOptions parse_profile_options(int argc, char** argv);

extern const char* const kProfileHelp;
extern const char* const kVersionText;
