* NGSPICE file created from buffer.ext - technology: sky130A
* A layout tool writes each device as a wrapper subcircuit named after the
* device: the nfet's pins are drain, bulk, gate, source; the pfet's source,
* drain, bulk, gate.

.subckt sky130_fd_pr__nfet_01v8_64Z3AY a_15_n131# a_n175_n243# a_n33_91# a_n73_n131#
X0 a_15_n131# a_n33_91# a_n73_n131# a_n175_n243# sky130_fd_pr__nfet_01v8 ad=0.1218 pd=1.42 as=0.1218 ps=1.42 w=0.42 l=0.15
.ends

.subckt sky130_fd_pr__pfet_01v8_XGS3BL a_n73_n100# a_15_n100# w_n211_n319# a_n33_n197#
X0 a_15_n100# a_n33_n197# a_n73_n100# w_n211_n319# sky130_fd_pr__pfet_01v8 ad=0.29 pd=2.58 as=0.29 ps=2.58 w=1 l=0.15
.ends

.subckt buffer in out vdd gnd
XXM1 vdd mid vdd in sky130_fd_pr__pfet_01v8_XGS3BL
XXM2 mid gnd in gnd sky130_fd_pr__nfet_01v8_64Z3AY
XXM3 vdd out vdd mid sky130_fd_pr__pfet_01v8_XGS3BL
XXM4 out gnd mid gnd sky130_fd_pr__nfet_01v8_64Z3AY
.ends
.end
