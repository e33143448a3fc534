#pragma once
// Static CMOS gates written as MOSFET cards in the classic input language,
// for the benchmark generators: every shape reads back as its gate type.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

// A gate type: its pull-down network as a series (&) / parallel (|)
// expression over input letters, and the card orders of the pull-down and
// pull-up MOSFETs under which the extractor reads it as that type.
struct GateShape {
  const char* name;
  const char* pulldown;
  std::vector<int> n_order;
  std::vector<int> p_order;
};

extern const std::vector<GateShape> kShapes;
// The shapes before this index have at most five inputs and read as
// complementary gates.
constexpr int kComplementaryShapes = 27;

struct Card {
  std::string d, g, s;
};

class Generator {
 public:
  Generator(unsigned seed, FILE* out) : rng_(seed), out_(out) {}

  // A net name with a number of its own: names with one number are one net.
  std::string new_net(const char* prefix = "n") {
    std::string name(prefix);
    name += std::to_string(++net_);
    return name;
  }

  // Writes one gate driving `output` from `inputs` (one net per letter).
  void gate(const GateShape& shape, const std::vector<std::string>& inputs, const std::string& output);

  int mosfets() const { return mos_; }
  std::mt19937& rng() { return rng_; }
  void set_output(FILE* out) { out_ = out; }

 private:
  void emit(const char* e, std::size_t& pos, bool dual, const std::string& top, const std::string& bottom,
            const std::vector<std::string>& inputs, std::vector<Card>& out);
  void card(const Card& c, const char* bulk, const char* model);

  std::mt19937 rng_;
  FILE* out_;
  int net_ = 0;
  int mos_ = 0;
};

// The two MOSFET model cards; a definition needs its own copy of them.
void write_models(FILE* lib);

// Number of input letters of a pull-down expression.
int letters(const char* e);
