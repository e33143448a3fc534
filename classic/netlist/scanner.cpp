#include "classic/netlist/scanner.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"
#include "classic/netlist/netlist.h"

YYSTYPE yylval;
FILE* yyin;

namespace {

// ---- Input ----------------------------------------------------------------

// The characters of the current input file from the scan position on, read
// in large blocks. Nothing past the end of the current file is visible, so a
// file change ends every lexeme.
class Input {
 public:
  void start(FILE* f) {
    file_ = f;
    pos_ = end_ = 0;
    eof_ = f == nullptr;
  }

  // The character `i` places past the scan position, -1 past the end of file.
  int peek(std::size_t i) {
    if (pos_ + i < end_ || fill_to(i)) return static_cast<unsigned char>(buf_[pos_ + i]);
    return -1;
  }

  // The characters from the scan position on; valid for as many as were peeked.
  const char* data() const { return buf_.data() + pos_; }

  void consume(std::size_t n) { pos_ += n; }

 private:
  bool fill_to(std::size_t i) {
    while (pos_ + i >= end_) {
      if (eof_) return false;
      if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
      }
      if (buf_.size() - end_ < kChunk) buf_.resize(std::max(buf_.size() * 2, end_ + kChunk));
      std::size_t got = std::fread(buf_.data() + end_, 1, buf_.size() - end_, file_);
      if (got == 0) eof_ = true;
      end_ += got;
    }
    return true;
  }

  static constexpr std::size_t kChunk = 1 << 16;
  std::vector<char> buf_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  FILE* file_ = nullptr;
  bool eof_ = true;
};

Input input;
// True when nothing has been read yet or the last consumed character is a
// newline; kept across the change of input file.
bool line_start = true;
bool finished = false;
// Backing store of yylval.svalue, NUL-terminated.
std::vector<char> value_text;

void set_text(const char* s, std::size_t n) {
  value_text.assign(s, s + n);
  value_text.push_back('\0');
}

// ---- Character classes ----------------------------------------------------

bool is_blank(int c) { return c == ' ' || c == '\t'; }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_letter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_alnum(int c) { return is_letter(c) || is_digit(c); }
bool is_scale_letter(int c) { return c > 0 && std::strchr("FGKMNPTUfgkmnptu", c) != nullptr; }

std::size_t skip_blanks(Input& in, std::size_t i) {
  while (is_blank(in.peek(i))) ++i;
  return i;
}

std::size_t skip_digits(Input& in, std::size_t i) {
  while (is_digit(in.peek(i))) ++i;
  return i;
}

// ---- Rule matchers: each returns the length of its longest match, 0 for none.

// From `i`: any blanks, `letter` in either case, one or more alnum.
std::size_t device_from(Input& in, std::size_t i, char letter) {
  i = skip_blanks(in, i);
  int c = in.peek(i);
  if (c != letter && c != letter - 'A' + 'a') return 0;
  std::size_t j = i + 1;
  while (is_alnum(in.peek(j))) ++j;
  return j > i + 1 ? j : 0;
}

std::size_t device_card(Input& in, char letter) { return device_from(in, 0, letter); }

// F and H cards are known by the newline that ends the line before them.
std::size_t device_card_after_newline(Input& in, char letter) {
  return in.peek(0) == '\n' ? device_from(in, 1, letter) : 0;
}

std::size_t integer(Input& in) { return skip_digits(in, 0); }

// Letters, digits, trailing p's; or digits followed by p's (so 10p is a name).
std::size_t name(Input& in) {
  if (is_letter(in.peek(0))) {
    std::size_t i = 0;
    while (is_letter(in.peek(i))) ++i;
    i = skip_digits(in, i);
    while (in.peek(i) == 'p') ++i;
    return i;
  }
  std::size_t i = skip_digits(in, 0);
  if (i == 0) return 0;
  std::size_t j = i;
  while (in.peek(j) == 'p') ++j;
  return j > i ? j : 0;
}

// Any blanks, then `word` exactly.
std::size_t keyword(Input& in, const char* word) {
  std::size_t i = skip_blanks(in, 0);
  for (const char* w = word; *w; ++w, ++i)
    if (in.peek(i) != static_cast<unsigned char>(*w)) return 0;
  return i;
}

// Any blanks, `word`, the rest of the line and its newline.
std::size_t keyword_line(Input& in, const char* word) {
  std::size_t i = keyword(in, word);
  if (i == 0) return 0;
  for (;; ++i) {
    int c = in.peek(i);
    if (c < 0) return 0;
    if (c == '\n') return i + 1;
  }
}

// Mantissa (a signed one needs its point), optional exponent with any run of
// signs, optional scale letter.
std::size_t number(Input& in) {
  std::size_t i = 0;
  bool sign = in.peek(0) == '+' || in.peek(0) == '-';
  if (sign) i = 1;
  std::size_t digits = skip_digits(in, i);
  if (digits == i) return 0;
  i = digits;
  if (in.peek(i) == '.') {
    i = skip_digits(in, i + 1);
  } else if (sign) {
    return 0;
  }
  if (in.peek(i) == 'E' || in.peek(i) == 'e') {
    std::size_t j = i + 1;
    while (in.peek(j) == '+' || in.peek(j) == '-') ++j;
    std::size_t k = skip_digits(in, j);
    if (k > j) i = k;
  }
  if (is_scale_letter(in.peek(i))) ++i;
  return i;
}

std::size_t punctuation(Input& in) {
  int c = in.peek(0);
  return c == '(' || c == ')' || c == '=' ? 1 : 0;
}

// ---- Rule table -------------------------------------------------------------

enum class Value { Word, Integer, Float, SubcktLine, MacromodelLine, Character };

struct Rule {
  int code;  // 0: the matched character is the code
  bool line_start;
  const char* first;  // the characters a match can begin with
  Value value;
  std::size_t (*match)(Input&);
};

#define DEVICE_FIRST(L) " \t" L
constexpr const char* kDigits = "0123456789";
constexpr const char* kAlnum = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr const char* kDotFirst = " \t.";

// In rule order: on equal length the earlier rule wins.
const Rule kRules[] = {
    {R_NAME, true, DEVICE_FIRST("Rr"), Value::Word, [](Input& in) { return device_card(in, 'R'); }},
    {C_NAME, true, DEVICE_FIRST("Cc"), Value::Word, [](Input& in) { return device_card(in, 'C'); }},
    {L_NAME, true, DEVICE_FIRST("Ll"), Value::Word, [](Input& in) { return device_card(in, 'L'); }},
    {G_NAME, true, DEVICE_FIRST("Gg"), Value::Word, [](Input& in) { return device_card(in, 'G'); }},
    {E_NAME, true, DEVICE_FIRST("Ee"), Value::Word, [](Input& in) { return device_card(in, 'E'); }},
    {I_NAME, true, DEVICE_FIRST("Ii"), Value::Word, [](Input& in) { return device_card(in, 'I'); }},
    {V_NAME, true, DEVICE_FIRST("Vv"), Value::Word, [](Input& in) { return device_card(in, 'V'); }},
    {F_NAME, false, "\n", Value::Word, [](Input& in) { return device_card_after_newline(in, 'F'); }},
    {H_NAME, false, "\n", Value::Word, [](Input& in) { return device_card_after_newline(in, 'H'); }},
    {D_NAME, true, DEVICE_FIRST("Dd"), Value::Word, [](Input& in) { return device_card(in, 'D'); }},
    {M_NAME, true, DEVICE_FIRST("Mm"), Value::Word, [](Input& in) { return device_card(in, 'M'); }},
    {Q_NAME, true, DEVICE_FIRST("Qq"), Value::Word, [](Input& in) { return device_card(in, 'Q'); }},
    {INTEGER, false, kDigits, Value::Integer, integer},
    {NAME, false, kAlnum, Value::Word, name},
    {DOT_TRAN, true, kDotFirst, Value::Word, [](Input& in) { return keyword(in, ".tran"); }},
    {DOT_SUBCKT, true, kDotFirst, Value::SubcktLine, [](Input& in) { return keyword_line(in, ".subckt"); }},
    {DOT_MACROMODEL, true, kDotFirst, Value::MacromodelLine,
     [](Input& in) { return keyword_line(in, ".macromodel"); }},
    {DOT_MODEL, true, kDotFirst, Value::Word, [](Input& in) { return keyword(in, ".model"); }},
    {DOT_ENDS, true, kDotFirst, Value::Word, [](Input& in) { return keyword(in, ".ends"); }},
    {DOT_ENDM, true, kDotFirst, Value::Word, [](Input& in) { return keyword(in, ".endm"); }},
    {DOT_PRINT, true, kDotFirst, Value::Word, [](Input& in) { return keyword(in, ".print"); }},
    {DOT_OP, true, kDotFirst, Value::Word, [](Input& in) { return keyword(in, ".op"); }},
    {DOT_DC, true, kDotFirst, Value::Word, [](Input& in) { return keyword(in, ".dc"); }},
    {FLOAT, false, "+-0123456789", Value::Float, number},
    {0, false, "()=", Value::Character, punctuation},
};
#undef DEVICE_FIRST

// The rules worth trying at a character, in rule order, with and without
// the line-start condition: most characters rule out all but one or two.
class Candidates {
 public:
  Candidates() {
    for (int ls = 0; ls < 2; ++ls)
      for (int c = 1; c < 256; ++c)
        for (const Rule& rule : kRules)
          if ((ls || !rule.line_start) && std::strchr(rule.first, c)) table_[ls][c].push_back(&rule);
  }
  const std::vector<const Rule*>& at(bool line_start, int c) const { return table_[line_start ? 1 : 0][c]; }

 private:
  std::vector<const Rule*> table_[2][256];
};

const Candidates candidates;

// ---- Token values -------------------------------------------------------------

static_assert(std::numeric_limits<float>::is_iec559, "values beyond float range must round to infinity");

float scale_factor(char last) {
  switch (last) {
    case 'G': case 'g': return 1e9f;
    case 'K': case 'k': return 1e3f;
    case 'M': return 1e6f;
    case 'm': return 1e-3f;
    case 'N': case 'n': return 1e-9f;
    case 'P': case 'p': return 1e-12f;
    case 'T': case 't': return 1e12f;
    case 'U': case 'u': return 1e-6f;
    default: return 1.0f;
  }
}

// The first word of the lexeme, leading blanks (and the newline of an F or H
// card) passed over.
void set_word(const char* s, std::size_t n) {
  std::size_t b = 0;
  while (b < n && (is_blank(s[b]) || s[b] == '\n')) ++b;
  std::size_t e = b;
  while (e < n && !is_blank(s[e]) && s[e] != '\n') ++e;
  set_text(s + b, e - b);
}

// Digits too long for an int keep their text as the node name they spell;
// the int value saturates.
void set_integer(const char* s, std::size_t n) {
  std::size_t z = 0;
  while (z + 1 < n && s[z] == '0') ++z;
  std::size_t digits = n - z;
  set_text(s + z, digits);
  long long v = 0;
  bool too_big = digits > 10;
  for (std::size_t k = 0; !too_big && k < digits; ++k) v = v * 10 + (s[z + k] - '0');
  if (v > INT_MAX) too_big = true;
  yylval.ivalue = too_big ? INT_MAX : static_cast<int>(v);
  // An int converts to float exactly as its decimal text read as a double would.
  yylval.fvalue = too_big ? static_cast<float>(std::strtod(value_text.data(), nullptr)) : static_cast<float>(v);
}

// The numeric text before the scale letter, times the letter's factor, in
// single precision. strtod stops at the scale letter, and on an exponent with
// several signs (1e+-2) it reads the mantissa alone.
void set_float(const char* s, std::size_t n) {
  set_text(s, n);
  float factor = scale_factor(s[n - 1]);
  base_value = factor;
  yylval.fvalue = static_cast<float>(std::strtod(value_text.data(), nullptr)) * factor;
}

[[noreturn]] void lexeme_too_long() {
  std::printf(msg::kTooLong, kLexemeLimit);
  std::exit(1);
}

// Consumes the lexeme of `rule`, fills yylval and returns the token code.
int accept(const Rule& rule, std::size_t n) {
  if (n > static_cast<std::size_t>(kLexemeLimit)) lexeme_too_long();
  const char* s = input.data();
  int code = rule.code;
  yylval.ivalue = 0;
  yylval.fvalue = 0.0f;
  switch (rule.value) {
    case Value::Word: set_word(s, n); break;
    case Value::Integer: set_integer(s, n); break;
    case Value::Float: set_float(s, n); break;
    case Value::SubcktLine:
      set_word(s, n);
      subname = arena::strndup(s, n);
      break;
    case Value::MacromodelLine:
      set_word(s, n);
      macromodelname = arena::strndup(s, n);
      break;
    case Value::Character:
      set_text(s, 1);
      code = static_cast<unsigned char>(s[0]);
      break;
  }
  yylval.svalue = value_text.data();
  line_start = s[n - 1] == '\n';
  input.consume(n);
  return code;
}

}  // namespace

void scanner_start(FILE* in) {
  yyin = in;
  input.start(in);
  line_start = true;
  finished = false;
}

int yywrap() {
  if (yyin) std::fclose(yyin);
  yyin = nullptr;
  ++file_num;
  if (file_num >= 3) return 1;
  const char* path = files ? files[file_num] : nullptr;
  if (path) yyin = std::fopen(path, "r");
  if (!yyin) {
    if (!path) errno = EINVAL;
    std::perror(msg::kCannotOpenSecond);
    std::exit(-1);
  }
  return 0;
}

int yylex() {
  if (finished) return 0;
  for (;;) {
    const Rule* best = nullptr;
    std::size_t best_len = 0;
    int c = input.peek(0);
    if (c >= 0) {
      for (const Rule* rule : candidates.at(line_start, c)) {
        std::size_t n = rule->match(input);
        if (n > best_len) {
          best_len = n;
          best = rule;
        }
      }
    }
    if (best) return accept(*best, best_len);
    if (c < 0) {
      if (yywrap() != 0) {
        finished = true;
        return 0;
      }
      input.start(yyin);
      continue;
    }
    // One thread writes standard output, so the stream needs no lock per character.
    putchar_unlocked(c);
    line_start = c == '\n';
    input.consume(1);
  }
}
