* A three-input XOR of pass devices: the inputs drive sources and drains,
* two inverters restore the level. The pass network reads two of its own
* nodes (n1, n3) at gates.
.subckt XOR3 A B C Y
MP1 B A n3 vdd pch
MP2 C n3 n2 vdd pch
MP3 A B n3 vdd pch
MP4 n3 C n2 vdd pch
MN1 B A n1 gnd nch
MN2 C n1 n2 gnd nch
MN3 A B n1 gnd nch
MN4 n1 C n2 gnd nch
MN5 n4 n2 gnd gnd nch
MP5 n4 n2 vdd vdd pch
MN6 Y n4 gnd gnd nch
MP6 Y n4 vdd vdd pch
.ends
