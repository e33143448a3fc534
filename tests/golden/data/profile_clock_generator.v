/* verilator lint_off UNOPTFLAT */
module SP6TCClockGenerator(vss, vdd, clk, decodeclk, columnclk, precharge_n, wl_en, we_en);
input vss;
input vdd;
input clk;
output decodeclk;
output columnclk;
output precharge_n;
output wl_en;
output we_en;
wire \firststage[0] ;
wire \firststage[1] ;
wire \firststage[2] ;
wire \firststage[3] ;
wire \firststage[4] ;
wire \firststage[5] ;
wire \firststage[6] ;
wire firstpulse;
wire \firststage[8] ;
wire \secondstage[0] ;
wire \secondstage[1] ;
wire \secondstage[2] ;
wire \secondstage[3] ;
wire \secondstage[4] ;
wire \secondstage[5] ;
wire \secondstage[6] ;
wire secondpulse;
wire \secondstage[8] ;
wire \Xnonovl/clk_n ;
wire \Xdecodeclkbuf/_i_n ;
wire \Xcolumnclkbuf/_i_n ;
wire \Xwlenbuf/_i_n ;
wire \Xweenbuf/_i_n ;
INV U1 ( .a(clk), .out(\Xnonovl/clk_n ) );
NAND2 U2 ( .a(clk), .b(\secondstage[8] ), .out(\firststage[0] ) );
INV U3 ( .a(\firststage[0] ), .out(\firststage[1] ) );
INV U4 ( .a(\firststage[1] ), .out(\firststage[2] ) );
INV U5 ( .a(\firststage[2] ), .out(\firststage[3] ) );
INV U6 ( .a(\firststage[3] ), .out(\firststage[4] ) );
INV U7 ( .a(\firststage[4] ), .out(\firststage[5] ) );
INV U8 ( .a(\firststage[5] ), .out(\firststage[6] ) );
INV U9 ( .a(\firststage[6] ), .out(firstpulse) );
INV U10 ( .a(firstpulse), .out(\firststage[8] ) );
NAND2 U11 ( .a(\firststage[8] ), .b(\Xnonovl/clk_n ), .out(\secondstage[0] ) );
INV U12 ( .a(\secondstage[0] ), .out(\secondstage[1] ) );
INV U13 ( .a(\secondstage[1] ), .out(\secondstage[2] ) );
INV U14 ( .a(\secondstage[2] ), .out(\secondstage[3] ) );
INV U15 ( .a(\secondstage[3] ), .out(\secondstage[4] ) );
INV U16 ( .a(\secondstage[4] ), .out(\secondstage[5] ) );
INV U17 ( .a(\secondstage[5] ), .out(\secondstage[6] ) );
INV U18 ( .a(\secondstage[6] ), .out(secondpulse) );
INV U19 ( .a(secondpulse), .out(\secondstage[8] ) );
INV U20 ( .a(clk), .out(\Xdecodeclkbuf/_i_n ) );
INV U21 ( .a(\Xdecodeclkbuf/_i_n ), .out(decodeclk) );
INV U22 ( .a(clk), .out(\Xcolumnclkbuf/_i_n ) );
INV U23 ( .a(\Xcolumnclkbuf/_i_n ), .out(columnclk) );
INV U24 ( .a(firstpulse), .out(\Xwlenbuf/_i_n ) );
INV U25 ( .a(\Xwlenbuf/_i_n ), .out(wl_en) );
INV U26 ( .a(firstpulse), .out(\Xweenbuf/_i_n ) );
INV U27 ( .a(\Xweenbuf/_i_n ), .out(we_en) );
INV U28 ( .a(secondpulse), .out(precharge_n) );
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

