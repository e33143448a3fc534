/* verilator lint_off UNOPTFLAT */
module bus_top(y, d0, en0, enb0, d1, en1, enb1, d2, en2, enb2, d3, en3, enb3, d4, en4, enb4, d5, en5, enb5, d6, en6, enb6, d7, en7, enb7, vdd, gnd);
output y;
input d0;
input en0;
input enb0;
input d1;
input en1;
input enb1;
input d2;
input en2;
input enb2;
input d3;
input en3;
input enb3;
input d4;
input en4;
input enb4;
input d5;
input en5;
input enb5;
input d6;
input en6;
input enb6;
input d7;
input en7;
input enb7;
input vdd;
input gnd;
wire pmd0;
wire bus;
wire nmd0;
wire pmd1;
wire nmd1;
wire pmd2;
wire nmd2;
wire pmd3;
wire nmd3;
wire pmd4;
wire nmd4;
wire pmd5;
wire nmd5;
wire pmd6;
wire nmd6;
wire pmd7;
wire nmd7;
INV U1 ( .a(bus), .out(y) );
keeper xkeep ( bus, y );
supply1 \<supply> ;
supply0 \<ground> ;
pmos \mp0.1  (pmd0, \<supply> , d0);
pmos \mp0.2  (bus, pmd0, enb0);
nmos \mn0.1  (bus, nmd0, en0);
nmos \mn0.2  (nmd0, \<ground> , d0);
pmos \mp1.1  (pmd1, \<supply> , d1);
pmos \mp1.2  (bus, pmd1, enb1);
nmos \mn1.1  (bus, nmd1, en1);
nmos \mn1.2  (nmd1, \<ground> , d1);
pmos \mp2.1  (pmd2, \<supply> , d2);
pmos \mp2.2  (bus, pmd2, enb2);
nmos \mn2.1  (bus, nmd2, en2);
nmos \mn2.2  (nmd2, \<ground> , d2);
pmos \mp3.1  (pmd3, \<supply> , d3);
pmos \mp3.2  (bus, pmd3, enb3);
nmos \mn3.1  (bus, nmd3, en3);
nmos \mn3.2  (nmd3, \<ground> , d3);
pmos \mp4.1  (pmd4, \<supply> , d4);
pmos \mp4.2  (bus, pmd4, enb4);
nmos \mn4.1  (bus, nmd4, en4);
nmos \mn4.2  (nmd4, \<ground> , d4);
pmos \mp5.1  (pmd5, \<supply> , d5);
pmos \mp5.2  (bus, pmd5, enb5);
nmos \mn5.1  (bus, nmd5, en5);
nmos \mn5.2  (nmd5, \<ground> , d5);
pmos \mp6.1  (pmd6, \<supply> , d6);
pmos \mp6.2  (bus, pmd6, enb6);
nmos \mn6.1  (bus, nmd6, en6);
nmos \mn6.2  (nmd6, \<ground> , d6);
pmos \mp7.1  (pmd7, \<supply> , d7);
pmos \mp7.2  (bus, pmd7, enb7);
nmos \mn7.1  (bus, nmd7, en7);
nmos \mn7.2  (nmd7, \<ground> , d7);
// r1 bus gnd 10k
// c1 y gnd 1f
endmodule

module INV(a, out);
input a;
output out;
assign out = ~a;
endmodule

module keeper(p0, p1);
input p0, p1;
endmodule

