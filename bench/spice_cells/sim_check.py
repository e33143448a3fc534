#!/usr/bin/env python3
"""Simulates a written netlist against the cell-level design on random inputs.

  sim_check.py NETLIST.v REFERENCE.v TOP [--ref MODULE] [--vectors N] [--seed S] [--timeout S] [--strobe NAME]...

NETLIST.v must hold module TOP (and everything it instantiates), REFERENCE.v
module TOP_ref (or MODULE) with the same signal ports. Supply and ground
ports of TOP (VPWR/VDD/VCCD1..., VGND/VSS/VSSD1/GND...) are tied to 1 and 0.
Each vector is applied,
and after a settling delay every output must be equal (0/1, no x or z); a
simulation that does not end in time (slow, or a loop of the netlist that
never settles) counts as a mismatch. A --strobe input (a latch's write
enable) is held at 0 while the other inputs change, then takes its random
value, and goes back to 0 once the outputs are compared, so that no
state is written while its address and data change. Needs iverilog and vvp; exits 2 without
them, 1 on a mismatch.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

SUPPLY = re.compile(r"^(vpwr|vdd|vcc|vccd|vpb)\d*!?$", re.I)
GROUND = re.compile(r"^(vgnd|vss|vssd|gnd|vnb|0)\d*!?$", re.I)


def plain(name):
    name = name.strip()
    return name[1:] if name.startswith("\\") else name


def port(name):
    # Followed by a space, an escaped name ends where a plain one would.
    return ("\\" + name if not re.fullmatch(r"[A-Za-z_][\w$]*", name) else name) + " "


def module_ports(text, name):
    m = re.search(r"^\s*module\s+%s\s*\((.*?)\)\s*;(.*?)^\s*endmodule" % re.escape(name), text, re.M | re.S)
    if not m:
        sys.exit("no module %s" % name)
    ports = [p.strip() for p in m.group(1).replace("\n", " ").split(",") if p.strip()]
    ports = [plain(re.sub(r"^(input|output|inout)\s+(wire\s+)?", "", p)) for p in ports]
    body = m.group(1) + ";" + m.group(2)
    outputs = set()
    for d in re.finditer(r"\boutput\s+(?:wire\s+)?([^;]*);", body):
        outputs.update(plain(x) for x in d.group(1).split(","))
    return ports, outputs


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("netlist")
    ap.add_argument("reference")
    ap.add_argument("top")
    ap.add_argument("--ref", help="the reference module (default: TOP_ref)")
    ap.add_argument("--vectors", type=int, default=200)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--timeout", type=float, default=600, help="seconds for the simulation")
    ap.add_argument("--strobe", action="append", default=[], help="an input held at 0 while the others change")
    args = ap.parse_args()
    if not shutil.which("iverilog") or not shutil.which("vvp"):
        print("iverilog/vvp not on PATH: simulation skipped")
        sys.exit(2)
    ref = args.ref or args.top + "_ref"
    ref_ports, ref_outs = module_ports(open(args.reference).read(), ref)
    dut_ports, _ = module_ports(open(args.netlist).read(), args.top)
    ins = [p for p in ref_ports if p not in ref_outs]
    outs = [p for p in ref_ports if p in ref_outs]
    width = max(32, (len(ins) + 31) // 32 * 32)
    strobes = [i for i, p in enumerate(ins) if p in args.strobe]
    hold = "".join("      in[%d] = 1'b0;\n" % i for i in strobes)
    # The vector's strobe values, kept aside while the rest settles.
    keep = "".join("      s[%d] = in[%d];\n" % (k, i) for k, i in enumerate(strobes))
    release = "".join("      in[%d] = s[%d];\n" % (i, k) for k, i in enumerate(strobes))
    dut_conn, ref_conn = [], []
    for i, p in enumerate(ins):
        ref_conn.append(".%s(in[%d])" % (port(p), i))
    for i, p in enumerate(outs):
        ref_conn.append(".%s(r[%d])" % (port(p), i))
    known = {p: "in[%d]" % i for i, p in enumerate(ins)}
    known.update({p: "d[%d]" % i for i, p in enumerate(outs)})
    for p in dut_ports:
        if p in known:
            dut_conn.append(".%s(%s)" % (port(p), known[p]))
        elif SUPPLY.match(p):
            dut_conn.append(".%s(1'b1)" % port(p))
        elif GROUND.match(p):
            dut_conn.append(".%s(1'b0)" % port(p))
    tb = """module tb;
  reg [%d:0] in;
  wire [%d:0] d, r;
  reg [%d:0] wrong;
  reg [%d:0] s;
  integer i, j, bad, seed, outs;
  %s dut (%s);
  %s ref0 (%s);
  initial begin
    bad = 0; seed = %d; wrong = 0;
    for (i = 0; i < %d; i = i + 1) begin
      // Seen even when a vector never settles and the run is stopped.
      $display("at vector %%0d mismatches %%0d", i, bad);
      $fflush;
%s%s%s      #10;
%s      #10;
      if (d !== r) begin
        bad = bad + 1;
        if (bad <= 5) $display("vector %%0d: netlist %%b reference %%b", i, d, r);
        for (j = 0; j < %d; j = j + 1)
          if (d[j] !== r[j]) wrong[j] = 1;
      end
%s      #10;
    end
    outs = 0;
    for (j = 0; j < %d; j = j + 1)
      outs = outs + wrong[j];
    $display("vectors %%0d mismatches %%0d outputs wrong %%0d of %d", %d, bad, outs);
    $finish;
  end
endmodule
""" % (width - 1, len(outs) - 1, len(outs) - 1, max(0, len(strobes) - 1), args.top, ", ".join(dut_conn), ref,
       ", ".join(ref_conn), args.seed, args.vectors,
       "".join("      in[%d +: 32] = $random(seed);\n" % (32 * k) for k in range(width // 32)), keep, hold, release,
       len(outs), hold, len(outs), len(outs), args.vectors)
    work = tempfile.mkdtemp()
    try:
        open(os.path.join(work, "tb.v"), "w").write(tb)
        exe = os.path.join(work, "sim.vvp")
        r = subprocess.run(["iverilog", "-g2012", "-o", exe, "-s", "tb", args.netlist, args.reference, os.path.join(work, "tb.v")],
                           capture_output=True, text=True)
        if r.returncode:
            print(r.stdout + r.stderr)
            sys.exit(1)
        try:
            r = subprocess.run(["vvp", "-n", exe], capture_output=True, text=True, timeout=args.timeout)
        except subprocess.TimeoutExpired as e:
            out = e.stdout.decode() if isinstance(e.stdout, bytes) else e.stdout or ""
            at = re.findall(r"^at vector (\d+) mismatches (\d+)", out, re.M)
            where = "at vector %s, %s mismatches before" % at[-1] if at else "before the first vector"
            print("stopped after %g s %s (slow, or a loop of the netlist never settles)" % (args.timeout, where))
            sys.exit(1)
        print("\n".join(l for l in r.stdout.strip().splitlines() if not l.startswith("at vector ")))
        m = re.search(r"mismatches (\d+)", r.stdout)
        sys.exit(0 if m and m.group(1) == "0" else 1)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
