#include "core/gates/expression.h"

namespace {

constexpr int kMaxLetters = 6;

// Recursive descent over the expression text; blanks are ignored.
class Evaluator {
 public:
  Evaluator(const char* text, unsigned values) : p_(text), values_(values) {}

  std::optional<bool> run() {
    bool v = or_expr();
    skip_blanks();
    if (!ok_ || *p_ != '\0') return std::nullopt;
    return v;
  }

 private:
  void skip_blanks() {
    while (*p_ == ' ') ++p_;
  }
  bool or_expr() {
    bool v = and_expr();
    for (skip_blanks(); ok_ && *p_ == '|'; skip_blanks()) {
      ++p_;
      v = and_expr() || v;
    }
    return v;
  }
  bool and_expr() {
    bool v = unary();
    for (skip_blanks(); ok_ && *p_ == '&'; skip_blanks()) {
      ++p_;
      v = unary() && v;
    }
    return v;
  }
  bool unary() {
    skip_blanks();
    char c = *p_;
    if (c == '~') {
      ++p_;
      return !unary();
    }
    if (c == '(') {
      ++p_;
      bool v = or_expr();
      skip_blanks();
      if (*p_ != ')') return fail();
      ++p_;
      return v;
    }
    if (c >= 'a' && c < 'a' + kMaxLetters) {
      ++p_;
      return (values_ >> (c - 'a')) & 1u;
    }
    return fail();
  }
  bool fail() {
    ok_ = false;
    return false;
  }

  const char* p_;
  unsigned values_;
  bool ok_ = true;
};

}  // namespace

std::optional<bool> evaluate_expression(const char* expr, unsigned values) {
  if (!expr) return std::nullopt;
  return Evaluator(expr, values).run();
}

