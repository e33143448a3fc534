#!/usr/bin/env python3
"""The Yosys JSON netlist loads in Yosys, and `stat` counts per module and
cell type what the Verilog form of the same run instantiates; the run's
summary counts the same. Yosys proves the JSON's logic equal to the Verilog
form: each gate module written as logic on its own, then the top module
flattened, the modules that stay black boxes (and the latches, proved on
their own) kept as black boxes on both sides. Runs on every cell of the test
cell folder, of the shared cell folder and of the IHP library, on the
golden profile cases, on a gate too wide for a sum of products, and
on the shared extracted design when it is there (no proofs there: loading
and counting only); netlistsvg (when installed) draws a few cells.

  yosys_json_test.py PARSER CELL_FOLDER GOLDEN_FOLDER SHARED_FOLDER IHP_FOLDER

Exits 77 (skipped) without yosys.
"""
import collections
import copy
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

parser, cells, golden, shared, ihp = (os.path.abspath(a) for a in sys.argv[1:6])
if not shutil.which("yosys"):
    print("no yosys: skipped")
    sys.exit(77)
failures = []
proved = collections.Counter()  # gate modules, their latch outputs, tops
# A tristate output is proved as two functions: with z read as 0 and as 1.
# Both equal mean equal enables, and equal data wherever it drives.
Z_AS = """module \\$tribuf (A, EN, Y);
parameter WIDTH = 1;
input [WIDTH-1:0] A;
input EN;
output [WIDTH-1:0] Y;
assign Y = EN ? A : {WIDTH{`Z}};
endmodule
"""
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
        # Yosys' own cells are the gate modules' logic, which the Verilog
        # writes as expressions.
        if module and m and not m.group(1).startswith("$"):
            counts[module][m.group(1).lstrip("\\")] += int(m.group(2))
    return counts


def summary_counts(stderr):
    """The top's instances and library cells as the summary gives them."""
    total = re.search(r"^  instances in .*: (\d+)$", stderr, re.M)
    cells = re.findall(r"^      (\S+) +(\d+)$", stderr, re.M)
    return int(total.group(1)) if total else None, collections.Counter({c: int(n) for c, n in cells})


def yosys(work, script):
    """Runs a Yosys script; the end of its log when it fails, else None."""
    path = os.path.join(work, "script.ys")
    open(path, "w").write(script)
    out = subprocess.run(["yosys", "-q", "-s", path], cwd=work, capture_output=True, text=True)
    return None if out.returncode == 0 else (out.stdout + out.stderr)[-1500:]


def logic_modules(modules):
    """The gate modules written as logic: Yosys cells only."""
    return {name: m for name, m in modules.items()
            if "blackbox" not in m["attributes"] and m["cells"]
            and all(c["type"].startswith("$") for c in m["cells"].values())}


def verilog_module(text, name):
    m = re.search(r"^module %s\(.*?^endmodule$" % re.escape(name), text, re.M | re.S)
    return m.group(0) if m else None


def cut_latches(name, gate, text, module):
    """Each latch output y becomes `EN ? D : held_y` with held_y a new input,
    in the JSON module and in the Verilog form's process, whose logic reads y,
    so both are combinational and a prior value reads the same on both
    sides."""
    names = {tuple(p["bits"]): n for n, p in module["ports"].items()}
    bit = max(b for c in module["cells"].values() for bits in c["connections"].values() for b in bits
              if isinstance(b, int))
    for cell in module["cells"].values():
        if cell["type"] != "$dlatch":
            continue
        y, held = names[tuple(cell["connections"]["Q"])], "held_" + names[tuple(cell["connections"]["Q"])]
        bit += 1
        module["ports"][held] = {"direction": "input", "bits": [bit]}
        c = cell["connections"]
        cell.update(type="$mux", parameters={"WIDTH": cell["parameters"]["WIDTH"]},
                    port_directions={"A": "input", "B": "input", "S": "input", "Y": "output"},
                    connections={"A": [bit], "B": c["D"], "S": c["EN"], "Y": c["Q"]})
        # Held by a process whose logic reads the output itself.
        text, n = re.subn(r"^(always @\([^)]*\) %s = )(.*);$" % re.escape(y),
                          lambda m: m.group(1) + re.sub(r"\b%s\b" % re.escape(y), held, m.group(2)) + ";",
                          text, flags=re.M)
        if n != 1:
            failures.append("%s: module %s: a latch for %s, but the Verilog does not hold it" % (name, gate, y))
            return None
        text = re.sub(r"\);\n", ", %s);\ninput %s;\n" % (held, held), text, count=1)
    return text


def module_proofs(name, v, modules, work):
    """Script lines proving each gate module written as logic equal to the
    Verilog form's module, read from gold.v and gate.json; None when one
    cannot be set up."""
    gates = copy.deepcopy(logic_modules(modules))
    text, gold = open(v).read(), []
    for module in gates:
        m = verilog_module(text, module)
        if m is None:
            failures.append("%s: module %s has no Verilog form" % (name, module))
            return None
        gold.append(cut_latches(name, module, m, gates[module]))
        if gold[-1] is None:
            return None
    open(os.path.join(work, "gold.v"), "w").write("\n".join(gold))
    json.dump({"modules": gates}, open(os.path.join(work, "gate.json"), "w"))
    proved["gate modules"] += len(gates)
    proved["latch outputs"] += sum(c["type"] == "$mux" for m in gates.values() for c in m["cells"].values())
    if not gates:
        return lambda z: []
    def lines(z):
        script = ["read_verilog gold.v", "proc", "tribuf", "techmap -D Z=1'b%s -map z_as.v" % z, "design -stash gold",
                  "read_json gate.json", "techmap -D Z=1'b%s -map z_as.v" % z, "design -stash gate"]
        for k, module in enumerate(gates):
            script += ["log -stdout module %s" % module, "design -copy-from gold -as gold%d %s" % (k, module),
                       "design -copy-from gate -as gate%d %s" % (k, module),
                       "miter -equiv -flatten -make_assert gold%d gate%d miter%d" % (k, k, k),
                       "sat -verify -prove-asserts miter%d" % k]
        return script + ["design -reset"]
    return lines


def top_proof(v, j, modules, work):
    """Script lines proving the top flattened equal to the Verilog form's,
    black boxes and latches kept as black boxes on both sides (their nets
    meet by name); empty when there is nothing Yosys can prove."""
    top = next(n for n, m in modules.items() if "top" in m["attributes"])
    cells = [c["type"] for m in modules.values() for c in m["cells"].values()]
    # Switch primitives are not logic to Yosys; a top of no cells has
    # nothing to prove.
    if "nmos" in cells or "pmos" in cells or not modules[top]["cells"]:
        return lambda z: []
    proved["tops"] += 1
    kept = sorted(n for n, m in modules.items() if n != top and ("blackbox" in m["attributes"] or any(
        c["type"] == "$dlatch" for c in m["cells"].values())))
    boxes = ["blackbox %s" % " ".join(kept)] if kept else []
    # Yosys reads no drive strengths; weak modules are black boxes anyway.
    open(os.path.join(work, "top.v"), "w").write(open(v).read().replace("assign (weak0, weak1) ", "assign "))
    def lines(z):
        script = ["log -stdout top %s" % top]
        for side, read in (("gold", "read_verilog top.v"), ("gate", "read_json %s" % j)):
            script += [read, *boxes, "hierarchy -top %s" % top, "proc", "flatten", "tribuf -merge",
                       "techmap -D Z=1'b%s -map z_as.v" % z, "rename %s %s" % (top, side), "design -stash %s" % side]
        return script + ["design -copy-from gold -as gold gold", "design -copy-from gate -as gate gate",
                         "equiv_make gold gate equiv", "hierarchy -top equiv", "equiv_simple", "equiv_status -assert"]
    return lines


def prove(name, v, j, modules, work):
    """Runs the proofs, once with z read as 0 and once as 1."""
    gates = module_proofs(name, v, modules, work)
    if gates is None:
        return
    top = top_proof(v, j, modules, work)
    for z in "01":
        script = gates(z) + top(z)
        log = yosys(work, "\n".join(script) + "\n") if script else None
        if log:
            failures.append("%s: not proved equal to the Verilog (z as %s): %s" % (name, z, log))
            return


def check(name, cwd, args, work, proofs=True):
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
    if proofs:
        prove(name, v, j, modules, work)
    return j


with tempfile.TemporaryDirectory() as work:
    open(os.path.join(work, "z_as.v"), "w").write(Z_AS)
    cases = 0
    drawn = []
    # The test cells, then the shared folder's others.
    netlists = {f: os.path.join(cells, "spice", f) for f in os.listdir(os.path.join(cells, "spice"))}
    if os.path.isdir(os.path.join(shared, "cells", "spice")):
        for f in os.listdir(os.path.join(shared, "cells", "spice")):
            netlists.setdefault(f, os.path.join(shared, "cells", "spice", f))
    else:
        print("no shared cells: the test cells only")
    for f, path in sorted(netlists.items()):
        j = check(f, work, [path], work)
        cases += 1
        if shutil.which("netlistsvg") and re.search(r"__(mux2|dfxtp|ebufn|fa)_1\.", f) and j:
            svg = os.path.join(work, "out.svg")
            draw = subprocess.run(["netlistsvg", j, "-o", svg], capture_output=True, text=True)
            if draw.returncode or not os.path.exists(svg) or "<svg" not in open(svg).read():
                failures.append("%s: netlistsvg: %s" % (f, draw.stderr[-500:]))
            drawn.append(f)
    cdl = os.path.join(ihp, "sg13g2_stdcell.cdl")
    for name in sorted(re.findall(r"^\.SUBCKT\s+(\S+)", open(cdl).read(), re.M)):
        check(name, work, [cdl, "--top", name], work)
        cases += 1
    # Nine inputs: the Verilog form's lookup constant, a $shiftx here; not
    # symmetric, so an index in the wrong order shows.
    wide = os.path.join(work, "wide.sp")
    n = "abcdefghi"
    open(wide, "w").write(".subckt wide %s y vdd gnd\n" % " ".join(n) + "".join(
        "mp%s %s %s %s vdd pch\n" % (x, "p" if k < 5 else "y", x, "vdd" if k < 5 else "p") for k, x in enumerate(n)) + "".join(
        "mn%s %s %s %s gnd nch\n" % (x, "y" if k in (0, 5) else "s%d" % (k - 1), x, "gnd" if k in (4, 8) else "s%d" % k)
        for k, x in enumerate(n)) + ".ends\n")
    check("wide", work, [wide], work)
    cases += 1
    for f in sorted(os.listdir(golden)):
        if f.endswith(".args"):
            check(f, golden, open(os.path.join(golden, f)).read().split(), work)
            cases += 1
    design = os.path.join(shared, "designs", "fuserisc")
    if os.path.isfile(os.path.join(design, "wb_mem_split.spice")):
        check("fuserisc", design, ["wb_mem_split.spice", "-l", "cells.spice"], work, proofs=False)
        cases += 1
    else:
        print("no shared design: fuserisc skipped")

for f in failures:
    print(f)
print("%d cases, %d drawn by netlistsvg" % (cases, len(drawn)))
print("proved equal to the Verilog: %d gate modules (%d latch outputs), %d tops" % (
    proved["gate modules"], proved["latch outputs"], proved["tops"]))
print("%d passed, %d failed" % (cases - len(failures), len(failures)) if not failures else "%d failures" % len(failures))
sys.exit(1 if failures else 0)
