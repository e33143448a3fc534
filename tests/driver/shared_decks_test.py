#!/usr/bin/env python3
"""Real decks of other tools that are too large to keep beside the tests:
an SRAM macro's CDL (hierarchical, `/` before cell names, `$PINS`-free calls
of a thousand device subcircuits), alone and with its standard-cell library.
Each run ends well, finds the library's cells and writes Verilog that Icarus
loads.

  shared_decks_test.py PARSER SHARED_FOLDER

Exits 77 (skipped) when SHARED_FOLDER holds no such decks.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

parser, shared = sys.argv[1], sys.argv[2]
dialects = os.path.join(shared, "dialects")
macro = os.path.join(dialects, "RM_IHPSG13_1P_64x64_c2_bm_bist.cdl")
library = os.path.join(dialects, "ihp_sg13g2", "sg13g2_stdcell.cdl")
if not (os.path.isfile(macro) and os.path.isfile(library)):
    print("no SRAM macro under %s: skipped" % dialects)
    sys.exit(77)
top = "RM_IHPSG13_1P_64x64_c2_bm_bist"
failures = []
with tempfile.TemporaryDirectory() as work:
    # Flat, the cells found are counted; with the hierarchy kept, each run
    # still ends well and loads.
    for label, extra in (("alone", ["--flatten"]), ("with its cells", ["--flatten", "-l", library]),
                         ("kept", []), ("kept with its cells", ["-l", library])):
        flat = "--flatten" in extra
        out = os.path.join(work, "out.v")
        run = subprocess.run([parser, macro, "--top", top, *extra, "-o", out], capture_output=True, text=True,
                             timeout=600)
        where = "%s: " % label
        if run.returncode != 0:
            failures.append(where + "exit %d: %s" % (run.returncode, run.stderr[-500:]))
            continue
        text = open(out).read()
        if not re.search(r"^module %s\(" % top, text, re.M):
            failures.append(where + "no top module")
        # Instances per library cell in the summary and in the netlist agree.
        counted = re.findall(r"^      (sg13g2_\w+)\s+(\d+)$", run.stderr, re.M)
        if not flat:
            counted = []
        if flat and "-l" in extra and len(counted) < 10:
            failures.append(where + "%d library cells in the summary" % len(counted))
        for cell, count in counted:
            written = len(re.findall(r"^%s " % cell, text, re.M))
            if written != int(count):
                failures.append(where + "%s: summary %s, netlist %d" % (cell, count, written))
        if "-l" in extra and "sg13g2_nand2_1" not in text:
            failures.append(where + "no library cell found")
        if shutil.which("iverilog"):
            lint = subprocess.run(["iverilog", "-g2005", "-o", os.path.join(work, "a.out"), out],
                                  capture_output=True, text=True, timeout=600)
            if lint.returncode != 0:
                failures.append(where + "iverilog: " + lint.stderr[:500])
for f in failures:
    print("FAIL", f)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
