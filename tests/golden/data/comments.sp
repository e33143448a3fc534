*
* ------------------------------------
.subckt chain in out
*
M1 mid in vdd vdd pmos
+ l=1u w=2u
M2 mid in gnd gnd nmos
+ l=1u w=1u
*
M3 out mid vdd vdd pmos l=1u
+ w=2u
M4 out mid gnd gnd nmos l=1u w=1u
.ends chain
