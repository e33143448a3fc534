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

#include "bench/generator.h"

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
