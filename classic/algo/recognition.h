#pragma once
// Reading a branch (a series-parallel MOSFET network between an output node
// and a rail) as a logic expression over single letters, and naming its gate
// type. Written once for both branch kinds: B is any branch class with the
// fields mos_list, name_list, relation_list, pn_node, num_of_mos, headername
// and greatthan4.
#include <cstdio>
#include <cstring>

#include "classic/algo/gate_types.h"
#include "classic/algo/list_ops.h"
#include "classic/algo/records.h"
#include "classic/messages/messages.h"
#include "classic/netlist/arena.h"

namespace recognition {

// Expression builders; each returns a new string.
char* generate_add(char g1, char g2);
char* generate_add(const char* g1, char g2);
char* generate_add(const char* g1, const char* g2);
char* generate_mult(char g1, char g2);
char* generate_mult(const char* g1, char g2);
char* generate_mult(const char* g1, const char* g2);
char* generate_parenthes(const char* g);
char* generate_mark(const char* g);


// Behind-head insertion of a letter-map record, a group name, an input group.
NAMELIST* insert_name(NAMELIST* head, char* name, char virtual_name);
GATENAMELIST* insert_gatename(GATENAMELIST* head, char* name);
RELATIONLIST* insert_relation(RELATIONLIST* head, int type, GATENAMELIST* gnlist);
// The first input group of type 0 (nets that each joined a record alone), or null.
RELATIONLIST* query_alone_list(RELATIONLIST* rlist);

// Records the nets collected while merging into one record: two or more make
// an input group of their own; a single one joins the branch's type-0 group.
template <class B>
void record_name_group(B* br, GATENAMELIST* group) {
  if (!group) return;
  if (group->next) {
    br->relation_list = insert_relation(br->relation_list, 1, group);
    return;
  }
  if (RELATIONLIST* alone = query_alone_list(br->relation_list))
    alone->gatename_list = insert_gatename(alone->gatename_list, group->name);
  else
    br->relation_list = insert_relation(br->relation_list, 0, group);
}

// Merges mos2's function into mos1 (OR when add_or_flag is 1, AND when 0);
// nets met for the first time get the next letters. Returns the next letter.
template <class B>
char change_g(B* br, MOSLIST* mos1, MOSLIST* mos2, char turn, int add_or_flag) {
  auto join = [add_or_flag](auto x, auto y) { return add_or_flag ? generate_add(x, y) : generate_mult(x, y); };
  if (mos1->is_instead && mos2->is_instead) {
    mos1->g = join(static_cast<const char*>(mos1->g), static_cast<const char*>(mos2->g));
  } else if (mos1->is_instead) {
    br->name_list = insert_name(br->name_list, mos2->g, turn);
    mos1->g = join(static_cast<const char*>(mos1->g), turn);
    turn = static_cast<char>(turn + 1);
  } else if (mos2->is_instead) {
    br->name_list = insert_name(br->name_list, mos1->g, turn);
    mos1->g = join(static_cast<const char*>(mos2->g), turn);
    mos1->is_instead = 1;
    turn = static_cast<char>(turn + 1);
  } else {
    char second = static_cast<char>(turn + 1);
    br->name_list = insert_name(br->name_list, mos1->g, turn);
    br->name_list = insert_name(br->name_list, mos2->g, second);
    mos1->g = join(turn, second);
    mos1->is_instead = 1;
    turn = static_cast<char>(turn + 2);
  }
  return turn;
}

// 1 when exactly two records of the branch touch the node with drain or source.
template <class B>
int is_series_node(const char* nodename, B* br) {
  int count = 0;
  for (MOSLIST* m = br->mos_list; m; m = m->next)
    if (same_name(m->d, nodename) || same_name(m->s, nodename))
      if (++count > 2) return 0;
  return count == 2 ? 1 : 0;
}

// Shared frame of both passes: every record M, head first, absorbs the
// records behind it that `joins(M, C)` accepts; joined records are unlinked.
template <class B, class Joins>
char merge_pass(B* br, char turn, int add_or_flag, Joins&& joins) {
  for (MOSLIST* m = br->mos_list; m; m = m->next) {
    GATENAMELIST* group = nullptr;
    bool merged = false;
    MOSLIST* prev = m;
    for (MOSLIST* c = m->next; c;) {
      if (!joins(m, c)) {
        prev = c;
        c = c->next;
        continue;
      }
      merged = true;
      if (!m->is_instead) group = insert_gatename(group, m->g);
      if (!c->is_instead) group = insert_gatename(group, c->g);
      turn = change_g(br, m, c, turn, add_or_flag);
      prev->next = c->next;
      c = c->next;
    }
    record_name_group(br, group);
    if (merged) m->g = generate_parenthes(m->g);
  }
  return turn;
}

// Parallel records (same two ends, either way round) merge as OR.
template <class B>
char parallel_recognition(B* br, char turn) {
  return merge_pass(br, turn, 1, [](MOSLIST* m, MOSLIST* c) {
    return (same_name(m->d, c->d) && same_name(m->s, c->s)) || (same_name(m->d, c->s) && same_name(m->s, c->d));
  });
}

// Records in series (one shared node touched by nothing else, which is neither
// a rail nor the output) merge as AND; M then spans both.
template <class B>
char series_recognition(B* br, char turn, const char* vdd, const char* gnd) {
  return merge_pass(br, turn, 0, [br, vdd, gnd](MOSLIST* m, MOSLIST* c) {
    // Per case: the shared node, whether it is shared, whether the far ends differ.
    const char* shared[4] = {m->d, m->s, m->d, m->s};
    bool meets[4] = {same_name(m->d, c->d), same_name(m->s, c->s), same_name(m->d, c->s), same_name(m->s, c->d)};
    bool apart[4] = {!same_name(m->s, c->s), !same_name(m->d, c->d), !same_name(m->s, c->d),
                     !same_name(m->d, c->s)};
    bool series = false;
    for (int i = 0; i < 4 && !series; ++i) {
      const char* x = shared[i];
      series = meets[i] && apart[i] && !same_name(x, gnd) && !same_name(x, vdd) && !same_name(x, br->pn_node) &&
               is_series_node(x, br);
    }
    if (!series) return false;
    if (meets[0] && apart[0])
      m->d = c->s;
    else if (meets[1] && apart[1])
      m->s = c->d;
    else if (meets[2] && apart[2])
      m->d = c->d;
    else
      m->s = c->s;
    return true;
  });
}

// Reduces one branch of 2 to 6 MOSFETs to its head record and types it.
// A network that is not series-parallel stops reducing once a round of both
// passes removes nothing; it is then left untyped. Returns the type or null.
template <class B>
const char* reduce_branch(B* br, const char* vdd, const char* gnd) {
  char turn = 'a';
  int left = lists::count(br->mos_list);
  while (left > 1) {
    turn = parallel_recognition(br, turn);
    turn = series_recognition(br, turn, vdd, gnd);
    int now = lists::count(br->mos_list);
    if (now == left) break;
    left = now;
  }
  MOSLIST* head = br->mos_list;
  head->g = generate_mark(head->g);
  if (left > 1) return nullptr;
  return lookup_gate_type(head->g);
}

// The generated name of the k-th unrecognised branch: the prefix and a, b,
// ..., z, then aa, ab, ... so that names stay letters and never repeat.
inline char* model_name(const char* model_prefix, int k) {
  char suffix[16];
  int n = 0;
  for (int v = k + 1; v > 0 && n < 15; v = (v - 1) / 26) suffix[n++] = static_cast<char>('a' + (v - 1) % 26);
  std::size_t len = std::strlen(model_prefix);
  char* name = static_cast<char*>(arena::alloc(len + n + 1, 1));
  std::memcpy(name, model_prefix, len);
  for (int i = 0; i < n; ++i) name[len + i] = suffix[n - 1 - i];
  return name;
}

// Recognition over a list of branches of one kind. Branches of one MOSFET are
// inverters; 2 to 6 are reduced and looked up, and an expression outside the
// vocabulary gets model_prefix plus the next model letter and the messages;
// 7 or more stay as they are.
template <class B>
void branch_recognition(B* list, const char* vdd, const char* gnd, const char* model_prefix,
                        const char* too_big_message) {
  int model_index = 0;
  for (B* br = list; br; br = br->next) {
    MOSLIST* head = br->mos_list;
    if (!head) continue;
    if (br->num_of_mos == 1) {
      br->name_list = insert_name(br->name_list, head->g, 'a');
      // Shared texts: every inverter branch reads the same (never written through).
      static char* const inverted = const_cast<char*>(arena::intern("~a"));
      static char* const inv = const_cast<char*>(arena::intern("INV"));
      head->g = inverted;
      br->headername = inv;
      continue;
    }
    if (br->num_of_mos < 2 || br->num_of_mos > 6) continue;
    if (const char* type = reduce_branch(br, vdd, gnd)) {
      br->headername = const_cast<char*>(type);  // table texts are never written through
      continue;
    }
    br->mos_list->g = generate_mark(br->mos_list->g);
    br->greatthan4 = 1;
    br->headername = model_name(model_prefix, model_index++);
    std::fputs(too_big_message, stdout);
    std::printf(msg::kBranchFunction, br->headername);
  }
}

// The recognition stages of the two branch kinds.
template <class B>
void n_branch_recognition(B* list, const char* vdd, const char* gnd) {
  branch_recognition(list, vdd, gnd, "N_Model_", msg::kNBranchTooBig);
}
template <class B>
void p_branch_recognition(B* list, const char* vdd, const char* gnd) {
  branch_recognition(list, vdd, gnd, "P_Model_", msg::kPBranchTooBig);
}

}  // namespace recognition
