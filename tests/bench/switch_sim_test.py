#!/usr/bin/env python3
"""The switch-level reference of bench/switch_level on circuits whose
settling is known: it decides what the transistors decide and leaves races,
fights and lost charge undecided (X).

  switch_sim_test.py BENCH_SWITCH_LEVEL_FOLDER
"""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.abspath(sys.argv.pop(1)))
import check  # noqa: E402
import circuits  # noqa: E402
import switch_sim  # noqa: E402

INV = "M{y}n {y} {a} gnd gnd nmos\nM{y}p {y} {a} vdd vdd pmos\n"


def deck(inputs, outputs, body):
    return "* inputs %s\n* outputs %s\n.subckt t %s %s\n%s.ends\n" % (
        inputs, outputs, inputs, outputs, body)


def run(text, vectors):
    """Outputs after each vector (strings of input bits), from power-up."""
    sim = switch_sim.from_text(text)
    state, seen = sim.initial(), []
    for v in vectors:
        state = sim.step(state, [int(b) for b in v])
        seen.append(switch_sim.fmt(sim.outputs_of(state)))
    return seen


# A latch: a transmission gate from d into n while clk is 1, an inverter
# pair holding n closed by a second one while clk is 0; q = ~n.
LATCH = deck("d clk", "q", INV.format(y="clkb", a="clk") + """
M3 d clk n gnd nmos
M4 d clkb n vdd pmos
M5 nb n gnd gnd nmos
M6 nb n vdd vdd pmos
M7 fb nb gnd gnd nmos
M8 fb nb vdd vdd pmos
M9 fb clkb n gnd nmos
M10 fb clk n vdd pmos
M11 q nb gnd gnd nmos
M12 q nb vdd vdd pmos
""")


class Reference(unittest.TestCase):
    def test_complementary_gates_compute_their_function(self):
        nand = deck("a b", "y", """
M1 y a m gnd nmos
M2 m b gnd gnd nmos
M3 y a vdd vdd pmos
M4 y b vdd vdd pmos
""")
        self.assertEqual(run(nand, ["00", "01", "10", "11", "00"]), ["1", "1", "1", "0", "1"])
        # Rails by other names.
        inv = deck("a", "y", "M1 y a VSS VSS nmos\nM2 y a VPWR VPWR pmos\n")
        self.assertEqual(run(inv, ["0", "1"]), ["1", "0"])

    def test_latch_follows_holds_and_leaves_races_undecided(self):
        self.assertEqual(run(LATCH, ["00", "01", "00", "10", "11", "10", "00"]),
                         ["x", "0", "0", "0", "1", "1", "1"])
        # Data and clock falling together: which comes first decides.
        self.assertEqual(run(LATCH, ["11", "00", "10", "01"]), ["1", "x", "x", "0"])

    def test_fights_and_charge(self):
        # Two transmission gates onto n: a while s, b while t.
        mux = deck("a b s t", "y", INV.format(y="sb", a="s") + INV.format(y="tb", a="t") + """
M5 a s n gnd nmos
M6 a sb n vdd pmos
M7 b t n gnd nmos
M8 b tb n vdd pmos
M9 y n gnd gnd nmos
M10 y n vdd vdd pmos
""")
        # Never driven: unknown; driven then released: keeps its charge;
        # both on with different values: a fight; with the same, no fight;
        # released as the data changes: a race.
        self.assertEqual(run(mux, ["0000", "1010", "1000", "1001", "1011", "0011", "0001", "0100"]),
                         ["x", "0", "0", "1", "x", "1", "1", "x"])
        # A device gated by an unknown may join n to ground against its inverter.
        maybe = deck("a e", "y", INV.format(y="n", a="a") + INV.format(y="y", a="n") + """
M1 n g gnd gnd nmos
M2 a e g gnd nmos
""")
        self.assertEqual(run(maybe, ["00", "01", "11", "10"]), ["x", "0", "1", "1"])

    def test_charge_sharing_of_unequal_charges_is_undecided(self):
        # s loads a into n1 and b into n2; j joins them.
        share = deck("a b s j", "y z", """
M1 a s n1 gnd nmos
M2 b s n2 gnd nmos
M3 n1 j n2 gnd nmos
""" + INV.format(y="y", a="n1") + INV.format(y="z", a="n2"))
        self.assertEqual(run(share, ["1010", "1000", "1001", "1110", "1100", "1101"]),
                         ["01", "01", "xx", "00", "00", "00"])

    def test_cross_coupled_nands_released_together_are_undecided(self):
        sr = deck("s r", "q", """
M1 q s m1 gnd nmos
M2 m1 qb gnd gnd nmos
M3 q s vdd vdd pmos
M4 q qb vdd vdd pmos
M5 qb r m2 gnd nmos
M6 m2 q gnd gnd nmos
M7 qb r vdd vdd pmos
M8 qb q vdd vdd pmos
""")
        self.assertEqual(run(sr, ["01", "11", "10", "11", "00", "11"]), ["1", "1", "0", "0", "1", "x"])

    def test_every_ordered_pair_of_combinations_follows_once(self):
        for k in (1, 2, 5):
            seq = check.de_bruijn(k)
            pairs = list(zip(seq, seq[1:]))
            self.assertEqual(sorted(pairs), [(a, b) for a in range(k) for b in range(k)])

    def test_decks_are_reproducible_and_read_back(self):
        for i in range(len(circuits.KINDS)):
            text, kind = circuits.generate(3, i)
            self.assertEqual(circuits.generate(3, i), (text, kind))
            inputs, outputs, devices = switch_sim.read_deck(text)
            self.assertTrue(2 <= len(inputs) <= 6 and outputs and devices, text)


if __name__ == "__main__":
    unittest.main()
