* A hierarchy kept as modules: a buffer of two inverters called under names
* that Verilog must escape, a subcircuit called from two levels, a signal
* pin tied to a rail, and a transmission gate on the ports of a subcircuit,
* which is flattened into its caller.
.subckt inv a y vdd vss
Mp y a vdd vdd pch w=1u l=0.15u
Mn y a vss vss nch w=0.5u l=0.15u
.ends inv

.subckt buf a y vdd vss
X1 a m vdd vss inv
X2 m y vdd vss inv
.ends buf

.subckt nand2 a b y vdd vss
Mp1 y a vdd vdd pch w=1u l=0.15u
Mp2 y b vdd vdd pch w=1u l=0.15u
Mn1 y a s vss nch w=1u l=0.15u
Mn2 s b vss vss nch w=1u l=0.15u
.ends nand2

* A transmission gate between two ports: in the flat circuit it joins the
* stages on both sides, which a module boundary would cut.
.subckt pass a en enb y vdd vss
Mn a en y vss nch w=0.5u l=0.15u
Mp a enb y vdd pch w=1u l=0.15u
.ends pass

.subckt top in en out[0] out[1] out.2 vdd vss
Xb[0] in n[1] vdd vss buf
Xb.1 n[1] n2 vdd vss buf
Xpass n2 en enb n3 vdd vss pass
Xen en enb vdd vss inv
Xinv n3 out[0] vdd vss inv
X\$n n[1] en out[1] vdd vss nand2
Xtie vdd en out.2 vdd vss nand2
.ends top
.end
