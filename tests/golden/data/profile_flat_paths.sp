* A deck flattened by another tool: devices named by the instance path they
* came from. xb1 holds a buffer and nothing else, so the buffer found there
* keeps the name xb1; xb2 holds a buffer and one more inverter, so the
* buffer found in it is not that instance.
.subckt top a y z w vdd gnd
xb1/M1 xb1/n a vdd vdd pmos w=1u l=0.15u
xb1/M2 xb1/n a gnd gnd nmos w=1u l=0.15u
xb1/M3 y xb1/n vdd vdd pmos w=1u l=0.15u
xb1/M4 y xb1/n gnd gnd nmos w=1u l=0.15u
xb2/M1 xb2/n y vdd vdd pmos w=1u l=0.15u
xb2/M2 xb2/n y gnd gnd nmos w=1u l=0.15u
xb2/M3 z xb2/n vdd vdd pmos w=1u l=0.15u
xb2/M4 z xb2/n gnd gnd nmos w=1u l=0.15u
xb2/M5 w z vdd vdd pmos w=1u l=0.15u
xb2/M6 w z gnd gnd nmos w=1u l=0.15u
.ends
