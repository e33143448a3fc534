// The clock generator settles after each edge of clk: both clock buffers
// follow it, and so do the pulse outputs, as the non-overlapping phases
// come out of its cross-coupled chains.
module tb;
  reg clk;
  wire decodeclk, columnclk, precharge_n, wl_en, we_en;
  integer i, wrong;
  SP6TCClockGenerator dut(.vss(1'b0), .vdd(1'b1), .clk(clk), .decodeclk(decodeclk), .columnclk(columnclk),
                          .precharge_n(precharge_n), .wl_en(wl_en), .we_en(we_en));
  initial begin
    wrong = 0;
    for (i = 0; i < 8; i = i + 1) begin
      clk = i % 2;
      #1 if ({decodeclk, columnclk, wl_en, we_en, precharge_n} !== {5{clk}}) wrong = wrong + 1;
    end
    $display("steps 8 wrong %0d", wrong);
  end
endmodule
