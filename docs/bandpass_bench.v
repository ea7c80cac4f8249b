// Drives the module that
//   tapwright-cli export examples/bandpass_hamming.txt --format verilog --bits 16 --name bandpass
// writes (16-bit input, 33-bit output) with a full-scale impulse and prints the
// first 64 outputs: the taps times 32767, one per clock.
module bandpass_bench;
    reg clk = 0, ce = 1, rst = 1;
    reg signed [15:0] din = 0;
    wire signed [32:0] dout;
    integer n;
    bandpass dut (.clk(clk), .ce(ce), .rst(rst), .din(din), .dout(dout));
    initial begin
        #1 clk = 1;
        #1 clk = 0;
        rst = 0;
        for (n = 0; n < 64; n = n + 1) begin
            din = n == 0 ? 16'sd32767 : 16'sd0;
            #1 clk = 1;
            #1 $display("%0d %0d", n, dout);
            clk = 0;
        end
        $finish;
    end
endmodule
