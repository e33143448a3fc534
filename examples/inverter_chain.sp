*
* ---------------------------------------------------
.subckt chain a y
M1 n1 a vdd vdd pmos l=1u w=2u
M2 n1 a gnd gnd nmos l=1u w=1u
M3 n2 n1 vdd vdd pmos l=1u w=2u
M4 n2 n1 gnd gnd nmos l=1u w=1u
M5 y n2 vdd vdd pmos l=1u
+ w=2u
M6 y n2 gnd gnd nmos l=1u
+ w=1u
.ends chain
