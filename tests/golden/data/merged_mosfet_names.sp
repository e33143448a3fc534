.subckt top a y
Mn1 y a gnd gnd nmos l=1u w=1u
Mp1 y a vdd vdd pmos l=1u w=2u
.ends top
