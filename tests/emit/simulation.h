#pragma once
// Writing a circuit's netlist and running it through Icarus Verilog and
// Verilator; tests skip when those are not installed.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "profile/design/design_builder.h"
#include "profile/emit/verilog_writer.h"
#include "profile/recognize/recognizer.h"

inline bool have_tool(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool have_simulator() { return have_tool("iverilog") && have_tool("vvp"); }

// A file name in the temporary folder, unique to this process.
inline std::string scratch_path(const std::string& leaf) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/emit_" + std::to_string(getpid()) + "_" + leaf;
}

inline void write_text(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "w");
  std::fputs(text.c_str(), f);
  std::fclose(f);
}

inline std::string read_text(const std::string& path) {
  std::string s;
  if (FILE* f = std::fopen(path.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
  }
  return s;
}

inline void write_netlist(const circuit::Circuit& c, const std::string& path) {
  recognize::Recognizer r;
  recognize::GateNetwork net = r.run(c);
  FILE* f = std::fopen(path.c_str(), "w");
  std::vector<design::LibraryCell> cells;
  emit::VerilogWriter(f).write(design::DesignBuilder(cells).build(c, net, {}));
  std::fclose(f);
}

// Output of a shell command with its standard error.
inline std::string run_command(const std::string& cmd) {
  std::string s;
  if (FILE* p = popen((cmd + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) s.append(buf, n);
    pclose(p);
  }
  return s;
}

// Compiles the files with Icarus Verilog and runs `top`; the simulator's
// output, or the compiler's messages when it fails.
inline std::string simulate(const std::vector<std::string>& files, const std::string& top) {
  std::string exe = scratch_path(top + ".vvp");
  std::string cmd = "iverilog -g2012 -s " + top + " -o " + exe;
  for (const std::string& f : files) cmd += " " + f;
  std::string compile = run_command(cmd);
  if (compile.find("error") != std::string::npos || compile.find("rror:") != std::string::npos) return "COMPILE: " + compile;
  std::string out = run_command("timeout 60 vvp -n " + exe);
  std::remove(exe.c_str());
  return out;
}

// Verilator's lint messages; empty when the file passes.
inline std::string lint(const std::string& file, const std::string& top) {
  std::string out = run_command("verilator --lint-only --top-module " + top + " " + file);
  return out;
}
