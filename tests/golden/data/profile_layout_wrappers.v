/* verilator lint_off UNOPTFLAT */
module buffer(in, out, vdd, gnd);
input in;
output out;
input vdd;
input gnd;
wire mid;
INV U1 ( .a(in), .out(mid) );
INV U2 ( .a(mid), .out(out) );
endmodule

module INV(a, out);
input a;
output out;
assign out = ~a;
endmodule

