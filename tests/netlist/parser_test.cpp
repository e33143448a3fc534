#include "classic/netlist/parser.h"

#include <gtest/gtest.h>

#include <string>

#include "classic/netlist/netlist.h"
#include "tests/netlist/inputs.h"

namespace {

struct Parsed {
  int status;
  std::string out;
};

Parsed parse(const std::string& text) {
  reset_netlist_globals();
  open_inputs(text, "");
  testing::internal::CaptureStdout();
  int status = yyparse();
  return {status, testing::internal::GetCapturedStdout()};
}

// One field of every record of a list, in list order, blank-separated.
template <class T, class F>
std::string join(T* head, F field) {
  std::string s;
  for (T* r = head; r; r = r->next) s += (s.empty() ? "" : " ") + std::string(field(r));
  return s;
}
auto element_name = [](Element* e) { return e->name; };
auto element_type = [](Element* e) { return std::to_string(e->type); };
auto pin_name = [](PinList* p) { return p->NodeName; };
auto mos_name = [](MosList* m) { return m->mosname; };

Element* element(const char* name) {
  for (Element* e = ElementHead; e; e = e->next)
    if (std::string(e->name) == name) return e;
  return nullptr;
}

TEST(Parser, ElementCards) {
  Parsed r = parse("R1 a b 10k\nC1 b 0 1.0p\nL1 a b 1n\nV1 vdd 0 -5\nI1 a 007 1m\nV2 x 0 -5.0\nD1 a b dmod\n"
                   "E1 a b c d 2\nG1 a b c d 2\nF1 a b c d 2\nH1 a b c d 2\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(join(ElementHead, element_name), "R1 H1 F1 G1 E1 D1 V2 I1 V1 L1 C1");
  EXPECT_EQ(join(ElementHead, element_type), "0 7 9 8 6 10 3 5 3 2 1");
  EXPECT_EQ(join(element("R1")->nodelist, pin_name), "a b");
  EXPECT_EQ(join(element("I1")->nodelist, pin_name), "a 7");
  EXPECT_EQ(join(element("F1")->nodelist, pin_name), "a b c d");
  EXPECT_EQ(element("R1")->value, 10.0f * 1e3f);
  EXPECT_EQ(element("V1")->value, 5.0f);
  EXPECT_EQ(element("V2")->value, -5.0f);
  EXPECT_STREQ(element("R1")->Model, "");
  EXPECT_STREQ(element("D1")->Model, "dmod");
  EXPECT_EQ(element("D1")->value, 0.0f);
}

TEST(Parser, TransistorsAndModels) {
  parse("M1 out in vdd vdd pmos w=1u l=2u\nM2 out in gnd gnd nmos l=1u w=1u\nQ1 c b e qmod\n"
        ".model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02\n.model dmod d is=1e-14 n=1.0\n"
        ".model n2 nmos level=1.0 kp=5e-5\n");
  EXPECT_EQ(join(MosHead, mos_name), "M1 M2");
  EXPECT_EQ(join(MosHead, [](MosList* m) { return std::string(m->d) + m->g + m->s + m->b + m->modelname; }),
            "outinvddvddpmos outingndgndnmos");
  EXPECT_EQ(MosHead->lvalue, 1e-6f);  // the first value is the length whatever its word
  EXPECT_EQ(MosHead->wvalue, 2e-6f);
  EXPECT_EQ(std::string(BipolarHead->name) + BipolarHead->c + BipolarHead->b + BipolarHead->e, "Q1cbe");
  EXPECT_STREQ(BipolarHead->modelname, "qmod");
  EXPECT_EQ(join(ModelHead, [](ModelList* m) { return std::string(m->name) + "/" + m->npmos; }),
            "nmos/nmos n2/nmos dmod/d");
  ModelList* mos = ModelHead;
  EXPECT_EQ(mos->type, MOSFET_TYPE);
  EXPECT_EQ(mos->k, 5e-5f);
  EXPECT_EQ(mos->vth, 0.7f);
  EXPECT_EQ(mos->lambda, 0.02f);
  EXPECT_EQ(mos->is + mos->vt, 0.0f);
  ModelList* two = ModelHead->next;
  EXPECT_EQ(two->type, DIOD_TYPE);
  EXPECT_EQ(two->is, 1.0f);
  EXPECT_EQ(two->vt, 5e-5f);
  EXPECT_EQ(two->k + two->vth + two->lambda, 0.0f);

  Parsed r = parse(".model dmod d is=1 n=1.0\nR1 a b 1\n");  // an integer commits to four parameters
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "    \nsyntax error\n");
  EXPECT_EQ(ModelHead, nullptr);
}

TEST(Parser, AnalysisCards) {
  parse(".tran 1n 100n\n.print v(3)\n.op\n.dc V1 0 5 0.1\n.ends top\n");
  EXPECT_EQ(join(ActionHead, [](Action* a) { return std::to_string(a->type) + ":" + a->name; }),
            "0:yz 3:top 4:V1 2:yz 1:yz");
  EXPECT_EQ(ActionHead->value1, 1e-9f);
  EXPECT_EQ(ActionHead->value2, 100.0f * 1e-9f);
  EXPECT_EQ(ActionHead->next->next->step, 0.1f);
  EXPECT_EQ(ActionHead->next->next->end, 5.0f);
  EXPECT_EQ(ActionHead->next->next->next->next->v, 3);
  EXPECT_EQ(parse(".print tran v(3)\n").status, 1);
}

TEST(Parser, CircuitDeclarationAndDefinitions) {
  parse(".subckt top a b c\nM1 y a vdd vdd pmos l=1u w=2u\n.macromodel inv a y\nM2 y a gnd gnd nmos l=1u w=1u\n"
        "M3 y a vdd vdd pmos l=1u w=2u\nE1 a b c d 2\nR1 a b 1\n.model nmos nmos level=1 kp=1 vto=1 lambda=1\n"
        ".endm inv\n.subckt x d\n.ends top\n");
  EXPECT_EQ(join(InputHead, [](InoutList* p) { return p->pinname; }), "top d x c b a");
  EXPECT_EQ(join(MosHead, mos_name), "M1");
  EXPECT_EQ(join(ElementHead, element_name), "E1");
  ASSERT_NE(MacroModelHead, nullptr);
  EXPECT_STREQ(MacroModelHead->macromodel_name, "inv");
  EXPECT_EQ(join(MacroModelHead->terminal_list, [](TerminalList* t) { return t->name; }), "a y");
  EXPECT_EQ(join(MacroModelHead->mos_list, mos_name), "M2 M3");
  EXPECT_EQ(join(MacroModelHead->element_list, element_name), "R1");
  EXPECT_STREQ(MacroModelHead->model_list->name, "nmos");
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(mos_list_header, nullptr);
  EXPECT_EQ(name_of_macro_model, nullptr);

  // CRLF line ends: the carriage return is no part of the last word.
  parse(".subckt top a b\r\n.macromodel inv a\rb y\r\n.endm inv\r\n");
  EXPECT_EQ(join(InputHead, [](InoutList* p) { return p->pinname; }), "top b a");
  EXPECT_EQ(join(MacroModelHead->terminal_list, [](TerminalList* t) { return t->name; }), "a\rb y");
}

TEST(Parser, SyntaxErrorStopsScanningAtTheOffendingToken) {
  Parsed r = parse("R1 a b 10k\nR2 a ( 5\nR3 a b 1\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "   \n  syntax error\n");
  EXPECT_EQ(join(ElementHead, element_name), "R1");
  r = parse("R1 a b 1\n.end\n");
  EXPECT_EQ(r.out, "   \n.syntax error\n");
  EXPECT_EQ(join(ElementHead, element_name), "R1");
  r = parse("R1 a b");
  EXPECT_EQ(r.out, "  syntax error\n");
  EXPECT_EQ(ElementHead, nullptr);
  EXPECT_EQ(parse("* a note\n").out, "* syntax error\n");
  r = parse("");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  r = parse("*\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "*\n");
}

TEST(Parser, MalformedDefinitionsLoseNothing) {
  Parsed r = parse(".endm x\nR1 a b 1\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, " .endm x without an open .macromodel, ignored\n\n   \n");
  EXPECT_EQ(MacroModelHead, nullptr);
  EXPECT_EQ(join(ElementHead, element_name), "R1");

  r = parse(".macromodel a p\nM1 p p 0 0 n l=1 w=1\n.macromodel b q\nM2 q q 0 0 n l=1 w=1\n.endm b\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("macromodel a has no .endm, closed at the next .macromodel\n"), std::string::npos);
  EXPECT_EQ(join(MacroModelHead, [](MacroModelList* m) { return std::string(m->macromodel_name) + ":" +
                                                                  m->mos_list->mosname + m->terminal_list->name; }),
            "a:M1p b:M2q");

  r = parse(".macromodel\nM1 p p 0 0 n l=1 w=1\n.endm inv\n.macromodel\n.macromodel c\n.endm c\n");
  EXPECT_NE(r.out.find(".macromodel without a name, named after its .endm card\n"), std::string::npos);
  EXPECT_EQ(join(MacroModelHead, [](MacroModelList* m) { return m->macromodel_name; }), "inv c unnamed");
  EXPECT_STREQ(MacroModelHead->mos_list->mosname, "M1");
  EXPECT_EQ(MosHead, nullptr);

  // Left open at the end of input, or at a syntax error: filed all the same.
  r = parse(".macromodel d p\nM1 p p 0 0 n l=1 w=1\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("macromodel d has no .endm, closed at the end of input\n"), std::string::npos);
  ASSERT_NE(MacroModelHead, nullptr);
  EXPECT_STREQ(MacroModelHead->mos_list->mosname, "M1");
  EXPECT_EQ(flag, 1);
  r = parse(".macromodel e p\nM1 p p 0 0 n l=1 w=1\n.end\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("syntax error\nmacromodel e has no .endm, closed at the end of input\n"), std::string::npos);
  ASSERT_NE(MacroModelHead, nullptr);
  EXPECT_STREQ(MacroModelHead->macromodel_name, "e");
}

}  // namespace
