/* verilator lint_off UNOPTFLAT */
module top(a, y, z, w, v, vccd1, vssd1);
input a;
output y;
output z;
output w;
output v;
input vccd1;
input vssd1;
wire h;
wire l;
wire hh;
wire ll;
wire k;
NAND2 X3 ( .Y(y), .A(a), .B(h), .VDD(vccd1), .VSS(vssd1) );
NAND2 X4 ( .Y(z), .A(a), .B(l), .VDD(vccd1), .VSS(vssd1) );
NAND2 X6 ( .Y(w), .A(a), .B(hh), .VDD(vccd1), .VSS(vssd1) );
TIEHI X1 ( .HI(h), .VDD(vccd1), .VSS(vssd1) );
TIELO X2 ( .LO(l), .VDD(vccd1), .VSS(vssd1) );
TIELOOP X5 ( .HI(hh), .LO(ll), .VDD(vccd1), .VSS(vssd1) );
assign v = 1'b1;
assign k = 1'b0;
endmodule

module NAND2(Y, A, B, VDD, VSS);
output Y;
input A;
input B;
input VDD;
input VSS;
NAND2_2 U1 ( .a(A), .b(B), .out(Y) );
endmodule

module TIEHI(HI, VDD, VSS);
output HI;
input VDD;
input VSS;
wire a;
assign HI = 1'b1;
assign a = 1'b0;
endmodule

module TIELO(LO, VDD, VSS);
output LO;
input VDD;
input VSS;
wire n3;
wire n2;
wire n1;
assign LO = 1'b0;
assign n3 = 1'b0;
assign n2 = 1'b1;
assign n1 = 1'b1;
endmodule

module TIELOOP(HI, LO, VDD, VSS);
output HI;
output LO;
input VDD;
input VSS;
assign HI = 1'b1;
assign LO = 1'b0;
endmodule

module NAND2_2(a, b, out);
input a, b;
output out;
assign out = ~(a & b);
endmodule

