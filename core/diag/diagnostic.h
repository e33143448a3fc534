#pragma once
// A fault in the input, as either form reports it. The text already names
// the file and line where it has them, so it is printed as it is.
#include <stdexcept>
#include <string>

namespace core {

struct Diagnostic : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// "FILE:LINE: what", the form every located message takes.
inline std::string located(const std::string& file, int line, const std::string& what) {
  return file + ":" + std::to_string(line) + ": " + what;
}

}  // namespace core
