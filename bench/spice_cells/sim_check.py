#!/usr/bin/env python3
"""Simulates a written netlist against the cell-level design on random inputs.

  sim_check.py NETLIST.v REFERENCE.v TOP [--vectors N] [--seed S]

NETLIST.v must hold module TOP (and everything it instantiates), REFERENCE.v
module TOP_ref with the same signal ports. Supply and ground ports of TOP
(VPWR/VDD..., VGND/VSS/GND...) are tied to 1 and 0. Each vector is applied,
and after a settling delay every output must be equal (0/1, no x or z).
Needs iverilog and vvp; exits 2 without them, 1 on a mismatch.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

SUPPLY = re.compile(r"^(vpwr|vdd|vcc|vpb)!?$", re.I)
GROUND = re.compile(r"^(vgnd|vss|gnd|vnb|0)!?$", re.I)


def module_ports(text, name):
    m = re.search(r"^\s*module\s+%s\s*\((.*?)\)\s*;(.*?)^\s*endmodule" % re.escape(name), text, re.M | re.S)
    if not m:
        sys.exit("no module %s" % name)
    ports = [p.strip() for p in m.group(1).replace("\n", " ").split(",") if p.strip()]
    ports = [re.sub(r"^(input|output|inout)\s+(wire\s+)?", "", p).strip() for p in ports]
    body = m.group(1) + ";" + m.group(2)
    outputs = set()
    for d in re.finditer(r"\boutput\s+(?:wire\s+)?([^;]*);", body):
        outputs.update(x.strip() for x in d.group(1).split(","))
    return ports, outputs


def plain(name):
    return name[1:].strip() if name.startswith("\\") else name


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("netlist")
    ap.add_argument("reference")
    ap.add_argument("top")
    ap.add_argument("--vectors", type=int, default=200)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    if not shutil.which("iverilog") or not shutil.which("vvp"):
        print("iverilog/vvp not on PATH: simulation skipped")
        sys.exit(2)
    ref_ports, ref_outs = module_ports(open(args.reference).read(), args.top + "_ref")
    dut_ports, _ = module_ports(open(args.netlist).read(), args.top)
    ins = [p for p in ref_ports if p not in ref_outs]
    outs = [p for p in ref_ports if p in ref_outs]
    width = max(32, (len(ins) + 31) // 32 * 32)
    dut_conn, ref_conn = [], []
    for i, p in enumerate(ins):
        ref_conn.append(".%s(in[%d])" % (p, i))
    for i, p in enumerate(outs):
        ref_conn.append(".%s(r[%d])" % (p, i))
    known = {p: ".%s(in[%d])" % (p, i) for i, p in enumerate(ins)}
    known.update({p: ".%s(d[%d])" % (p, i) for i, p in enumerate(outs)})
    for p in dut_ports:
        q = plain(p)
        esc = p if p.startswith("\\") else q
        if q in known:
            dut_conn.append(known[q])
        elif SUPPLY.match(q):
            dut_conn.append(".%s (1'b1)" % esc)
        elif GROUND.match(q):
            dut_conn.append(".%s (1'b0)" % esc)
    tb = """module tb;
  reg [%d:0] in;
  wire [%d:0] d, r;
  integer i, bad, seed;
  %s dut (%s);
  %s_ref ref0 (%s);
  initial begin
    bad = 0; seed = %d;
    for (i = 0; i < %d; i = i + 1) begin
%s      #10;
      if (d !== r) begin
        bad = bad + 1;
        if (bad <= 5) $display("vector %%0d: netlist %%b reference %%b", i, d, r);
      end
    end
    $display("vectors %%0d mismatches %%0d", %d, bad);
    $finish;
  end
endmodule
""" % (width - 1, len(outs) - 1, args.top, ", ".join(dut_conn), args.top, ", ".join(ref_conn), args.seed, args.vectors,
       "".join("      in[%d +: 32] = $random(seed);\n" % (32 * k) for k in range(width // 32)), args.vectors)
    work = tempfile.mkdtemp()
    try:
        open(os.path.join(work, "tb.v"), "w").write(tb)
        exe = os.path.join(work, "sim.vvp")
        r = subprocess.run(["iverilog", "-g2012", "-o", exe, "-s", "tb", args.netlist, args.reference, os.path.join(work, "tb.v")],
                           capture_output=True, text=True)
        if r.returncode:
            print(r.stdout + r.stderr)
            sys.exit(1)
        r = subprocess.run(["vvp", "-n", exe], capture_output=True, text=True)
        print(r.stdout.strip())
        m = re.search(r"mismatches (\d+)", r.stdout)
        sys.exit(0 if m and m.group(1) == "0" else 1)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
