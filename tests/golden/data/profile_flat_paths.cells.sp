* A buffer cell: two inverters.
.subckt BUF A Y vdd gnd
M1 n A vdd vdd pmos w=1u l=0.15u
M2 n A gnd gnd nmos w=1u l=0.15u
M3 Y n vdd vdd pmos w=1u l=0.15u
M4 Y n gnd gnd nmos w=1u l=0.15u
.ends
