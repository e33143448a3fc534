#!/usr/bin/env python3
"""Random CMOS circuits through the parser, simulated against a switch-level reference.

  check.py [--parser EXE] [--count N] [--seed S] [--keep DIR] [--known FILE] [-v]
  check.py [--parser EXE] --deck FILE... [-v]

Generates N circuits (circuits.py) from seed S, writes each as Verilog with
the parser's SPICE profile and simulates them in Icarus, many to a run, on
one input sequence each: random steps (--steps, default 64) changing one or
several inputs and, for a circuit whose outputs the inputs alone decide,
every ordered pair of input combinations. After every step each output must
equal the reference (switch_sim.py) wherever the reference is 0 or 1; x
there is a mismatch, and where the reference is X anything goes. A
simulation that spends --timeout seconds of CPU time without finishing a
step is a hang.

Prints a count per kind; with --known, exits 1 when a circuit disagrees (or
hangs, or fails to parse or compile) that FILE does not list by index, and
the full report of such circuits (deck, step, inputs, expected, got); -v
prints it for every failing circuit. --keep writes the deck, the Verilog and
the report of each failing circuit to DIR; --deck checks the given decks
(with `* inputs` and `* outputs` lines) instead. Exits 77 without
iverilog/vvp.
"""
import argparse
import collections
import concurrent.futures
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import zlib

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import circuits  # noqa: E402
import switch_sim  # noqa: E402
from switch_sim import X  # noqa: E402


def de_bruijn(k):
    """0..k-1 arranged so that every ordered pair (a, b) is two consecutive
    elements once: k*k + 1 elements."""
    seq, a = [], [0] * 3

    def db(t, p):
        if t > 2:
            if 2 % p == 0:
                seq.extend(a[1:p + 1])
            return
        a[t] = a[t - p]
        db(t + 1, p)
        for j in range(a[t - p] + 1, k):
            a[t] = j
            db(t + 1, t)
    db(1, 1)
    return seq + seq[:1]


def bits(v, n):
    return [(v >> i) & 1 for i in range(n)]


def reference(text, seed, steps=64):
    """(vectors, expected outputs per vector, whether the inputs alone decide
    the outputs) for the deck TEXT."""
    sim = switch_sim.from_text(text)
    n = len(sim.inputs)
    rng = random.Random(seed)
    table = []
    for v in range(1 << n):
        table.append(sim.outputs_of(sim.step(sim.initial(), bits(v, n))))
    combinational = all(X not in outs for outs in table)
    vectors = [rng.randrange(1 << n)]
    for _ in range(steps - 1):
        r = rng.random()
        flips = 1 if r < 0.6 else 2 if r < 0.85 else rng.randint(1, n)
        v = vectors[-1]
        for i in rng.sample(range(n), min(flips, n)):
            v ^= 1 << i
        vectors.append(v)
    if combinational:
        vectors += de_bruijn(1 << n)
        return vectors, [table[v] for v in vectors], True
    state, expected = sim.initial(), []
    for v in vectors:
        state = sim.step(state, bits(v, n))
        expected.append(sim.outputs_of(state))
    return vectors, expected, False


class Case:
    def __init__(self, index, text, kind):
        self.index, self.text, self.kind = index, text, kind
        self.inputs, self.outputs, _ = switch_sim.read_deck(text)
        self.top = re.search(r"^\.subckt\s+(\S+)", text, re.M | re.I).group(1)
        self.verilog = None
        self.status = None   # agree, disagree, hang, parser, verilog
        self.detail = ""
        self.mismatches = []  # (step, got bits in output order, or "hang")
        self.steps_done = 0


def prepare(case, steps):
    # The inputs follow from the deck alone, so a kept deck replays alike.
    case.vectors, case.expected, case.combinational = reference(case.text, zlib.crc32(case.text.encode()), steps)
    return case


def run_parser(exe, case, work):
    sp = os.path.join(work, "c%d.sp" % case.index)
    out = os.path.join(work, "c%d.v" % case.index)
    open(sp, "w").write(case.text)
    try:
        r = subprocess.run([exe, sp, "-o", out], capture_output=True, text=True, timeout=60)
    except subprocess.TimeoutExpired:
        case.status, case.detail = "parser", "parser ran over 60 s"
        return
    if r.returncode or not os.path.exists(out):
        case.status, case.detail = "parser", "parser exit %d\n%s" % (r.returncode, r.stderr)
        return
    case.verilog = open(out).read()


def module_text(case):
    """The parser's Verilog with every module name prefixed, so that many
    circuits load together."""
    names = set(re.findall(r"^\s*module\s+([A-Za-z_][\w$]*)", case.verilog, re.M))
    pre = "c%d__" % case.index

    def rename(m):
        return m.group(1) + (pre + m.group(2) if m.group(2) in names else m.group(2))
    return re.sub(r"^(\s*(?:module\s+)?)([A-Za-z_][\w$]*)", rename, case.verilog, flags=re.M)


def testbench(cases, work):
    # The circuits run one after the other, each in a time window of its
    # own, and print every step they finish, so a run that stops advancing
    # names the circuit and the step that hang.
    lines = ["module tb;"]
    start = 0
    for c in cases:
        k, ni, no = c.index, len(c.inputs), len(c.outputs)
        width = ni + 2 * no
        mem = os.path.join(work, "c%d.mem" % k)
        with open(mem, "w") as f:
            for v, outs in zip(c.vectors, c.expected):
                f.write("%s_%s_%s\n" % ("".join(str(b) for b in reversed(bits(v, ni))),
                                        "".join("0" if o == X else "1" for o in reversed(outs)),
                                        "".join("0" if o == X else str(o) for o in reversed(outs))))
        # Inputs through a wire: a port the Verilog drives still loads, and
        # what it drives there shows in the simulation.
        pins = [".%s(w%d[%d])" % (p, k, j) for j, p in enumerate(c.inputs)]
        pins += [".%s(o%d[%d])" % (p, k, j) for j, p in enumerate(c.outputs)]
        lines += [
            "  reg [%d:0] i%d; wire [%d:0] w%d = i%d; wire [%d:0] o%d; reg [%d:0] m%d [0:%d]; integer t%d;" % (
                ni - 1, k, ni - 1, k, k, no - 1, k, width - 1, k, len(c.vectors) - 1, k),
            "  c%d__%s u%d (%s);" % (k, c.top, k, ", ".join(pins)),
            "  initial begin",
            '    $readmemb("%s", m%d);' % (mem, k),
            "    #%d;" % start,
            "    for (t%d = 0; t%d < %d; t%d = t%d + 1) begin" % (k, k, len(c.vectors), k, k),
            "      i%d = m%d[t%d][%d:%d];" % (k, k, k, width - 1, 2 * no),
            "      #1;",
            "      if ((o%d & m%d[t%d][%d:%d]) !== (m%d[t%d][%d:0] & m%d[t%d][%d:%d]))" % (
                k, k, k, 2 * no - 1, no, k, k, no - 1, k, k, 2 * no - 1, no),
            '        $display("M %d %%0d %%b", t%d, o%d);' % (k, k, k),
            '      $display("S %d %%0d", t%d); $fflush;' % (k, k),
            "    end",
            '    $display("D %d"); $fflush;' % k,
            "  end",
        ]
        start += len(c.vectors)
    return "\n".join(lines + ["endmodule", ""])


def cpu_seconds(pid):
    """CPU time a running process has used (Linux), or None."""
    try:
        fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    except (OSError, ValueError, IndexError):
        return None


def run_vvp(exe, cwd, stall):
    """(standard output, whether it hung) of a simulation, stopped once it
    spends STALL seconds of CPU time without printing: a zero-delay loop
    never advances time. CPU time rather than wall time, so that a loaded
    machine does not make a slow run look hung."""
    proc = subprocess.Popen(["vvp", "-n", exe], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                            cwd=cwd)
    lines = []
    reader = threading.Thread(target=lambda: lines.extend(proc.stdout), daemon=True)
    reader.start()
    seen, since, wall = 0, cpu_seconds(proc.pid) or 0.0, time.time()
    while True:
        try:
            proc.wait(timeout=0.2)
            break
        except subprocess.TimeoutExpired:
            cpu = cpu_seconds(proc.pid)
            if len(lines) != seen:
                seen, since, wall = len(lines), cpu or 0.0, time.time()
            elif (cpu is not None and cpu - since > stall) or time.time() - wall > 20 * stall:
                proc.kill()
                proc.wait()
                reader.join()
                return "".join(lines), True
    reader.join()
    return "".join(lines), False


def simulate(cases, work, timeout):
    """Runs CASES in one simulation. A batch that fails to compile is split
    until the culprits stand alone; one that hangs goes on after the circuit
    that hangs."""
    os.makedirs(work, exist_ok=True)
    src, exe = os.path.join(work, "all.v"), os.path.join(work, "sim.vvp")
    with open(src, "w") as f:
        for c in cases:
            f.write(module_text(c))
        f.write(testbench(cases, work))

    def alone(todo):
        for c in todo:
            simulate([c], os.path.join(work, "c%d" % c.index), timeout)
    try:
        r = subprocess.run(["iverilog", "-g2005", "-o", exe, "-s", "tb", src], capture_output=True, text=True,
                           timeout=120)
        failed = r.returncode != 0
    except subprocess.TimeoutExpired:
        r, failed = None, True
    if failed:
        if len(cases) > 1:
            return alone(cases)
        cases[0].status = "verilog"
        cases[0].detail = "iverilog: " + ((r.stdout + r.stderr) if r else "ran over 120 s")
        return
    out, hung = run_vvp(exe, work, timeout)
    by_index = {c.index: c for c in cases}
    done = set()
    for line in out.splitlines():
        w = line.split()
        if len(w) == 4 and w[0] == "M" and int(w[1]) in by_index:
            by_index[int(w[1])].mismatches.append((int(w[2]), w[3][::-1]))
        elif len(w) == 2 and w[0] == "D":
            done.add(int(w[1]))
        elif len(w) == 3 and w[0] == "S" and int(w[1]) in by_index:
            by_index[int(w[1])].steps_done = int(w[2]) + 1
    for c in cases:
        if c.index in done:
            c.status = "disagree" if c.mismatches else "agree"
    rest = [c for c in cases if c.index not in done]
    if rest:
        rest[0].status = "hang" if hung else "verilog"
        rest[0].detail = "simulation ended early\n" + out[-2000:]
        if hung:
            rest[0].detail = "no progress in %g s of CPU time at step %d" % (timeout, rest[0].steps_done)
            rest[0].mismatches.append((rest[0].steps_done, "hang"))
        for c in rest[1:]:
            c.mismatches = []
        if len(rest) > 1:
            simulate(rest[1:], os.path.join(work, "after%d" % rest[0].index), timeout)


def report(c, limit=8):
    """The deck and the first mismatching steps of case C."""
    lines = ["circuit %d (%s): %s" % (c.index, c.kind, c.status)]
    if c.detail:
        lines.append(c.detail.rstrip())
    lines += ["  " + l for l in c.text.rstrip().splitlines()]
    if c.mismatches:
        lines.append("  %d mismatching steps (inputs %s; outputs %s):" % (
            sum(got != "hang" for _, got in c.mismatches), " ".join(c.inputs), " ".join(c.outputs)))
        for t, got in c.mismatches[:limit] + [m for m in c.mismatches[limit:] if m[1] == "hang"]:
            prev = "".join(str(b) for b in bits(c.vectors[t - 1], len(c.inputs))) if t else "-"
            lines.append("  step %d inputs %s -> %s expected %s got %s" % (
                t, prev, "".join(str(b) for b in bits(c.vectors[t], len(c.inputs))),
                switch_sim.fmt(c.expected[t]), got))
    return "\n".join(lines)


def read_known(path):
    """{index: why} from a file of lines `INDEX KIND STATUS WHY`."""
    known = {}
    for line in open(path):
        words = line.split("#", 1)[0].split()
        if words:
            known[int(words[0])] = words[-1]
    return known


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--parser", default=os.path.join(here, "..", "..", "build", "driver", "parser"))
    ap.add_argument("--count", type=int, default=400)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--deck", nargs="+", help="check these decks instead of generated ones")
    ap.add_argument("--keep", help="folder for the deck, Verilog and report of each failing circuit")
    ap.add_argument("--known", help="file listing the indices of circuits known to fail")
    ap.add_argument("--steps", type=int, default=64, help="random input steps per circuit")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--batch", type=int, default=25, help="circuits per simulation")
    ap.add_argument("--timeout", type=float, default=0.5,
                    help="CPU seconds a simulation may spend without advancing before it counts as hung")
    ap.add_argument("-v", "--verbose", action="store_true")
    args = ap.parse_args()
    if not shutil.which("iverilog") or not shutil.which("vvp"):
        print("iverilog/vvp not on PATH: skipped")
        return 77
    start = time.time()
    if args.deck:
        cases = []
        for i, path in enumerate(args.deck):
            text = open(path).read()
            kind = re.search(r"^\*\s*kind\s+(\S+)", text, re.M)
            cases.append(Case(i, text, kind.group(1) if kind else "deck"))
    else:
        cases = [Case(i, *circuits.generate(args.seed, i)) for i in range(args.count)]
    with concurrent.futures.ProcessPoolExecutor(args.jobs) as pool:
        cases = list(pool.map(prepare, cases, [args.steps] * len(cases), chunksize=8))
    times = [time.time()]
    work = tempfile.mkdtemp(prefix="switch_level.")
    try:
        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            list(pool.map(lambda c: run_parser(args.parser, c, work), cases))
            times.append(time.time())
            ready = [c for c in cases if c.verilog is not None]
            batches = [ready[i:i + args.batch] for i in range(0, len(ready), args.batch)]
            list(pool.map(lambda b: simulate(b[1], os.path.join(work, "b%d" % b[0]), args.timeout),
                          enumerate(batches)))
    finally:
        shutil.rmtree(work)

    statuses = ("agree", "disagree", "hang", "parser", "verilog")
    kinds = list(dict.fromkeys(c.kind for c in cases))
    print("%-10s %8s" % ("kind", "circuits") + "".join(" %8s" % s for s in statuses))
    for kind in kinds + ["all"]:
        group = [c for c in cases if kind in ("all", c.kind)]
        print("%-10s %8d" % (kind, len(group)) + "".join(" %8d" % sum(c.status == s for c in group) for s in statuses))
    failing = [c for c in cases if c.status != "agree"]
    times.append(time.time())
    print("combinational circuits: %d; steps: %d; %.1f s (reference %.1f, parser %.1f, simulation %.1f)" % (
        sum(c.combinational for c in cases), sum(len(c.vectors) for c in cases), times[-1] - start,
        times[0] - start, times[1] - times[0], times[2] - times[1]))
    if failing:
        print("failing: " + " ".join("%d:%s:%s" % (c.index, c.kind, c.status) for c in failing))
    known = read_known(args.known) if args.known else None
    new = [c for c in failing if known is not None and c.index not in known]
    if known:
        why = collections.Counter(known[c.index] for c in failing if c.index in known)
        print("listed failures by cause: " + ", ".join("%s %d" % w for w in sorted(why.items())))
    for c in failing:
        if args.verbose or c in new:
            print("\n" + report(c))
    if args.keep and failing:
        os.makedirs(args.keep, exist_ok=True)
        for c in failing:
            name = os.path.join(args.keep, "c%d" % c.index)
            open(name + ".sp", "w").write(c.text)
            open(name + ".txt", "w").write(report(c, limit=len(c.mismatches)) + "\n")
            if c.verilog is not None:
                open(name + ".v", "w").write(c.verilog)
    if known is None:
        return 0
    fixed = sorted(c.index for c in cases if c.status == "agree" and c.index in known)
    if fixed:
        print("listed as failing but agreeing now (take them off %s): %s" % (args.known, " ".join(map(str, fixed))))
    if new:
        print("%d failing circuits not listed in %s" % (len(new), args.known))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
