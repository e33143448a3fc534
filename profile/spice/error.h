#pragma once
// A fault in the input. The text already names the file and line, so the
// command line prints it as it is.
#include <stdexcept>
#include <string>

namespace spice {

struct ReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// "FILE:LINE: what", the form every located message takes.
inline std::string located(const std::string& file, int line, const std::string& what) {
  return file + ":" + std::to_string(line) + ": " + what;
}

}  // namespace spice
