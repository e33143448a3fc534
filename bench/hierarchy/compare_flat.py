#!/usr/bin/env python3
"""Simulates a deck's hierarchical netlist against its flattened one.

  compare_flat.py PARSER DECK TOP [PARSER OPTIONS...] [--vectors N] [--strobe NAME]...

Runs PARSER on DECK twice, keeping the hierarchy and with --flatten, then
drives both netlists with the same random vectors in Icarus Verilog
(bench/spice_cells/sim_check.py) and requires equal outputs. The flat file's
modules are renamed (TOP becomes TOP_ref, every other module takes the
suffix _flat) so that both load together. Exits 2 without iverilog, 1 on a
mismatch. --vectors and --strobe go to sim_check.py.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SIM_CHECK = os.path.join(HERE, "..", "spice_cells", "sim_check.py")


def identifier(name):
    return name if re.fullmatch(r"[A-Za-z_][\w$]*", name) else "\\" + name + " "


def rename_modules(text, top):
    """Each module of `text` renamed, and every instance of it."""
    names = re.findall(r"^module\s+(\\\S+\s|[A-Za-z_][\w$]*)", text, re.M)
    plain = [n[1:].strip() if n.startswith("\\") else n for n in names]
    new = {n: (top + "_ref" if n == top else n + "_flat") for n in plain}
    out = []
    for line in text.splitlines(keepends=True):
        m = re.match(r"^(module\s+)(\\\S+\s|[A-Za-z_][\w$]*)(.*)$", line, re.S)
        if m:
            old = m.group(2)[1:].strip() if m.group(2).startswith("\\") else m.group(2)
            out.append(m.group(1) + identifier(new[old]) + m.group(3))
            continue
        # An instance line starts with its module's name.
        m = re.match(r"^(\\\S+\s|[A-Za-z_][\w$]*)(\s.*)$", line, re.S)
        if m:
            old = m.group(1)[1:].strip() if m.group(1).startswith("\\") else m.group(1)
            if old in new:
                out.append(identifier(new[old]) + m.group(2))
                continue
        out.append(line)
    return "".join(out)


def main():
    args = sys.argv[1:]
    sim = ["--vectors", "200"]
    for flag in ("--vectors", "--strobe"):
        while flag in args:
            i = args.index(flag)
            sim += args[i:i + 2]
            del args[i:i + 2]
    if len(args) < 3:
        sys.exit(__doc__)
    parser, deck, top, options = args[0], args[1], args[2], args[3:]
    if not shutil.which("iverilog"):
        print("iverilog not on PATH: simulation skipped")
        sys.exit(2)
    work = tempfile.mkdtemp()
    try:
        hier, flat = os.path.join(work, "hier.v"), os.path.join(work, "flat.v")
        for out, extra in ((hier, []), (flat, ["--flatten"])):
            r = subprocess.run([parser, deck, "-q", "--top", top, "-o", out] + options + extra,
                               capture_output=True, text=True)
            if r.returncode:
                print(r.stdout + r.stderr)
                sys.exit(1)
        renamed = os.path.join(work, "flat_ref.v")
        open(renamed, "w").write(rename_modules(open(flat).read(), top))
        r = subprocess.run([sys.executable, SIM_CHECK, hier, renamed, top] + sim,
                           capture_output=True, text=True)
        print(r.stdout.strip() + r.stderr.strip())
        sys.exit(r.returncode)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
