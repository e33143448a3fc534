// Each change of in after the other: out must follow it.
module tb;
  reg in;
  wire out;
  integer i, wrong;
  buffer dut(.in(in), .out(out), .vdd(1'b1), .gnd(1'b0));
  initial begin
    wrong = 0;
    for (i = 0; i < 4; i = i + 1) begin
      in = i % 2;
      #1 if (out !== in) wrong = wrong + 1;
    end
    $display("steps 4 wrong %0d", wrong);
  end
endmodule
