* eight tristate drivers on one bus, a black box and elements
.subckt bus_top y d0 en0 enb0 d1 en1 enb1 d2 en2 enb2 d3 en3 enb3 d4 en4 enb4 d5 en5 enb5 d6 en6 enb6 d7 en7 enb7 vdd gnd
mp0.1 pmd0 d0 vdd vdd pmos w=2u l=1u
mp0.2 bus enb0 pmd0 vdd pmos w=2u l=1u
mn0.1 bus en0 nmd0 gnd nmos w=1u l=1u
mn0.2 nmd0 d0 gnd gnd nmos w=1u l=1u
mp1.1 pmd1 d1 vdd vdd pmos w=2u l=1u
mp1.2 bus enb1 pmd1 vdd pmos w=2u l=1u
mn1.1 bus en1 nmd1 gnd nmos w=1u l=1u
mn1.2 nmd1 d1 gnd gnd nmos w=1u l=1u
mp2.1 pmd2 d2 vdd vdd pmos w=2u l=1u
mp2.2 bus enb2 pmd2 vdd pmos w=2u l=1u
mn2.1 bus en2 nmd2 gnd nmos w=1u l=1u
mn2.2 nmd2 d2 gnd gnd nmos w=1u l=1u
mp3.1 pmd3 d3 vdd vdd pmos w=2u l=1u
mp3.2 bus enb3 pmd3 vdd pmos w=2u l=1u
mn3.1 bus en3 nmd3 gnd nmos w=1u l=1u
mn3.2 nmd3 d3 gnd gnd nmos w=1u l=1u
mp4.1 pmd4 d4 vdd vdd pmos w=2u l=1u
mp4.2 bus enb4 pmd4 vdd pmos w=2u l=1u
mn4.1 bus en4 nmd4 gnd nmos w=1u l=1u
mn4.2 nmd4 d4 gnd gnd nmos w=1u l=1u
mp5.1 pmd5 d5 vdd vdd pmos w=2u l=1u
mp5.2 bus enb5 pmd5 vdd pmos w=2u l=1u
mn5.1 bus en5 nmd5 gnd nmos w=1u l=1u
mn5.2 nmd5 d5 gnd gnd nmos w=1u l=1u
mp6.1 pmd6 d6 vdd vdd pmos w=2u l=1u
mp6.2 bus enb6 pmd6 vdd pmos w=2u l=1u
mn6.1 bus en6 nmd6 gnd nmos w=1u l=1u
mn6.2 nmd6 d6 gnd gnd nmos w=1u l=1u
mp7.1 pmd7 d7 vdd vdd pmos w=2u l=1u
mp7.2 bus enb7 pmd7 vdd pmos w=2u l=1u
mn7.1 bus en7 nmd7 gnd nmos w=1u l=1u
mn7.2 nmd7 d7 gnd gnd nmos w=1u l=1u
mpo y bus vdd vdd pmos w=2u l=1u
mno y bus gnd gnd nmos w=1u l=1u
xkeep bus y keeper
r1 bus gnd 10k
c1 y gnd 1f
.ends bus_top
