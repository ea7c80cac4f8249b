#pragma once

// A synchronous FIR filter of fixed-point taps as one Verilog module or one VHDL
// entity: clock, clock enable, synchronous reset, a signed input and a full-
// precision signed output one enabled clock after the input sample. Pure C++.

#include <string>
#include <string_view>

#include "core/quantize.h"

namespace tapwright {

struct HdlOptions {
    std::string name = "fir";  // module or entity name (IsValidHdlName)
    std::string description;   // one line naming the design
    std::string command;       // the command that made the file
};

// Whether `name` can name the module in both Verilog and VHDL: a letter, then
// letters, digits and single '_' (not last), at most 63 characters, neither
// language's reserved word nor a name the generated body uses.
bool IsValidHdlName(std::string_view name);

// How the taps pair up for the pre-adder.
enum class TapSymmetry { None, Symmetric, Antisymmetric };
TapSymmetry SymmetryOf(const QuantizedTaps& q);

// The Verilog (2001) module and the VHDL (1993) entity of the filter with taps `q`
// and the widths of `growth` (its input and accumulator widths). Both compute
// y[n] = sum q[k] x[n-k] exactly, with the samples before a reset taken as 0.
std::string VerilogFilter(const QuantizedTaps& q, const BitGrowth& growth, const HdlOptions& o);
std::string VhdlFilter(const QuantizedTaps& q, const BitGrowth& growth, const HdlOptions& o);

}  // namespace tapwright
