** sch_path: /home/designer/cells/nand2_tb.sch
**.subckt nand2_tb
* A schematic editor's testbench: sources on the inputs, the cell as a
* call, a model library that is not here and a control block.
V1 vdd GND 1.8
V2 a GND pulse(0 1.8 0 100p 100p 5n 10n)
V3 b GND pulse(0 1.8 0 100p 100p 10n 20n)
x1 vdd a b y GND nand2
**** begin user architecture code
.lib /usr/local/share/pdk/sky130A/libs.tech/ngspice/sky130.lib.spice tt
.control
tran 10p 40n
plot v(a) v(b) v(y)
.endc
**** end user architecture code
**.ends

* expanding   symbol:  nand2.sym # of pins=5
** sym_path: /home/designer/cells/nand2.sym
** sch_path: /home/designer/cells/nand2.sch
.subckt nand2 VDD A B Y VSS
*.ipin A
*.ipin B
*.opin Y
*.iopin VDD
*.iopin VSS
XM1 Y A net1 VSS sky130_fd_pr__nfet_01v8 L=0.15 W=1 nf=1 ad='int((nf+1)/2) * W/nf * 0.29'
+ as='int((nf+2)/2) * W/nf * 0.29' pd='2*int((nf+1)/2) * (W/nf + 0.29)' ps='2*int((nf+2)/2) * (W/nf + 0.29)'
+ nrd='0.29 / W' nrs='0.29 / W' sa=0 sb=0 sd=0 mult=1 m=1
XM2 net1 B VSS VSS sky130_fd_pr__nfet_01v8 L=0.15 W=1 nf=1 mult=1 m=1
XM3 Y A VDD VDD sky130_fd_pr__pfet_01v8 L=0.15 W=1 nf=1 mult=1 m=1
XM4 Y B VDD VDD sky130_fd_pr__pfet_01v8 L=0.15 W=1 nf=1 mult=1 m=1
.ends
.GLOBAL GND
.end
