/* verilator lint_off UNOPTFLAT */
module profile_schematic_tb(vdd, GND, a, b, y);
input vdd;
input GND;
input a;
input b;
output y;
NAND2 U1 ( .a(a), .b(b), .out(y) );
// V1 vdd GND 1.8
// V2 a GND pulse(0 1.8 0 100p 100p 5n 10n)
// V3 b GND pulse(0 1.8 0 100p 100p 10n 20n)
endmodule

module NAND2(a, b, out);
input a, b;
output out;
assign out = ~(a & b);
endmodule

