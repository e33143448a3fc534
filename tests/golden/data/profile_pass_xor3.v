/* verilator lint_off UNOPTFLAT */
module XOR3(A, B, C, Y);
input A;
input B;
input C;
output Y;
wire n2;
wire n4;
F3_96 U1 ( .a(C), .b(A), .c(B), .y(n2) );
INV U2 ( .a(n2), .out(n4) );
INV U3 ( .a(n4), .out(Y) );
endmodule

module INV(a, out);
input a;
output out;
assign out = ~a;
endmodule

module F3_96(a, b, c, y);
input a, b, c;
output y;
assign y = ~((~a & ~b & ~c) | (a & b & ~c) | (a & ~b & c) | (~a & b & c));
endmodule

