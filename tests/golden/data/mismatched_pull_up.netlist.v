 /*****************************************************************/
 /***          Static CMOS Circuit Extractor Program            ***/
 /***        Output verilog netlist from Hspice netlist         ***/
 /*****************************************************************/
 
 module top (c, b, a, vdd, gnd, z); 
 input vdd, gnd, c, b, a;
 output z;
 wire  y;

    INV  U1 ( .a(y), .out(z) );


 /***The following are subcircuit : ***/


 /***The following are Pseudo_Gate : ***/
    NAND2  U2 ( .a(a), .b(b), .out(y) );




endmodule
