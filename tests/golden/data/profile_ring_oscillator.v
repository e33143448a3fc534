/* verilator lint_off UNOPTFLAT */
module psp_ro(vdd, \0 , vss, in);
input vdd;
input \0 ;
input vss;
output in;
wire in2;
wire in3;
wire in4;
wire in5;
INV U1 ( .a(in), .out(in2) );
INV U2 ( .a(in2), .out(in3) );
INV U3 ( .a(in3), .out(in4) );
INV U4 ( .a(in4), .out(in5) );
INV U5 ( .a(in5), .out(in) );
// Vdd vdd 0 DC 1.2
// Vmeas vss 0 0
// Xnot1/c3 in vss 0.384f
// Xnot1/c2 in2 vss 0.576f
// Xnot2/c3 in2 vss 0.384f
// Xnot2/c2 in3 vss 0.576f
// Xnot3/c3 in3 vss 0.384f
// Xnot3/c2 in4 vss 0.576f
// Xnot4/c3 in4 vss 0.384f
// Xnot4/c2 in5 vss 0.576f
// Xnot5/c3 in5 vss 0.384f
// Xnot5/c2 in vss 0.576f
endmodule

module INV(a, out);
input a;
output out;
assign out = ~a;
endmodule

