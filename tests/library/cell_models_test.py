#!/usr/bin/env python3
"""Every cell of two standard-cell libraries, read by the parser from its
transistors alone, simulates equal to the library's own Verilog model in
Icarus Verilog.

  cell_models_test.py PARSER SKY130_CELLS SKY130_MODELS IHP_FOLDER|-

Combinational cells get every input combination after every other, so a
written cell that keeps a value from the combination before fails.
Sequential cells follow a random sequence that changes one input at a time.
After each step every output is compared with !== (so z counts) wherever
the model's output is not x. A compile error or a simulation that does not
end within TIME_LIMIT fails the cell. Exits 77 (skipped) without Icarus
Verilog.
"""
import collections
import concurrent.futures
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

# Cells that do not compute their model today, and why. A listed cell that
# passes fails the test: remove it from here then.
KNOWN_FAILURES = {}

STEPS = 400  # of a sequential cell's random sequence
TIME_LIMIT = 20  # seconds for one parser run or simulation; each takes well under one
RAILS = {"VDD": "1'b1", "VPWR": "1'b1", "VPB": "1'b1", "VSS": "1'b0", "VGND": "1'b0", "VNB": "1'b0"}


# The netlist file the parser reads the cell from; the model's module name and
# the Verilog that defines it.
Cell = collections.namedtuple("Cell", "library name netlist model sources")


def module(text, name):
    m = re.search(r"^\s*module\s+%s\b.*?^\s*endmodule" % re.escape(name), text, re.M | re.S)
    return m.group(0) if m else ""


def sky130_cells(folder, models):
    extra = open(models).read()
    for path in sorted(glob.glob(os.path.join(folder, "spice", "*.spice"))):
        name = os.path.basename(path)[:-len(".spice")]
        model = name.rsplit("_", 1)[0]  # the model is named without the drive size
        functional = os.path.join(folder, "functional", model + ".functional.v")
        text = open(functional).read() if os.path.exists(functional) else ""
        # The primitives the models include from elsewhere are in `extra`.
        text = "".join(l for l in text.splitlines(True) if not l.lstrip().startswith("`include"))
        yield Cell("sky130", name, path, model, text + extra)


def ihp_cells(folder):
    cdl = os.path.join(folder, "sg13g2_stdcell.cdl")
    models = open(os.path.join(folder, "sg13g2_stdcell.v")).read()
    udp = open(os.path.join(folder, "sg13g2_udp.v")).read()
    for name in sorted(re.findall(r"^\.SUBCKT\s+(\S+)", open(cdl).read(), re.M)):
        text = module(models, name)
        # Functional simulation: without -gspecify Icarus Verilog leaves out the
        # specify blocks, and DISPLAY_HOLD (a holding sighold) stays undefined
        # as the library ships. Icarus Verilog drives no delayed signal of a
        # timing check ($setuphold's delayed_CLK, ...); the checks' limits
        # are all zero, so each equals its input.
        delayed = sorted(set(re.findall(r"\bdelayed_(\w+)", text)))
        text = re.sub(r"endmodule\s*$", "".join("assign delayed_%s = %s;\n" % (d, d) for d in delayed) + "endmodule\n",
                      text)
        yield Cell("ihp_sg13g2", name, cdl, name, "`timescale 1ns/10ps\n" + text + udp)


def ports(text):
    """{name: input|output|inout} of a module's declarations."""
    found = {}
    for kind, names in re.findall(r"^\s*(input|output|inout)\s+(?:reg\s+|wire\s+)?([\w\s,]+);", text, re.M):
        for n in names.split(","):
            found[n.strip()] = kind
    return found


def sequential(model, sources):
    """A cell is sequential when its model holds state: an always block, or an
    instance of a primitive with a reg output (a latch or flip-flop table).
    The timing checks' `reg notifier` is no state of the function."""
    stateful = [n for n, body in re.findall(r"primitive\s+(\w+)(.*?)endprimitive", sources, re.S)
                if re.search(r"\breg\b", body)]
    return bool(re.search(r"\balways\b", model) or any(re.search(r"\b%s\b" % s, model) for s in stateful))


def vectors(cell, inputs, is_sequential):
    n = len(inputs)
    if not is_sequential:
        return [v for a in range(1 << n) for b in range(1 << n) for v in (a, b)]
    # Clocks (or a latch's gate) toggle half the time, the other inputs share
    # the rest; all start at 0, so active-low resets start asserted.
    clocks = [i for i, p in enumerate(inputs) if p.startswith("CLK")] or \
             [i for i, p in enumerate(inputs) if p.startswith("GATE")]
    rng, v, out = random.Random(cell), 0, [0]
    for _ in range(STEPS):
        pick = rng.choice(clocks) if clocks and rng.random() < 0.5 else rng.randrange(n)
        v ^= 1 << (n - 1 - pick)
        out.append(v)
    return out


def bench(cell, declared, written, steps, vector_file):
    """Inputs and inouts are driven from the vectors; outputs and inouts are
    compared, an inout as the net resolves with the bench's drive."""
    driven = [p for p, k in declared.items() if k != "output"]
    compared = [p for p, k in declared.items() if k != "input"]
    lines = ["`timescale 1ns/1ps", "module tb;", "reg [%d:0] vec [0:%d];" % (max(len(driven), 1) - 1, steps - 1),
             "integer i, bad, compared;"]
    lines += ["reg %s;" % p for p in driven]
    for p in compared:
        lines.append("wire %s_ref = %s, %s_dut = %s;" % (p, p, p, p) if declared[p] == "inout" else
                     "wire %s_ref, %s_dut;" % (p, p))
    for inst, side in (("%s ref_" % cell.model, "_ref"), ("dut dut_", "_dut")):
        pins = [".%s(%s)" % (p, p if k == "input" else p + side) for p, k in declared.items()]
        pins += [".%s(%s)" % (p, RAILS[p]) for p in written if p in RAILS and side == "_dut"]
        lines.append("%s(%s);" % (inst, ", ".join(pins)))
    lines += ["initial begin", '  $readmemb("%s", vec);' % vector_file, "  bad = 0;", "  compared = 0;",
              "  for (i = 0; i < %d; i = i + 1) begin" % steps]
    if driven:
        lines.append("    {%s} = vec[i];" % ", ".join(driven))
    lines.append("    #5;")
    for o in compared:
        lines.append("    if (%s_ref !== 1'bx) compared = compared + 1;" % o)
        lines.append('    if (%s_ref !== 1\'bx && %s_dut !== %s_ref) begin bad = bad + 1; if (bad <= 3) '
                     '$display("MISMATCH step %%0d inputs %%b: %s = %%b, model %%b", i, vec[i], %s_dut, %s_ref); end'
                     % (o, o, o, o, o, o))
    lines += ["  end", '  $display("DONE %0d %0d", bad, compared);', "  $finish;", "end", "endmodule", ""]
    return "\n".join(lines)


def run(cmd, cwd):
    return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)


def check(cell, parser):
    """(True, what was compared) when the written cell computes its model, else (False, why not)."""
    with tempfile.TemporaryDirectory() as d:
        r = run(["timeout", str(TIME_LIMIT), parser, cell.netlist, "--top", cell.name, "-o", "out.v"], d)
        if r.returncode == 124:
            return False, "hang in the parser"
        if r.returncode != 0 or not os.path.exists(os.path.join(d, "out.v")):
            return False, "cannot be read: " + (r.stderr.strip().splitlines() or ["exit %d" % r.returncode])[0]
        text = open(os.path.join(d, "out.v")).read()
        m = re.search(r"^module\s+%s\s*\(([^)]*)\)" % re.escape(cell.name), text, re.M)
        if not m:
            return False, "no module %s written" % cell.name
        written = [p.strip() for p in m.group(1).split(",") if p.strip()]
        model = re.sub(r"//[^\n]*|/\*.*?\*/", "", module(cell.sources, cell.model), flags=re.S)
        declared = ports(model)
        missing = [p for p in declared if p not in written]
        extra = [p for p in written if p not in declared and p not in RAILS]
        if missing or extra:
            return False, "ports differ from the model: missing %s, extra %s" % (missing, extra)
        directions = ports(module(text, cell.name))
        problems = ["%s is an %s, the model's an %s" % (p, directions.get(p), k) for p, k in declared.items()
                    if directions.get(p) != k]
        open(os.path.join(d, "dut.v"), "w").write(text[:m.start()] + "module dut" + text[m.start(1) - 1:])
        open(os.path.join(d, "model.v"), "w").write(cell.sources)
        kind = "sequential" if sequential(model, cell.sources) else "combinational"
        driven = [p for p, k in declared.items() if k != "output"]
        vecs = vectors(cell.name, driven, kind == "sequential")
        width = max(len(driven), 1)
        open(os.path.join(d, "vectors.txt"), "w").write("".join(format(v, "0%db" % width) + "\n" for v in vecs))
        open(os.path.join(d, "tb.v"), "w").write(bench(cell, declared, written, len(vecs),
                                                       os.path.join(d, "vectors.txt")))
        r = run(["iverilog", "-g2005", "-s", "tb", "-o", "sim", "tb.v", "dut.v", "model.v"], d)
        if r.returncode != 0:
            return False, "; ".join(problems + ["compile error: " + " | ".join(
                l for l in r.stderr.splitlines() if "error" in l)[:300]])
        r = run(["timeout", str(TIME_LIMIT), "vvp", "-n", "sim"], d)
        done = re.search(r"^DONE (\d+) (\d+)", r.stdout, re.M)
        values = len(vecs) * sum(k != "input" for k in declared.values())
        if r.returncode == 124:
            problems.append("hang")
        elif not done:
            problems.append("simulation stopped: " + (r.stdout + r.stderr)[-300:])
        elif done.group(1) != "0":
            first = re.search(r"^MISMATCH (.*)", r.stdout, re.M).group(1)
            problems.append("%s of %d output values differ, first at %s" % (done.group(1), values, first))
        elif values and done.group(2) == "0":
            problems.append("the model's outputs stay x")
        if problems:
            return False, "; ".join(problems)
        return True, "%s, %s of %d output values compared" % (kind, done.group(2), values)


def main(argv):
    parser, sky130, sky130_models = map(os.path.abspath, argv[1:4])
    missing = [t for t in ("iverilog", "vvp", "timeout") if not shutil.which(t)]
    if missing or not os.path.isdir(sky130):
        print("no %s: skipped" % ", ".join(missing or [sky130]))
        return 77
    cells = list(sky130_cells(sky130, sky130_models))
    if argv[4] != "-":
        cells += list(ihp_cells(os.path.abspath(argv[4])))
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        results = list(pool.map(lambda c: check(c, parser), cells))
    wrong = 0
    for library in dict.fromkeys(c.library for c in cells):
        mine = [(c, r) for c, r in zip(cells, results) if c.library == library]
        for c, (ok, what) in mine:
            known = c.name in KNOWN_FAILURES
            if ok and known:
                print("PASSES  %s (%s): listed in KNOWN_FAILURES, remove it from there" % (c.name, what))
            elif not ok and not known:
                print("FAILS   %s: %s" % (c.name, what))
            else:
                print("%-7s %s: %s" % ("ok" if ok else "known", c.name, what))
            wrong += ok == known
        print("%s: %d cells, %d compute their model, %d listed as known failures" %
              (library, len(mine), sum(ok for _, (ok, _) in mine), sum(c.name in KNOWN_FAILURES for c, _ in mine)))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
