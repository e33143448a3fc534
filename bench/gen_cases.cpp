// Generates many small netlists of every kind the extractor meets, for
// comparing two builds' outputs: flat circuits of random static gates,
// transmission gates, pseudo gates and other elements; circuits holding
// copies of random subcircuit definitions from the second file; random
// MOSFET soups that form odd networks; and the same texts made messy the way
// reader input can be (comment lines, continuation lines, stray characters,
// odd names, scale letters, carriage returns, a final `.end`, a missing last
// newline). The same count and seed give the same files.
//
// Usage: gen_cases COUNT SEED DIR   (writes DIR/cNNNN.sp and DIR/cNNNN.lib.sp)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Rng = std::mt19937;

int roll(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool chance(Rng& rng, int percent) { return roll(rng, 0, 99) < percent; }

// Net names carry unique numbers: names that end in one number are one net.
class Nets {
 public:
  std::string fresh(const char* stem = "n") { return stem + std::to_string(++last_); }
  int last_ = 0;
};

struct Mos {
  std::string d, g, s, b, model;
};

// A random series (&) / parallel (|) network between `top` and `bottom`,
// gated by `inputs`; the dual network swaps the two operators.
struct Expr {
  char op = 0;  // 0: one input
  int input = 0;
  std::vector<Expr> parts;
};

Expr random_expr(Rng& rng, int inputs, int depth) {
  Expr e;
  if (depth == 0 || chance(rng, 35)) {
    e.input = roll(rng, 0, inputs - 1);
    return e;
  }
  e.op = chance(rng, 50) ? '&' : '|';
  int n = roll(rng, 2, 3);
  for (int i = 0; i < n; ++i) e.parts.push_back(random_expr(rng, inputs, depth - 1));
  return e;
}

void network(const Expr& e, bool dual, const std::string& top, const std::string& bottom,
             const std::vector<std::string>& in, const char* model, const std::string& bulk, Nets& nets,
             std::vector<Mos>& out) {
  if (!e.op) {
    out.push_back({top, in[e.input], bottom, bulk, model});
    return;
  }
  bool series = (e.op == '&') != dual;
  std::string upper = top;
  for (std::size_t k = 0; k < e.parts.size(); ++k) {
    std::string lower = series && k + 1 < e.parts.size() ? nets.fresh() : bottom;
    network(e.parts[k], dual, series ? upper : top, series ? lower : bottom, in, model, bulk, nets, out);
    upper = lower;
  }
}

// Cards of one netlist body, written in a shuffled or kept order.
class Body {
 public:
  Body(Rng& rng, Nets& nets, std::string vdd, std::string gnd) : rng_(rng), nets_(nets), vdd_(vdd), gnd_(gnd) {}

  void gate(const std::vector<std::string>& in, const std::string& y) { gate(in, y, rng_); }
  // The gate's function and kind drawn from `shape`, its card order from the body's own generator.
  void gate(const std::vector<std::string>& in, const std::string& y, Rng& shape) {
    Expr e = random_expr(shape, static_cast<int>(in.size()), roll(shape, 0, 2));
    std::vector<Mos> n, p;
    network(e, false, y, gnd_, in, "nmos", gnd_, nets_, n);
    if (chance(shape, 8)) {
      p.push_back({y, gnd_, vdd_, vdd_, "pmos"});  // pseudo gate: a load instead of a pull-up network
    } else {
      network(e, true, y, vdd_, in, "pmos", vdd_, nets_, p);
    }
    if (chance(rng_, 30)) std::shuffle(n.begin(), n.end(), rng_);
    if (chance(rng_, 30)) std::shuffle(p.begin(), p.end(), rng_);
    add(n);
    add(p);
  }
  void transmission_gate(const std::string& a, const std::string& b, const std::string& c, const std::string& cb) {
    add({{a, c, b, gnd_, "nmos"}, {a, cb, b, vdd_, "pmos"}});
  }
  void add(const std::vector<Mos>& cards) { cards_.insert(cards_.end(), cards.begin(), cards.end()); }
  void line(const std::string& text) { extra_.push_back(text); }

  std::string text(bool shuffle) {
    if (shuffle) std::shuffle(cards_.begin(), cards_.end(), rng_);
    std::string s;
    for (const Mos& m : cards_) {
      s += "M" + std::to_string(++mos_) + " " + m.d + " " + m.g + " " + m.s + " " + m.b + " " + m.model;
      s += chance(rng_, 80) ? " l=1u w=2u\n" : " l=0.5u w=1.5u\n";
    }
    for (const std::string& l : extra_) s += l + "\n";
    return s;
  }
  std::size_t size() const { return cards_.size(); }

 private:
  Rng& rng_;
  Nets& nets_;
  std::string vdd_, gnd_;
  std::vector<Mos> cards_;
  std::vector<std::string> extra_;
  int mos_ = 0;
};

const char* kModels =
    ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n"
    ".model pmos pmos level=1 kp=2e-5 vto=-0.7 lambda=0.02\n";

std::string ports_line(const char* keyword, const std::string& name, const std::vector<std::string>& ports) {
  std::string s = std::string(keyword) + " " + name;
  for (const auto& p : ports) s += " " + p;
  return s + "\n";
}

// Random gates wired as a DAG over `pool`, which grows by their outputs.
void random_logic(Rng& rng, Body& body, Nets& nets, std::vector<std::string>& pool, int gates) {
  for (int i = 0; i < gates; ++i) {
    std::vector<std::string> in;
    int k = roll(rng, 1, 4);
    for (int j = 0; j < k; ++j) in.push_back(pool[roll(rng, 0, static_cast<int>(pool.size()) - 1)]);
    std::string y = chance(rng, 4) && pool.size() > 4 ? pool[roll(rng, 0, static_cast<int>(pool.size()) - 1)]
                                                      : nets.fresh();  // sometimes a wired node
    body.gate(in, y);
    pool.push_back(y);
    if (chance(rng, 6)) {
      std::string t = nets.fresh();
      body.transmission_gate(y, t, pool[roll(rng, 0, static_cast<int>(pool.size()) - 1)], in[0]);
      pool.push_back(t);
    }
  }
}

void other_elements(Rng& rng, Body& body, const std::vector<std::string>& pool) {
  auto net = [&] { return pool[roll(rng, 0, static_cast<int>(pool.size()) - 1)]; };
  if (chance(rng, 30)) body.line("R1 " + net() + " " + net() + " 10k");
  if (chance(rng, 30)) body.line("C1 " + net() + " 0 1.5p");
  if (chance(rng, 20)) body.line("V1 vdd 0 5");
  if (chance(rng, 10)) body.line("E1 " + net() + " " + net() + " " + net() + " " + net() + " 2");
  if (chance(rng, 15)) body.line(".tran 1n 100n");
  if (chance(rng, 10)) body.line(".op");
}

struct Case {
  std::string circuit, library;
};

Case flat_case(Rng& rng) {
  Nets nets;
  std::vector<std::string> in;
  for (int i = 0, n = roll(rng, 1, 8); i < n; ++i) in.push_back(nets.fresh("in"));
  Body body(rng, nets, "vdd", "gnd");
  std::vector<std::string> pool = in;
  random_logic(rng, body, nets, pool, roll(rng, 1, 40));
  other_elements(rng, body, pool);
  std::vector<std::string> ports = in;
  ports.push_back(pool.back());
  Case c;
  c.circuit = ports_line(".subckt", "top", ports) + body.text(chance(rng, 20));
  if (chance(rng, 50)) {
    c.circuit += kModels;
  } else {
    c.library = kModels;
  }
  c.circuit += ".ends top\n";
  return c;
}

// Definitions of random gates, copied flat into a circuit of other gates.
Case subckt_case(Rng& rng) {
  Nets nets;
  Case c;
  c.library = chance(rng, 90) ? kModels : "";
  std::vector<std::string> in;
  for (int i = 0, n = roll(rng, 2, 8); i < n; ++i) in.push_back(nets.fresh("in"));
  std::vector<std::string> pool = in;
  Body body(rng, nets, "vdd", "gnd");
  for (int d = 0, defs = roll(rng, 1, 3); d < defs; ++d) {
    Rng shape_seed(static_cast<unsigned>(rng()));
    int def_in = roll(rng, 1, 3), def_gates = roll(rng, 1, 4);
    std::string name = std::string("DEF") + static_cast<char>('A' + d);
    // One template written with fresh nets per use: as the definition, then
    // as each copy in the circuit.
    auto instance = [&](Body& into, Nets& with, const std::vector<std::string>& ports_in) {
      Rng r = shape_seed;
      std::vector<std::string> local = ports_in;
      for (int g = 0; g < def_gates; ++g) {
        std::vector<std::string> gi;
        for (int j = 0, k = roll(r, 1, 3); j < k; ++j) gi.push_back(local[roll(r, 0, static_cast<int>(local.size()) - 1)]);
        std::string y = with.fresh("x");
        local.push_back(y);
        into.gate(gi, y, r);
      }
      return local.back();
    };
    Nets def_nets;
    def_nets.last_ = 1000;
    Rng def_rng(static_cast<unsigned>(rng()));
    Body def_body(def_rng, def_nets, "vdd", "gnd");
    std::vector<std::string> def_ports;
    for (int i = 0; i < def_in; ++i) def_ports.push_back(def_nets.fresh("P"));
    std::string out = instance(def_body, def_nets, def_ports);
    def_ports.push_back(out);
    c.library += ports_line(".macromodel", name, def_ports);
    if (chance(rng, 90)) c.library += kModels;
    c.library += def_body.text(false) + ".endm " + name + "\n";
    for (int k = 0, copies = roll(rng, 0, 5); k < copies; ++k) {
      std::vector<std::string> ci;
      for (int i = 0; i < def_in; ++i) ci.push_back(pool[roll(rng, 0, static_cast<int>(pool.size()) - 1)]);
      pool.push_back(instance(body, nets, ci));
    }
    random_logic(rng, body, nets, pool, roll(rng, 0, 8));
  }
  other_elements(rng, body, pool);
  std::vector<std::string> ports = in;
  ports.push_back(pool.back());
  c.circuit = ports_line(".subckt", "top", ports) + body.text(chance(rng, 15));
  if (chance(rng, 30)) c.circuit += kModels;
  c.circuit += ".ends top\n";
  return c;
}

// MOSFETs between random nets of a small pool: loops, shorts, rails on gates.
Case soup_case(Rng& rng) {
  std::vector<std::string> pool = {"vdd", "gnd"};
  for (int i = 1, n = roll(rng, 2, 14); i <= n; ++i) pool.push_back("s" + std::to_string(i));
  auto net = [&] { return pool[roll(rng, 0, static_cast<int>(pool.size()) - 1)]; };
  Case c;
  c.circuit = ".subckt top " + pool[2] + " " + pool.back() + "\n";
  for (int i = 1, n = roll(rng, 1, 30); i <= n; ++i) {
    bool p = chance(rng, 50);
    c.circuit += "M" + std::to_string(i) + " " + net() + " " + net() + " " + net() + " " + (p ? "vdd" : "gnd") +
                 (p ? " pmos" : " nmos") + " l=1u w=1u\n";
  }
  c.circuit += ".ends top\n";
  c.library = kModels;
  if (chance(rng, 40)) {
    c.library += ".macromodel SOUP P1 P2\n" + std::string(kModels);
    for (int i = 1, n = roll(rng, 1, 6); i <= n; ++i) {
      bool p = chance(rng, 50);
      c.library += "M" + std::to_string(i) + " " + net() + " " + net() + " " + net() + " " + (p ? "vdd" : "gnd") +
                   (p ? " pmos" : " nmos") + " l=1u w=1u\n";
    }
    c.library += ".endm SOUP\n";
  }
  return c;
}

// The text with reader pitfalls mixed in, a few per file.
std::string mess(Rng& rng, std::string text) {
  static const std::vector<std::string> lines = {
      "* ***", "**", "* first stage", "+ l=1u", ".end", "\t", "R2 a1 b1 10meg", "C2 c1 0 10p",
      "L1 a2 b2 1n",  "I1 a3 0 1m", "D1 a4 b4 dmod", "Q1 c5 b5 e5 qmod", ".model dmod d is=1e-14 n=1.0",
      ".print v(3)",  ".dc V1 0 5 0.1", "F1 a6 b6 c6 d6 2", "H1 a7 b7 c7 d7 2", "G1 a8 b8 c8 d8 2",
      "M9 net_1 a gnd gnd nmos l=1u w=1u", "V2 out1a 0 2.5f", "Xbad 1 2 3", "$ ? ; !"};
  for (int i = 0, n = roll(rng, 1, 4); i < n; ++i) {
    std::size_t at = text.empty() ? 0 : static_cast<std::size_t>(roll(rng, 0, static_cast<int>(text.size()) - 1));
    at = text.find('\n', at);
    at = at == std::string::npos ? text.size() : at + 1;
    text.insert(at, lines[roll(rng, 0, static_cast<int>(lines.size()) - 1)] + "\n");
  }
  if (chance(rng, 20)) {  // a card split over lines with + at the starts
    std::size_t sp = text.find(" l=");
    if (sp != std::string::npos) text.replace(sp, 1, "\n+ ");
  }
  if (chance(rng, 15)) {  // carriage returns before every newline
    std::string crlf;
    for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    text = crlf;
  }
  if (chance(rng, 10)) text += ".end\n";
  if (chance(rng, 10) && !text.empty() && text.back() == '\n') text.pop_back();
  if (chance(rng, 5) && !text.empty()) text[roll(rng, 0, static_cast<int>(text.size()) - 1)] = "@#%&~"[roll(rng, 0, 4)];
  return text;
}

void write(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// Writes `count` cases into `dir`.
int generate(int count, unsigned seed, const std::string& dir) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    Rng r(static_cast<unsigned>(rng()));
    Case c;
    switch (i % 5) {
      case 0: c = flat_case(r); break;
      case 1: c = subckt_case(r); break;
      case 2: c = soup_case(r); break;
      case 3: c = flat_case(r); c.circuit = mess(r, c.circuit); break;
      default: c = subckt_case(r); c.circuit = mess(r, c.circuit); c.library = mess(r, c.library); break;
    }
    char name[32];
    std::snprintf(name, sizeof name, "/c%04d", i);
    write(dir + name + ".sp", c.circuit);
    write(dir + name + ".lib.sp", c.library);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4) return generate(std::atoi(argv[1]), static_cast<unsigned>(std::atol(argv[2])), argv[3]);
  std::fprintf(stderr, "usage: gen_cases COUNT SEED DIR\n");
  return 2;
}
