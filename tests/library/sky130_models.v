// What the sky130 cells of the test data need besides their functional
// models: the multiplexer primitives those models include from elsewhere, and
// models of the three sequential cells, which the test data lacks.
`timescale 1ns / 1ps

module sky130_fd_sc_hd__udp_mux_2to1(X, A0, A1, S);
  output X;
  input A0, A1, S;
  assign X = S ? A1 : A0;
endmodule

module sky130_fd_sc_hd__udp_mux_4to2(X, A0, A1, A2, A3, S0, S1);
  output X;
  input A0, A1, A2, A3, S0, S1;
  assign X = S1 ? (S0 ? A3 : A2) : (S0 ? A1 : A0);
endmodule

module sky130_fd_sc_hd__dlxtp(Q, D, GATE);
  output reg Q;
  input D, GATE;
  always @* if (GATE) Q = D;
endmodule

module sky130_fd_sc_hd__dfxtp(Q, CLK, D);
  output reg Q;
  input CLK, D;
  always @(posedge CLK) Q <= D;
endmodule

module sky130_fd_sc_hd__dfrtp(Q, CLK, D, RESET_B);
  output reg Q;
  input CLK, D, RESET_B;
  always @(posedge CLK or negedge RESET_B) Q <= RESET_B ? D : 1'b0;
endmodule
