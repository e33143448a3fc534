.subckt top a b c z
M1 y a x1 gnd nmos l=1u w=2u
M2 x1 b gnd gnd nmos l=1u w=2u
M3 y a vdd vdd pmos l=1u w=2u
M4 y c vdd vdd pmos l=1u w=2u
M5 z y gnd gnd nmos l=1u w=1u
M6 z y vdd vdd pmos l=1u w=2u
.ends top
