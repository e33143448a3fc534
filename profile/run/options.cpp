#include "profile/run/options.h"

#include <getopt.h>

#include "profile/messages/messages.h"

const char* const kVersionText = "parser 1.1 (CMOS gate extractor)\n";

const char* const kProfileHelp =
    "Usage: parser [OPTIONS] NETLIST... -o OUT.v\n"
    "       parser INPUT1 INPUT2 NETLIST-OUT HEADER-OUT   (classic form)\n"
    "Reads SPICE/CDL netlists, recognises the static CMOS gates of their MOSFETs,\n"
    "finds the library cells in them and writes a gate-level Verilog netlist.\n"
    "\n"
    "  -o, --output FILE    the Verilog netlist to write (required); the gate\n"
    "                       library modules follow the top module in it; a\n"
    "                       FILE ending in .json is a Yosys JSON netlist\n"
    "  -l, --library FILE   a cell library: each .subckt is a cell to find\n"
    "                       (repeatable; where found cells overlap, the cover\n"
    "                       holding the most MOSFETs wins)\n"
    "      --top NAME       the top cell (default: the one .subckt nothing calls,\n"
    "                       or the deck itself when devices stand outside .subckt)\n"
    "      --supply NAME    a supply rail besides the usual names (vdd, vcc,\n"
    "                       vpwr, ...) and the nets found as rails (repeatable)\n"
    "      --ground NAME    a ground rail besides gnd, vss, vgnd, 0, ... (repeatable)\n"
    "      --no-default-rails  only the rails named by --supply and --ground:\n"
    "                       no usual names, none found from the MOSFETs\n"
    "      --nmos PATTERN   models, and subcircuits defined nowhere, that are\n"
    "                       n-channel MOSFETs (glob, repeatable). They decide\n"
    "                       first, then a .model card's type, then the name rule\n"
    "                       (names with nfet, nmos, nch), which they replace.\n"
    "                       A defined subcircuit is always its body\n"
    "      --pmos PATTERN   the same for p-channel (rule: pfet, pmos, pch)\n"
    "      --flatten        one flat top module: every call flattened (by default\n"
    "                       each subcircuit called is a module of its own,\n"
    "                       unless a port of it is on a pass device or tristate)\n"
    "      --report FILE    the run's summary and per instance the devices it\n"
    "                       covers, as JSON\n"
    "  -q, --quiet          no summary and no progress line on standard error\n"
    "                       (warnings are still printed)\n"
    "  -h, --help           show this help and exit\n"
    "      --version        show the version and exit\n";

namespace {

enum LongOnly { kTop = 256, kSupply, kGround, kNoDefaultRails, kNmos, kPmos, kVersion, kReport, kFlatten };

const option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'}, {"library", required_argument, nullptr, 'l'},
    {"top", required_argument, nullptr, kTop},   {"supply", required_argument, nullptr, kSupply},
    {"ground", required_argument, nullptr, kGround}, {"no-default-rails", no_argument, nullptr, kNoDefaultRails},
    {"nmos", required_argument, nullptr, kNmos},
    {"pmos", required_argument, nullptr, kPmos}, {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion}, {"report", required_argument, nullptr, kReport},
    {"quiet", no_argument, nullptr, 'q'},        {"flatten", no_argument, nullptr, kFlatten},
    {nullptr, 0, nullptr, 0},
};

}  // namespace

ProfileOptions parse_profile_options(int argc, char** argv) {
  ProfileOptions o;
  optind = 0;  // a fresh scan, also when called more than once
  opterr = 1;
  int c;
  while ((c = getopt_long(argc, argv, "o:l:hq", kLongOptions, nullptr)) != -1) {
    switch (c) {
      case 'o':
        if (!o.output.empty()) throw UsageError(messages::format(messages::Message::OnlyOneOutput));
        o.output = optarg;
        break;
      case 'l': o.libraries.emplace_back(optarg); break;
      case kTop: o.top = optarg; break;
      case kSupply: o.supply.emplace_back(optarg); break;
      case kGround: o.ground.emplace_back(optarg); break;
      case kNoDefaultRails: o.default_rails = false; break;
      case kNmos: o.nmos.emplace_back(optarg); break;
      case kPmos: o.pmos.emplace_back(optarg); break;
      case 'h': o.help = true; break;
      case 'q': o.quiet = true; break;
      case kReport: o.report = optarg; break;
      case kFlatten: o.flatten = true; break;
      case kVersion: o.version = true; break;
      default: throw UsageError(messages::format(messages::Message::BadCommandLine));  // getopt has said what
    }
  }
  for (int i = optind; i < argc; ++i) o.netlists.emplace_back(argv[i]);
  if (o.help || o.version) return o;
  if (o.netlists.empty()) throw UsageError(messages::format(messages::Message::NoNetlist));
  if (o.output.empty()) throw UsageError(messages::format(messages::Message::NoOutput));
  return o;
}
