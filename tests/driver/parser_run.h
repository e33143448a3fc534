#pragma once
// Whole runs of the built parser in a fresh folder per scenario.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace parser_run {

namespace fs = std::filesystem;

inline std::string slurp(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Per process too, so that two builds' suites may run at once.
inline fs::path work_dir(const std::string& name) {
  fs::path d = fs::path(testing::TempDir()) / ("parser_" + name + "_" + std::to_string(getpid()));
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

// The parser run in `dir` with the arguments (shell words), after the shell
// commands `before` (a limit, say).
inline Outcome run(const fs::path& dir, const std::string& args, const std::string& before = "") {
  std::string cmd = "cd '" + dir.string() + "' && " + before + "'" PARSER_EXE "' " + args + " >stdout.txt 2>stderr.txt";
  int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir / "stdout.txt"), slurp(dir / "stderr.txt")};
}

}  // namespace parser_run
