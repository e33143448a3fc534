#!/usr/bin/env python3
"""Generates a design made of library cells, for measuring cell recognition.

Cells are placed at random and wired as a DAG; every output of a placed cell
is read by at least READERS cells (the last cells' outputs are read by sink
cells, whose outputs are the design's outputs), so that no two placed cells
together form another cell.

--flat, --hier: the combinational cells of a cell folder (transistor netlists
in spice/, functional models in functional/) that drive their outputs, plus
cells of its own: 3 to 8 random static CMOS gates each, written as
transistors in the same style. Writes into OUT:
  lib.sp         the library, one .subckt per cell (give it as --library)
  design.sp      the design: top cell of X calls (--hier, with .include of
                 lib.sp) or flattened to transistors (--flat)
  placements.txt one line per placed cell: instance cell pin=net ...
  reference.v    the design at cell level in Verilog (module TOP_ref)

--extracted: a top as a layout extraction writes it for LVS, calling the
folder's cells at all their drive strengths: the primary inputs through
input buffers (Xinput<k>), logic cells X_<n>_, tie cells whose HI and LO feed
logic inputs, antenna diodes on logic nets (XANTENNA_<reader>_<pin>), decaps,
fills and taps; the top's rails (--power, --ground) are named other than the
cells' and the bulks are tied to them. Writes into OUT:
  design.spice   an empty black-box .subckt per used cell, then the top
  cells.spice    the transistor netlist of every used cell, headers kept (-l)
  placements.txt one line per call: instance cell logic|nonlogic PIN=net ...
  reference.v    the logic cells at cell level (module ref_top), tie cells
                 as constants
"""
import argparse
import math
import os
import random
import re
import sys

NFET = "sky130_fd_pr__nfet_01v8"
PFET = "sky130_fd_pr__pfet_01v8_hvt"
RAILS = ("VGND", "VNB", "VPB", "VPWR")
# Tristate outputs and sequential cells do not fit a DAG of driven nets.
SKIP = re.compile(r"(ebufn|einvp|dfrtp|dfxtp|dlxtp)")
# Functional models built on primitives that the folder does not hold.
OWN_MODELS = {
    "mux2": "assign X = S ? A1 : A0;",
    "mux4": "assign X = S1 ? (S0 ? A3 : A2) : (S0 ? A1 : A0);",
    "conb": "assign HI = 1'b1;\n  assign LO = 1'b0;",
}

# Own gates: pull-down network as nested ('&' | '|', children...) over input
# positions; the output is its complement.
GATES = {
    "INV": 0,
    "NAND2": ("&", 0, 1),
    "NOR2": ("|", 0, 1),
    "NAND3": ("&", 0, 1, 2),
    "NOR3": ("|", 0, 1, 2),
    "AOI21": ("|", ("&", 0, 1), 2),
    "OAI21": ("&", ("|", 0, 1), 2),
    "AOI22": ("|", ("&", 0, 1), ("&", 2, 3)),
    "OAI22": ("&", ("|", 0, 1), ("|", 2, 3)),
}


def arity(expr):
    return 1 if isinstance(expr, int) else sum(arity(c) for c in expr[1:])


def dual(expr):
    if isinstance(expr, int):
        return expr
    return ("|" if expr[0] == "&" else "&",) + tuple(dual(c) for c in expr[1:])


def is_mosfet(line):
    # The device name is the last word before the parameters.
    return "fet" in [w for w in line.split()[1:] if "=" not in w][-1].lower()


class Cell:
    def __init__(self, name, ports, body, model):
        self.name, self.ports = name, ports
        vg, vp = ports.index("VGND"), ports.index("VPWR")
        self.inputs, self.outputs = ports[:vg], ports[vp + 1:]
        self.body = body  # device lines, pins in cell terms
        self.model = model  # Verilog module text (reference)
        self.mosfets = sum(1 for line in body if is_mosfet(line))
        self.inner_readers = 1  # most readers of a net inside the cell, estimated
        self.header = ""
        self.text = ""  # the cell's file as read: header, then the .subckt

    @property
    def kind(self):
        if self.outputs:
            return "logic" if self.inputs else "tie"
        return "nonlogic"


def read_folder_cells(folder):
    cells = []
    spice = os.path.join(folder, "spice")
    for fn in sorted(os.listdir(spice)):
        if SKIP.search(fn):
            continue
        text = open(os.path.join(spice, fn)).read()
        m = re.search(r"^\.subckt\s+(\S+)\s+(.*)$", text, re.M)
        name, ports = m.group(1), m.group(2).split()
        body = [l for l in text[m.end():].splitlines() if l.startswith("X")]
        cell = Cell(name, ports, body, "")
        if cell.outputs:
            base = re.sub(r"^sky130_fd_sc_hd__", "", re.sub(r"_\d+$", "", name))
            cell.model = reference_model(folder, name, base, cell.inputs, cell.outputs)
            cell.inner_readers = inner_readers(body, set(ports))
        cell.header = text[:m.start()]
        cell.text = text
        cells.append(cell)
    return cells


def inner_readers(body, ports):
    # Stage inputs on a net inside the cell, about half its MOSFET gates once
    # parallel fingers count as one.
    seen, gates = set(), {}
    for line in body:
        d, g, s = line.split()[1:4]
        key = (g, min(d, s), max(d, s), line.split()[5])
        if key in seen:
            continue
        seen.add(key)
        if g not in ports:
            gates[g] = gates.get(g, 0) + 1
    return max([(v + 1) // 2 for v in gates.values()] + [1])


def reference_model(folder, name, base, inputs, outputs):
    ports = ", ".join(outputs + inputs)
    decl = "".join("  input %s;\n" % p for p in inputs) + "".join("  output %s;\n" % p for p in outputs)
    if base in OWN_MODELS:
        return "module ref_%s (%s);\n%s  %s\nendmodule\n" % (name, ports, decl, OWN_MODELS[base])
    text = open(os.path.join(folder, "functional", "sky130_fd_sc_hd__%s.functional.v" % base)).read()
    m = re.search(r"^module\s+\S+\s*\((.*?)^endmodule", text, re.M | re.S)
    return "module ref_%s (%s\nendmodule\n" % (name, m.group(1))


def own_cell(rng, index):
    """A random cell of 3 to 8 gates; every gate after the first reads an
    earlier gate's output, so the cell is one piece."""
    while True:
        ngates = rng.randint(3, 8)
        ninputs = rng.randint(2, 5)
        inputs = [chr(ord("A") + i) for i in range(ninputs)]
        gates, reads = [], {}
        for j in range(ngates):
            kind = rng.choice(list(GATES))
            k = arity(GATES[kind]) if GATES[kind] != 0 else 1
            earlier = ["n%d" % i for i in range(j)]
            pins = []
            if j > 0:
                pins.append(rng.choice(earlier))
            while len(pins) < k:
                pick = rng.choice(inputs + earlier)
                if pick not in pins:
                    pins.append(pick)
                elif len(set(inputs + earlier)) <= len(pins):
                    break
            if len(pins) < k:
                break
            rng.shuffle(pins)
            for p in pins:
                reads[p] = reads.get(p, 0) + 1
            gates.append((kind, pins, "n%d" % j))
        if len(gates) < ngates or any(i not in reads for i in inputs):
            continue
        if max([reads.get(g[2], 0) for g in gates]) > 2:
            continue
        outs = [g[2] for g in gates if g[2] not in reads]
        break
    name = "cellgen_%02d" % index
    out_names = ["Y%d" % i for i in range(len(outs))]
    rename = dict(zip(outs, out_names))
    gates = [(k, [rename.get(p, p) for p in pins], rename.get(o, o)) for k, pins, o in gates]
    body, model = [], []
    count = [0]

    def net(expr, pins, a, b, fet, bulk, tag):
        if isinstance(expr, int):
            body.append("X%d %s %s %s %s %s w=420000u l=150000u" % (count[0], a, pins[expr], b, bulk, fet))
            count[0] += 1
        elif expr[0] == "|":
            # Each parallel arm gets its own stack nodes: shared ones would
            # bridge the arms into another function.
            for i, c in enumerate(expr[1:]):
                net(c, pins, a, b, fet, bulk, "%s_p%d" % (tag, i))
        else:
            nodes = [a] + ["%s_%d" % (tag, i) for i in range(len(expr) - 2)] + [b]
            for i, c in enumerate(expr[1:]):
                net(c, pins, nodes[i], nodes[i + 1], fet, bulk, "%s_%d" % (tag, i))

    for j, (kind, pins, out) in enumerate(gates):
        expr = GATES[kind] if GATES[kind] != 0 else 0
        net(expr, pins, out, "VGND", NFET, "VNB", "sn%d" % j)
        net(dual(expr), pins, out, "VPWR", PFET, "VPB", "sp%d" % j)
        model.append("  assign %s = ~(%s);" % (out, verilog_expr(expr, pins)))
    wires = [g[2] for g in gates if g[2] not in out_names]
    decl = "".join("  input %s;\n" % p for p in inputs) + "".join("  output %s;\n" % p for p in out_names)
    decl += "".join("  wire %s;\n" % w for w in wires)
    text = "module ref_%s (%s);\n%s%s\nendmodule\n" % (name, ", ".join(out_names + inputs), decl, "\n".join(model))
    cell = Cell(name, inputs + list(RAILS) + out_names, body, text)
    cell.inner_readers = max([list(sum((g[1] for g in gates), [])).count(g[2]) for g in gates] + [1])
    return cell


def verilog_expr(expr, pins):
    if isinstance(expr, int):
        return pins[expr]
    return "(" + (" %s " % expr[0]).join(verilog_expr(c, pins) for c in expr[1:]) + ")"


class Wiring:
    """Wires placed cells as a DAG: every input reads a net still short of
    its readers when there is one (most of the time), else any earlier net."""

    def __init__(self, rng, readers, nets):
        self.rng, self.readers = rng, readers
        self.nets = list(nets)  # the nets an input may read
        self.needy, self.needy_at = [], {}  # nets short of readers, and their places
        self.want, self.reads = {}, {}
        self.placed = []  # (instance, cell, pins, sink)

    def pick(self, used, sink):
        for _ in range(20):
            if self.needy and self.rng.random() < (1.0 if sink else 0.7):
                pick = self.rng.choice(self.needy)
            else:
                pick = self.rng.choice(self.nets)
            if pick not in used:
                return pick
        return next(n for n in self.nets if n not in used)

    def read(self, net):
        self.reads[net] = self.reads.get(net, 0) + 1
        if net in self.needy_at and self.reads[net] >= self.want[net]:
            # swap-remove: the list is long on large designs
            at = self.needy_at.pop(net)
            last = self.needy.pop()
            if last != net:
                self.needy[at] = last
                self.needy_at[last] = at

    def place(self, inst, cell, outs, sink=False, want=0, fixed=None):
        """Places CELL driving OUTS (pin: net); its inputs read FIXED nets or
        picked ones. Outputs that WANT readers become nets to read."""
        pins = {}
        for p in cell.inputs:
            pins[p] = fixed[p] if fixed else self.pick(set(pins.values()), sink)
            self.read(pins[p])
        pins.update(outs)
        self.placed.append((inst, cell, pins, sink))
        if want:
            for net in outs.values():
                self.nets.append(net)
                self.want[net] = want
                self.needy_at[net] = len(self.needy)
                self.needy.append(net)
        return pins


def place_logic(rng, wiring, pool, budget, total, inst_name, net_name, output_name, ties=(), tie_rate=0.0):
    """Places cells of POOL (now and then a tie cell, whose outputs want one
    reader) until the MOSFETs, with the sinks that will read what is left,
    reach BUDGET; then sinks read every net still short of readers. Returns
    the design's outputs and the MOSFET total."""
    per_input = sum(c.mosfets / len(c.inputs) for c in pool) / len(pool)
    while total + len(wiring.needy) * per_input < budget:
        tie = ties and rng.random() < tie_rate
        cell = rng.choice(ties if tie else pool)
        inst = inst_name(len(wiring.placed))
        wiring.place(inst, cell, {p: net_name(inst, p) for p in cell.outputs}, want=1 if tie else wiring.readers)
        total += cell.mosfets
    multi = [c for c in pool if len(c.inputs) >= 2]
    pos = []
    while wiring.needy:
        cell = rng.choice(multi)
        inst = inst_name(len(wiring.placed))
        outs = {p: output_name(inst, p, len(pos) + i) for i, p in enumerate(cell.outputs)}
        wiring.place(inst, cell, outs, sink=True)
        pos.extend(outs.values())
        total += cell.mosfets
    return pos, total


def default_readers(pool):
    return max(2, 1 + max(c.inner_readers for c in pool))


def verilog_name(name):
    return name if re.fullmatch(r"[A-Za-z_][\w$]*", name) else "\\%s " % name


def write_reference(path, models, module, pis, pos, instances):
    """The design at cell level: MODELS, then MODULE of INSTANCES
    (instance, cell, pins) reading PIS and driving POS."""
    pos_set = set(pos)
    with open(path, "w") as f:
        for m in models:
            f.write(m + "\n")
        f.write("module %s (%s);\n" % (module, ", ".join(verilog_name(p) for p in pis + pos)))
        f.write("".join("  input %s;\n" % verilog_name(p) for p in pis))
        f.write("".join("  output %s;\n" % verilog_name(p) for p in pos))
        for inst, cell, pins in instances:
            for p in cell.outputs:
                if pins[p] not in pos_set:
                    f.write("  wire %s;\n" % verilog_name(pins[p]))
        for inst, cell, pins in instances:
            f.write("  ref_%s %s (%s);\n" % (cell.name, verilog_name(inst),
                                            ", ".join(".%s(%s)" % (p, verilog_name(pins[p])) for p in cell.inputs + cell.outputs)))
        f.write("endmodule\n")


def generated(args, rng, library):
    """The flat or hierarchical design of the folder's cells and own cells."""
    seen = {tuple(sorted(c.body)) for c in library}
    index = 0
    while index < args.own:
        cell = own_cell(rng, index)
        key = tuple(sorted(cell.body))
        if key in seen:
            continue
        seen.add(key)
        library.append(cell)
        index += 1
    readers = args.readers or default_readers(library)

    with open(os.path.join(args.out, "lib.sp"), "w") as f:
        header = next((c.header for c in library if c.header), "")
        f.write(header)
        for c in library:
            f.write(".subckt %s %s\n" % (c.name, " ".join(c.ports)))
            f.write("\n".join(c.body) + "\n.ends\n\n")

    pis = ["pi%d" % i for i in range(max(8, args.mosfets // 400))]
    wiring = Wiring(rng, readers, pis)
    net = lambda inst, p: "%s_%s" % (inst, p.lower())
    pos, total = place_logic(rng, wiring, library, args.mosfets, 0, lambda n: "u%d" % n, net,
                             lambda inst, p, k: net(inst, p))
    placed = wiring.placed

    ports = pis + pos
    with open(os.path.join(args.out, "placements.txt"), "w") as f:
        for inst, cell, pins, _ in placed:
            f.write("%s %s %s\n" % (inst, cell.name, " ".join("%s=%s" % (p, pins[p]) for p in cell.inputs + cell.outputs)))
    with open(os.path.join(args.out, "design.sp"), "w") as f:
        f.write("* generated cell design: %d cells, %d MOSFETs\n" % (len(placed), total))
        if args.hier:
            f.write(".include lib.sp\n")
        words = ports + ["VPWR", "VGND"]
        f.write(".subckt %s %s\n" % (args.top, "\n+ ".join(" ".join(words[i:i + 16]) for i in range(0, len(words), 16))))
        rail = {"VGND": "VGND", "VNB": "VGND", "VPB": "VPWR", "VPWR": "VPWR"}
        for inst, cell, pins, _ in placed:
            if args.hier:
                f.write("x%s %s %s %s %s\n" % (inst, " ".join(pins[p] for p in cell.inputs), " ".join(rail[r] for r in RAILS),
                                              " ".join(pins[p] for p in cell.outputs), cell.name))
                continue
            for line in cell.body:
                w = line.split()
                terms = [pins.get(t) or rail.get(t) or "%s/%s" % (inst, t) for t in w[1:5]]
                f.write("x%s/%s %s %s\n" % (inst, w[0], " ".join(terms), " ".join(w[5:])))
        f.write(".ends\n")
    write_reference(os.path.join(args.out, "reference.v"), [c.model for c in library], args.top + "_ref", pis, pos,
                    [p[:3] for p in placed])
    sys.stderr.write("%d cells (%d sinks), %d MOSFETs, %d inputs, %d outputs, %d readers per output\n" %
                     (len(placed), sum(1 for p in placed if p[3]), total, len(pis), len(pos), readers))


def extracted(args, rng, cells):
    """The design as a layout extraction writes it, of the folder's cells."""
    pool = [c for c in cells if c.kind == "logic"]
    ties = [c for c in cells if c.kind == "tie"]
    diodes = [c for c in cells if c.inputs and not c.outputs]
    empty = [c for c in cells if not c.inputs and not c.outputs]
    decaps = [c for c in empty if c.mosfets]
    taps = [c for c in empty if not c.mosfets and "tap" in c.name]
    fills = [c for c in empty if not c.mosfets and c not in taps]
    buffers = [c for c in pool if re.search(r"(^|_)(clk)?buf_\d+$", c.name)] or \
        [c for c in pool if len(c.inputs) == 1 and len(c.outputs) == 1]
    readers = args.readers or default_readers(pool)
    rail = {"VGND": args.ground, "VNB": args.ground, "VPB": args.power, "VPWR": args.power}

    # Input buffers read the primary inputs; the logic reads only them.
    wiring = Wiring(rng, readers, [])
    net = lambda inst, p: "%s/%s" % (inst[1:], p)
    pis = ["io_in[%d]" % i for i in range(max(8, args.mosfets // 400))]
    total = 0
    for k, pi in enumerate(pis):
        cell = rng.choice(buffers)
        inst = "Xinput%d" % (k + 1)
        wiring.place(inst, cell, {p: net(inst, p) for p in cell.outputs}, want=readers, fixed={cell.inputs[0]: pi})
        total += cell.mosfets
    budget = args.mosfets * (1 - args.filler) if decaps else args.mosfets
    pos, total = place_logic(rng, wiring, pool, budget, total, lambda n: "X_%03d_" % n, net,
                             lambda inst, p, k: "io_out[%d]" % k, ties, args.ties)
    logic = [(inst, cell, pins, "logic") for inst, cell, pins, _ in wiring.placed]

    calls = []  # (instance, cell, signal pins)
    reads = [(inst, p, pins[p]) for inst, cell, pins, _ in logic for p in cell.inputs]
    for inst, p, n in rng.sample(reads, min(len(reads), int(args.antennas * len(logic)))) if diodes else ():
        diode = rng.choice(diodes)
        calls.append(("XANTENNA_%s_%s" % (inst[1:], p), diode, {diode.inputs[0]: n}))
    calls.extend(("XTAP_%d" % (i + 1), rng.choice(taps), {}) for i in range(len(logic) // 8 if taps else 0))
    # Decaps up to the size, and a fill per four of them.
    fillers = []
    while decaps and total < args.mosfets:
        fillers.append(rng.choice(decaps))
        total += fillers[-1].mosfets
    fillers.extend(rng.choice(fills) for _ in range(len(fillers) // 4 if fills else 0))
    # The k-th filler stands in row k mod ROWS, in the k // ROWS-th stretch of it.
    rows = math.isqrt(len(logic)) // 2 + 1
    calls.extend(("XFILLER_%d_%d" % (k % rows, k // rows * 8 + rng.randrange(8)), cell, {}) for k, cell in enumerate(fillers))
    calls = logic + [(inst, cell, pins, "nonlogic") for inst, cell, pins in calls]
    rng.shuffle(calls)

    with open(os.path.join(args.out, "design.spice"), "w") as f:
        f.write("* NGSPICE file created from %s.ext - technology: sky130A\n\n" % args.top)
        used = {}
        for _, cell, _, _ in calls:
            used.setdefault(cell.name, cell)
        for cell in used.values():
            f.write("* Black-box entry subcircuit for %s abstract view\n.subckt %s %s\n.ends\n\n" %
                    (cell.name, cell.name, " ".join(cell.ports)))
        ports = sorted(pis + pos + [args.power, args.ground])
        f.write(".subckt %s %s\n" % (args.top, "\n+ ".join(" ".join(ports[i:i + 4]) for i in range(0, len(ports), 4))))
        for inst, cell, pins, _ in calls:
            f.write("%s %s %s\n" % (inst, " ".join(pins.get(p) or rail[p] for p in cell.ports), cell.name))
        f.write(".ends\n\n")
    with open(os.path.join(args.out, "cells.spice"), "w") as f:
        f.write("\n".join(used[n].text for n in sorted(used)))
    with open(os.path.join(args.out, "placements.txt"), "w") as f:
        for inst, cell, pins, kind in calls:
            f.write("%s %s %s %s\n" % (inst, cell.name, kind, " ".join("%s=%s" % (p, pins.get(p) or rail[p]) for p in cell.ports)))
    models = [used[n].model for n in sorted(used) if used[n].outputs]
    write_reference(os.path.join(args.out, "reference.v"), models, "ref_top", pis, pos, [c[:3] for c in logic])
    count = lambda kind: sum(1 for c in calls if c[1].kind == kind)
    sys.stderr.write("%d calls (%d logic, %d tie, %d sinks, %d non-logic), %d MOSFETs, %d inputs, %d outputs, %d readers per output\n" %
                     (len(calls), count("logic"), count("tie"), sum(1 for p in wiring.placed if p[3]), count("nonlogic"),
                      total, len(pis), len(pos), readers))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--cells", required=True, help="cell folder (spice/, functional/)")
    ap.add_argument("--mosfets", type=int, default=10000)
    ap.add_argument("--own", type=int, default=20, help="number of own random cells (--flat, --hier)")
    ap.add_argument("--readers", type=int, default=0, help="readers per output (default: 1 + the most readers of a net inside any cell, at least 2)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--top", default="cells_top")
    mode = ap.add_mutually_exclusive_group()
    mode.add_argument("--flat", action="store_true", help="flatten to transistors (default)")
    mode.add_argument("--hier", action="store_true", help="X calls to the library cells")
    mode.add_argument("--extracted", action="store_true", help="as a layout extraction writes it")
    ap.add_argument("--power", default="vccd1", help="the top's supply (--extracted)")
    ap.add_argument("--ground", default="vssd1", help="the top's ground (--extracted)")
    ap.add_argument("--ties", type=float, default=0.01, help="tie cells per logic cell (--extracted)")
    ap.add_argument("--antennas", type=float, default=0.25, help="antenna diodes per logic cell (--extracted)")
    ap.add_argument("--filler", type=float, default=0.3, help="share of the MOSFETs in decaps (--extracted)")
    ap.add_argument("--leave-out", metavar="REGEX", help="the folder's cells whose names match are not used")
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    cells = [c for c in read_folder_cells(args.cells) if not (args.leave_out and re.search(args.leave_out, c.name))]
    os.makedirs(args.out, exist_ok=True)
    if args.extracted:
        extracted(args, rng, cells)
    else:
        # Only cells that read and drive nets fit the DAG.
        generated(args, rng, [c for c in cells if c.kind == "logic"])


if __name__ == "__main__":
    main()
