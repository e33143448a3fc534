/* verilator lint_off UNOPTFLAT */
module top(in, en, \out[0] , \out[1] , \out.2 , vdd, vss);
input in;
input en;
output \out[0] ;
output \out[1] ;
output \out.2 ;
input vdd;
input vss;
wire \n[1] ;
wire n2;
wire enb;
wire n3;
\buf  \Xb[0]  ( .a(in), .y(\n[1] ), .vdd(vdd), .vss(vss) );
\buf  \Xb.1  ( .a(\n[1] ), .y(n2), .vdd(vdd), .vss(vss) );
inv Xen ( .a(en), .y(enb), .vdd(vdd), .vss(vss) );
inv Xinv ( .a(n3), .y(\out[0] ), .vdd(vdd), .vss(vss) );
nand2 X$n ( .a(\n[1] ), .b(en), .y(\out[1] ), .vdd(vdd), .vss(vss) );
supply1 \<supply> ;
supply0 \<ground> ;
nand2 Xtie ( .a(\<supply> ), .b(en), .y(\out.2 ), .vdd(vdd), .vss(vss) );
T3_1a11_h U1 ( .a(n2), .b(enb), .c(en), .y(n3) );
endmodule

module \buf (a, y, vdd, vss);
input a;
output y;
input vdd;
input vss;
wire m;
inv X1 ( .a(a), .y(m), .vdd(vdd), .vss(vss) );
inv X2 ( .a(m), .y(y), .vdd(vdd), .vss(vss) );
endmodule

module inv(a, y, vdd, vss);
input a;
output y;
input vdd;
input vss;
INV U1 ( .a(a), .out(y) );
endmodule

module nand2(a, b, y, vdd, vss);
input a;
input b;
output y;
input vdd;
input vss;
NAND2 U1 ( .a(a), .b(b), .out(y) );
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

module T3_1a11_h(a, b, c, y);
input a, b, c;
output y;
reg y;
always @(a, b, c) y = (b & ~c & y) | (a & ~b) | (a & c) | (a & y);
endmodule

