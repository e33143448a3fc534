/* verilator lint_off UNOPTFLAT */
module top(a, y, z, w, vdd, gnd);
input a;
output y;
output z;
output w;
input vdd;
input gnd;
BUF xb1 ( .A(a), .Y(y), .vdd(vdd), .gnd(gnd) );
BUF BUF_2 ( .A(y), .Y(z), .vdd(vdd), .gnd(gnd) );
INV U5 ( .a(z), .out(w) );
endmodule

module BUF(A, Y, vdd, gnd);
input A;
output Y;
input vdd;
input gnd;
wire n;
INV U1 ( .a(A), .out(n) );
INV U2 ( .a(n), .out(Y) );
endmodule

module INV(a, out);
input a;
output out;
assign out = ~a;
endmodule

