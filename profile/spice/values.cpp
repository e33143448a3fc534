#include "profile/spice/values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace spice {

namespace {

char low(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The scale of the letters after a number's digits.
double scale_of(std::string_view rest) {
  if (rest.empty()) return 1;
  auto starts = [&](std::string_view p) {
    if (rest.size() < p.size()) return false;
    for (std::size_t i = 0; i < p.size(); ++i)
      if (low(rest[i]) != p[i]) return false;
    return true;
  };
  if (starts("meg")) return 1e6;
  if (starts("mil")) return 25.4e-6;
  switch (low(rest[0])) {
    case 't': return 1e12;
    case 'g': return 1e9;
    case 'k': return 1e3;
    case 'm': return 1e-3;
    case 'u': return 1e-6;
    case 'n': return 1e-9;
    case 'p': return 1e-12;
    case 'f': return 1e-15;
    case 'a': return 1e-18;
    default: return 1;  // a unit alone (`5v`)
  }
}

// Where the number that starts at `i` ends: digits, a point, an exponent,
// then scale and unit letters.
std::size_t number_end(std::string_view t, std::size_t i) {
  while (i < t.size() && (std::isdigit(static_cast<unsigned char>(t[i])) || t[i] == '.')) ++i;
  if (i + 1 < t.size() && low(t[i]) == 'e' &&
      (std::isdigit(static_cast<unsigned char>(t[i + 1])) || t[i + 1] == '+' || t[i + 1] == '-'))
    for (i += 2; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]));) ++i;
  while (i < t.size() && std::isalpha(static_cast<unsigned char>(t[i]))) ++i;
  return i;
}

// Recursive descent over + - * / ( ), numbers and names.
class Expression {
 public:
  Expression(std::string_view t, const Params& p, const Params* outer) : t_(t), p_(p), outer_(outer) {}
  std::optional<double> value() {
    std::optional<double> v = sum();
    skip();
    if (!v || i_ != t_.size()) return std::nullopt;
    return v;
  }

 private:
  void skip() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t')) ++i_;
  }
  std::optional<double> sum() {
    std::optional<double> v = product();
    for (skip(); v && i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-'); skip()) {
      char op = t_[i_++];
      std::optional<double> r = product();
      if (!r) return std::nullopt;
      v = op == '+' ? *v + *r : *v - *r;
    }
    return v;
  }
  std::optional<double> product() {
    std::optional<double> v = unary();
    for (skip(); v && i_ < t_.size() && (t_[i_] == '*' || t_[i_] == '/'); skip()) {
      char op = t_[i_++];
      std::optional<double> r = unary();
      if (!r || (op == '/' && *r == 0)) return std::nullopt;
      v = op == '*' ? *v * *r : *v / *r;
    }
    return v;
  }
  std::optional<double> unary() {
    skip();
    if (i_ < t_.size() && (t_[i_] == '-' || t_[i_] == '+')) {
      bool neg = t_[i_++] == '-';
      std::optional<double> v = unary();
      return v && neg ? std::optional<double>(-*v) : v;
    }
    return primary();
  }
  std::optional<double> primary() {
    skip();
    if (i_ >= t_.size()) return std::nullopt;
    if (t_[i_] == '(') {
      ++i_;
      std::optional<double> v = sum();
      skip();
      if (!v || i_ >= t_.size() || t_[i_] != ')') return std::nullopt;
      ++i_;
      return v;
    }
    std::size_t start = i_;
    if (std::isdigit(static_cast<unsigned char>(t_[i_])) || t_[i_] == '.') {
      i_ = number_end(t_, i_);
      return spice_number(t_.substr(start, i_ - start));
    }
    while (i_ < t_.size() && (std::isalnum(static_cast<unsigned char>(t_[i_])) || t_[i_] == '_')) ++i_;
    if (i_ == start) return std::nullopt;
    std::string key;
    for (char c : t_.substr(start, i_ - start)) key += low(c);
    auto it = p_.find(key);
    if (it != p_.end()) return it->second;
    if (!outer_) return std::nullopt;
    it = outer_->find(key);
    if (it == outer_->end()) return std::nullopt;
    return it->second;
  }

  std::string_view t_;
  const Params& p_;
  const Params* outer_;
  std::size_t i_ = 0;
};

}  // namespace

std::optional<double> spice_number(std::string_view text) {
  // A million cards give a million sizes: read in place, no copy. A leading
  // sign, hexadecimal and values out of range go the C library's way.
  double v = 0;
  const char* const first = text.data();
  const char* const last = first + text.size();
  std::from_chars_result r{first, std::errc::invalid_argument};
  if (!text.empty() && text[0] != '+' && text[0] != '-' && !(text.size() > 1 && text[0] == '0' && low(text[1]) == 'x'))
    r = std::from_chars(first, last, v);
  std::string_view rest;
  if (r.ec == std::errc()) {
    if (!std::isfinite(v)) return std::nullopt;
    rest = std::string_view(r.ptr, static_cast<std::size_t>(last - r.ptr));
  } else {
    std::string s(text);
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || !std::isfinite(v)) return std::nullopt;
    rest = std::string_view(text).substr(static_cast<std::size_t>(end - s.c_str()));
  }
  for (char c : rest)
    if (!std::isalpha(static_cast<unsigned char>(c))) return std::nullopt;
  return v * scale_of(rest);
}

std::optional<double> evaluate(std::string_view text, const Params& params, const Params* outer) {
  if (text.size() >= 2 && ((text.front() == '{' && text.back() == '}') || (text.front() == '\'' && text.back() == '\'') ||
                           (text.front() == '"' && text.back() == '"')))
    text = text.substr(1, text.size() - 2);
  // Most values are one number, as extraction writes sizes: read without
  // the expression machinery when the number is the whole text.
  if (!text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.') &&
      number_end(text, 0) == text.size())
    return spice_number(text);
  return Expression(text, params, outer).value();
}

DrawnSize drawn_size(std::string_view w, std::string_view l, std::string_view m, const Params& params,
                     const Params* outer) {
  auto value = [&](std::string_view text, double otherwise) {
    std::optional<double> v = text.empty() ? std::nullopt : evaluate(text, params, outer);
    return v ? *v : otherwise;
  };
  return DrawnSize{static_cast<float>(value(w, 0) * value(m, 1)), static_cast<float>(value(l, 0))};
}

}  // namespace spice
