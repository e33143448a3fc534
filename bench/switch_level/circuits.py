"""Random static CMOS circuits of a few to about 40 MOSFETs, as SPICE decks.

Each circuit has a kind, the structure it is built around:

  gates      complementary gates: INV, NAND, NOR, AOI, OAI, random
             series-parallel pull-downs with their dual pull-ups
  tgate      nodes driven by transmission gates
  passmux    multiplexers of pass transistors or transmission gates
  xor        XOR/XNOR of pass devices, transmission gates, inverters powered
             by signals
  tristate   clocked inverters driving a shared node
  latch      a node fed by a transmission gate or clocked inverter and held
             by an inverter pair closed by another (or by gates with a reset);
             cross-coupled gates
  flipflop   two such latches on opposite clock phases
  loop       pass networks steering each other: nodes driven through devices
             whose gates are nodes of the same network

Controls of pass devices come from an input and its inverter, a gate output
and its inverter, or two unrelated signals (which may both turn on or off).
Some gates feed the structure and read its nodes; the output ports are
inverters reading chosen nets, as cells restore their outputs. The same
(seed, index) gives the same deck.
"""
import random

KINDS = ("gates", "tgate", "passmux", "xor", "tristate", "latch", "flipflop", "loop")
RAILS = (("vdd", "gnd"), ("VDD", "VSS"), ("VPWR", "VGND"))


class Builder:
    def __init__(self, rng, inputs, rails):
        self.rng = rng
        self.inputs = inputs
        self.vdd, self.gnd = rails
        self.cards = []
        self.nets = 0
        self.signals = list(inputs)   # restored nets: inputs and gate outputs
        self.watch = []               # nets worth an output port
        self.inverse = {}             # net -> its inverter's output

    def net(self):
        self.nets += 1
        return "n%d" % self.nets

    def fet(self, p, d, g, s):
        bulk = self.vdd if p else self.gnd
        self.cards.append("M%d %s %s %s %s %s" % (len(self.cards) + 1, d, g, s, bulk, "pmos" if p else "nmos"))

    def size(self):
        return len(self.cards)

    def pick(self):
        return self.rng.choice(self.signals)

    def picks(self, k):
        """K signals, distinct while there are enough."""
        pool = list(dict.fromkeys(self.signals))
        self.rng.shuffle(pool)
        return [pool[i % len(pool)] for i in range(k)]

    # --- complementary gates ---------------------------------------------

    def network(self, tree, top, bottom, p):
        """Series-parallel TREE of devices between TOP and BOTTOM."""
        if isinstance(tree, str):
            self.fet(p, top, tree, bottom)
            return
        op, kids = tree
        if op == "p":
            for k in kids:
                self.network(k, top, bottom, p)
            return
        for i, k in enumerate(kids):
            below = bottom if i == len(kids) - 1 else self.net()
            self.network(k, top, below, p)
            top = below

    def gate(self, tree, out=None):
        """A complementary gate: pull-down TREE, its dual as pull-up."""
        def dual(t):
            return t if isinstance(t, str) else ("s" if t[0] == "p" else "p", [dual(k) for k in t[1]])
        out = out or self.net()
        self.network(tree, out, self.gnd, False)
        self.network(dual(tree), out, self.vdd, True)
        self.signals.append(out)
        return out

    def inv(self, a):
        if a not in self.inverse:
            self.inverse[a] = self.gate(a)
        return self.inverse[a]

    def random_tree(self, leaves):
        r = self.rng
        pool = self.picks(leaves)
        if leaves == 1:
            return pool[0]
        shape = r.choice({2: ("s", "p"), 3: ("s", "p", "aoi", "oai"), 4: ("aoi22", "oai22", "sp"), 5: ("sp",)}[leaves])
        if shape in ("s", "p"):
            return (shape, pool)
        if shape == "aoi":
            return ("p", [("s", pool[:2]), pool[2]])
        if shape == "oai":
            return ("s", [("p", pool[:2]), pool[2]])
        if shape in ("aoi22", "oai22"):
            inner, outer = ("s", "p") if shape == "aoi22" else ("p", "s")
            return (outer, [(inner, pool[:2]), (inner, pool[2:])])

        def sp(n, op):
            if n == 1:
                return pool.pop()
            parts = r.randint(2, min(3, n))
            cuts = sorted(r.sample(range(1, n), parts - 1))
            sizes = [b - a for a, b in zip([0] + cuts, cuts + [n])]
            return (op, [sp(k, "p" if op == "s" else "s") for k in sizes])
        return sp(leaves, r.choice("sp"))

    def random_gate(self):
        self.gate(self.random_tree(self.rng.choice((1, 2, 2, 3, 3, 4, 5))))

    # --- pass devices ----------------------------------------------------

    def control(self):
        """(c, cb): the gates of a transmission gate's n and p devices."""
        r = self.rng.random()
        if r < 0.45:
            c = self.rng.choice(self.inputs)
        elif r < 0.7:
            c = self.pick()
        else:
            c, cb = self.pick(), self.pick()
            return (c, cb) if c != cb else (c, self.inv(c))
        return (c, self.inv(c)) if self.rng.random() < 0.8 else (self.inv(c), c)

    def tg(self, a, b, c, cb):
        self.fet(False, a, c, b)
        self.fet(True, a, cb, b)

    def tristate_inv(self, a, en, enb, out):
        """Drives ~A onto OUT while EN (and ENB low); else floats."""
        pm, nm = self.net(), self.net()
        if self.rng.random() < 0.5:   # enable devices next to the output
            self.fet(True, pm, a, self.vdd)
            self.fet(True, out, enb, pm)
            self.fet(False, out, en, nm)
            self.fet(False, nm, a, self.gnd)
        else:
            self.fet(True, pm, enb, self.vdd)
            self.fet(True, out, a, pm)
            self.fet(False, out, a, nm)
            self.fet(False, nm, en, self.gnd)

    # --- structures by kind ----------------------------------------------

    def tgate(self):
        n = self.net()
        sources = [self.pick()] + [self.pick() for _ in range(self.rng.randint(0, 2))]
        for s in sources:
            c, cb = self.control()
            self.tg(s, n, c, cb)
        self.watch.append(n)
        if self.rng.random() < 0.4:   # a chain: the node feeds another TG
            m = self.net()
            c, cb = self.control()
            self.tg(n, m, c, cb)
            self.watch.append(m)
        else:
            self.signals.append(self.inv(n))

    def passmux(self):
        r = self.rng
        out = self.net()
        style = r.choice(("nmos", "tg", "tree"))
        if style == "tree":   # 4:1 of n devices, two selects
            s0, s1 = r.sample(self.inputs, 2) if len(self.inputs) > 1 else (self.pick(), self.pick())
            mids = [self.net(), self.net()]
            for k in range(4):
                sel0 = s0 if k & 1 else self.inv(s0)
                self.fet(False, mids[k >> 1], sel0, self.pick())
            self.fet(False, out, self.inv(s1), mids[0])
            self.fet(False, out, s1, mids[1])
        else:
            c, cb = self.control()
            d0, d1 = self.pick(), self.pick()
            if style == "nmos":
                self.fet(False, out, cb, d0)
                self.fet(False, out, c, d1)
            else:
                self.tg(d0, out, cb, c)
                self.tg(d1, out, c, cb)
        self.watch.append(out)
        self.signals.append(self.inv(out))

    def xor(self):
        r = self.rng
        a, b = self.picks(2)
        y = self.net()
        style = r.choice(("inv6", "tg", "cpl", "tg_xnor"))
        if style == "inv6":   # an inverter of A powered by B and ~B
            self.fet(True, y, a, b)
            self.fet(False, y, a, self.inv(b))
        elif style == "tg":   # B ? ~A : A
            self.tg(a, y, self.inv(b), b)
            self.tg(self.inv(a), y, b, self.inv(b))
        elif style == "tg_xnor":   # B ? A : ~A
            self.tg(self.inv(a), y, self.inv(b), b)
            self.tg(a, y, b, self.inv(b))
        else:   # n devices only
            self.fet(False, y, self.inv(b), a)
            self.fet(False, y, b, self.inv(a))
        self.watch.append(y)
        self.signals.append(self.inv(y))

    def tristate(self):
        n = self.net()
        for _ in range(self.rng.randint(1, 3)):
            en, enb = self.control()
            self.tristate_inv(self.pick(), en, enb, n)
        if self.rng.random() < 0.3:
            c, cb = self.control()
            self.tg(self.pick(), n, c, cb)
        self.watch.append(n)
        self.signals.append(self.inv(n))

    def latch(self, d=None, clocks=None):
        """A latch transparent while clocks[0] is 1; returns (node, ~node)."""
        r = self.rng
        d = d or self.pick()
        c, cb = clocks or self.control()
        n = self.net()
        if r.random() < 0.7:
            self.tg(d, n, c, cb)
        else:
            self.tristate_inv(d, c, cb, n)
        if r.random() < 0.7:
            nb = self.gate(n)
        else:   # a NAND or NOR with a reset input keeps the loop
            nb = self.gate(("s" if r.random() < 0.5 else "p", [n, self.rng.choice(self.inputs)]))
        if r.random() < 0.5:
            fb = self.net()
            self.gate(nb, fb)
            self.tg(fb, n, cb, c)
        else:
            self.tristate_inv(nb, cb, c, n)
        self.watch.append(n)
        return n, nb

    def cross_coupled(self):
        op = self.rng.choice("sp")
        q, qb = self.net(), self.net()
        self.gate((op, [self.rng.choice(self.inputs), qb]), q)
        self.gate((op, [self.rng.choice(self.inputs), q]), qb)
        self.watch += [q, qb]

    def flipflop(self):
        c, cb = self.control()
        _, mb = self.latch(clocks=(cb, c))
        self.latch(d=mb, clocks=(c, cb))

    def loop(self):
        r = self.rng
        if r.random() < 0.3:   # a pass XOR of three reading its own nodes
            a, b, c = self.picks(3)
            lo, hi, y = self.net(), self.net(), self.net()
            self.fet(False, a, b, lo)
            self.fet(False, b, a, lo)
            self.fet(True, a, b, hi)
            self.fet(True, b, a, hi)
            self.fet(False, lo, c, y)
            self.fet(False, c, lo, y)
            self.fet(True, hi, c, y)
            self.fet(True, c, hi, y)
            self.watch.append(y)
            self.signals.append(self.inv(y))
            return
        nodes = [self.net() for _ in range(r.randint(2, 3))]
        for n in nodes:
            for _ in range(r.randint(1, 2)):
                src = r.choice(nodes + [self.pick()] * 2)
                if src == n:
                    src = self.pick()
                ctl = r.choice(nodes + [self.pick()])
                if ctl in nodes and r.random() < 0.5:
                    ctl = self.inv(ctl)
                if r.random() < 0.5:
                    self.tg(src, n, ctl, self.inv(ctl))
                else:
                    self.fet(r.random() < 0.5, n, ctl, src)
        self.watch += nodes


def generate(seed, index):
    """The deck text of circuit INDEX of SEED, and its kind."""
    rng = random.Random(seed * 1000003 + index)
    kind = KINDS[index % len(KINDS)]
    inputs = ["i%d" % k for k in range(rng.randint(2, 6))]
    b = Builder(rng, inputs, rng.choice(RAILS))
    target = rng.randint(4, 40)
    for _ in range(rng.choice((0, 0, 1, 2))):
        b.random_gate()
    build = {"gates": b.random_gate, "tgate": b.tgate, "passmux": b.passmux, "xor": b.xor,
             "tristate": b.tristate, "latch": lambda: b.latch() if rng.random() < 0.8 else b.cross_coupled(),
             "flipflop": b.flipflop, "loop": b.loop}[kind]
    build()
    while b.size() < target - 8:
        if b.size() < 24 and rng.random() < 0.6:
            build()
        else:
            b.random_gate()
    if kind == "gates":
        b.watch += [s for s in b.signals if s not in inputs]
    watch = list(dict.fromkeys(b.watch))
    outputs = []
    for n in rng.sample(watch, min(len(watch), rng.randint(1, 3))):
        y = "y%d" % len(outputs)
        b.gate(n, y)
        outputs.append(y)
    lines = ["* kind %s" % kind, "* inputs %s" % " ".join(inputs), "* outputs %s" % " ".join(outputs),
             ".subckt c%d %s" % (index, " ".join(inputs + outputs))] + b.cards + [".ends", ""]
    return "\n".join(lines), kind
