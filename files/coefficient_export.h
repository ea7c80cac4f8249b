#pragma once

// Exports of a design's coefficients for other programs: plain text, CSV, JSON, a
// C header, the FPGA coefficient files (.coe, .mif) and the filter itself in
// Verilog or VHDL, at full precision or as signed fixed-point integers. Every export is formed
// whole in memory, then written whole or not at all. Pure C++.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/design_measure.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "core/quantize.h"

namespace tapwright {

enum class ExportFormat : int {
    Text = 0,
    Csv = 1,
    Json = 2,
    CHeader = 3,
    Coe = 4,
    Mif = 5,
    Verilog = 6,
    Vhdl = 7
};
inline constexpr int kExportFormatCount = 8;

struct ExportFormatInfo {
    ExportFormat format;
    const char* name;       // as tapwright-cli export --format takes it
    const char* extension;  // of the file, without the dot
    const char* filter;     // save dialog filter entry
    bool needsBits;         // holds integers only: a word length must be given
    bool hdl;               // the filter itself: NAME names a module or entity
};

const ExportFormatInfo& ExportFormatDetails(ExportFormat format);
// The format named "txt", "csv", "json", "c", "coe", "mif", "verilog" or "vhdl".
std::optional<ExportFormat> ExportFormatFromName(std::string_view name);

struct ExportOptions {
    ExportFormat format = ExportFormat::Text;
    int bits = 0;                     // 0: full precision; 2 ... 32: signed fixed point
    bool singlePrecision = false;     // C header at full precision: float, not double
    std::string name = "fir";         // C identifier: array, macro prefix, include guard;
                                      // for Verilog and VHDL the module (IsValidHdlName)
    std::optional<int> fractionBits;  // F; none: the largest at which every tap fits
    Rounding rounding = Rounding::Nearest;
    Overflow overflow = Overflow::Saturate;
    int inputBits = 0;    // Verilog, VHDL: input width 2 ... 32; 0: as wide as the taps
    std::string command;  // Verilog, VHDL: the command named in the header
};

// The fixed-point choices of `o` (bits 0: none).
QuantizeOptions QuantizeChoice(const ExportOptions& o);

// A valid module name made from the stem of a file path ("fir" when the stem is
// not one).
std::string HdlNameFromPath(std::string_view path);

// Whether `name` can name the C array: letters, digits and '_', not starting with a
// digit, at most 63 characters, not a C keyword.
bool IsValidExportName(std::string_view name);

// A valid export name made from the stem of a file path ("fir" when nothing is
// left of it).
std::string ExportNameFromPath(std::string_view path);

// The name an export of `format` takes when none is given: a module name for
// Verilog and VHDL, else a C name, made from the stem of `path`.
std::string DefaultExportName(ExportFormat format, std::string_view path);

// One line naming the design made from `spec` with `taps` coefficients: response
// type, method, length, sampling frequency, and its cutoffs or bands.
std::string DesignDescription(const FilterSpec& spec, int taps);

// The export text of the design in `design`, made from `spec` (as designed). False,
// with `error` set, for coefficients that are not finite, a word length outside
// 2 ... 32, a format that needs one without it, float with fixed point, a name
// that is not valid, an input width out of range, or a tap that overflows under
// Overflow::Error.
bool FormatExport(const FilterSpec& spec, const CFirDesign& design, const ExportOptions& options,
                  std::string& text, std::string* error);

// FormatExport, then WriteFileAtomically: on any failure nothing is written.
bool WriteExport(const std::string& path, const FilterSpec& spec, const CFirDesign& design,
                 const ExportOptions& options, std::string* error);

// The measurements as a JSON object (tapwright-cli measure --json): the grid, the
// full-precision measurements and, with a fixed-point form, its word length, scale,
// format, rounding, errors, bit growth and measurements.
std::string MeasurementsJson(const DesignMeasurements& m);

// The coefficients, 17 significant digits, one per line: the clipboard text of
// "Copy Coefficients" and the full-precision txt export.
std::string CoefficientClipboardText(const std::vector<double>& h);

}  // namespace tapwright
