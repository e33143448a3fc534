#pragma once
// What a run's steps cost: CPU time (user and system) and peak memory, as
// getrusage reports them for the whole process.
#include <cstdint>
#include <string>

namespace report {

struct Usage {
  double cpu_seconds = 0;
  std::uint64_t peak_bytes = 0;  // the process's peak resident memory so far
};

Usage usage_now();

// One step: the CPU time it took, and the process's peak memory when it
// ended (a peak never falls, so a step that raised it shows where).
struct StepUsage {
  std::string name;
  double cpu_seconds = 0;
  std::uint64_t peak_bytes = 0;
};

}  // namespace report
