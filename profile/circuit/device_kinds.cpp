#include "profile/circuit/device_kinds.h"

namespace circuit {

namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of the set at the start of `p` (after its `[`), and whether `c` is in it.
std::size_t set_match(std::string_view p, char c, bool& hit) {
  hit = false;
  std::size_t i = 0;
  bool negate = i < p.size() && (p[i] == '!' || p[i] == '^');
  if (negate) ++i;
  std::size_t first = i;
  for (; i < p.size() && (p[i] != ']' || i == first); ++i) {
    if (i + 2 < p.size() && p[i + 1] == '-' && p[i + 2] != ']') {
      if (fold(c) >= fold(p[i]) && fold(c) <= fold(p[i + 2])) hit = true;
      i += 2;
    } else if (fold(p[i]) == fold(c)) {
      hit = true;
    }
  }
  if (negate) hit = !hit;
  return i;  // at the closing ']' or the end
}

}  // namespace

bool glob_match(std::string_view pattern, std::string_view text) {
  // Iterative matching with one back-track point for the last `*`: linear in
  // practice, never exponential.
  std::size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
      continue;
    }
    if (p < pattern.size()) {
      if (pattern[p] == '?') {
        ++p;
        ++t;
        continue;
      }
      if (pattern[p] == '[') {
        bool hit;
        std::size_t len = set_match(pattern.substr(p + 1), text[t], hit);
        if (p + 1 + len < pattern.size() && hit) {
          p += len + 2;
          ++t;
          continue;
        }
      } else if (fold(pattern[p]) == fold(text[t])) {
        ++p;
        ++t;
        continue;
      }
    }
    if (star == std::string_view::npos) return false;
    p = star + 1;
    t = ++mark;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string lower_case(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = fold(c);
  return out;
}

std::optional<Channel> DeviceKinds::channel(std::string_view name) const {
  for (const std::string& g : nmos_)
    if (glob_match(g, name)) return Channel::N;
  for (const std::string& g : pmos_)
    if (glob_match(g, name)) return Channel::P;
  const std::string key = lower_case(name);
  auto m = models_.find(key);
  if (m != models_.end()) return m->second;
  if (nmos_.empty())
    for (const char* word : {"nfet", "nmos", "nch"})
      if (key.find(word) != std::string::npos) return Channel::N;
  if (pmos_.empty())
    for (const char* word : {"pfet", "pmos", "pch"})
      if (key.find(word) != std::string::npos) return Channel::P;
  return std::nullopt;
}

bool is_short_device(std::string_view name, std::size_t terminals) {
  return terminals >= 2 && lower_case(name) == "short";
}

bool is_diode_device(std::string_view name, std::size_t terminals) {
  return terminals <= 2 && lower_case(name).find("diode") != std::string::npos;
}

}  // namespace circuit
