#include "verilog/netlist_writer.h"

#include "algo/tables.h"
#include "extract/cgate.h"
#include "match/records.h"
#include "verilog/pin_map.h"
#include "verilog/records.h"

const char* const kDefaultModuleName = "top";

namespace {

// Never hand a null string to a %s conversion.
const char* text(const char* s) { return s ? s : ""; }

void write_banner(FILE* fp) {
  fputs(" /*****************************************************************/\n ", fp);
  fputs("/***          Static CMOS Circuit Extractor Program            ***/\n ", fp);
  fputs("/***        Output verilog netlist from Hspice netlist         ***/\n", fp);
  fputs(" /*****************************************************************/\n ", fp);
  fputs("\n", fp);
}

// Port names, each followed by ", " but the last.
void write_port_names(FILE* fp, const INOUTLIST* list) {
  for (const INOUTLIST* p = list; p; p = p->next) fprintf(fp, p->next ? "%s, " : "%s", text(p->pinname));
}

void write_rails(FILE* fp, const char* pvdd, const char* pgnd) {
  if (pvdd) fprintf(fp, "%s, ", pvdd);
  if (pgnd) fprintf(fp, "%s, ", pgnd);
}

void write_module_line(FILE* fp, const char* pvdd, const char* pgnd) {
  fprintf(fp, " module %s (", InputHead ? text(InputHead->pinname) : kDefaultModuleName);
  for (const INOUTLIST* p = InputHead ? InputHead->next : nullptr; p; p = p->next)
    fprintf(fp, "%s, ", text(p->pinname));
  write_rails(fp, pvdd, pgnd);
  write_port_names(fp, OutputHead);
  fputs("); \n", fp);
}

void write_wires(FILE* fp) {
  fputs(" wire ", fp);
  int new_line = 0;
  for (const WIRELIST* w = WireHead; w; w = w->next) {
    ++new_line;
    fprintf(fp, w->next ? " %s," : " %s", text(w->wirename));
    if (new_line == 10) {
      fputs("\n", fp);
      new_line = 0;
    }
  }
  fputs(";\n", fp);
  fputs("\n", fp);
}

// One gate instance, named and lettered from its n-branch. The recognised
// expression decides which module pin each letter's net goes to.
void write_gate(FILE* fp, const CGate* gate, int& counter) {
  const Branch* b = gate->n_branch;
  if (!b || !b->headername) {
    // No type was recognised (too many MOSFETs): there is no module to
    // instantiate, so the gate is noted and takes no instance number.
    fprintf(fp, "    // %s: n-branch without a gate type, output %s\n", text(gate->gatename),
            b ? text(b->pn_node) : "");
    return;
  }
  fprintf(fp, "    %s  U%d ( ", b->headername, counter);
  ++counter;
  const char* mapping = pin_mapping_for(b->headername, b->mos_list ? b->mos_list->g : nullptr);
  for (const NAMELIST* n = b->name_list; n; n = n->next)
    fprintf(fp, ".%c(%s), ", map_pin_letter(mapping, n->virtual_name), text(n->gatename));
  fprintf(fp, ".out(%s) );\n", text(b->pn_node));
}

void write_gates(FILE* fp, bool cmos, int& counter) {
  if (!hash_gate_list) return;
  for (int i = 0; i < num_of_gates; ++i) {
    const CGate* gate = hash_gate_list[i];
    if (gate && gate->cmos_gate == cmos) write_gate(fp, gate, counter);
  }
}

void write_subcircuits(FILE* fp, int& counter) {
  fputs(" /***The following are subcircuit : ***/\n", fp);
  for (const RESULTLIST* r = ResultHead; r; r = r->next) {
    fprintf(fp, "    %s  X%d ( ", text(r->libname), counter);
    ++counter;
    for (const EQUALNAMELIST* e = r->input_list; e; e = e->next)
      fprintf(fp, ".%s(%s), ", text(e->macromodel_name), text(e->circuit_name));
    for (const EQUALNAMELIST* e = r->output_list; e; e = e->next)
      fprintf(fp, e->next ? ".%s(%s), " : ".%s(%s) );", text(e->macromodel_name), text(e->circuit_name));
    fputs("\n", fp);
  }
  fputs("\n", fp);
  fputs("\n", fp);
}

void write_elements(FILE* fp) {
  for (const ELEMENT* e = ElementHead; e; e = e->next) {
    fprintf(fp, " %s ", text(e->name));
    for (const PINLIST* p = e->nodelist; p; p = p->next) fprintf(fp, "%s ", text(p->NodeName));
    fprintf(fp, "%e ", static_cast<double>(e->value));
    fprintf(fp, "%s ", text(e->Model));
    fputs("\n", fp);
  }
}

}  // namespace

void write_netlist_file(FILE* fp_out, char* pvdd, char* pgnd) {
  if (!fp_out) return;
  write_banner(fp_out);
  write_module_line(fp_out, pvdd, pgnd);

  fputs(" input ", fp_out);
  write_rails(fp_out, pvdd, pgnd);
  write_port_names(fp_out, InputHead ? InputHead->next : nullptr);
  fputs(";\n", fp_out);
  fputs(" Output input \n", stdout);

  fputs(" output ", fp_out);
  write_port_names(fp_out, OutputHead);
  fputs(";\n", fp_out);
  fputs(" Output output \n", stdout);

  write_wires(fp_out);
  fputs(" Output wire \n", stdout);

  int counter = 1;  // one numbering for gates, subcircuits and pseudo gates
  write_gates(fp_out, true, counter);
  fputs(" Output cmos_gates \n", stdout);
  fputs("\n", fp_out);
  fputs("\n", fp_out);

  write_subcircuits(fp_out, counter);
  fputs(" Output subcircuit \n", stdout);

  fputs(" /***The following are Pseudo_Gate : ***/\n", fp_out);
  write_gates(fp_out, false, counter);
  fputs("\n", fp_out);
  fputs("\n", fp_out);

  write_elements(fp_out);
  fputs("\n", fp_out);
  fputs("\n", fp_out);
  fputs("endmodule\n", fp_out);
}
