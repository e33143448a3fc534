// Every input combination after every other: Y must be A ^ B ^ C each time,
// whatever came before.
module tb;
  reg A, B, C;
  wire Y;
  integer i, wrong;
  XOR3 dut(.A(A), .B(B), .C(C), .Y(Y));
  initial begin
    wrong = 0;
    for (i = 0; i < 128; i = i + 1) begin
      {A, B, C} = (i % 2 == 0) ? i / 16 : (i / 2) % 8;
      #1 if (Y !== (A ^ B ^ C)) wrong = wrong + 1;
    end
    $display("steps 128 wrong %0d", wrong);
  end
endmodule
