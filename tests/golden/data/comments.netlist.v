 /*****************************************************************/
 /***          Static CMOS Circuit Extractor Program            ***/
 /***        Output verilog netlist from Hspice netlist         ***/
 /*****************************************************************/
 
 module chain (in, vdd, gnd, out); 
 input vdd, gnd, in;
 output out;
 wire  mid;

    INV  U1 ( .a(in), .out(mid) );
    INV  U2 ( .a(mid), .out(out) );


 /***The following are subcircuit : ***/


 /***The following are Pseudo_Gate : ***/




endmodule
