.macromodel NR3 A B C Y
.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02
.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02
M1 p11 A vdd vdd pmos l=1u w=2u
M2 p12 B p11 vdd pmos l=1u w=2u
M3 Y C p12 vdd pmos l=1u w=2u
M4 Y A gnd gnd nmos l=1u w=1u
M5 Y B gnd gnd nmos l=1u w=1u
M6 Y C gnd gnd nmos l=1u w=1u
.endm NR3
.macromodel BF A Y
.model nmos nmos level=1 kp=5e-5 vto=0.7 lambda=0.02
.model pmos pmos level=1 kp=5e-5 vto=-0.7 lambda=0.02
M1 x21 A vdd vdd pmos l=1u w=2u
M2 x21 A gnd gnd nmos l=1u w=1u
M3 Y x21 vdd vdd pmos l=1u w=2u
M4 Y x21 gnd gnd nmos l=1u w=1u
.endm BF
