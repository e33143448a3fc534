/* verilator lint_off UNOPTFLAT */
module profile_hspice_mux(vdd, \0 , a, b, s, z);
input vdd;
input \0 ;
input a;
input b;
input s;
output z;
wire sn;
wire y;
INV U1 ( .a(s), .out(sn) );
N4x1_3d05113d_h U2 ( .a(a), .b(b), .c(s), .d(sn), .y(y) );
INV U3 ( .a(y), .out(z) );
// Vdd vdd 0 supply
// Va a 0 pulse(0 supply 0 0.1n 0.1n 10n 20n)
// Vb b 0 pwl(0 0 20n 0 20.1n supply)
// Vs s 0 pulse(0 supply 0 0.1n 0.1n 40n 80n)
// Cload z 0 10f
endmodule

module INV(a, out);
input a;
output out;
assign out = ~a;
endmodule

module N4x1_3d05113d_h(a, b, c, d, y);
input a, b, c, d;
output y;
reg y;
always @(a, b, c, d) y = (a & ~c & d) | (b & c & ~d) | (a & ~c & y) | (b & c & y) | (a & d & y) | (b & ~d & y) | (a & b);
endmodule

