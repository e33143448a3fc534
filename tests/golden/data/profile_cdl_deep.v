/* verilator lint_off UNOPTFLAT */
module sg13g2_inv2_and2_deep(in1, out, VDD, VSS);
input in1;
output out;
input VDD;
input VSS;
wire inv_and;
wire in2;
wire \X2/net4 ;
INV U1 ( .a(in1), .out(inv_and) );
NAND2 U2 ( .a(inv_and), .b(in2), .out(\X2/net4 ) );
INV U3 ( .a(\X2/net4 ), .out(out) );
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

