#!/usr/bin/env python3
"""The generator of decks in a layout extraction's style writes files that
agree with each other, and the cell checker counts what a netlist reports.

  extracted_design_test.py BENCH_FOLDER SHARED_FOLDER

Exits 77 (skipped) when SHARED_FOLDER holds no cell folder.
"""
import filecmp
import os
import re
import subprocess
import sys
import tempfile

bench, shared = sys.argv[1], sys.argv[2]
cells_dir = os.path.join(shared, "cells")
if not os.path.isdir(os.path.join(cells_dir, "spice")):
    print("no cell folder at %s: skipped" % cells_dir)
    sys.exit(77)
failures = []


def expect(ok, what):
    if not ok:
        failures.append(what)


def generate(out, seed):
    subprocess.run([sys.executable, os.path.join(bench, "gen_design.py"), "--cells", cells_dir, "--mosfets", "2000",
                    "--seed", str(seed), "--ties", "0.05", "--extracted", "--out", out], check=True, capture_output=True)


def subckts(text):
    """[(name, ports, body lines)] in file order."""
    found = []
    for m in re.finditer(r"^\.subckt\s+(\S+)([^\n]*(?:\n\+[^\n]*)*)\n(.*?)^\.ends", text, re.M | re.S):
        ports = m.group(2).replace("\n+", " ").split()
        body = [l for l in m.group(3).splitlines() if l and not l.startswith("*")]
        found.append((m.group(1), ports, body))
    return found


def read_placements(path):
    rows = []
    for line in open(path):
        w = line.split()
        rows.append((w[0], w[1], w[2], [tuple(p.split("=", 1)) for p in w[3:]]))
    return rows


def verilog(name):
    return name if re.fullmatch(r"[A-Za-z_]\w*", name) else "\\%s " % name


def netlist(rows, top="top"):
    """A netlist reporting ROWS (instance, cell, [(pin, net)]) as instances."""
    lines = ["module %s ();" % top]
    for inst, cell, pins in rows:
        lines.append("%s %s ( %s );" % (cell, verilog(inst), ", ".join(".%s(%s)" % (p, verilog(n)) for p, n in pins)))
    return "\n".join(lines + ["endmodule", ""])


def check(lib, placements, text, *options):
    path = os.path.join(work, "out.v")
    open(path, "w").write(text)
    r = subprocess.run([sys.executable, os.path.join(bench, "check_cells.py")] + list(options) + [lib, placements, path],
                       capture_output=True, text=True)
    totals = next(l for l in r.stdout.splitlines() if l.startswith("all "))
    return tuple(int(x) for x in totals.split()[2:]), r.returncode


with tempfile.TemporaryDirectory() as work:
    out = os.path.join(work, "design")
    generate(out, 5)

    # The deck: black-box entries first, every called cell defined in the library
    # with as many pins as the call has nodes, rails named other than the cells'.
    deck = subckts(open(os.path.join(out, "design.spice")).read())
    library = {name: ports for name, ports, _ in subckts(open(os.path.join(out, "cells.spice")).read())}
    *boxes, (top, top_ports, calls) = deck
    expect(all(not body for _, _, body in boxes), "black-box entries are empty")
    boxed = {name for name, _, _ in boxes}
    calls = [c.split() for c in calls]
    for w in calls:
        cell = w[-1]
        expect(cell in library, "%s is in cells.spice" % cell)
        expect(cell in boxed, "%s has a black-box entry" % cell)
        expect(len(w) - 2 == len(library.get(cell, [])), "%s calls %s with all its pins" % (w[0], cell))
    expect({"vccd1", "vssd1"} <= set(top_ports), "the top's rails are ports")
    expect(not any(n in ("VPWR", "VGND", "VPB", "VNB") for w in calls for n in w[1:-1]), "no call names the cells' rails")

    # The placements: one per call, pin for pin; every kind of cell is there.
    rows = read_placements(os.path.join(out, "placements.txt"))
    expect(len(rows) == len(calls), "one placement per call")
    for (inst, cell, kind, pins), w in zip(rows, calls):
        expect([inst, cell] == [w[0], w[-1]] and [n for _, n in pins] == w[1:-1], "placement %s is its call" % inst)
    logic = [r for r in rows if r[2] == "logic"]
    cells_used = {r[1] for r in rows}
    for pattern in ("conb_1", "diode_2", "decap_", "fill_", "tapvpwrvgnd_1", "inv_", "buf_", "nor2_", "mux2_"):
        expect(any(pattern in c for c in cells_used), "the design uses %s" % pattern)
    expect(all(r[0].startswith("XANTENNA_") for r in rows if "diode" in r[1]), "antenna diodes are named so")
    tie_nets = {n for r in logic if "conb" in r[1] for p, n in r[3] if p in ("HI", "LO")}
    read_nets = {n for r in logic if "conb" not in r[1] for p, n in r[3] if p not in ("VGND", "VNB", "VPB", "VPWR")}
    expect(tie_nets and tie_nets <= read_nets, "every tie output feeds a logic input")

    # The reference: one instance per logic placement, of a model of its cell.
    ref = open(os.path.join(out, "reference.v")).read()
    body = ref[ref.index("module ref_top"):]
    instances = re.findall(r"^\s+ref_(\S+)\s+(\S+)\s*\(", body, re.M)
    expect(sorted(instances) == sorted((r[1], r[0]) for r in logic), "reference.v instances are the logic placements")

    # A seed gives one design.
    again = os.path.join(work, "again")
    generate(again, 5)
    for f in ("design.spice", "cells.spice", "placements.txt", "reference.v"):
        expect(filecmp.cmp(os.path.join(out, f), os.path.join(again, f), shallow=False), "%s is the same for a seed" % f)

    # The checker: (as placed, as another cell, missed, reported not placed).
    lib, placements = os.path.join(out, "cells.spice"), os.path.join(out, "placements.txt")
    perfect = [(inst, cell, pins) for inst, cell, _, pins in logic]
    n = len(perfect)
    got, rc = check(lib, placements, netlist(perfect))
    expect(got == (n, 0, 0, 0) and rc == 0, "a perfect netlist is all found: %s" % (got,))

    def with_row(i, row):
        return netlist(perfect[:i] + [row] + perfect[i + 1:])

    two_inputs = next(i for i, (_, cell, _) in enumerate(perfect) if "nor2_" in cell)
    inst, cell, pins = perfect[two_inputs]
    swapped = [(pins[1][0], pins[0][1]), (pins[0][0], pins[1][1])] + pins[2:]
    # Another cell of the library with the same pins: another drive strength.
    buffer, other = next((i, c) for i, (_, cell, _) in enumerate(perfect) for c in sorted(library)
                         if c != cell and library[c] == library[cell])
    b_inst, b_cell, b_pins = perfect[buffer]
    cases = [
        ("a plain instance name", netlist([(i.lstrip("\\"), c, p) for i, c, p in perfect]), (), (n, 0, 0, 0)),
        ("another instance name", with_row(two_inputs, ("U1", cell, pins)), (), (n - 1, 1, 0, 0)),
        ("inputs permuted", with_row(two_inputs, (inst, cell, swapped)), (), (n - 1, 1, 0, 0)),
        ("inputs permuted, loosely", with_row(two_inputs, (inst, cell, swapped)), ("--loose",), (n, 0, 0, 0)),
        ("another cell", with_row(buffer, (b_inst, other, b_pins)), (), (n - 1, 1, 0, 0)),
        ("a rail on another net", with_row(two_inputs, (inst, cell, [(p, "vssd1" if p == "VPB" else x) for p, x in pins])), (),
         (n - 1, 1, 0, 0)),
        ("a cell left out", netlist(perfect[:-1]), (), (n - 1, 0, 1, 0)),
        ("a cell reported twice", netlist(perfect + perfect[-1:]), (), (n, 0, 0, 1)),
        ("a cell driving another net", netlist(perfect + [("X_new_", cell, pins[:-1] + [(pins[-1][0], "fresh")])]), (),
         (n, 0, 0, 1)),
    ]
    for what, text, options, want in cases:
        got, rc = check(lib, placements, text, *options)
        expect(got == want and (rc == 0) == (want == (n, 0, 0, 0)), "%s: %s, wanted %s" % (what, got, want))

    # The real extraction's placements mark logic and non-logic cells.
    real = os.path.join(shared, "designs", "fuserisc")
    if os.path.isdir(real):
        rows = read_placements(os.path.join(real, "placements.txt"))
        perfect = [(inst, cell, pins) for inst, cell, kind, pins in rows if kind == "logic"]
        got, rc = check(os.path.join(real, "cells.spice"), os.path.join(real, "placements.txt"), netlist(perfect))
        expect(got == (len(perfect), 0, 0, 0) and rc == 0, "the real design's perfect netlist is all found: %s" % (got,))

for f in failures:
    print("FAILED: " + f)
sys.exit(1 if failures else 0)
