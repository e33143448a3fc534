/* verilator lint_off UNOPTFLAT */
module chain(a, b, \y[0] , VPWR, VGND);
input a;
input b;
output \y[0] ;
input VPWR;
input VGND;
wire a_n;
wire spare_out;
inv_x1 Xinv ( .A(a), .VGND(VGND), .VNB(VGND), .VPB(VPWR), .VPWR(VPWR), .Y(a_n) );
nand2_x1 Xnand ( .A(a_n), .B(b), .VGND(VGND), .VNB(VGND), .VPB(VPWR), .VPWR(VPWR), .Y(\y[0] ) );
inv_x1 inv_x1_3 ( .A(b), .VGND(VGND), .VNB(VGND), .VPB(VPWR), .VPWR(VPWR), .Y(spare_out) );
endmodule

module inv_x1(A, VGND, VNB, VPB, VPWR, Y);
input A;
input VGND;
input VNB;
input VPB;
input VPWR;
output Y;
INV U1 ( .a(A), .out(Y) );
endmodule

module nand2_x1(A, B, VGND, VNB, VPB, VPWR, Y);
input A;
input B;
input VGND;
input VNB;
input VPB;
input VPWR;
output Y;
NAND2 U1 ( .a(A), .b(B), .out(Y) );
endmodule

module INV(a, out);
input a;
output out;
assign out = ~a;
endmodule

module NAND2(a, b, out);
input a, b;
output out;
assign out = ~(a & b);
endmodule

