#include "classic/verilog/netlist_writer.h"

#include "classic/algo/tables.h"
#include "classic/algo/text.h"
#include "classic/extract/cgate.h"
#include "classic/match/records.h"
#include "classic/verilog/pin_map.h"
#include "classic/verilog/records.h"
#include "core/verilog/identifier.h"

const char* const kDefaultModuleName = "top";

void write_banner(FILE* fp) {
  fputs(" /*****************************************************************/\n ", fp);
  fputs("/***          Static CMOS Circuit Extractor Program            ***/\n ", fp);
  fputs("/***        Output verilog netlist from Hspice netlist         ***/\n", fp);
  fputs(" /*****************************************************************/\n ", fp);
  fputs("\n", fp);
}

namespace {

// Writes names separated by ", ", with no separator after the last one.
class NameList {
 public:
  explicit NameList(FILE* fp) : fp_(fp) {}
  void add(const char* name) {
    if (!first_) fputs(", ", fp_);
    first_ = false;
    write_identifier(fp_, name);
  }
  void add_ports(const INOUTLIST* list) {
    for (const INOUTLIST* p = list; p; p = p->next) add(text(p->pinname));
  }
  void add_rails(const char* pvdd, const char* pgnd) {
    if (pvdd) add(pvdd);
    if (pgnd) add(pgnd);
  }
  bool empty() const { return first_; }

 private:
  FILE* fp_;
  bool first_ = true;
};

void write_module_line(FILE* fp, const char* pvdd, const char* pgnd) {
  fputs(" module ", fp);
  write_identifier(fp, InputHead ? text(InputHead->pinname) : kDefaultModuleName);
  fputs(" (", fp);
  NameList names(fp);
  names.add_ports(InputHead ? InputHead->next : nullptr);
  names.add_rails(pvdd, pgnd);
  names.add_ports(OutputHead);
  fputs("); \n", fp);
}

// A declaration with nothing to declare is left out.
void write_inputs(FILE* fp, const char* pvdd, const char* pgnd) {
  const INOUTLIST* ports = InputHead ? InputHead->next : nullptr;
  if (!ports && !pvdd && !pgnd) return;
  fputs(" input ", fp);
  NameList names(fp);
  names.add_rails(pvdd, pgnd);
  names.add_ports(ports);
  fputs(";\n", fp);
}

void write_outputs(FILE* fp) {
  if (!OutputHead) return;
  fputs(" output ", fp);
  NameList(fp).add_ports(OutputHead);
  fputs(";\n", fp);
}

}  // namespace

void write_wires(FILE* fp, const NameText& name, const std::function<bool(const char*)>& skip) {
  auto kept = [&](const WIRELIST* w) {
    while (w && skip && skip(w->wirename)) w = w->next;
    return w;
  };
  if (kept(WireHead)) {
    fputs(" wire ", fp);
    int new_line = 0;
    for (const WIRELIST* w = kept(WireHead); w; w = kept(w->next)) {
      ++new_line;
      fputs(" ", fp);
      write_identifier(fp, name(w->wirename));
      if (kept(w->next)) fputs(",", fp);
      if (new_line == 10) {
        fputs("\n", fp);
        new_line = 0;
      }
    }
    fputs(";\n", fp);
  }
  fputs("\n", fp);
}

namespace {

// ".pin(net)" of an instance.
void write_connection(FILE* fp, const char* pin, const char* net) {
  fputs(".", fp);
  write_identifier(fp, pin);
  fputs("(", fp);
  write_identifier(fp, net);
  fputs(")", fp);
}

// One gate instance, named and lettered from its n-branch. The recognised
// expression decides which module pin each letter's net goes to.
void write_gate(FILE* fp, const NameText& name, const CGate* gate, int& counter) {
  const Branch* b = gate->n_branch;
  if (!b || !b->headername) {
    // No type was recognised (too many MOSFETs): there is no module to
    // instantiate, so the gate is noted and takes no instance number.
    fprintf(fp, "    // %s: n-branch without a gate type, output %s\n", text(gate->gatename),
            b ? name(b->pn_node) : "");
    return;
  }
  fprintf(fp, "    %s  U%d ( ", b->headername, counter);
  ++counter;
  const char* mapping = pin_mapping_for(b->headername, b->mos_list ? b->mos_list->g : nullptr);
  for (const NAMELIST* n = b->name_list; n; n = n->next) {
    const char pin[2] = {map_pin_letter(mapping, n->virtual_name), '\0'};
    write_connection(fp, pin, name(n->gatename));
    fputs(", ", fp);
  }
  write_connection(fp, "out", name(b->pn_node));
  fputs(" );\n", fp);
}

void write_gates(FILE* fp, const NameText& name, bool cmos, int& counter) {
  if (!hash_gate_list) return;
  for (int i = 0; i < num_of_gates; ++i) {
    const CGate* gate = hash_gate_list[i];
    if (gate && gate->cmos_gate == cmos) write_gate(fp, name, gate, counter);
  }
}

void write_subcircuits(FILE* fp, const NameText& name, int& counter) {
  fputs(" /***The following are subcircuit : ***/\n", fp);
  for (const RESULTLIST* r = ResultHead; r; r = r->next) {
    fputs("    ", fp);
    write_identifier(fp, name(r->libname));
    fprintf(fp, "  X%d ( ", counter);
    ++counter;
    // Every connection but the last is followed by ", "; the instance is
    // always closed, also when it has no output pin.
    bool first = true;
    for (const EQUALNAMELIST* list : {r->input_list, r->output_list}) {
      for (const EQUALNAMELIST* e = list; e; e = e->next) {
        if (!first) fputs(", ", fp);
        first = false;
        write_connection(fp, name(e->macromodel_name), name(e->circuit_name));
      }
    }
    fputs(" );\n", fp);
  }
  fputs("\n", fp);
  fputs("\n", fp);
}

}  // namespace

void write_instances(FILE* fp, const NameText& name) {
  int counter = 1;  // one numbering for gates, subcircuits and pseudo gates
  write_gates(fp, name, true, counter);
  fputs("\n", fp);
  fputs("\n", fp);

  write_subcircuits(fp, name, counter);

  fputs(" /***The following are Pseudo_Gate : ***/\n", fp);
  write_gates(fp, name, false, counter);
  fputs("\n", fp);
  fputs("\n", fp);
}

void write_elements(FILE* fp, const NameText& name) {
  for (const ELEMENT* e = ElementHead; e; e = e->next) {
    // Elements have no Verilog form: the line is kept as a comment.
    fprintf(fp, "// %s ", name(e->name));
    for (const PINLIST* p = e->nodelist; p; p = p->next) fprintf(fp, "%s ", name(p->NodeName));
    fprintf(fp, "%e ", static_cast<double>(e->value));
    fprintf(fp, "%s ", text(e->Model));
    fputs("\n", fp);
  }
  fputs("\n", fp);
  fputs("\n", fp);
  fputs("endmodule\n", fp);
}

void write_netlist_file(FILE* fp_out, char* pvdd, char* pgnd) {
  if (!fp_out) return;
  write_banner(fp_out);
  write_module_line(fp_out, pvdd, pgnd);

  write_inputs(fp_out, pvdd, pgnd);
  fputs(" Output input \n", stdout);

  write_outputs(fp_out);
  fputs(" Output output \n", stdout);

  const NameText as_read = [](const char* s) { return text(s); };
  write_wires(fp_out, as_read, nullptr);
  fputs(" Output wire \n", stdout);

  write_instances(fp_out, as_read);
  fputs(" Output cmos_gates \n", stdout);
  fputs(" Output subcircuit \n", stdout);

  write_elements(fp_out, as_read);
}
