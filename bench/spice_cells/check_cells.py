#!/usr/bin/env python3
"""Compares the cells a written netlist reports with the cells placed.

  check_cells.py [--loose] LIB.sp PLACEMENTS.txt NETLIST.v

PLACEMENTS holds a line per placed cell: instance, cell, optionally `logic`
or `nonlogic`, then PIN=net. Cells marked nonlogic, or unmarked cells that
drive nothing, are left out. A reported instance (an instance of a module
named after a library cell that drives something) is matched with the placed
cell that drives the same output nets. It is found as placed when it is the
same cell, with the placement's net on every pin the placement names and the
same instance name (plain or escaped); otherwise it is found as another cell,
for the first reason that applies: another cell, inputs permuted, other pins,
another name. With --loose the instance name does not count and the input
nets may come in any order. Reported instances matching no placed cell are
reported but not placed; placed cells matched by none are missed.

Prints per cell: placed, found as placed, found as another cell, missed,
reported but not placed; then the totals (line `all`), the reasons and the
first names of each kind. Exits 1 unless every placed cell is found as
placed and nothing else is reported.
"""
import argparse
import re
import sys

NAME = r"(\\\S+|[A-Za-z_][\w$]*)"


def library_pins(path):
    pins = {}
    for m in re.finditer(r"^\.subckt\s+(\S+)\s+(.*)$", open(path).read(), re.M | re.I):
        ports = m.group(2).split()
        if "VGND" in ports and "VPWR" in ports:
            pins[m.group(1)] = (ports[:ports.index("VGND")], ports[ports.index("VPWR") + 1:])
        else:
            pins[m.group(1)] = (ports, [])
    return pins


def unescape(name):
    name = name.strip()
    return name[1:] if name.startswith("\\") else name


def reported(path, cells):
    """(cell, instance, {pin: net}) of every instance of a library cell."""
    text = open(path).read()
    found = []
    inst = re.compile(r"^\s*%s\s+%s\s*\((.*?)\)\s*;" % (NAME, NAME), re.M | re.S)
    conn = re.compile(r"\.\s*%s\s*\(\s*(\\\S+\s|[^()\s]+)\s*\)" % NAME)
    for m in inst.finditer(text):
        cell = unescape(m.group(1))
        if cell not in cells:
            continue
        pins = {unescape(p): unescape(n) for p, n in conn.findall(m.group(3))}
        found.append((cell, unescape(m.group(2)), pins))
    return found


def placements(path, cells):
    """(instance, cell, {pin: net}) of every placed logic cell."""
    placed = []
    for line in open(path):
        w = line.split()
        if len(w) < 2:
            continue
        if w[1] not in cells:
            sys.exit("%s: cell %s is not in the library" % (path, w[1]))
        kind = w[2] if len(w) > 2 and w[2] in ("logic", "nonlogic") else None
        if kind == "nonlogic" or (kind is None and not cells[w[1]][1]):
            continue
        pins = dict(p.split("=", 1) for p in w[3 if kind else 2:])
        placed.append((w[0], w[1], pins))
    return placed


def outputs_key(pins, outs):
    return tuple(sorted(pins.get(p, "").lower() for p in outs))


def difference(cells, placed, found, loose):
    """Why FOUND (cell, name, pins) is not PLACED (name, cell, pins), or None."""
    p_name, p_cell, p_pins = placed
    cell, name, pins = found
    if cell != p_cell:
        return "another cell"
    ins = cells[cell][0]
    net = lambda d, p: d.get(p, "").lower()
    if any(net(pins, p) != net(p_pins, p) for p in p_pins if p not in ins):
        return "other pins"
    if any(net(pins, p) != net(p_pins, p) for p in p_pins if p in ins):
        same = sorted(net(pins, p) for p in ins if p in p_pins) == sorted(net(p_pins, p) for p in ins if p in p_pins)
        if not same:
            return "other pins"
        if not loose:
            return "inputs permuted"
    if not loose and name.lower() != p_name.lower():
        return "another name"
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--loose", action="store_true", help="any instance names; input nets in any order")
    ap.add_argument("library")
    ap.add_argument("placements")
    ap.add_argument("netlist")
    args = ap.parse_args()
    cells = library_pins(args.library)
    placed = placements(args.placements, cells)
    by_outputs = {outputs_key(p[2], cells[p[1]][1]): i for i, p in enumerate(placed)}
    stats = {}  # cell: [placed, as placed, as other, missed, not placed]
    row = lambda cell: stats.setdefault(cell, [0, 0, 0, 0, 0])
    matched = [None] * len(placed)
    reasons, confused, not_placed = {}, {}, []
    for found in reported(args.netlist, cells):
        cell, name, pins = found
        if not cells[cell][1]:
            continue
        i = by_outputs.get(outputs_key(pins, cells[cell][1]))
        if i is None or matched[i] is not None:
            row(cell)[4] += 1
            not_placed.append(name)
            continue
        why = difference(cells, placed[i], found, args.loose)
        matched[i] = why or ""
        if why:
            row(placed[i][1])[2] += 1
            reasons.setdefault(why, []).append(name)
            if why == "another cell":
                pair = (placed[i][1], cell)
                confused[pair] = confused.get(pair, 0) + 1
        else:
            row(cell)[1] += 1
    missed = []
    for (name, cell, _), m in zip(placed, matched):
        row(cell)[0] += 1
        if m is None:
            row(cell)[3] += 1
            missed.append(name)
    head = ("cell", "placed", "as-placed", "as-other", "missed", "not-placed")
    print("%-30s %9s %9s %9s %9s %10s" % head)
    total = [0] * 5
    for cell in sorted(stats):
        total = [a + b for a, b in zip(total, stats[cell])]
        print("%-30s %9d %9d %9d %9d %10d" % ((cell,) + tuple(stats[cell])))
    print("%-30s %9d %9d %9d %9d %10d" % (("all",) + tuple(total)))
    for why in sorted(reasons):
        print("found as another cell, %s: %d (%s)" % (why, len(reasons[why]), " ".join(reasons[why][:5])))
    for (a, b), n in sorted(confused.items(), key=lambda x: (-x[1], x[0])):
        print("  %s found as %s: %d" % (a, b, n))
    if missed:
        print("missed (first ones): " + " ".join(missed[:10]))
    if not_placed:
        print("reported but not placed (first ones): " + " ".join(not_placed[:10]))
    sys.exit(0 if total[1] == total[0] and total[4] == 0 else 1)


if __name__ == "__main__":
    main()
