#!/usr/bin/env python3
"""Compares the cells a written netlist reports with the cells placed.

  check_cells.py LIB.sp PLACEMENTS.txt NETLIST.v

A reported instance (an instance of a module named after a library cell) is
the placed one when it has the same cell, drives the same output nets and
reads the same input nets (interchangeable inputs may come in any order).
Prints per cell kind: placed, found, reported but not placed; then totals.
Exits 1 when a placed cell is missing or a reported one was not placed.
"""
import re
import sys


def library_pins(path):
    pins = {}
    for m in re.finditer(r"^\.subckt\s+(\S+)\s+(.*)$", open(path).read(), re.M | re.I):
        ports = m.group(2).split()
        vg, vp = ports.index("VGND"), ports.index("VPWR")
        pins[m.group(1)] = (ports[:vg], ports[vp + 1:])
    return pins


def unescape(name):
    name = name.strip()
    return name[1:] if name.startswith("\\") else name


def reported(path, cells):
    text = open(path).read()
    found = []
    inst = re.compile(r"^\s*(\\\S+|[A-Za-z_][\w$]*)\s+(\\\S+|[A-Za-z_][\w$]*)\s*\((.*?)\)\s*;", re.M | re.S)
    conn = re.compile(r"\.\s*(\\\S+|[A-Za-z_][\w$]*)\s*\(\s*(\\\S+\s|[^()\s]+)\s*\)")
    for m in inst.finditer(text):
        cell = unescape(m.group(1))
        if cell not in cells:
            continue
        pins = {unescape(p): unescape(n) for p, n in conn.findall(m.group(3))}
        found.append((cell, unescape(m.group(2)), pins))
    return found


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    cells = library_pins(sys.argv[1])
    placed = {}
    for line in open(sys.argv[2]):
        w = line.split()
        pins = dict(p.split("=", 1) for p in w[2:])
        ins, outs = cells[w[1]]
        placed[(w[1], tuple(pins[p] for p in outs))] = sorted(pins[p] for p in ins)
    stats = {}
    false = []
    hit = set()
    for cell, name, pins in reported(sys.argv[3], cells):
        ins, outs = cells[cell]
        key = (cell, tuple(pins.get(p, "") for p in outs))
        s = stats.setdefault(cell, [0, 0, 0])
        if key in placed and key not in hit and placed[key] == sorted(pins.get(p, "") for p in ins):
            hit.add(key)
            s[1] += 1
        else:
            s[2] += 1
            false.append(name)
    for cell, _ in placed:
        stats.setdefault(cell, [0, 0, 0])[0] += 1
    print("%-30s %8s %8s %8s %8s" % ("cell", "placed", "found", "recall%", "false"))
    tp = tf = tx = 0
    for cell in sorted(stats):
        p, f, x = stats[cell]
        tp, tf, tx = tp + p, tf + f, tx + x
        print("%-30s %8d %8d %8.1f %8d" % (cell, p, f, 100.0 * f / p if p else 100.0, x))
    print("%-30s %8d %8d %8.1f %8d" % ("all", tp, tf, 100.0 * tf / tp if tp else 100.0, tx))
    if false:
        print("reported but not placed (first ones): " + " ".join(false[:10]))
    sys.exit(0 if tf == tp and tx == 0 else 1)


if __name__ == "__main__":
    main()
