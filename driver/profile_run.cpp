#include "driver/profile_run.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/classic_bridge.h"
#include "driver/classic_stages.h"
#include "driver/options.h"
#include "driver/profile_writer.h"
#include "spice/deck.h"
#include "spice/device_kinds.h"
#include "spice/error.h"
#include "spice/flattener.h"
#include "spice/loose_nets.h"
#include "spice/rails.h"
#include "spice/reader.h"

namespace {

void to_stderr(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

// Keeps standard output quiet while the classic stages run: they report
// their progress there for the four-argument form.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    std::FILE* null = std::fopen("/dev/null", "w");
    if (null) {
      dup2(fileno(null), STDOUT_FILENO);
      std::fclose(null);
    }
  }
  ~QuietStdout() {
    std::fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, STDOUT_FILENO);
      close(saved_);
    }
  }
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;

 private:
  int saved_ = -1;
};

// What one run holds between its steps.
struct Profile {
  ProfileOptions options;
  spice::Deck deck;
  spice::Circuit top;
  std::vector<spice::Circuit> cells;
  std::string top_where;  // location of the top for messages
  ClassicBridge bridge;
};

void read_step(Profile& run) {
  spice::Reader reader(run.deck, to_stderr);
  for (const std::string& f : run.options.netlists) reader.read_netlist(f);
  for (const std::string& f : run.options.libraries) reader.read_library(f);
}

void flatten_step(Profile& run) {
  spice::DeviceKinds kinds(run.deck, run.options.nmos, run.options.pmos);
  spice::Flattener flattener(run.deck, kinds, to_stderr);
  std::string deck_name = std::filesystem::path(run.options.netlists.front()).stem().string();
  run.top = flattener.flatten_top(run.options.top, deck_name);
  run.top_where = flattener.top_line > 0 ? spice::located(flattener.top_file, flattener.top_line, "")
                                         : flattener.top_file + ": ";
  run.top_where.resize(run.top_where.size() - 2);  // without the ": " that follows a location
  run.cells = flattener.flatten_cells();
  spice::Rails rails(run.deck, run.options.supply, run.options.ground);
  rails.assign(run.top);
  for (spice::Circuit& cell : run.cells) rails.assign(cell);
  // A deck has no .subckt line: its rails are its ports, supplies first.
  if (flattener.top_line == 0)
    for (spice::NetRole role : {spice::NetRole::Supply, spice::NetRole::Ground})
      for (spice::NetId n = 0; n < run.top.net_count(); ++n)
        if (run.top.net_roles[n] == role) run.top.ports.push_back(n);
  spice::warn_loose_nets(run.top, run.top_where, to_stderr);
}

void extract_step(Profile& run, char*& vdd, char*& gnd) {
  run.bridge.load(run.top, run.cells);
  extract_flat_gates(vdd, gnd);
}

void match_step() { match_definitions(); }

// Written beside the target and renamed at the end, so that a failed run
// leaves no output file.
bool write_step(Profile& run) {
  const std::string& out = run.options.output;
  std::string temp = out + ".part";
  std::FILE* fp = std::fopen(temp.c_str(), "w");
  if (!fp) {
    std::fprintf(stderr, "parser: cannot write %s\n", out.c_str());
    return false;
  }
  write_profile_netlist(fp, run.top, run.bridge);
  bool ok = std::fflush(fp) == 0 && !std::ferror(fp);
  ok = std::fclose(fp) == 0 && ok;
  if (ok && std::rename(temp.c_str(), out.c_str()) == 0) return true;
  std::remove(temp.c_str());
  std::fprintf(stderr, "parser: cannot write %s\n", out.c_str());
  return false;
}

}  // namespace

int run_profile(int argc, char** argv) {
  Profile run;
  try {
    run.options = parse_profile_options(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "parser: %s\nTry 'parser --help' for more information.\n", e.what());
    return 2;
  }
  if (run.options.help) {
    std::fputs(kProfileHelp, stdout);
    return 0;
  }
  if (run.options.version) {
    std::fputs(kVersionText, stdout);
    return 0;
  }
  try {
    read_step(run);
    flatten_step(run);
  } catch (const spice::ReadError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  char* vdd = nullptr;
  char* gnd = nullptr;
  {
    QuietStdout quiet;
    extract_step(run, vdd, gnd);
    match_step();
  }
  return write_step(run) ? 0 : 1;
}
