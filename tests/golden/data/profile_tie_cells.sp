* A layout extraction: black-box entries, calls, rails of the top's own
* names. X7 is flattened by hand, so its constants are written as such.
.subckt TIEHI HI VDD VSS
.ends
.subckt TIELO LO VDD VSS
.ends
.subckt TIELOOP HI LO VDD VSS
.ends
.subckt NAND2 Y A B VDD VSS
.ends
.subckt top a y z w v vccd1 vssd1
X1 h vccd1 vssd1 TIEHI
X2 l vccd1 vssd1 TIELO
X3 y a h vccd1 vssd1 NAND2
X4 z a l vccd1 vssd1 NAND2
X5 hh ll vccd1 vssd1 TIELOOP
X6 w a hh vccd1 vssd1 NAND2
M7a k k vssd1 vssd1 nmos w=1u l=0.15u
M7b v k vccd1 vccd1 pmos w=1u l=0.15u
.ends
