#include "classic/netlist/netlist.h"

#include <climits>
#include <cstring>
#include <string>

#include "classic/netlist/arena.h"

Element* ElementHead;
MosList* MosHead;
BipolarList* BipolarHead;
ModelList* ModelHead;
Action* ActionHead;
MacroModelList* MacroModelHead;
InoutList* InputHead;
InoutList* OutputHead;

PinList* PinHead;
PinList* tail;
Element* element_list_header;
MosList* mos_list_header;
BipolarList* bipolar_list_header;
ModelList* model_list_header;
TerminalList* terminal_list_header;
char* name_of_macro_model;
int flag = 1;
char* subname;
char* macromodelname;
float base_value;
int file_num = 1;
char** files;


namespace {
char* copy(const char* s) { return arena::strdup(s ? s : ""); }
}  // namespace

PinList* insert_node(PinList* head, const char* NodeName) {
  auto* rec = arena_new<PinList>();
  rec->NodeName = copy(NodeName);
  if (!head) {
    tail = rec;
    return rec;
  }
  tail->next = rec;
  tail = rec;
  return head;
}

Element* insert_element(const char* name, Element* head, ElementType type, PinList* nodelist, float value,
                        const char* Model, float lvalue, float wvalue) {
  auto* rec = arena_new<Element>();
  rec->name = copy(name);
  rec->type = type;
  rec->nodelist = nodelist;
  rec->value = value;
  rec->Model = copy(Model);
  rec->l_value = lvalue;
  rec->w_value = wvalue;
  return link_behind_head(head, rec);
}

MosList* insert_mos(MosList* head, const char* mosname, const char* d, const char* g, const char* s, const char* b,
                    const char* modelname, float lvalue, float wvalue) {
  auto* rec = arena_new<MosList>();
  rec->mosname = copy(mosname);
  rec->d = copy(d);
  rec->g = copy(g);
  rec->s = copy(s);
  rec->b = copy(b);
  rec->modelname = copy(modelname);
  rec->lvalue = lvalue;
  rec->wvalue = wvalue;
  return link_behind_head(head, rec);
}

BipolarList* insert_bipolar(BipolarList* head, const char* name, const char* c, const char* b, const char* e,
                            const char* modelname) {
  auto* rec = arena_new<BipolarList>();
  rec->name = copy(name);
  rec->c = copy(c);
  rec->b = copy(b);
  rec->e = copy(e);
  rec->modelname = copy(modelname);
  return link_behind_head(head, rec);
}

ModelList* insert_model(ModelList* head, ModelType type, const char* name_, const char* _npmos, float is_, float vt_,
                        float k_, float vth_, float lambda_) {
  auto* rec = arena_new<ModelList>();
  rec->type = type;
  rec->name = copy(name_);
  rec->npmos = copy(_npmos);
  rec->is = is_;
  rec->vt = vt_;
  rec->k = k_;
  rec->vth = vth_;
  rec->lambda = lambda_;
  return link_behind_head(head, rec);
}

Action* insert_action(Action* head, ActionType type, float value_1, float value_2, int v_, float start_, float end_,
                      float step_, const char* name_) {
  auto* rec = arena_new<Action>();
  rec->type = type;
  rec->value1 = value_1;
  rec->value2 = value_2;
  rec->v = v_;
  rec->start = start_;
  rec->end = end_;
  rec->step = step_;
  rec->name = copy(name_);
  return link_behind_head(head, rec);
}

MacroModelList* insert_macro_model(MacroModelList* head, const char* name, TerminalList* terminal_list,
                                   Element* element_list, MosList* mos_list, BipolarList* bipolar_list,
                                   ModelList* model_list) {
  auto* rec = arena_new<MacroModelList>();
  rec->macromodel_name = copy(name);
  rec->terminal_list = terminal_list;
  rec->element_list = element_list;
  rec->mos_list = mos_list;
  rec->bipolar_list = bipolar_list;
  rec->model_list = model_list;
  return link_behind_head(head, rec);
}

namespace {

// Words of a declaration card's text. The first character is passed over; a
// blank or a newline ends a word; empty pieces (runs of blanks, a blank before
// the line end, indentation) are skipped so no empty name is ever stored.
// Words are held whole, whatever their length. A carriage return before the
// newline belongs to the line end (files with CRLF line ends), not to the
// last word.
template <class Fn>
void split_words(const char* text, Fn&& on_word) {
  if (!text || !*text) return;
  std::string word;
  int count = 0;
  for (const char* p = text + 1;; ++p) {
    char c = *p;
    if (c == ' ' || c == '\n' || c == '\0' || (c == '\r' && p[1] == '\n')) {
      if (!word.empty()) on_word(++count, word.c_str());
      word.clear();
      if (c == '\0') break;
    } else {
      word.push_back(c);
    }
  }
}

}  // namespace

void insert_inout(const char* name) {
  split_words(name, [](int n, const char* w) {
    if (n == 1) return;
    auto* rec = arena_new<InoutList>();
    rec->pinname = copy(w);
    InputHead = link_behind_head(InputHead, rec);
  });
}

void insert_terminal(const char* name) {
  split_words(name, [](int n, const char* w) {
    if (n == 1) return;
    if (n == 2) {
      name_of_macro_model = copy(w);
      return;
    }
    auto* rec = arena_new<TerminalList>();
    rec->name = copy(w);
    terminal_list_header = link_behind_head(terminal_list_header, rec);
  });
}

void reset_definition_state() {
  element_list_header = nullptr;
  mos_list_header = nullptr;
  bipolar_list_header = nullptr;
  model_list_header = nullptr;
  terminal_list_header = nullptr;
  name_of_macro_model = nullptr;
  flag = 1;
}

void reset_netlist_globals() {
  ElementHead = nullptr;
  ActionHead = nullptr;
  ModelHead = nullptr;
  MosHead = nullptr;
  InputHead = nullptr;
  OutputHead = nullptr;
  BipolarHead = nullptr;
  MacroModelHead = nullptr;
  PinHead = tail = nullptr;
  reset_definition_state();
}

int return_number(const char* name) {
  if (!name) return -1;
  const char* p = name;
  while (*p && !(*p >= '0' && *p <= '9')) ++p;
  if (!*p) return -1;
  long long value = 0;
  bool too_big = false;
  for (; *p; ++p) {
    if (!(*p >= '0' && *p <= '9')) return -1;
    if (!too_big) {
      value = value * 10 + (*p - '0');
      if (value > INT_MAX) too_big = true;
    }
  }
  return too_big ? -1 : static_cast<int>(value);
}
