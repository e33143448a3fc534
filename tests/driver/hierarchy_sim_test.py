#!/usr/bin/env python3
"""The hierarchy kept computes what the flat netlist computes: decks with
subcircuits, run with and without --flatten, simulated on the same random
vectors in Icarus Verilog (bench/hierarchy/compare_flat.py): a small deck of
nested calls with a transmission gate on a subcircuit's ports, an
SRAM-style array of latches with its decoders (written only while the
address holds), and a generated design of library cells, searched and
called by name.

  hierarchy_sim_test.py PARSER PROJECT_ROOT [CELL_FOLDER]

Exits 77 (skipped) without iverilog.
"""
import os
import shutil
import subprocess
import sys
import tempfile

parser, root = sys.argv[1], sys.argv[2]
cells = sys.argv[3] if len(sys.argv) > 3 else ""
if not shutil.which("iverilog"):
    print("iverilog not on PATH: skipped")
    sys.exit(77)
compare = os.path.join(root, "bench", "hierarchy", "compare_flat.py")
failures = []
with tempfile.TemporaryDirectory() as work:
    sram = os.path.join(work, "sram")
    subprocess.run([sys.executable, os.path.join(root, "bench", "hierarchy", "gen_sram.py"), "--address-bits", "3",
                    "--width", "4", "--out", sram], check=True)
    cases = [
        ("nested calls", [os.path.join(root, "tests", "golden", "data", "profile_hierarchy.sp"), "top"]),
        ("sram", [os.path.join(sram, "sram.sp"), "sram", "--strobe", "we", "--vectors", "300"]),
    ]
    if cells and os.path.isdir(os.path.join(cells, "functional")):
        design = os.path.join(work, "cells")
        subprocess.run([sys.executable, os.path.join(root, "bench", "spice_cells", "gen_design.py"), "--cells", cells,
                        "--mosfets", "2000", "--hier", "--out", design], check=True, capture_output=True)
        deck = os.path.join(design, "design.sp")
        cases.append(("cell design", [deck, "cells_top"]))
        cases.append(("cell design, cells searched", [deck, "cells_top", "-l", os.path.join(design, "lib.sp")]))
    for label, args in cases:
        r = subprocess.run([sys.executable, compare, parser] + args, capture_output=True, text=True, timeout=600)
        print("%s: %s" % (label, r.stdout.strip()))
        if r.returncode != 0:
            failures.append(label)
for f in failures:
    print("FAIL", f)
sys.exit(1 if failures else 0)
