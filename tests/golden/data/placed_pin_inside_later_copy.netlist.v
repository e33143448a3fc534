 /*****************************************************************/
 /***          Static CMOS Circuit Extractor Program            ***/
 /***        Output verilog netlist from Hspice netlist         ***/
 /*****************************************************************/
 
 module top (c32, b31, a33, vdd, gnd, z42, y41); 
 input vdd, gnd, c32, b31, a33;
 output z42, y41;
 wire  n1;

    INV  U1 ( .a(a33), .out(n1) );
    INV  U2 ( .a(n1), .out(y41) );


 /***The following are subcircuit : ***/
    NR3  X3 ( .A(n1), .B(b31), .C(c32), .Y(z42) );


 /***The following are Pseudo_Gate : ***/




endmodule
