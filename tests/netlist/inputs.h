#pragma once
// Feeds the scanner two input files with the given texts, the way the driver
// does: the first is open, the second is opened when the first runs out.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "classic/netlist/netlist.h"
#include "classic/netlist/scanner.h"

inline void write_file(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

inline void open_inputs(const std::string& first, const std::string& second) {
  // Named per process: test cases run as parallel processes.
  static std::string stem = testing::TempDir() + "netlist_" + std::to_string(getpid());
  static std::string paths[2] = {stem + "_in1.sp", stem + "_in2.sp"};
  static char* argv[] = {const_cast<char*>("parser"), paths[0].data(), paths[1].data(), nullptr};
  write_file(paths[0], first);
  write_file(paths[1], second);
  files = argv;
  file_num = 1;
  scanner_start(std::fopen(paths[0].c_str(), "r"));
}
