#!/usr/bin/env python3
"""Generates a design made of library cells, for measuring cell recognition.

The library is the standard cells of a cell folder (transistor netlists in
spice/, functional models in functional/) that are combinational and drive
their outputs, plus cells of its own: 3 to 8 random static CMOS gates each,
written as transistors in the same style. Cells are placed at random and
wired as a DAG; every output of a placed cell is read by at least READERS
cells (the last cells' outputs are read by sink cells, whose outputs are the
design's outputs), so that no two placed cells together form another cell.

Writes into OUT:
  lib.sp         the library, one .subckt per cell (give it as --library)
  design.sp      the design: top cell of X calls (--hier, with .include of
                 lib.sp) or flattened to transistors (--flat)
  placements.txt one line per placed cell: instance cell pin=net ...
  reference.v    the design at cell level in Verilog (module TOP_ref)
"""
import argparse
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


class Cell:
    def __init__(self, name, inputs, outputs, body, model, mosfets):
        self.name, self.inputs, self.outputs = name, inputs, outputs
        self.body = body  # device lines, pins in cell terms
        self.model = model  # Verilog module text (reference)
        self.mosfets = mosfets
        self.inner_readers = 1  # most readers of a net inside the cell, estimated


def read_folder_cells(folder):
    cells = []
    spice = os.path.join(folder, "spice")
    for fn in sorted(os.listdir(spice)):
        if SKIP.search(fn):
            continue
        text = open(os.path.join(spice, fn)).read()
        m = re.search(r"^\.subckt\s+(\S+)\s+(.*)$", text, re.M)
        name, ports = m.group(1), m.group(2).split()
        vg, vp = ports.index("VGND"), ports.index("VPWR")
        inputs, outputs = ports[:vg], ports[vp + 1:]
        body = [l for l in text[m.end():].splitlines() if l.startswith("X")]
        base = re.sub(r"^sky130_fd_sc_hd__", "", re.sub(r"_\d+$", "", name))
        cell = Cell(name, inputs, outputs, body, reference_model(folder, name, base, inputs, outputs), len(body))
        cell.inner_readers = inner_readers(body, set(ports))
        cell.header = text[:m.start()]
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
    cell = Cell(name, inputs, out_names, body, text, len(body))
    cell.inner_readers = max([list(sum((g[1] for g in gates), [])).count(g[2]) for g in gates] + [1])
    cell.header = ""
    return cell


def verilog_expr(expr, pins):
    if isinstance(expr, int):
        return pins[expr]
    return "(" + (" %s " % expr[0]).join(verilog_expr(c, pins) for c in expr[1:]) + ")"


def shape(cell):
    return cell.body


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--cells", required=True, help="cell folder (spice/, functional/)")
    ap.add_argument("--mosfets", type=int, default=10000)
    ap.add_argument("--own", type=int, default=20, help="number of own random cells")
    ap.add_argument("--readers", type=int, default=0, help="readers per output (default: 1 + the most readers of a net inside any cell, at least 2)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--top", default="cells_top")
    mode = ap.add_mutually_exclusive_group()
    mode.add_argument("--flat", action="store_true", help="flatten to transistors (default)")
    mode.add_argument("--hier", action="store_true", help="X calls to the library cells")
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    rng = random.Random(args.seed)

    library = read_folder_cells(args.cells)
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
    readers = args.readers or max(2, 1 + max(c.inner_readers for c in library))

    os.makedirs(args.out, exist_ok=True)
    with open(os.path.join(args.out, "lib.sp"), "w") as f:
        header = next((c.header for c in library if c.header), "")
        f.write(header)
        for c in library:
            f.write(".subckt %s %s %s %s\n" % (c.name, " ".join(c.inputs), " ".join(RAILS), " ".join(c.outputs)))
            f.write("\n".join(c.body) + "\n.ends\n\n")

    # Placement: every input reads an output still short of readers when
    # there is one (most of the time), else any earlier net.
    n_pi = max(8, args.mosfets // 400)
    pis = ["pi%d" % i for i in range(n_pi)]
    nets = list(pis)
    needy = []  # outputs read by fewer than `readers` cells (needy_at: their places)
    reads = {}
    placed = []
    total = 0

    def place(cell, sink):
        pins = {}
        used = set()
        for p in cell.inputs:
            for _ in range(20):
                if needy and rng.random() < (1.0 if sink else 0.7):
                    pick = rng.choice(needy)
                else:
                    pick = rng.choice(nets)
                if pick not in used:
                    break
            else:
                pick = next(n for n in nets if n not in used)
            used.add(pick)
            pins[p] = pick
            reads[pick] = reads.get(pick, 0) + 1
            if reads[pick] >= readers and pick in needy_at:
                # swap-remove: the list is long on large designs
                at = needy_at.pop(pick)
                last = needy.pop()
                if last != pick:
                    needy[at] = last
                    needy_at[last] = at
        inst = "u%d" % len(placed)
        for p in cell.outputs:
            pins[p] = "%s_%s" % (inst, p.lower())
        placed.append((inst, cell, pins, sink))
        return [pins[p] for p in cell.outputs]

    needy_at = {}
    # The sinks that read what is left count towards the size.
    per_input = sum(c.mosfets / len(c.inputs) for c in library) / len(library)
    while total + len(needy) * per_input < args.mosfets:
        cell = rng.choice(library)
        outs = place(cell, False)
        total += cell.mosfets
        nets.extend(outs)
        for o in outs:
            needy_at[o] = len(needy)
            needy.append(o)
    # Sinks read what is still short of readers; their outputs are the design's.
    multi = [c for c in library if len(c.inputs) >= 2]
    pos = []
    while needy:
        cell = rng.choice(multi)
        pos.extend(place(cell, True))
        total += cell.mosfets

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
    with open(os.path.join(args.out, "reference.v"), "w") as f:
        for c in library:
            f.write(c.model + "\n")
        f.write("module %s_ref (%s);\n" % (args.top, ", ".join(ports)))
        f.write("".join("  input %s;\n" % p for p in pis) + "".join("  output %s;\n" % p for p in pos))
        pos_set = set(pos)
        for inst, cell, pins, _ in placed:
            for p in cell.outputs:
                if pins[p] not in pos_set:
                    f.write("  wire %s;\n" % pins[p])
        for inst, cell, pins, _ in placed:
            f.write("  ref_%s %s (%s);\n" % (cell.name, inst, ", ".join(".%s(%s)" % (p, pins[p]) for p in cell.inputs + cell.outputs)))
        f.write("endmodule\n")
    sys.stderr.write("%d cells (%d sinks), %d MOSFETs, %d inputs, %d outputs, %d readers per output\n" %
                     (len(placed), sum(1 for p in placed if p[3]), total, len(pis), len(pos), readers))


if __name__ == "__main__":
    main()
