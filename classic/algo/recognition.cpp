#include "classic/algo/recognition.h"

#include <cstring>

#include "classic/algo/text.h"
#include "classic/netlist/arena.h"

namespace recognition {
namespace {

char* join3(const char* a, const char* op, const char* b) {
  std::size_t la = std::strlen(a), lo = std::strlen(op), lb = std::strlen(b);
  char* out = static_cast<char*>(arena::alloc(la + lo + lb + 1, 1));
  std::memcpy(out, a, la);
  std::memcpy(out + la, op, lo);
  std::memcpy(out + la + lo, b, lb);
  return out;
}

// An operand of the builders: a whole expression or a single letter.
struct Operand {
  Operand(const char* g) : expr(text(g)) {}
  Operand(char c) : letter{c, 0} {}
  const char* str() const { return expr ? expr : letter; }
  const char* expr = nullptr;
  char letter[2] = {0, 0};
};

char* join(Operand a, const char* op, Operand b) { return join3(a.str(), op, b.str()); }

}  // namespace

char* generate_add(char g1, char g2) { return join(g1, " | ", g2); }
char* generate_add(const char* g1, char g2) { return join(g1, " | ", g2); }
char* generate_add(const char* g1, const char* g2) { return join(g1, " | ", g2); }
char* generate_mult(char g1, char g2) { return join(g1, " & ", g2); }
char* generate_mult(const char* g1, char g2) { return join(g1, " & ", g2); }
char* generate_mult(const char* g1, const char* g2) { return join(g1, " & ", g2); }

char* generate_parenthes(const char* g) { return join3("(", text(g), ")"); }

char* generate_mark(const char* g) { return join3("~", text(g), ""); }

NAMELIST* insert_name(NAMELIST* head, char* name, char virtual_name) {
  return lists::link_new(head, [&](NAMELIST& r) {
    r.gatename = name;
    r.virtual_name = virtual_name;
  });
}

GATENAMELIST* insert_gatename(GATENAMELIST* head, char* name) {
  return lists::link_new(head, [&](GATENAMELIST& r) { r.name = name; });
}

RELATIONLIST* insert_relation(RELATIONLIST* head, int type, GATENAMELIST* gnlist) {
  return lists::link_new(head, [&](RELATIONLIST& r) {
    r.type = type;
    r.gatename_list = gnlist;
  });
}

RELATIONLIST* query_alone_list(RELATIONLIST* rlist) {
  for (; rlist; rlist = rlist->next)
    if (rlist->type == 0) return rlist;
  return nullptr;
}

}  // namespace recognition
