#!/usr/bin/env python3
"""The Yosys JSON netlist loads in Yosys, and `stat` counts per module and
cell type what the Verilog form of the same run instantiates; the run's
summary counts the same. Runs on every cell of the test cell folder, on the
golden profile cases, and on the shared extracted design when it is there;
netlistsvg (when installed) draws a few cells.

  yosys_json_test.py PARSER CELL_FOLDER GOLDEN_FOLDER SHARED_FOLDER

Exits 77 (skipped) without yosys.
"""
import collections
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

parser, cells, golden, shared = (os.path.abspath(a) for a in sys.argv[1:5])
if not shutil.which("yosys"):
    print("no yosys: skipped")
    sys.exit(77)
failures = []
KEYWORDS = {"module", "endmodule", "input", "output", "inout", "wire", "reg", "assign", "supply0", "supply1",
            "localparam", "always", "integer", "begin", "end", "for", "if", "else", "initial"}
IDENT = r"(\\\S+ |[A-Za-z_][\w$]*)"


def verilog_counts(path):
    """Instances per module and cell type, as the Verilog file writes them."""
    counts, module = {}, None
    for line in open(path):
        m = re.match(r"module " + IDENT + r"\(", line)
        if m:
            module = m.group(1).strip().lstrip("\\")
            counts[module] = collections.Counter()
            continue
        m = re.match(IDENT + r" " + IDENT + r" \(", line)
        if module and m and m.group(1) not in KEYWORDS:
            counts[module][m.group(1).strip().lstrip("\\")] += 1
    return counts


def yosys_counts(path):
    """Cells per module and type, as `stat` reports them."""
    out = subprocess.run(["yosys", "-p", "read_json %s; stat" % path], capture_output=True, text=True)
    if out.returncode != 0:
        failures.append("%s: yosys: %s" % (path, out.stdout[-500:] + out.stderr[-500:]))
        return {}
    counts, module = {}, None
    for line in out.stdout.splitlines():
        m = re.match(r"=== (.*) ===$", line)
        if m:
            module = None if m.group(1) == "design hierarchy" else m.group(1).lstrip("\\")
            if module:
                counts[module] = collections.Counter()
            continue
        m = re.match(r"     (\S+)\s+(\d+)$", line)
        if module and m:
            counts[module][m.group(1).lstrip("\\")] += int(m.group(2))
    return counts


def summary_counts(stderr):
    """The top's instances and library cells as the summary gives them."""
    total = re.search(r"^  instances in .*: (\d+)$", stderr, re.M)
    cells = re.findall(r"^      (\S+) +(\d+)$", stderr, re.M)
    return int(total.group(1)) if total else None, collections.Counter({c: int(n) for c, n in cells})


def check(name, cwd, args, work):
    v, j = os.path.join(work, "out.v"), os.path.join(work, "out.json")
    run_v = subprocess.run([parser, "-q", *args, "-o", v], cwd=cwd, capture_output=True, text=True)
    run_j = subprocess.run([parser, *args, "-o", j], cwd=cwd, capture_output=True, text=True)
    if run_v.returncode or run_j.returncode:
        failures.append("%s: parser failed: %s" % (name, run_v.stderr + run_j.stderr))
        return
    want, got = verilog_counts(v), yosys_counts(j)
    modules = json.load(open(j))["modules"]
    if set(want) != set(modules):
        failures.append("%s: modules %s in Verilog, %s in JSON" % (name, sorted(want), sorted(modules)))
    for module in want:
        # `stat` leaves out black boxes: the gate modules, which instantiate nothing.
        if module not in got and not want[module] and "blackbox" in modules.get(module, {}).get("attributes", {}):
            continue
        if want[module] != got.get(module):
            failures.append("%s: module %s: %s in Verilog, %s in Yosys" % (name, module, dict(want[module]),
                                                                             dict(got.get(module, {}))))
    top = next(iter(want))
    total, cells = summary_counts(run_j.stderr)
    if total != sum(want[top].values()):
        failures.append("%s: the summary counts %s instances, the Verilog %d" % (name, total, sum(want[top].values())))
    for cell, n in cells.items():
        if want[top][cell] != n:
            failures.append("%s: the summary counts %d of %s, the Verilog %d" % (name, n, cell, want[top][cell]))
    return j


with tempfile.TemporaryDirectory() as work:
    cases = 0
    drawn = []
    for f in sorted(os.listdir(os.path.join(cells, "spice"))):
        path = os.path.join(cells, "spice", f)
        j = check(f, work, [path], work)
        cases += 1
        if shutil.which("netlistsvg") and re.search(r"__(mux2|dfxtp|ebufn|fa)_1\.", f) and j:
            svg = os.path.join(work, "out.svg")
            draw = subprocess.run(["netlistsvg", j, "-o", svg], capture_output=True, text=True)
            if draw.returncode or not os.path.exists(svg) or "<svg" not in open(svg).read():
                failures.append("%s: netlistsvg: %s" % (f, draw.stderr[-500:]))
            drawn.append(f)
    for f in sorted(os.listdir(golden)):
        if f.endswith(".args"):
            check(f, golden, open(os.path.join(golden, f)).read().split(), work)
            cases += 1
    design = os.path.join(shared, "designs", "fuserisc")
    if os.path.isfile(os.path.join(design, "wb_mem_split.spice")):
        check("fuserisc", design, ["wb_mem_split.spice", "-l", "cells.spice"], work)
        cases += 1
    else:
        print("no shared design: fuserisc skipped")

for f in failures:
    print(f)
print("%d cases, %d drawn by netlistsvg" % (cases, len(drawn)))
print("%d passed, %d failed" % (cases - len(failures), len(failures)) if not failures else "%d failures" % len(failures))
sys.exit(1 if failures else 0)
