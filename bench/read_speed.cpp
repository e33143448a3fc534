// Times reading one circuit written in each language: the classic reader on
// a deck and its model file, and the SPICE profile's reader with its
// flattening and rail detection on the same circuit written as a layout
// extraction writes it. Prints the median of RUNS runs of each.
//
// Usage: read_speed CLASSIC_DECK CLASSIC_MODELS SPICE_DECK [RUNS]
//        read_speed CLASSIC_DECK CLASSIC_MODELS SPICE_DECK classic|spice
// The second form reads once with one reader only, for timing whole
// processes from outside.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "classic/netlist/netlist.h"
#include "classic/netlist/parser.h"
#include "classic/netlist/scanner.h"
#include "profile/circuit/device_kinds.h"
#include "profile/circuit/rails.h"
#include "profile/spice/deck.h"
#include "profile/spice/flattener.h"
#include "profile/spice/reader.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Returns the MOSFETs read.
std::size_t classic_read(char** files_) {
  reset_netlist_globals();
  file_num = 1;
  files = files_;
  std::FILE* in = std::fopen(files_[1], "r");
  if (!in) std::exit(1);
  scanner_start(in);
  yyparse();
  std::size_t n = 0;
  for (const MosList* m = MosHead; m; m = m->next) ++n;
  return n;
}

// Returns the MOSFETs read; `read_only` receives the time before flattening
// and `total` the time until the circuit is complete. The classic reader
// never frees what it read, so freeing the deck and the circuit is left out
// of `total` too.
std::size_t spice_read(const char* path, double& read_only, double& total) {
  auto start = std::chrono::steady_clock::now();
  spice::Deck deck;
  spice::Reader reader(deck, nullptr);
  reader.read_netlist(path);
  read_only = seconds_since(start);
  circuit::DeviceKinds kinds({}, {}, deck.model_channels());
  spice::Flattener flattener(deck, kinds, nullptr);
  circuit::Circuit top = flattener.flatten_top("", "deck");
  circuit::Rails({}, {}, deck.global_names()).assign(top);
  total = seconds_since(start);
  return top.mosfets.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: read_speed CLASSIC_DECK CLASSIC_MODELS SPICE_DECK [RUNS]\n");
    return 2;
  }
  // The classic reader copies the characters that form no token to standard output.
  if (!std::freopen("/dev/null", "w", stdout)) return 1;
  std::string only = argc > 4 ? argv[4] : "";
  if (only == "classic") return classic_read(argv) > 0 ? 0 : 1;
  double unused = 0, unused_total = 0;
  if (only == "spice") return spice_read(argv[3], unused, unused_total) > 0 ? 0 : 1;
  int runs = argc > 4 ? std::atoi(argv[4]) : 5;
  std::vector<double> classic, profile, profile_read;
  std::size_t classic_mos = 0, profile_mos = 0;
  for (int i = 0; i < runs; ++i) {
    auto t = std::chrono::steady_clock::now();
    classic_mos = classic_read(argv);
    classic.push_back(seconds_since(t));
    double read_only = 0, total = 0;
    profile_mos = spice_read(argv[3], read_only, total);
    profile.push_back(total);
    profile_read.push_back(read_only);
  }
  std::fprintf(stderr, "%-8s %10s %10s %12s\n", "reader", "MOSFETs", "median s", "ns/MOSFET");
  std::fprintf(stderr, "%-8s %10zu %10.3f %12.1f\n", "classic", classic_mos, median(classic),
               median(classic) * 1e9 / static_cast<double>(classic_mos));
  std::fprintf(stderr, "%-8s %10zu %10.3f %12.1f   (cards only, before flattening)\n", "spice", profile_mos,
               median(profile_read), median(profile_read) * 1e9 / static_cast<double>(profile_mos));
  std::fprintf(stderr, "%-8s %10zu %10.3f %12.1f   (read, flattened, rails found)\n", "spice", profile_mos,
               median(profile), median(profile) * 1e9 / static_cast<double>(profile_mos));
  return 0;
}
