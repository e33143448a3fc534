.subckt top in1 b2 y3
M1 y3 in1 n1 gnd nmos l=1u w=2u
M2 n1 b2 gnd gnd nmos l=1u w=2u
M3 y3 in1 vdd vdd pmos l=1u w=2u
M4 y3 b2 vdd vdd pmos l=1u w=2u
.ends top
