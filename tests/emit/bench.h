#pragma once
// Testbenches for written netlists, run through Icarus Verilog; tests skip
// when it is not installed. A bench prints MISMATCH on a wrong value and
// DONE at its end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

inline bool have_tool(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool have_simulator() { return have_tool("iverilog") && have_tool("vvp"); }

// A file name in the temporary folder, unique to this process.
inline std::string scratch_path(const std::string& leaf) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/emit_" + std::to_string(getpid()) + "_" + leaf;
}

inline void write_text(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// The file's text; empty when there is no such file.
inline std::string read_text(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path).rdbuf();
  return s.str();
}

// The output of a command, with its standard error.
inline std::string run_command(const std::string& cmd) {
  std::string s;
  if (FILE* p = popen((cmd + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) s.append(buf, n);
    pclose(p);
  }
  return s;
}

// Compiles the files and runs `top`; the simulator's output, or the
// compiler's messages when it fails.
inline std::string simulate(const std::vector<std::string>& files, const std::string& top) {
  std::string exe = scratch_path(top + ".vvp");
  std::string cmd = "iverilog -g2005 -s " + top + " -o " + exe;
  for (const std::string& f : files) cmd += " " + f;
  std::string compile = run_command(cmd);
  if (compile.find("rror") != std::string::npos) return "COMPILE: " + compile;
  std::string out = run_command("timeout 60 vvp -n " + exe);
  std::remove(exe.c_str());
  return out;
}

// A bench's output, with what explains a failure.
inline void expect_clean(const std::string& out, const std::string& context) {
  EXPECT_EQ(out.find("MISMATCH"), std::string::npos) << out << context;
  EXPECT_NE(out.find("DONE"), std::string::npos) << out << context;
}

// ".p(p<suffix>)" for each pin, joined by commas.
inline std::string connect(const std::vector<std::string>& pins, const std::string& suffix = "") {
  std::string s;
  for (const std::string& p : pins) s += (s.empty() ? "." : ", .") + p + "(" + p + suffix + ")";
  return s;
}

struct Check {
  std::string output, expected;  // a wire, and a Verilog expression over the inputs
};

// Drives every combination of the inputs (regs declared here); `body`
// declares and instantiates the rest. Each check compares with !==.
inline std::string exhaustive_bench(const std::string& body, const std::vector<std::string>& inputs,
                                    const std::vector<Check>& checks) {
  std::string s = "module tb;\n", all;
  for (const std::string& i : inputs) s += "reg " + i + ";\n", all += (all.empty() ? "" : ", ") + i;
  // Up to 6 inputs every combination follows every other, so that a value
  // kept from the combination before shows on some pair.
  std::size_t n = std::size_t{1} << inputs.size();
  bool pairs = inputs.size() <= 6;
  s += body + "integer i;\ninitial begin\n  for (i = 0; i < " + std::to_string(pairs ? 2 * n * n : n) +
       "; i = i + 1) begin\n    {" + all + "} = " +
       (pairs ? "(i % 2 == 0) ? i / " + std::to_string(2 * n) + " : (i / 2) % " + std::to_string(n) : std::string("i")) +
       ";\n    #1;\n";
  for (const Check& k : checks)
    s += "    if (" + k.output + " !== (" + k.expected + ")) $display(\"MISMATCH %b " + k.output + "=%b\", i, " +
         k.output + ");\n";
  return s + "  end\n  $display(\"DONE\");\nend\nendmodule\n";
}

// A random sequence changing one input at a time from all zeros; `out` is
// compared with q_ref, which `body` declares and sets, once q_ref is known.
inline std::string sequence_bench(const std::string& body, const std::vector<std::string>& inputs,
                                  const std::string& out, int steps) {
  std::string s = "module tb;\n";
  for (const std::string& i : inputs) s += "reg " + i + ";\n";
  // $random updates its seed: the seed is not the loop's counter.
  s += body + "integer i, seed;\ninitial begin\n  q_ref = 1'bx;\n  seed = 1;\n";
  for (const std::string& i : inputs) s += "  " + i + " = 0;\n";
  s += "  #5;\n  for (i = 0; i < " + std::to_string(steps) + "; i = i + 1) begin\n";
  s += "    case ($unsigned($random(seed)) % " + std::to_string(inputs.size()) + ")\n";
  for (std::size_t k = 0; k < inputs.size(); ++k)
    s += "      " + std::to_string(k) + ": " + inputs[k] + " = ~" + inputs[k] + ";\n";
  return s + "    endcase\n    #5;\n    if (q_ref !== 1'bx && " + out +
         " !== q_ref) $display(\"MISMATCH step %0d\", i);\n  end\n  $display(\"DONE\");\nend\nendmodule\n";
}

// The library's functional models: their ports, and their text without
// its includes after the multiplexer primitives they include from elsewhere.
struct Ports {
  std::vector<std::string> inputs, outputs;
};

inline Ports model_ports(const std::string& text) {
  Ports p;
  std::regex decl(R"(^\s*(input|output)\s+(\w+)\s*;)");
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_search(line, m, decl)) (m[1] == "input" ? p.inputs : p.outputs).push_back(m[2]);
  }
  return p;
}

inline std::string model_source(const std::string& text) {
  return "module sky130_fd_sc_hd__udp_mux_2to1(X, A0, A1, S);\noutput X; input A0, A1, S;\nassign X = S ? A1 : A0;\n"
         "endmodule\nmodule sky130_fd_sc_hd__udp_mux_4to2(X, A0, A1, A2, A3, S0, S1);\n"
         "output X; input A0, A1, A2, A3, S0, S1;\nassign X = S1 ? (S0 ? A3 : A2) : (S0 ? A1 : A0);\nendmodule\n" +
         std::regex_replace(text, std::regex("`include[^\n]*"), "");
}

inline const char* const kCellRails = ".VPWR(1'b1), .VGND(1'b0), .VPB(1'b1), .VNB(1'b0)";

// A cell against its functional model `model`, over every input combination.
inline std::string model_bench(const std::string& cell, const std::string& model, const Ports& p) {
  std::string body;
  std::vector<Check> checks;
  for (const std::string& o : p.outputs) {
    body += "wire " + o + "_dut, " + o + "_ref;\n";
    checks.push_back({o + "_dut", o + "_ref"});
  }
  body += cell + " dut(" + kCellRails + ", " + connect(p.inputs) + ", " + connect(p.outputs, "_dut") + ");\n";
  body += model + " model(" + connect(p.inputs) + ", " + connect(p.outputs, "_ref") + ");\n";
  return exhaustive_bench(body, p.inputs, checks);
}
