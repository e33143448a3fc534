// Every input combination after every other: Y must be the data input
// that S selects.
module tb;
  reg [3:0] d;
  reg [1:0] s;
  wire y;
  integer i, wrong;
  MUX4 dut(.\D<0> (d[0]), .\D<1> (d[1]), .\D<2> (d[2]), .\D<3> (d[3]), .\S<0> (s[0]), .\S<1> (s[1]), .Y(y),
           .VDD(1'b1), .VSS(1'b0));
  initial begin
    wrong = 0;
    for (i = 0; i < 256; i = i + 1) begin
      {d, s} = i % 64;
      #1 if (y !== d[s]) wrong = wrong + 1;
    end
    $display("steps 256 wrong %0d", wrong);
  end
endmodule
