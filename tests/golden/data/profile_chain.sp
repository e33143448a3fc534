* y[0] = NAND(NOT a, b), built from the cells of profile_chain.cells.sp
.include "profile_chain.cells.sp"
.param wn=650000u

.SUBCKT chain a b y[0] VPWR VGND
Xinv a VGND VGND VPWR VPWR a_n inv_x1
Xnand a_n b VGND VGND VPWR VPWR y[0] nand2_x1
* one more inverter, written out as its two MOSFETs
X_spare_n spare_out b VGND VGND nfet_01v8 w={wn}
+ l=150000u
X_spare_p spare_out b VPWR VPWR pfet_01v8 w=1e+06u l=150000u
.ENDS chain
.end
