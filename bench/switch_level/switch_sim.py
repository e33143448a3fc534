"""Switch-level reference: what a deck's MOSFETs settle to, in 0, 1 and X.

Rails and primary inputs are sources of fixed value; every other net is a
node that keeps its charge while nothing drives it. A device conducts when
its gate turns it on (n: 1, p: 0), may conduct when its gate is X. A node
definitely joined to a source takes the value of every source it may be
joined to (X if those differ: no strengths, a fight decides nothing); a
node no source definitely reaches may float, so it takes the common value
of the sources and charges it may be joined to, or X.

A step settles in two phases (ternary simulation): first the inputs that
change are X and every node that may change becomes X, then the inputs take
their new values and the nodes settle from there. X is what the transistors
leave undecided, such as a race between a latch's clock and its data.
"""
import re

ZERO, ONE, X = 0, 1, 2
LEVELS = (1, 2, 3)            # value -> bit set of the levels it may be
VALUE = (X, ZERO, ONE, X)     # bit set -> value
SUPPLY = {"vdd", "vpwr"}
GROUND = {"gnd", "vss", "vgnd"}


def read_deck(text):
    """(inputs, outputs, devices) of a deck this bench writes: ports from the
    `* inputs` and `* outputs` lines, devices (is_p, drain, gate, source)."""
    inputs = outputs = None
    devices = []
    for line in text.splitlines():
        w = line.split()
        if w[:2] == ["*", "inputs"]:
            inputs = w[2:]
        elif w[:2] == ["*", "outputs"]:
            outputs = w[2:]
        elif w and w[0][0] in "mM":
            devices.append((w[5].lower().startswith("p"), w[1], w[2], w[3]))
    if inputs is None or outputs is None:
        raise ValueError("deck without '* inputs' and '* outputs' lines")
    return inputs, outputs, devices


class Switches:
    def __init__(self, inputs, outputs, devices):
        names = {}

        def net(name):
            key = name.lower()
            if key in SUPPLY or key in GROUND:
                return int(key in SUPPLY)
            return names.setdefault(key, len(names) + 2)

        self.inputs = [net(n) for n in inputs]
        self.devices = [(is_p, net(g), net(d), net(s)) for is_p, d, g, s in devices]
        self.outputs = [net(n) for n in outputs]
        self.size = len(names) + 2
        self.source = [n < 2 for n in range(self.size)]
        for n in self.inputs:
            self.source[n] = True
        self.nodes = [n for n in range(self.size) if not self.source[n]]

    def initial(self):
        """Every node unknown, as at power-up."""
        v = [X] * self.size
        v[0], v[1] = ZERO, ONE
        return v

    def _drive(self, v):
        """The value each node takes from the current values of all nets."""
        size = self.size
        maybe = list(range(size))   # union-find over devices that may conduct
        surely = list(range(size))  # ... and over those that surely conduct

        def find(parent, n):
            while parent[n] != n:
                parent[n] = parent[parent[n]]
                n = parent[n]
            return n

        fed = []
        source = self.source
        for is_p, g, a, b in self.devices:
            gv = v[g]
            if gv == X:
                sure = False
            elif (gv == ZERO) == is_p:
                sure = True
            else:
                continue
            if source[a] or source[b]:
                if not (source[a] and source[b]):
                    fed.append((b, a, sure) if source[a] else (a, b, sure))
                continue
            ra, rb = find(maybe, a), find(maybe, b)
            if ra != rb:
                maybe[ra] = rb
            if sure:
                ra, rb = find(surely, a), find(surely, b)
                if ra != rb:
                    surely[ra] = rb
        may_src = [0] * size
        sure_src = [0] * size
        for node, src, sure in fed:
            may_src[find(maybe, node)] |= LEVELS[v[src]]
            if sure:
                sure_src[find(surely, node)] |= LEVELS[v[src]]
        charge = [0] * size
        for n in self.nodes:
            charge[find(maybe, n)] |= LEVELS[v[n]]
        out = v[:]
        for n in self.nodes:
            r = find(maybe, n)
            out[n] = VALUE[may_src[r] if sure_src[find(surely, n)] else may_src[r] | charge[r]]
        return out

    def step(self, v, vector):
        """The state after the inputs change from their values in V to VECTOR
        (a list of 0/1) and the network settles."""
        v = v[:]
        for n, bit in zip(self.inputs, vector):
            if v[n] != bit:
                v[n] = X
        bound = 2 * len(self.nodes) + 4
        for _ in range(bound):
            d = self._drive(v)
            w = [a if a == b else X for a, b in zip(v, d)]
            if w == v:
                break
            v = w
        for n, bit in zip(self.inputs, vector):
            v[n] = bit
        for _ in range(bound):
            d = self._drive(v)
            if d == v:
                return v
            v = d
        # Decreasing from the first phase's state this cannot run out; if it
        # does, whatever still moves is undecided.
        d = self._drive(v)
        return [a if a == b else X for a, b in zip(v, d)]

    def outputs_of(self, v):
        return [v[n] for n in self.outputs]


def from_text(text):
    return Switches(*read_deck(text))


def fmt(values):
    return "".join("01x"[x] for x in values)


if __name__ == "__main__":
    import sys
    # switch_sim.py DECK VECTOR...: the outputs after each input vector
    # (bits in input order), from every node unknown.
    sim = from_text(open(sys.argv[1]).read())
    state = sim.initial()
    for arg in sys.argv[2:]:
        state = sim.step(state, [int(c) for c in re.sub(r"[^01]", "", arg)])
        print(arg, fmt(sim.outputs_of(state)))
