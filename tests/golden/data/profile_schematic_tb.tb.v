// Every input combination after every other: y must be the NAND of a and b.
module tb;
  reg a, b;
  wire y;
  integer i, wrong;
  profile_schematic_tb dut(.vdd(1'b1), .GND(1'b0), .a(a), .b(b), .y(y));
  initial begin
    wrong = 0;
    for (i = 0; i < 32; i = i + 1) begin
      {a, b} = (i % 2 == 0) ? i / 8 : (i / 2) % 4;
      #1 if (y !== ~(a & b)) wrong = wrong + 1;
    end
    $display("steps 32 wrong %0d", wrong);
  end
endmodule
