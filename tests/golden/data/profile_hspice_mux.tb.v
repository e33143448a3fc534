// Every input combination after every other: z must be the inverse of a
// when s is 0 and of b when s is 1.
module tb;
  reg a, b, s;
  wire z;
  integer i, wrong;
  profile_hspice_mux dut(.vdd(1'b1), .\0 (1'b0), .a(a), .b(b), .s(s), .z(z));
  initial begin
    wrong = 0;
    for (i = 0; i < 128; i = i + 1) begin
      {a, b, s} = (i % 2 == 0) ? i / 16 : (i / 2) % 8;
      #1 if (z !== ~(s ? b : a)) wrong = wrong + 1;
    end
    $display("steps 128 wrong %0d", wrong);
  end
endmodule
