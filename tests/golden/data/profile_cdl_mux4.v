/* verilator lint_off UNOPTFLAT */
module MUX4(\D<0> , \D<1> , \D<2> , \D<3> , \S<0> , \S<1> , Y, VDD, VSS);
input \D<0> ;
input \D<1> ;
input \D<2> ;
input \D<3> ;
input \S<0> ;
input \S<1> ;
output Y;
input VDD;
input VSS;
wire \XM0/SN ;
wire \XM0/Z ;
wire \XM0/ZN ;
wire \XM1/SN ;
wire \XM1/Z ;
wire \XM1/ZN ;
wire \XM2/SN ;
wire \XM2/Z ;
wire \XM2/ZN ;
INV U1 ( .a(\S<0> ), .out(\XM0/SN ) );
N4x1_3d05113d_h U2 ( .a(\D<0> ), .b(\D<1> ), .c(\S<0> ), .d(\XM0/SN ), .y(\XM0/Z ) );
INV U3 ( .a(\XM0/Z ), .out(\XM0/ZN ) );
N4x1_55c7d300_h U4 ( .a(\S<1> ), .b(\XM2/SN ), .c(\XM1/ZN ), .d(\XM0/ZN ), .y(\XM2/Z ) );
INV U5 ( .a(\S<0> ), .out(\XM1/SN ) );
N4x1_3d05113d_h U6 ( .a(\D<2> ), .b(\D<3> ), .c(\S<0> ), .d(\XM1/SN ), .y(\XM1/Z ) );
INV U7 ( .a(\XM1/Z ), .out(\XM1/ZN ) );
INV U8 ( .a(\S<1> ), .out(\XM2/SN ) );
INV U9 ( .a(\XM2/Z ), .out(\XM2/ZN ) );
INV U10 ( .a(\XM2/ZN ), .out(Y) );
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

module N4x1_55c7d300_h(a, b, c, d, y);
input a, b, c, d;
output y;
reg y;
always @(a, b, c, d) y = (a & ~b & ~c) | (~a & b & ~d) | (a & ~c & y) | (~b & ~c & y) | (~a & ~d & y) | (b & ~d & y) | (~c & ~d);
endmodule

