#include "files/hdl_export.h"

#include <cctype>
#include <cstdint>
#include <vector>

#include "core/messages.h"

namespace tapwright {

namespace {

// Reserved words of Verilog-2005 and VHDL-2008 (compared without case) and the
// names of the generated bodies.
constexpr const char* kReserved[] = {
    // Verilog
    "always", "and", "assign", "automatic", "begin", "buf", "bufif0", "bufif1", "case", "casex",
    "casez", "cell", "cmos", "config", "deassign", "default", "defparam", "design", "disable",
    "edge", "else", "end", "endcase", "endconfig", "endfunction", "endgenerate", "endmodule",
    "endprimitive", "endspecify", "endtable", "endtask", "event", "for", "force", "forever", "fork",
    "function", "generate", "genvar", "highz0", "highz1", "if", "ifnone", "incdir", "include",
    "initial", "inout", "input", "instance", "integer", "join", "large", "liblist", "library",
    "localparam", "macromodule", "medium", "module", "nand", "negedge", "nmos", "nor",
    "noshowcancelled", "not", "notif0", "notif1", "or", "output", "parameter", "pmos", "posedge",
    "primitive", "pull0", "pull1", "pulldown", "pullup", "pulsestyle_onevent",
    "pulsestyle_ondetect", "rcmos", "real", "realtime", "reg", "release", "repeat", "rnmos",
    "rpmos", "rtran", "rtranif0", "rtranif1", "scalared", "showcancelled", "signed", "small",
    "specify", "specparam", "strong0", "strong1", "supply0", "supply1", "table", "task", "time",
    "tran", "tranif0", "tranif1", "tri", "tri0", "tri1", "triand", "trior", "trireg", "unsigned",
    "use", "uwire", "vectored", "wait", "wand", "weak0", "weak1", "while", "wire", "wor", "xnor",
    "xor",
    // VHDL
    "abs", "access", "after", "alias", "all", "architecture", "array", "assert", "assume",
    "attribute", "block", "body", "buffer", "bus", "component", "configuration", "constant",
    "context", "cover", "disconnect", "downto", "elsif", "entity", "exit", "fairness", "file",
    "group", "guarded", "impure", "in", "inertial", "is", "label", "linkage", "literal", "loop",
    "map", "mod", "new", "next", "null", "of", "on", "open", "others", "out", "package", "port",
    "postponed", "procedure", "process", "property", "protected", "pure", "range", "record",
    "register", "reject", "rem", "report", "restrict", "return", "rol", "ror", "select", "sequence",
    "severity", "shared", "signal", "sla", "sll", "sra", "srl", "strong", "subtype", "then", "to",
    "transport", "type", "unaffected", "units", "until", "variable", "vmode", "vprop", "vunit",
    "when", "with",
    // the generated bodies; ieee, std, work and the numeric_std names
    "clk", "ce", "rst", "din", "dout", "x", "s", "acc", "k", "rtl", "delay_t", "ieee", "std",
    "work", "std_logic", "std_logic_vector", "std_logic_1164", "numeric_std", "resize",
    "rising_edge", "to_signed", "integer", "natural", "boolean", "bit"};

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The B-bit two's complement of v, most significant bit first.
std::string Binary(std::int64_t v, int bits) {
    std::string s(static_cast<std::size_t>(bits), '0');
    const auto u = static_cast<std::uint64_t>(v);
    for (int i = 0; i < bits; ++i) {
        if ((u >> i) & 1u) s[static_cast<std::size_t>(bits - 1 - i)] = '1';
    }
    return s;
}

// A signed Verilog literal of `bits` bits with the value v.
std::string VerilogLiteral(std::int64_t v, int bits) {
    if (v >= 0) return FormatString("%d'sd%lld", bits, static_cast<long long>(v));
    // -2^(B-1) has no positive B-bit counterpart: its bit pattern instead.
    if (v == -(static_cast<std::int64_t>(1) << (bits - 1))) {
        return FormatString("%d'sb", bits) + Binary(v, bits);
    }
    return FormatString("-%d'sd%lld", bits, static_cast<long long>(-v));
}

// One term of the sum: the tap index k, its partner in a pre-adder pair (-1: none),
// and whether the partner is subtracted.
struct Term {
    std::size_t k;
    long long partner;
    bool subtract;
};

std::vector<Term> Terms(const QuantizedTaps& q, TapSymmetry symmetry) {
    const std::size_t N = q.values.size();
    std::vector<Term> terms;
    if (symmetry == TapSymmetry::None) {
        for (std::size_t k = 0; k < N; ++k) {
            if (q.values[k] != 0) terms.push_back({k, -1, false});
        }
        return terms;
    }
    for (std::size_t k = 0; k < N / 2; ++k) {
        if (q.values[k] == 0) continue;
        terms.push_back(
            {k, static_cast<long long>(N - 1 - k), symmetry == TapSymmetry::Antisymmetric});
    }
    // The middle tap of an odd length (0 when antisymmetric) stands alone.
    if (N % 2 == 1 && q.values[N / 2] != 0) terms.push_back({N / 2, -1, false});
    return terms;
}

// `text` with every byte outside printable ASCII as '?': VHDL-93 reads its source
// as Latin-1, where the bytes of UTF-8 include control characters.
std::string Printable(std::string text) {
    for (char& c : text) {
        if (c < 0x20 || c > 0x7e) c = '?';
    }
    return text;
}

// Comment lines of the header, each starting with `lead`.
std::string Header(const std::string& lead, const QuantizedTaps& q, const BitGrowth& g,
                   TapSymmetry symmetry, const HdlOptions& o) {
    const std::size_t N = q.values.size();
    std::string t = lead + " " + o.name + ": FIR filter designed by Tapwright.\n";
    if (!o.description.empty()) t += lead + " " + Printable(o.description) + ".\n";
    t += lead + " Made by: " + Printable(o.command) + "\n";
    t += lead + " " + QuantizationSummary(q, &g) + ".\n";
    t +=
        lead + FormatString(
                   " y[n] = sum of c[k] * x[n-k], k = 0 ... %zu, exact: x is Q0.%d (%d bits), c is "
                   "Q%d.%d, y is Q%d.%d (%d bits).\n",
                   N - 1, g.inputBits - 1, g.inputBits, q.bits - 1 - q.fractionBits, q.fractionBits,
                   g.accumulatorBits - 1 - g.accumulatorFractionBits, g.accumulatorFractionBits,
                   g.accumulatorBits);
    t += lead +
         " One sample per clock with ce high; dout holds y[n] from the clock that takes x[n]. A "
         "synchronous reset (rst high) clears the delay line and dout.\n";
    if (symmetry != TapSymmetry::None) {
        t += lead +
             (symmetry == TapSymmetry::Symmetric
                  ? " Symmetric taps: each pair c[k] = c[N-1-k] shares one multiplier behind a "
                    "pre-adder.\n"
                  : " Antisymmetric taps: each pair c[k] = -c[N-1-k] shares one multiplier "
                    "behind a pre-subtracter.\n");
    }
    return t;
}

}  // namespace

bool IsValidHdlName(std::string_view name) {
    if (name.empty() || name.size() > 63) return false;
    if (!std::isalpha(static_cast<unsigned char>(name[0])) || name.back() == '_') return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
        if (c == '_' && i > 0 && name[i - 1] == '_') return false;
    }
    // The constants are c0, c1, ...
    if ((name[0] == 'c' || name[0] == 'C') && name.size() > 1 &&
        name.find_first_not_of("0123456789", 1) == std::string_view::npos) {
        return false;
    }
    for (const char* r : kReserved) {
        if (EqualNoCase(name, r)) return false;
    }
    return true;
}

TapSymmetry SymmetryOf(const QuantizedTaps& q) {
    const std::size_t N = q.values.size();
    bool symmetric = true, antisymmetric = true;
    for (std::size_t k = 0; k < N; ++k) {
        symmetric = symmetric && q.values[k] == q.values[N - 1 - k];
        antisymmetric = antisymmetric && q.values[k] == -q.values[N - 1 - k];
    }
    if (N < 2) return TapSymmetry::None;
    return symmetric ? TapSymmetry::Symmetric
                     : (antisymmetric ? TapSymmetry::Antisymmetric : TapSymmetry::None);
}

std::string VerilogFilter(const QuantizedTaps& q, const BitGrowth& g, const HdlOptions& o) {
    const std::size_t N = q.values.size();
    const int W = g.inputBits, A = g.accumulatorBits, B = q.bits;
    const TapSymmetry symmetry = SymmetryOf(q);
    std::string t = Header("//", q, g, symmetry, o);
    t += "module " + o.name + " (\n";
    t += "    input  wire                clk,\n";
    t += "    input  wire                ce,\n";
    t += "    input  wire                rst,\n";
    t += FormatString("    input  wire signed [%d:0] din,\n", W - 1);
    t += FormatString("    output reg  signed [%d:0] dout\n", A - 1);
    t += ");\n";
    for (std::size_t k = 0; k < N; ++k) {
        t += FormatString("    localparam signed [%d:0] c%zu = ", B - 1, k) +
             VerilogLiteral(q.values[k], B) + ";\n";
    }
    // x[k] is the input k samples ago; x[0] is din itself.
    if (N > 1) t += FormatString("    reg signed [%d:0] x [1:%zu];\n", W - 1, N - 1);
    t += FormatString("    reg signed [%d:0] acc;\n", A - 1);
    if (N > 1) t += "    integer k;\n";
    auto sample = [](std::size_t k) {
        return k == 0 ? std::string("din") : FormatString("x[%zu]", k);
    };
    t += "\n    always @(posedge clk) begin\n";
    t += "        if (rst) begin\n";
    if (N > 1)
        t += FormatString("            for (k = 1; k <= %zu; k = k + 1) x[k] <= 0;\n", N - 1);
    t += "            dout <= 0;\n";
    t += "        end else if (ce) begin\n";
    // Every operand is signed, so the sum is formed at the accumulator's width.
    t += "            acc = 0;\n";
    for (const Term& term : Terms(q, symmetry)) {
        t += FormatString("            acc = acc + c%zu * ", term.k);
        if (term.partner < 0) {
            t += sample(term.k);
            t += ";\n";
        } else {
            t += '(';
            t += sample(term.k);
            t += term.subtract ? " - " : " + ";
            t += sample(static_cast<std::size_t>(term.partner));
            t += ");\n";
        }
    }
    t += "            dout <= acc;\n";
    if (N > 1) {
        t += "            x[1] <= din;\n";
        if (N > 2) {
            t += FormatString("            for (k = 2; k <= %zu; k = k + 1) x[k] <= x[k - 1];\n",
                              N - 1);
        }
    }
    t += "        end\n";
    t += "    end\n";
    t += "endmodule\n";
    return t;
}

std::string VhdlFilter(const QuantizedTaps& q, const BitGrowth& g, const HdlOptions& o) {
    const std::size_t N = q.values.size();
    const int W = g.inputBits, A = g.accumulatorBits, B = q.bits;
    const TapSymmetry symmetry = SymmetryOf(q);
    std::string t = Header("--", q, g, symmetry, o);
    t += "library ieee;\nuse ieee.std_logic_1164.all;\nuse ieee.numeric_std.all;\n\n";
    t += "entity " + o.name + " is\n";
    t += "    port (\n";
    t += "        clk  : in  std_logic;\n";
    t += "        ce   : in  std_logic;\n";
    t += "        rst  : in  std_logic;\n";
    t += FormatString("        din  : in  std_logic_vector(%d downto 0);\n", W - 1);
    t += FormatString("        dout : out std_logic_vector(%d downto 0)\n", A - 1);
    t += "    );\n";
    t += "end entity " + o.name + ";\n\n";
    t += "architecture rtl of " + o.name + " is\n";
    for (std::size_t k = 0; k < N; ++k) {
        t += FormatString("    constant c%zu : signed(%d downto 0) := \"", k, B - 1) +
             Binary(q.values[k], B) +
             FormatString("\";  -- %lld\n", static_cast<long long>(q.values[k]));
    }
    // x(k) is the input k samples ago.
    t += FormatString("    type delay_t is array (natural range <>) of signed(%d downto 0);\n",
                      W - 1);
    if (N > 1) {
        t += FormatString("    signal x : delay_t(1 to %zu) := (others => (others => '0'));\n",
                          N - 1);
    }
    t += "begin\n";
    t += "    process (clk)\n";
    t += FormatString("        variable acc : signed(%d downto 0);\n", A - 1);
    t += FormatString("        variable s : delay_t(0 to %zu);\n", N - 1);
    t += "    begin\n";
    t += "        if rising_edge(clk) then\n";
    t += "            if rst = '1' then\n";
    if (N > 1) t += "                x <= (others => (others => '0'));\n";
    t += "                dout <= (others => '0');\n";
    t += "            elsif ce = '1' then\n";
    // s: the samples this clock's sum reads, the new one first.
    if (N > 1) t += FormatString("                s(1 to %zu) := x;\n", N - 1);
    t += "                s(0) := signed(din);\n";
    t += "                acc := (others => '0');\n";
    for (const Term& term : Terms(q, symmetry)) {
        std::string product;
        if (term.partner < 0) {
            product = FormatString("c%zu * s(%zu)", term.k, term.k);
        } else {
            product = FormatString("c%zu * (resize(s(%zu), %d) %s resize(s(%lld), %d))", term.k,
                                   term.k, W + 1, term.subtract ? "-" : "+", term.partner, W + 1);
        }
        t += FormatString("                acc := acc + resize(%s, %d);\n", product.c_str(), A);
    }
    t += "                dout <= std_logic_vector(acc);\n";
    if (N > 1) t += FormatString("                x <= s(0 to %zu);\n", N - 2);
    t += "            end if;\n";
    t += "        end if;\n";
    t += "    end process;\n";
    t += "end architecture rtl;\n";
    return t;
}

}  // namespace tapwright
