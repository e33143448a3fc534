* Tie cells as three libraries make them: a diode-connected MOSFET driving
* the output device, a chain of them, and a two-MOSFET loop; and a NAND
* named like a module of the gate table.
.subckt TIEHI HI VDD VSS
MN1 a a VSS VSS nmos w=1u l=0.15u
MP1 HI a VDD VDD pmos w=1u l=0.15u
.ends
.subckt TIELO LO VDD VSS
MN0 n3 n2 VSS VSS nmos w=1u l=0.15u
MN1 LO n1 VSS VSS nmos w=1u l=0.15u
MP0 n2 n2 VDD VDD pmos w=1u l=0.15u
MP1 n1 n3 VDD VDD pmos w=1u l=0.15u
.ends
.subckt TIELOOP HI LO VDD VSS
MN1 LO HI VSS VSS nmos w=1u l=0.15u
MP1 HI LO VDD VDD pmos w=1u l=0.15u
.ends
.subckt NAND2 Y A B VDD VSS
MP1 Y A VDD VDD pmos w=1u l=0.15u
MP2 Y B VDD VDD pmos w=1u l=0.15u
MN1 Y A n1 VSS nmos w=1u l=0.15u
MN2 n1 B VSS VSS nmos w=1u l=0.15u
.ends
