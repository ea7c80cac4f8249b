// The exported Verilog under Icarus Verilog and the exported VHDL under GHDL, each
// output sample against the integer model: an impulse, a step, the inputs that
// drive the sum to its two extremes, and pseudo-random full-scale samples with the
// clock enable dropped now and then and a reset on the way.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "core/fixed_point.h"
#include "files/coefficient_export.h"
#include "files/hdl_export.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

struct Clock {
    bool rst;
    bool ce;
    std::int64_t din;
};

std::string Bits(std::int64_t v, int width) {
    std::string s;
    for (int i = width - 1; i >= 0; --i)
        s += ((static_cast<std::uint64_t>(v) >> i) & 1u) ? '1' : '0';
    return s;
}

// A signed binary number, most significant bit first.
WideInt FromBits(const std::string& s) {
    WideInt v = 0;
    for (char c : s) v = v * 2 + (c == '1' ? 1 : 0);
    if (!s.empty() && s[0] == '1') v -= static_cast<WideInt>(1) << s.size();
    return v;
}

std::vector<Clock> Stimulus(const std::vector<std::int64_t>& q, int W) {
    const std::int64_t top = (std::int64_t{1} << (W - 1)) - 1, bottom = -top - 1;
    const std::size_t N = q.size();
    std::vector<Clock> s = {{true, false, 0}, {true, true, 5}};
    auto hold = [&](std::int64_t x, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) s.push_back({false, true, x});
    };
    for (std::int64_t peak : {top, bottom}) {
        hold(peak, 1);  // impulse
        hold(0, N + 1);
        hold(peak, N + 2);  // step
        hold(0, N + 1);
    }
    // x[n - k] follows the sign of q[k]: the largest sum, then the smallest.
    for (int sign : {1, -1}) {
        for (std::size_t j = 0; j < N; ++j) {
            const std::int64_t c = q[N - 1 - j] * sign;
            hold(c > 0 ? top : (c < 0 ? bottom : 0), 1);
        }
    }
    std::mt19937_64 random(21);
    std::uniform_int_distribution<std::int64_t> sample(bottom, top);
    for (int i = 0; i < 3000; ++i) {
        const bool rst = i == 1700;
        const bool ce = random() % 8 != 0;
        // Every fourth sample at either end of the range.
        const std::int64_t x = i % 4 == 0 ? (random() % 2 ? top : bottom) : sample(random);
        s.push_back({rst, ce, x});
    }
    return s;
}

// dout after each clock, as the model computes it.
std::vector<WideInt> Expected(const std::vector<std::int64_t>& q, const std::vector<Clock>& s) {
    FirModel model(q);
    std::vector<WideInt> out;
    WideInt dout = 0;
    for (const Clock& c : s) {
        if (c.rst) {
            model.Reset();
            dout = 0;
        } else if (c.ce) {
            dout = model.Step(c.din);
        }
        out.push_back(dout);
    }
    return out;
}

std::string VerilogBench(const std::string& name, int W, int A, std::size_t clocks) {
    std::ostringstream t;
    t << "module bench;\n"
      << "    reg clk = 0, ce = 0, rst = 1;\n"
      << "    reg signed [" << W - 1 << ":0] din = 0;\n"
      << "    wire signed [" << A - 1 << ":0] dout;\n"
      << "    reg [" << W + 1 << ":0] stimulus [0:" << clocks - 1 << "];\n"
      << "    integer i;\n"
      << "    " << name << " dut (.clk(clk), .ce(ce), .rst(rst), .din(din), .dout(dout));\n"
      << "    initial begin\n"
      << "        $readmemb(\"stimulus.txt\", stimulus);\n"
      << "        for (i = 0; i < " << clocks << "; i = i + 1) begin\n"
      << "            {rst, ce, din} = stimulus[i];\n"
      << "            #1 clk = 1;\n"
      << "            #1 $display(\"%b\", dout);\n"
      << "            clk = 0;\n"
      << "        end\n"
      << "        $finish;\n"
      << "    end\nendmodule\n";
    return t.str();
}

std::string VhdlBench(const std::string& name, int W, int A) {
    std::ostringstream t;
    t << "library ieee;\nuse ieee.std_logic_1164.all;\nuse std.textio.all;\n\n"
      << "entity bench is\nend entity bench;\n\narchitecture sim of bench is\n"
      << "    signal clk, ce, rst : std_logic := '0';\n"
      << "    signal din : std_logic_vector(" << W - 1 << " downto 0) := (others => '0');\n"
      << "    signal dout : std_logic_vector(" << A - 1 << " downto 0);\n"
      << "    function bit_of(c : character) return std_logic is\n"
      << "    begin\n"
      << "        if c = '1' then return '1'; else return '0'; end if;\n"
      << "    end function;\n"
      << "begin\n"
      << "    dut : entity work." << name
      << " port map (clk => clk, ce => ce, rst => rst, din => din, dout => dout);\n"
      << "    process\n"
      << "        file stimulus : text open read_mode is \"stimulus.txt\";\n"
      << "        variable l, o : line;\n"
      << "        variable s : string(1 to " << W + 2 << ");\n"
      << "    begin\n"
      << "        while not endfile(stimulus) loop\n"
      << "            readline(stimulus, l);\n"
      << "            read(l, s);\n"
      << "            rst <= bit_of(s(1));\n"
      << "            ce <= bit_of(s(2));\n"
      << "            for i in 0 to " << W - 1 << " loop\n"
      << "                din(" << W - 1 << " - i) <= bit_of(s(3 + i));\n"
      << "            end loop;\n"
      << "            wait for 1 ns;\n"
      << "            clk <= '1';\n"
      << "            wait for 1 ns;\n"
      << "            for i in " << A - 1 << " downto 0 loop\n"
      << "                if dout(i) = '1' then write(o, character'('1'));\n"
      << "                else write(o, character'('0')); end if;\n"
      << "            end loop;\n"
      << "            writeline(output, o);\n"
      << "            clk <= '0';\n"
      << "        end loop;\n"
      << "        wait;\n"
      << "    end process;\nend architecture sim;\n";
    return t.str();
}

struct SimCase {
    const char* example;
    int bits;
    int inputBits;
    Rounding rounding;
    bool antisymmetric;
};

class HdlSimulation : public ::testing::TestWithParam<SimCase> {};

TEST_P(HdlSimulation, EveryOutputSampleMatchesTheModel) {
    const SimCase& c = GetParam();
    CFirDesign design;
    const cli::LoadedDesign loaded = cli::LoadAndDesign(
        std::string(TAPWRIGHT_EXAMPLES) + "/" + c.example + ".txt", design, nullptr);
    ASSERT_EQ(loaded.exitCode, 0);

    ExportOptions o;
    o.bits = c.bits;
    o.inputBits = c.inputBits;
    o.rounding = c.rounding;
    o.name = "dut_filter";
    o.command = "hdl_sim_test";
    QuantizedTaps q;
    ASSERT_TRUE(QuantizeTaps(design.coeffs, QuantizeChoice(o), q));
    BitGrowth g;
    ASSERT_TRUE(ComputeBitGrowth(q, c.inputBits, 0, g));
    EXPECT_EQ(SymmetryOf(q), c.antisymmetric ? TapSymmetry::Antisymmetric : TapSymmetry::Symmetric);

    const std::vector<Clock> stimulus = Stimulus(q.values, c.inputBits);
    const std::vector<WideInt> expected = Expected(q.values, stimulus);
    // The extremes reach the accumulator's width: one bit less would not hold them.
    WideInt hi = 0, lo = 0;
    for (WideInt y : expected) {
        hi = y > hi ? y : hi;
        lo = y < lo ? y : lo;
    }
    const WideInt half = static_cast<WideInt>(1) << (g.accumulatorBits - 2);
    EXPECT_TRUE(hi >= half || lo < -half);
    EXPECT_TRUE(hi <= 2 * half - 1 && lo >= -2 * half);

    test::TempDir dir;
    std::string lines;
    for (const Clock& k : stimulus) {
        lines +=
            std::string(k.rst ? "1" : "0") + (k.ce ? "1" : "0") + Bits(k.din, c.inputBits) + "\n";
    }
    dir.Write("stimulus.txt", lines);

    struct Simulator {
        ExportFormat format;
        const char* file;
        std::string bench;
        std::string run;
    };
    const std::string cd = "cd " + dir.path().string() + " && ";
    const Simulator simulators[] = {
        {ExportFormat::Verilog, "filter.v",
         VerilogBench(o.name, c.inputBits, g.accumulatorBits, stimulus.size()),
         cd + "iverilog -g2005 -Wall -o sim bench.v filter.v > log.txt 2>&1 && vvp -n sim > "
              "out.txt 2>> log.txt"},
        {ExportFormat::Vhdl, "filter.vhd", VhdlBench(o.name, c.inputBits, g.accumulatorBits),
         cd + "ghdl -a filter.vhd bench.vhd > log.txt 2>&1 && ghdl --elab-run bench > out.txt "
              "2>> log.txt"},
    };
    for (const Simulator& s : simulators) {
        SCOPED_TRACE(s.file);
        o.format = s.format;
        std::string text, error;
        ASSERT_TRUE(FormatExport(loaded.spec, design, o, text, &error)) << error;
        dir.Write(s.file, text);
        dir.Write(s.format == ExportFormat::Verilog ? "bench.v" : "bench.vhd", s.bench);
        const int status = std::system(s.run.c_str());
        const std::string log = test::ReadFile(dir / "log.txt");
        ASSERT_EQ(status, 0) << log;
        // Icarus warns of widths that do not match; the module has none.
        EXPECT_EQ(log.find("warning"), std::string::npos) << log;
        std::istringstream out(test::ReadFile(dir / "out.txt"));
        std::string line;
        std::size_t n = 0, wrong = 0;
        while (std::getline(out, line) &&
               line.size() == static_cast<std::size_t>(g.accumulatorBits)) {
            if (n < expected.size() && FromBits(line) != expected[n] && ++wrong <= 5) {
                ADD_FAILURE() << "clock " << n << ": " << WideToString(FromBits(line)) << ", model "
                              << WideToString(expected[n]);
            }
            ++n;
        }
        EXPECT_EQ(n, expected.size());
        EXPECT_EQ(wrong, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, HdlSimulation,
    ::testing::Values(
        // Odd length, symmetric, 16 bits in and out.
        SimCase{"bandpass_hamming", 16, 16, Rounding::Nearest, false},
        // Even length, antisymmetric, a narrower input and convergent rounding.
        SimCase{"differentiator_equiripple", 12, 10, Rounding::NearestEven, true},
        // Odd antisymmetric with zero taps, at the widest words (an 80-bit sum).
        SimCase{"hilbert_hamming", 32, 32, Rounding::TowardZero, true}),
    [](const ::testing::TestParamInfo<SimCase>& info) { return std::string(info.param.example); });

}  // namespace
}  // namespace tapwright
