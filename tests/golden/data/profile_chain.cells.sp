* Two cells in the style of a layout extraction: MOSFETs are calls to the
* process's device subcircuits (drain gate source bulk), bulk pins are ports.
.subckt inv_x1 A VGND VNB VPB VPWR Y
X0 Y A VGND VNB nfet_01v8 w=650000u l=150000u
X1 Y A VPWR VPB pfet_01v8 w=1e+06u l=150000u
.ends

.subckt nand2_x1 A B VGND VNB VPB VPWR Y
X0 Y A VPWR VPB pfet_01v8 w=1e+06u l=150000u
X1 VPWR B Y VPB pfet_01v8 w=1e+06u l=150000u
X2 VGND B a_113_47# VNB nfet_01v8 w=650000u l=150000u
X3 a_113_47# A Y VNB nfet_01v8 w=650000u l=150000u
.ends
