.model pmos pmos level=1 kp=2e-5 vto=-0.7 lambda=0.02
.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02
.macromodel BUF IN OUT
.model pmos pmos level=1 kp=2e-5 vto=-0.7 lambda=0.02
.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02
M1 mid IN vdd vdd pmos l=1u w=2u
M2 mid IN gnd gnd nmos l=1u w=1u
M3 OUT mid vdd vdd pmos l=1u w=2u
M4 OUT mid gnd gnd nmos l=1u w=1u
.endm BUF
