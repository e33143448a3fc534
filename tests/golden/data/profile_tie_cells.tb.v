// Tie-driven outputs: y and w follow ~a, z and v stay 1.
module tb;
  reg a;
  wire y, z, w, v;
  top dut(.a(a), .y(y), .z(z), .w(w), .v(v), .vccd1(1'b1), .vssd1(1'b0));
  initial begin
    a = 0;
    #1 $display("a=%b y=%b z=%b w=%b v=%b", a, y, z, w, v);
    a = 1;
    #1 $display("a=%b y=%b z=%b w=%b v=%b", a, y, z, w, v);
  end
endmodule
