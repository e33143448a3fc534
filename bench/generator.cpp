#include "bench/generator.h"

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

void Generator::gate(const GateShape& shape, const std::vector<std::string>& inputs, const std::string& output) {
  std::vector<Card> n, p;
  std::size_t pos = 0;
  emit(shape.pulldown, pos, false, output, "gnd", inputs, n);
  pos = 0;
  emit(shape.pulldown, pos, true, output, "vdd", inputs, p);
  for (int i : shape.n_order) card(n[i], "gnd", "nmos");
  for (int i : shape.p_order) card(p[i], "vdd", "pmos");
}


// Recursive descent over the pull-down expression: a letter is one MOSFET,
// & puts the parts in series, | in parallel. The pull-up network is the
// dual: & and | swap roles.
void Generator::emit(const char* e, std::size_t& pos, bool dual, const std::string& top, const std::string& bottom,
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

void Generator::card(const Card& c, const char* bulk, const char* model) {
  std::fprintf(out_, "M%d %s %s %s %s %s l=1u w=2u\n", ++mos_, c.d.c_str(), c.g.c_str(), c.s.c_str(), bulk, model);
}


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

