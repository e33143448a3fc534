// out is the AND of the inverse of in1 and of in2, a net nothing drives:
// 0 while in1 is 1, unknown while it is 0.
module tb;
  reg in1;
  wire out;
  integer i, wrong;
  sg13g2_inv2_and2_deep dut(.in1(in1), .out(out), .VDD(1'b1), .VSS(1'b0));
  initial begin
    wrong = 0;
    for (i = 0; i < 4; i = i + 1) begin
      in1 = i % 2;
      #1 if (out !== (in1 ? 1'b0 : 1'bx)) wrong = wrong + 1;
    end
    $display("steps 4 wrong %0d", wrong);
  end
endmodule
