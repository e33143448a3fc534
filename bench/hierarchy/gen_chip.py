#!/usr/bin/env python3
"""Wraps a generated cell design in a chip that calls it N times.

  gen_chip.py DECK TOP N OUT.sp [--outputs K]

Writes OUT.sp: `.include` of DECK; `core`, which calls TOP once and folds
its outputs with a tree of two-input NAND gates (subcircuit nand2r, four
MOSFETs) down to at most K outputs; and `chip`, which calls core N times
(X0 ... X<N-1>), every call on the same inputs and rails, each with
outputs of its own.
"""
import argparse
import os
import re

NAND = """.subckt nand2r a b y VPWR VGND
Mp1 y a VPWR VPWR pfet_01v8 w=1u l=0.15u
Mp2 y b VPWR VPWR pfet_01v8 w=1u l=0.15u
Mn1 y a s VGND nfet_01v8 w=1u l=0.15u
Mn2 s b VGND VGND nfet_01v8 w=1u l=0.15u
.ends nand2r
"""


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("deck")
    ap.add_argument("top")
    ap.add_argument("calls", type=int)
    ap.add_argument("out")
    ap.add_argument("--outputs", type=int, default=64)
    args = ap.parse_args()
    text = open(args.deck).read()
    m = re.search(r"^\.subckt\s+%s\s+((?:.*\n)(?:\+.*\n)*)" % re.escape(args.top), text, re.M | re.I)
    pins = " ".join(l.lstrip("+") for l in m.group(1).splitlines()).split()
    rails = [p for p in pins if re.fullmatch(r"(?i)vpwr|vgnd", p)]
    inputs = [p for p in pins if re.fullmatch(r"pi\d+", p)]
    outputs = [p for p in pins if p not in rails and p not in inputs]
    with open(args.out, "w") as f:
        f.write("* %d calls of core: %s and a NAND tree over its outputs\n" % (args.calls, args.top))
        f.write(".include %s\n\n%s\n" % (os.path.relpath(args.deck, os.path.dirname(args.out) or "."), NAND))
        body, level, k = ["Xdesign %s %s\n" % (" ".join(pins), args.top)], outputs, 0
        while len(level) > args.outputs:
            nxt = []
            for i in range(0, len(level) - 1, 2):
                y = "t%d" % k
                body.append("Xt%d %s %s %s VPWR VGND nand2r\n" % (k, level[i], level[i + 1], y))
                nxt.append(y)
                k += 1
            if len(level) % 2:
                nxt.append(level[-1])
            level = nxt
        outs = ["o%d" % i for i in range(len(level))]
        # The tree's last nets are the outputs, renamed by a last level of
        # calls so that the ports read as written.
        for i, net in enumerate(level):
            body.append("Xo%d %s %s o%d VPWR VGND nand2r\n" % (i, net, net, i))
        f.write(".subckt core %s %s VPWR VGND\n%s.ends core\n\n" % (" ".join(inputs), " ".join(outs), "".join(body)))
        ports = inputs + ["c%d_%s" % (c, o) for c in range(args.calls) for o in outs] + ["VPWR", "VGND"]
        f.write(".subckt chip %s\n" % " ".join(ports))
        for c in range(args.calls):
            f.write("X%d %s VPWR VGND core\n" % (c, " ".join(inputs + ["c%d_%s" % (c, o) for o in outs])))
        f.write(".ends chip\n")


if __name__ == "__main__":
    main()
