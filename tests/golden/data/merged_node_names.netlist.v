 /*****************************************************************/
 /***          Static CMOS Circuit Extractor Program            ***/
 /***        Output verilog netlist from Hspice netlist         ***/
 /*****************************************************************/
 
 module top (b2, vdd, gnd, y3, in1); 
 input vdd, gnd, b2;
 output y3, in1;



 /***The following are subcircuit : ***/


 /***The following are Pseudo_Gate : ***/
    N_Model_a  U1 ( .a(in1), .b(b2), .out(y3) );




endmodule
