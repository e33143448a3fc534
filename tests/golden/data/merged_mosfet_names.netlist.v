 /*****************************************************************/
 /***          Static CMOS Circuit Extractor Program            ***/
 /***        Output verilog netlist from Hspice netlist         ***/
 /*****************************************************************/
 
 module top (a, vdd, gnd, y); 
 input vdd, gnd, a;
 output y;



 /***The following are subcircuit : ***/


 /***The following are Pseudo_Gate : ***/




endmodule
