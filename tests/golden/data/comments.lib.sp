*
.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02
.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02
.macromodel INV A Y
M1 Y A vdd vdd pmos l=1u w=2u
M2 Y A gnd gnd nmos l=1u w=1u
.endm INV
.end
