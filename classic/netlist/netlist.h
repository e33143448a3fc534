#pragma once
// Netlist database: the records the parser fills, their list heads and the
// parser's working state.
//
// Strings stored in records are never written through after they are stored,
// so a record may share a string with another record instead of copying it.
#include <cstdio>


enum ElementType { RES = 0, CAP = 1, IND = 2, VS = 3, PULSE_VS = 4, IS = 5, E = 6, H = 7, G = 8, F = 9, D = 10, M = 11 };
enum ActionType { TRAN = 0, PRINT_TYPE = 1, OPTION_TYPE = 2, END_TYPE = 3, DC_TYPE = 4 };
enum ModelType { DIOD_TYPE = 0, MOSFET_TYPE = 1 };
enum PinType { DP = 0, GP = 1, SP = 2 };

typedef struct PINLIST {
  char* NodeName;
  struct PINLIST* next;
} PinList;

typedef struct INOUTLIST {
  char* pinname;
  struct INOUTLIST* next;
} InoutList;

typedef struct TERMINALLIST {
  char* name;
  struct TERMINALLIST* next;
} TerminalList;

typedef struct ELEMENT {
  char* name;
  ElementType type;
  PINLIST* nodelist;
  float value;
  char* Model;
  float l_value;
  float w_value;
  struct ELEMENT* next;
} Element;

typedef struct MOSLIST {
  char* mosname;
  char* d;
  char* g;
  char* s;
  int nptype;
  short is_instead;  // 0 or 1; short leaves room for the flags beside it
  bool in_branch;
  bool exchanged;  // drain and source swapped since the card was read
  char* b;
  char* modelname;
  float lvalue;
  float wvalue;
  struct MOSLIST* next;
} MosList, *PMosList;

typedef struct BIPOLARLIST {
  char* name;
  char* c;
  char* b;
  char* e;
  int nptype;
  char* modelname;
  struct BIPOLARLIST* next;
} BipolarList;

typedef struct MODELLIST {
  ModelType type;
  char* name;
  char* npmos;
  float is;
  float vt;
  float k;
  float vth;
  float lambda;
  struct MODELLIST* next;
} ModelList;

typedef struct ACTION {
  ActionType type;
  float value1;
  float value2;
  int v;
  float start;
  float end;
  float step;
  char* name;
  struct ACTION* next;
} Action;

typedef struct MACROMODELLIST {
  char* macromodel_name;
  TERMINALLIST* terminal_list;
  ELEMENT* element_list;
  MOSLIST* mos_list;
  BIPOLARLIST* bipolar_list;
  MODELLIST* model_list;
  int num_of_mos;
  bool done;
  int flag;
  struct MACROMODELLIST* next;
} MacroModelList;

// ---- Netlist list heads -------------------------------------------------
extern Element* ElementHead;
extern MosList* MosHead;
extern BipolarList* BipolarHead;
extern ModelList* ModelHead;
extern Action* ActionHead;
extern MacroModelList* MacroModelHead;
extern InoutList* InputHead;
extern InoutList* OutputHead;

// ---- Parser working state -----------------------------------------------
extern PinList* PinHead;
extern PinList* tail;
extern Element* element_list_header;
extern MosList* mos_list_header;
extern BipolarList* bipolar_list_header;
extern ModelList* model_list_header;
extern TerminalList* terminal_list_header;
extern char* name_of_macro_model;
extern int flag;
extern char* subname;
extern char* macromodelname;
extern float base_value;
extern int file_num;
extern char** files;

// ---- Insertion (behind-head unless noted) -------------------------------
// Appends at the end of the pin list under construction, using `tail`.
PinList* insert_node(PinList* head, const char* NodeName);
Element* insert_element(const char* name, Element* head, ElementType type, PinList* nodelist, float value,
                        const char* Model, float lvalue, float wvalue);
MosList* insert_mos(MosList* head, const char* mosname, const char* d, const char* g, const char* s,
                    const char* b, const char* modelname, float lvalue, float wvalue);
BipolarList* insert_bipolar(BipolarList* head, const char* name, const char* c, const char* b, const char* e,
                            const char* modelname);
ModelList* insert_model(ModelList* head, ModelType type, const char* name_, const char* _npmos, float is_, float vt_,
                        float k_, float vth_, float lambda_);
Action* insert_action(Action* head, ActionType type, float value_1, float value_2, int v_, float start_, float end_,
                      float step_, const char* name_);
MacroModelList* insert_macro_model(MacroModelList* head, const char* name, TerminalList* terminal_list,
                                   Element* element_list, MosList* mos_list, BipolarList* bipolar_list,
                                   ModelList* model_list);
// Split a circuit-declaration card's text into InputHead.
void insert_inout(const char* name);
// Split a definition-opening card's text into name_of_macro_model and terminal_list_header.
void insert_terminal(const char* name);

// Resets every list head and the parser state to the start-of-run values.
void reset_netlist_globals();
// Empties the working lists of a subcircuit definition and leaves definition mode.
void reset_definition_state();

// ---- Shared helpers ------------------------------------------------------
// The number a name carries: a run of non-digits followed by one run of
// digits reaching the end of the name. -1 when the name has no such number,
// is null, or the number does not fit an int (such names are then kept apart
// by their text, never folded onto a wrapped-around number).
int return_number(const char* name);

// Behind-head insertion of an already built record: the first record stays
// at the head, every later one goes second.
template <class T>
T* link_behind_head(T* head, T* rec) {
  if (!head) {
    rec->next = nullptr;
    return rec;
  }
  rec->next = head->next;
  head->next = rec;
  return head;
}
