#!/usr/bin/env python3
"""Generates an SRAM-style array as a hierarchical SPICE deck.

  gen_sram.py --address-bits A --width W --out DIR

2^A rows of W bit cells. A bit cell is a gated latch of four NAND gates
(written when its word line is high) and a read stage that ORs its value,
when its read line is high, into the column's chain from the row above:
bo = bi | (q & rl). Each row has a decoder of NAND, NOR and inverter gates
that raises its word line when the address matches and write is enabled,
its read line when read is enabled. Every port of every subcircuit only
reaches MOSFET gates or is driven by a static gate, so the whole hierarchy
is kept. Writes into DIR:
  sram.sp      the deck: bitcell, row, rowdec, decoder gates and the top sram
  reference.v  the same array at gate level (module sram_ref)
"""
import argparse
import os

NFET, PFET = "nfet", "pfet"


def mos(name, d, g, s, b, model, w):
    return "M%s %s %s %s %s %s w=%s l=0.15u\n" % (name, d, g, s, b, model, w)


def inv(name, a, y):
    return mos(name + "n", y, a, "vss", "vss", NFET, "0.65u") + mos(name + "p", y, a, "vdd", "vdd", PFET, "1u")


def series_parallel(name, ins, y, series, parallel):
    """A static gate: `series` = (letter, rail, model, width) stacks its
    devices from the rail to y, `parallel` puts one beside another from y to
    its own rail."""
    (s_tag, s_rail, s_model, s_w), (p_tag, p_rail, p_model, p_w) = series, parallel
    out, prev = "", s_rail
    for k, a in enumerate(ins):
        nxt = y if k == len(ins) - 1 else "%s_s%d" % (name, k)
        out += mos("%s%s%d" % (name, s_tag, k), nxt, a, prev, s_rail, s_model, s_w)
        prev = nxt
    for k, a in enumerate(ins):
        out += mos("%s%s%d" % (name, p_tag, k), y, a, p_rail, p_rail, p_model, p_w)
    return out


def nand(name, ins, y):
    return series_parallel(name, ins, y, ("n", "vss", NFET, "0.65u"), ("p", "vdd", PFET, "1u"))


def nor(name, ins, y):
    return series_parallel(name, ins, y, ("p", "vdd", PFET, "1u"), ("n", "vss", NFET, "0.65u"))


def subckt(name, pins, body):
    return ".subckt %s %s\n%s.ends %s\n\n" % (name, " ".join(pins), body, name)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--address-bits", type=int, default=10)
    ap.add_argument("--width", type=int, default=1024)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    a_bits, width, rows = args.address_bits, args.width, 1 << args.address_bits
    os.makedirs(args.out, exist_ok=True)
    with open(os.path.join(args.out, "sram.sp"), "w") as f:
        f.write("* SRAM-style array: %d rows of %d bit cells\n" % (rows, width))
        # Bit cell: latch q = wl ? d : q, then bo = bi | (q & rl).
        cell = nand("s", ["d", "wl"], "sb") + nand("r", ["db", "wl"], "rb")
        cell += nand("q", ["sb", "qb"], "q") + nand("x", ["rb", "q"], "qb")
        cell += nand("a", ["q", "rl"], "qr") + inv("i", "bi", "bin") + nand("o", ["qr", "bin"], "bo")
        f.write(subckt("bitcell", ["d", "db", "wl", "rl", "bi", "bo", "vdd", "vss"], cell))
        # Row decoder: all A address lines (true or complement, as called) high.
        dec, parts = "", []
        for k in range(0, a_bits, 4):
            group = ["s%d" % i for i in range(k, min(k + 4, a_bits))]
            dec += nand("n%d" % k, group, "m%d" % k) if len(group) > 1 else inv("n%d" % k, group[0], "m%d" % k)
            parts.append("m%d" % k)
        dec += (nor("all", parts, "hit") if len(parts) > 1 else inv("all", parts[0], "hit")) + inv("h", "hit", "miss")
        dec += nor("w", ["miss", "web"], "wl") + nor("r", ["miss", "reb"], "rl")
        f.write(subckt("rowdec", ["s%d" % i for i in range(a_bits)] + ["web", "reb", "wl", "rl", "vdd", "vss"], dec))
        body = ""
        for c in range(width):
            body += "Xb[%d] d[%d] db[%d] wl rl bi[%d] bo[%d] vdd vss bitcell\n" % (c, c, c, c, c)
        f.write(subckt("row", ["d[%d]" % c for c in range(width)] + ["db[%d]" % c for c in range(width)] +
                       ["wl", "rl"] + ["bi[%d]" % c for c in range(width)] + ["bo[%d]" % c for c in range(width)] +
                       ["vdd", "vss"], body))
        top = ""
        for i in range(a_bits):
            top += inv("ai%d" % i, "addr[%d]" % i, "an[%d]" % i)
        top += inv("we", "we", "web") + inv("re", "re", "reb")
        for c in range(width):
            top += inv("din%d" % c, "din[%d]" % c, "db[%d]" % c)
        for r in range(rows):
            sel = ["addr[%d]" % i if r >> i & 1 else "an[%d]" % i for i in range(a_bits)]
            top += "Xdec[%d] %s web reb wl[%d] rl[%d] vdd vss rowdec\n" % (r, " ".join(sel), r, r)
            chain_in = ["vss"] * width if r == 0 else ["c%d[%d]" % (r - 1, c) for c in range(width)]
            chain_out = ["dout[%d]" % c if r == rows - 1 else "c%d[%d]" % (r, c) for c in range(width)]
            top += "Xrow[%d] %s %s wl[%d] rl[%d] %s %s vdd vss row\n" % (
                r, " ".join("din[%d]" % c for c in range(width)), " ".join("db[%d]" % c for c in range(width)), r, r,
                " ".join(chain_in), " ".join(chain_out))
        f.write(subckt("sram", ["addr[%d]" % i for i in range(a_bits)] + ["we", "re"] +
                       ["din[%d]" % c for c in range(width)] + ["dout[%d]" % c for c in range(width)] + ["vdd", "vss"],
                       top))
        f.write(".end\n")
    with open(os.path.join(args.out, "reference.v"), "w") as f:
        ports = ["addr", "we", "re", "din", "dout"]
        f.write("module sram_ref(%s);\n" % ", ".join(
            ["\\addr[%d] " % i for i in range(a_bits)] + ["we", "re"] + ["\\din[%d] " % c for c in range(width)] +
            ["\\dout[%d] " % c for c in range(width)]))
        for i in range(a_bits):
            f.write("input \\addr[%d] ;\n" % i)
        f.write("input we, re;\n")
        for c in range(width):
            f.write("input \\din[%d] ;\noutput \\dout[%d] ;\n" % (c, c))
        f.write("wire [%d:0] a = {%s};\n" % (a_bits - 1, ", ".join("\\addr[%d] " % i for i in reversed(range(a_bits)))))
        f.write("wire [%d:0] d = {%s};\n" % (width - 1, ", ".join("\\din[%d] " % c for c in reversed(range(width)))))
        f.write("reg [%d:0] mem [0:%d];\n" % (width - 1, rows - 1))
        f.write("always @* if (we) mem[a] = d;\n")
        f.write("wire [%d:0] q = re ? mem[a] : %d'b0;\n" % (width - 1, width))
        for c in range(width):
            f.write("assign \\dout[%d] = q[%d];\n" % (c, c))
        f.write("endmodule\n")
        del ports


if __name__ == "__main__":
    main()
