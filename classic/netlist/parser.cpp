#include "classic/netlist/parser.h"

#include <cstdio>
#include <string>

#include "classic/messages/messages.h"
#include "classic/netlist/netlist.h"
#include "classic/netlist/scanner.h"

namespace {

// ---- Tokens and operands ----------------------------------------------------
// Each reader scans exactly one token and says whether it fits.

int token;

int advance() { return token = yylex(); }

bool read_token(int code) { return advance() == code; }

bool read_name(std::string& out) {
  if (advance() != NAME) return false;
  out = yylval.svalue;
  return true;
}

// A node is a name or an integer; an integer stands for its decimal text.
bool read_node(std::string& out) {
  advance();
  if (token != NAME && token != INTEGER) return false;
  out = yylval.svalue;
  return true;
}

bool read_value(float& out) {
  advance();
  if (token != INTEGER && token != FLOAT) return false;
  out = yylval.fvalue;
  return true;
}

bool read_nodes(std::string* out, int n) {
  for (int i = 0; i < n; ++i)
    if (!read_node(out[i])) return false;
  return true;
}

// `word = value`; the word itself is not looked at.
bool read_parameter(float& out) {
  std::string word;
  return read_name(word) && read_token('=') && read_value(out);
}

// ---- Where records go ---------------------------------------------------------
// Outside a definition the circuit's lists, inside it the definition's own.

bool outside_definition() { return flag != 0; }
Element*& current_elements() { return outside_definition() ? ElementHead : element_list_header; }
MosList*& current_mos() { return outside_definition() ? MosHead : mos_list_header; }
BipolarList*& current_bipolars() { return outside_definition() ? BipolarHead : bipolar_list_header; }
ModelList*& current_models() { return outside_definition() ? ModelHead : model_list_header; }

PinList* pin_list(const std::string* nodes, int n) {
  PinHead = nullptr;
  for (int i = 0; i < n; ++i) PinHead = insert_node(PinHead, nodes[i].c_str());
  return PinHead;
}

void add_action(ActionType type, float value1, float value2, int v, float start, float end, float step,
                const char* name) {
  ActionHead = insert_action(ActionHead, type, value1, value2, v, start, end, step, name);
}

// ---- Cards --------------------------------------------------------------------
// Each is entered with its first token read and returns false on a token
// that does not fit.

// R, C, L, V, I: two nodes and a value.
bool two_node_element(ElementType type) {
  std::string name = yylval.svalue;
  std::string nodes[2];
  float value;
  if (!read_nodes(nodes, 2) || !read_value(value)) return false;
  current_elements() = insert_element(name.c_str(), current_elements(), type, pin_list(nodes, 2), value, "", 0, 0);
  return true;
}

// E, G, F, H: four nodes and a value. These go to the circuit's list even
// inside a definition.
bool four_node_element(ElementType type) {
  std::string name = yylval.svalue;
  std::string nodes[4];
  float value;
  if (!read_nodes(nodes, 4) || !read_value(value)) return false;
  ElementHead = insert_element(name.c_str(), ElementHead, type, pin_list(nodes, 4), value, "", 0, 0);
  return true;
}

bool diode() {
  std::string name = yylval.svalue;
  std::string nodes[2];
  std::string model;
  if (!read_nodes(nodes, 2) || !read_name(model)) return false;
  current_elements() =
      insert_element(name.c_str(), current_elements(), D, pin_list(nodes, 2), 0, model.c_str(), 0, 0);
  return true;
}

// Drain, gate, source, bulk, model, then length and width in that order
// whatever their parameter words say.
bool mosfet() {
  std::string name = yylval.svalue;
  std::string nodes[4];
  std::string model;
  float l;
  float w;
  if (!read_nodes(nodes, 4) || !read_name(model) || !read_parameter(l) || !read_parameter(w)) return false;
  current_mos() = insert_mos(current_mos(), name.c_str(), nodes[0].c_str(), nodes[1].c_str(), nodes[2].c_str(),
                             nodes[3].c_str(), model.c_str(), l, w);
  return true;
}

bool bipolar() {
  std::string name = yylval.svalue;
  std::string nodes[3];
  std::string model;
  if (!read_nodes(nodes, 3) || !read_name(model)) return false;
  current_bipolars() = insert_bipolar(current_bipolars(), name.c_str(), nodes[0].c_str(), nodes[1].c_str(),
                                      nodes[2].c_str(), model.c_str());
  return true;
}

// An integer after the first "=" commits to the four-parameter form (its
// integer, the level, is not kept); anything else to the two-parameter one.
bool model() {
  std::string name;
  std::string type;
  std::string word;
  if (!read_name(name) || !read_name(type) || !read_name(word) || !read_token('=')) return false;
  advance();
  if (token == INTEGER) {
    float k;
    float vth;
    float lambda;
    if (!read_parameter(k) || !read_parameter(vth) || !read_parameter(lambda)) return false;
    current_models() = insert_model(current_models(), MOSFET_TYPE, name.c_str(), type.c_str(), 0, 0, k, vth, lambda);
    return true;
  }
  if (token != FLOAT) return false;
  float is = yylval.fvalue;
  float vt;
  if (!read_parameter(vt)) return false;
  current_models() = insert_model(current_models(), DIOD_TYPE, name.c_str(), type.c_str(), is, vt, 0, 0, 0);
  return true;
}

bool tran() {
  float first;
  float second;
  if (!read_value(first) || !read_value(second)) return false;
  add_action(TRAN, first, second, 0, 0, 0, 0, "yz");
  return true;
}

// .print NAME ( INTEGER )
bool print() {
  std::string word;
  if (!read_name(word) || !read_token('(') || !read_token(INTEGER)) return false;
  int v = yylval.ivalue;
  if (!read_token(')')) return false;
  add_action(PRINT_TYPE, 0, 0, v, 0, 0, 0, "yz");
  return true;
}

bool op() {
  add_action(OPTION_TYPE, 0, 0, 0, 0, 0, 0, "yz");
  return true;
}

bool dc() {
  std::string source;
  float start;
  float end;
  float step;
  if (!read_name(source) || !read_value(start) || !read_value(end) || !read_value(step)) return false;
  add_action(DC_TYPE, 0, 0, 0, start, end, step, source.c_str());
  return true;
}

bool subckt() {
  insert_inout(subname);
  return true;
}

bool ends() {
  std::string name;
  if (!read_node(name)) return false;
  add_action(END_TYPE, 0, 0, 0, 0, 0, 0, name.c_str());
  return true;
}

// Files the open definition as one record and leaves definition mode.
void close_definition(const char* name) {
  MacroModelHead = insert_macro_model(MacroModelHead, name, terminal_list_header, element_list_header,
                                      mos_list_header, bipolar_list_header, model_list_header);
  reset_definition_state();
}

// A definition left open is closed here rather than merged into the new one.
// A definition without a name takes the name of its closing card.
bool macromodel() {
  if (!outside_definition()) {
    const char* open = name_of_macro_model ? name_of_macro_model : "unnamed";
    std::printf(msg::kNoEndmAtNext, open);
    close_definition(open);
  }
  insert_terminal(macromodelname);
  if (!name_of_macro_model) std::fputs(msg::kUnnamedMacromodel, stdout);
  flag = 0;
  return true;
}

// A closing card with no open definition has nothing to file.
bool endm() {
  std::string closing;
  if (!read_node(closing)) return false;
  if (outside_definition()) {
    std::printf(msg::kStrayEndm, closing.c_str());
    return true;
  }
  close_definition(name_of_macro_model ? name_of_macro_model : closing.c_str());
  return true;
}

// The card that `first` begins; false when it begins none or does not fit.
bool card(int first) {
  switch (first) {
    case R_NAME: return two_node_element(RES);
    case C_NAME: return two_node_element(CAP);
    case L_NAME: return two_node_element(IND);
    case V_NAME: return two_node_element(VS);
    case I_NAME: return two_node_element(IS);
    case E_NAME: return four_node_element(E);
    case G_NAME: return four_node_element(G);
    case F_NAME: return four_node_element(F);
    case H_NAME: return four_node_element(H);
    case D_NAME: return diode();
    case M_NAME: return mosfet();
    case Q_NAME: return bipolar();
    case DOT_MODEL: return model();
    case DOT_TRAN: return tran();
    case DOT_PRINT: return print();
    case DOT_OP: return op();
    case DOT_DC: return dc();
    case DOT_SUBCKT: return subckt();
    case DOT_ENDS: return ends();
    case DOT_MACROMODEL: return macromodel();
    case DOT_ENDM: return endm();
    default: return false;
  }
}


// A definition still open when the reading ends is filed with what it has,
// so its MOSFETs are not lost.
void close_definition_at_end() {
  if (outside_definition()) return;
  const char* open = name_of_macro_model ? name_of_macro_model : "unnamed";
  std::printf(msg::kNoEndmAtEnd, open);
  close_definition(open);
}

}  // namespace

void yyerror(const char* s) { std::printf("%s\n", s); }

int yyparse() {
  while (advance() != 0) {
    if (!card(token)) {
      yyerror(msg::kSyntaxError);
      close_definition_at_end();
      return 1;
    }
  }
  close_definition_at_end();
  return 0;
}
