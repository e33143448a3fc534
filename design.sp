.subckt top a b c y z vdd gnd
X1 a b gnd gnd vdd vdd n1 nand2
X2 n1 c gnd gnd vdd vdd y nand2
M1 z n1 vdd vdd pfet
M2 z n1 gnd gnd nfet
XD gnd gnd vdd vdd decap
Xbb y z opamp
R1 k vdd 1k
M3 q k gnd gnd nfet
.ends
