// Generates a large valid netlist for timing the extractor: random static
// CMOS gates of the recognised types wired as a DAG, a high-fan-out net that
// feeds many gates, and many flattened copies of one subcircuit definition.
//
// Usage: gen_netlist MOSFETS OCCURRENCES SEED CIRCUIT_OUT LIBRARY_OUT
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// A gate type: its pull-down network as a series (&) / parallel (|)
// expression over input letters, and the card orders of the pull-down and
// pull-up MOSFETs under which the extractor reads it as that type.
struct GateShape {
  const char* name;
  const char* pulldown;
  std::vector<int> n_order;
  std::vector<int> p_order;
};

const std::vector<GateShape> kShapes = {
    {"INV", "a", {0}, {0}},
    {"NAND2", "a&b", {0, 1}, {0, 1}},
    {"NOR2", "a|b", {0, 1}, {0, 1}},
    {"NAND3", "a&b&c", {0, 1, 2}, {0, 1, 2}},
    {"NOR3", "a|b|c", {0, 1, 2}, {0, 1, 2}},
    {"AOI12", "(a&b)|c", {0, 1, 2}, {0, 1, 2}},
    {"OAI12", "(a|b)&c", {0, 1, 2}, {0, 1, 2}},
    {"NAND4", "a&b&c&d", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"NOR4", "a|b|c|d", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"AOI22", "(a&b)|(c&d)", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"OAI22", "(a|b)&(c|d)", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"AOI13", "(a&b&c)|d", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"OAI13", "(a|b|c)&d", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"AOOI112", "(a|b)|(c&d)", {0, 2, 3, 1}, {0, 1, 2, 3}},
    {"OAAI112", "(a|b)&c&d", {0, 1, 3, 2}, {0, 1, 2, 3}},
    {"AOAI112", "((a&b)|c)&d", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"OAOI112", "((a|b)&c)|d", {0, 1, 2, 3}, {0, 1, 2, 3}},
    {"AOI23", "(a&b)|(c&d&e)", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
    {"AOI311", "(a|b)|(c&d&e)", {0, 2, 3, 4, 1}, {0, 1, 2, 3, 4}},
    {"AOI221", "(a&b)|(c&d)|e", {0, 1, 2, 3, 4}, {0, 1, 2, 4, 3}},
    {"OAI23", "(a|b|c)&(d|e)", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
    {"OAI311", "(a|b|c)&d&e", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
    {"OAI221", "(a|b)&(c|d)&e", {0, 1, 2, 4, 3}, {0, 1, 2, 3, 4}},
    {"OAOI212", "((a|b)&c)|(d&e)", {0, 1, 3, 4, 2}, {0, 1, 2, 3, 4}},
    {"OAOI2111", "((a|b)&e)|(c|d)", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
    {"AOAI212", "(a|b)&((c&d)|e)", {0, 2, 4, 1, 3}, {0, 1, 2, 3, 4}},
    {"AOAI2111", "((a&b)|e)&(c&d)", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
    // Its pull-up network types as no name, so it comes out as a pseudo gate.
    {"AOI33", "(a&b&c)|(d&e&f)", {0, 1, 2, 3, 5, 4}, {0, 1, 2, 3, 4, 5}},
    {"AOI321", "(a&b&c)|(d&e)|f", {0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 5, 4}},
    {"AOI222", "(a&b)|(c&d)|(e&f)", {0, 1, 2, 3, 4, 5}, {0, 1, 2, 4, 5, 3}},
    {"OAI222", "(a|b)&(c|d)&(e|f)", {0, 1, 2, 4, 5, 3}, {0, 1, 2, 3, 4, 5}},
    {"OAI321", "(a|b|c)&(d|e)&f", {0, 1, 2, 3, 5, 4}, {0, 1, 2, 3, 4, 5}},
};

struct Card {
  std::string d, g, s;
};

class Generator {
 public:
  Generator(unsigned seed, FILE* out) : rng_(seed), out_(out) {}

  std::string new_net() {
    std::string name("n");
    name += std::to_string(++net_);
    return name;
  }

  // Writes one gate driving `output` from `inputs` (one net per letter).
  void gate(const GateShape& shape, const std::vector<std::string>& inputs, const std::string& output) {
    std::vector<Card> n, p;
    std::size_t pos = 0;
    emit(shape.pulldown, pos, false, output, "gnd", inputs, n);
    pos = 0;
    emit(shape.pulldown, pos, true, output, "vdd", inputs, p);
    for (int i : shape.n_order) card(n[i], "gnd", "nmos");
    for (int i : shape.p_order) card(p[i], "vdd", "pmos");
  }

  int mosfets() const { return mos_; }
  std::mt19937& rng() { return rng_; }

 private:
  // Recursive descent over the pull-down expression: a letter is one MOSFET,
  // & puts the parts in series, | in parallel. The pull-up network is the
  // dual: & and | swap roles.
  void emit(const char* e, std::size_t& pos, bool dual, const std::string& top, const std::string& bottom,
            const std::vector<std::string>& inputs, std::vector<Card>& out) {
    std::vector<std::size_t> starts;
    char op = 0;
    std::size_t depth = 0, i = pos;
    starts.push_back(pos);
    for (; e[i] && !(e[i] == ')' && depth == 0); ++i) {
      if (e[i] == '(') ++depth;
      if (e[i] == ')') --depth;
      if (depth == 0 && (e[i] == '&' || e[i] == '|')) {
        op = e[i];
        starts.push_back(i + 1);
      }
    }
    pos = i;
    bool series = (op == '&') != dual;
    if (!op) {
      std::size_t at = starts[0];
      if (e[at] == '(') {
        ++at;
        emit(e, at, dual, top, bottom, inputs, out);
      } else {
        out.push_back({top, inputs[e[at] - 'a'], bottom});
      }
      return;
    }
    std::string upper = top;
    for (std::size_t k = 0; k < starts.size(); ++k) {
      std::string lower = series && k + 1 < starts.size() ? new_net() : bottom;
      std::size_t at = starts[k];
      if (e[at] == '(') {
        ++at;
        emit(e, at, dual, series ? upper : top, lower, inputs, out);
      } else {
        out.push_back({series ? upper : top, inputs[e[at] - 'a'], series ? lower : bottom});
      }
      upper = lower;
    }
  }

  void card(const Card& c, const char* bulk, const char* model) {
    std::fprintf(out_, "M%d %s %s %s %s %s l=1u w=2u\n", ++mos_, c.d.c_str(), c.g.c_str(), c.s.c_str(), bulk, model);
  }

  std::mt19937 rng_;
  FILE* out_;
  int net_ = 0;
  int mos_ = 0;
};

// The two MOSFET model cards; a definition needs its own copy of them.
void write_models(FILE* lib) {
  std::fprintf(lib, ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n");
  std::fprintf(lib, ".model pmos pmos level=1 kp=2e-5 vto=-0.7 lambda=0.02\n");
}

int letters(const char* e) {
  int n = 0;
  for (; *e; ++e)
    if (*e >= 'a' && *e <= 'f') ++n;
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--shapes") {
    // One gate of every shape on its own inputs: a quick check that each
    // shape still reads as its type.
    FILE* out = std::fopen(argv[2], "w");
    FILE* lib = std::fopen(argv[3], "w");
    if (!out || !lib) return 1;
    Generator gen(1, out);
    std::fprintf(out, ".subckt top\n");
    for (const GateShape& shape : kShapes) {
      std::vector<std::string> in;
      for (int i = 0; i < letters(shape.pulldown); ++i) in.push_back(gen.new_net());
      gen.gate(shape, in, gen.new_net());
    }
    std::fprintf(out, ".ends top\n");
    write_models(lib);
    return 0;
  }
  if (argc != 6) {
    std::fprintf(stderr, "usage: gen_netlist MOSFETS OCCURRENCES SEED CIRCUIT_OUT LIBRARY_OUT\n");
    return 2;
  }
  long target = std::atol(argv[1]);
  long occurrences = std::atol(argv[2]);
  FILE* out = std::fopen(argv[4], "w");
  FILE* lib = std::fopen(argv[5], "w");
  if (!out || !lib) {
    std::perror("gen_netlist");
    return 1;
  }

  const int kInputs = 64;
  const int kOutputs = 16;
  Generator gen(static_cast<unsigned>(std::atol(argv[3])), out);
  std::vector<std::string> nets;
  std::vector<std::string> ports;
  for (int i = 0; i < kInputs; ++i) ports.push_back(gen.new_net());
  nets = ports;
  std::vector<std::string> outputs;
  for (int i = 0; i < kOutputs; ++i) outputs.push_back(gen.new_net());

  std::fprintf(out, ".subckt top");
  for (const auto& p : ports) std::fprintf(out, " %s", p.c_str());
  for (const auto& p : outputs) std::fprintf(out, " %s", p.c_str());
  std::fprintf(out, "\n");

  // A clock-like net that a share of all gates take as an input.
  const std::string hub = nets[0];
  std::uniform_int_distribution<int> shape_pick(0, static_cast<int>(kShapes.size()) - 1);
  const GateShape& nand2 = kShapes[1];
  const GateShape& inv = kShapes[0];
  long gates_per_occurrence = occurrences > 0 ? (target / 12) / occurrences : 0;
  long placed = 0;
  long gate_count = 0;

  auto pick_input = [&]() -> std::string {
    std::uniform_int_distribution<int> hub_roll(0, 49);
    if (hub_roll(gen.rng()) == 0) return hub;
    // Mostly recent nets, so the DAG stays local like real logic.
    std::size_t window = std::min<std::size_t>(nets.size(), 2000);
    std::uniform_int_distribution<std::size_t> at(nets.size() - window, nets.size() - 1);
    return nets[at(gen.rng())];
  };

  while (gen.mosfets() < target) {
    bool last = gen.mosfets() >= target - 64;
    if (occurrences > 0 && placed < occurrences && gates_per_occurrence > 0 && gate_count % gates_per_occurrence == 0) {
      // One flattened copy of the AND2 definition: NAND2 into an inverter.
      std::string a = pick_input(), b = pick_input();
      while (b == a) b = pick_input();
      std::string mid = gen.new_net(), y = gen.new_net();
      gen.gate(nand2, {a, b}, mid);
      gen.gate(inv, {mid}, y);
      nets.push_back(y);
      ++placed;
    }
    const GateShape& shape = kShapes[shape_pick(gen.rng())];
    std::vector<std::string> in;
    for (int i = 0; i < letters(shape.pulldown); ++i) in.push_back(pick_input());
    std::string y = last && !outputs.empty() ? outputs.back() : gen.new_net();
    if (last && !outputs.empty()) outputs.pop_back();
    gen.gate(shape, in, y);
    nets.push_back(y);
    ++gate_count;
  }
  // Every declared output port gets a driver.
  for (const auto& y : outputs) gen.gate(inv, {pick_input()}, y);
  std::fprintf(out, ".ends top\n");

  write_models(lib);
  std::fprintf(lib, ".macromodel AND2 A B Y\n");
  write_models(lib);
  std::fprintf(lib, "M1 mid A x1 gnd nmos l=1u w=2u\n");
  std::fprintf(lib, "M2 x1 B gnd gnd nmos l=1u w=2u\n");
  std::fprintf(lib, "M3 mid A vdd vdd pmos l=1u w=2u\n");
  std::fprintf(lib, "M4 mid B vdd vdd pmos l=1u w=2u\n");
  std::fprintf(lib, "M5 Y mid gnd gnd nmos l=1u w=2u\n");
  std::fprintf(lib, "M6 Y mid vdd vdd pmos l=1u w=2u\n");
  std::fprintf(lib, ".endm AND2\n");
  std::fclose(out);
  std::fclose(lib);
  std::fprintf(stderr, "%d MOSFETs, %ld copies of AND2\n", gen.mosfets(), placed);
  return 0;
}
