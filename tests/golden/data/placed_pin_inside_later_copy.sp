.subckt top a33 b31 c32 y41 z42
M1 n1 a33 vdd vdd pmos l=1u w=2u
M2 n1 a33 gnd gnd nmos l=1u w=1u
M3 y41 n1 vdd vdd pmos l=1u w=2u
M4 y41 n1 gnd gnd nmos l=1u w=1u
M5 p11 n1 vdd vdd pmos l=1u w=2u
M6 p12 b31 p11 vdd pmos l=1u w=2u
M7 z42 c32 p12 vdd pmos l=1u w=2u
M8 z42 n1 gnd gnd nmos l=1u w=1u
M9 z42 b31 gnd gnd nmos l=1u w=1u
M10 z42 c32 gnd gnd nmos l=1u w=1u
.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02
.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02
