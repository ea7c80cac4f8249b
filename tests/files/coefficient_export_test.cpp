#include "files/coefficient_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "files/hdl_export.h"

namespace tapwright {
namespace {

namespace fs = std::filesystem;

TEST(CoefficientExport, NamesFormatsAndDescriptions) {
    struct NameCase {
        const char* name;
        bool valid;
    };
    const NameCase names[] = {{"lowpass", true}, {"_fir2", true},
                              {"L", true},       {"", false},
                              {"2fir", false},   {"low-pass", false},
                              {"double", false}, {"static", false},
                              {"a b", false},    {"\xc3\xa9t\xc3\xa9", false}};
    for (const NameCase& c : names) EXPECT_EQ(IsValidExportName(c.name), c.valid) << c.name;
    EXPECT_FALSE(IsValidExportName(std::string(64, 'x')));
    EXPECT_TRUE(IsValidExportName(std::string(63, 'x')));

    const std::pair<const char*, const char*> paths[] = {
        {"examples/lowpass_default.txt", "lowpass_default"},
        {"/tmp/2nd try.spec.txt", "_2nd_try"},
        {"dir/lp.1.txt", "lp"},
        {"dir/double.txt", "fir"},
        {"", "fir"}};
    for (const auto& [path, name] : paths) EXPECT_EQ(ExportNameFromPath(path), name) << path;
    // Without a name an export is named after its file, as a module for HDL.
    EXPECT_EQ(DefaultExportName(ExportFormat::CHeader, "/tmp/_x.txt"), "_x");
    EXPECT_EQ(DefaultExportName(ExportFormat::Verilog, "/tmp/_x.txt"), "fir");

    for (int i = 0; i < kExportFormatCount; ++i) {
        const ExportFormatInfo& info = ExportFormatDetails(static_cast<ExportFormat>(i));
        EXPECT_EQ(ExportFormatFromName(info.name), info.format);
    }
    EXPECT_FALSE(ExportFormatFromName("h"));
    // A group delay is written for linear-phase taps only.
    DesignMeasurements m;
    EXPECT_EQ(MeasurementsJson(m).find("groupDelay"), std::string::npos);
    m.full.linearPhase = true;
    m.full.groupDelay = 7.5;
    EXPECT_NE(MeasurementsJson(m).find("\"linearPhase\": true,\n    \"groupDelaySamples\": 7.5\n"),
              std::string::npos);

    // The transition width is described only where it chose the length.
    const std::tuple<ResponseType, DesignMethod, int, bool> widths[] = {
        {LowPass, Hamming, 0, true},
        {BandStop, Kaiser, 0, true},
        {LowPass, Hamming, 1, false},
        {Differentiator, Hamming, 0, false},
        {LowPass, Equiripple, 0, false}};
    for (const auto& [type, method, autoD, described] : widths) {
        FilterSpec spec = DefaultFilterSpec();
        spec.FType = type;
        spec.WType = method;
        spec.AutoD = autoD;
        spec.Tw = 150.0f;
        EXPECT_EQ(
            DesignDescription(spec, 31).find(", transition width 150 Hz") != std::string::npos,
            described)
            << type << " " << method << " " << autoD;
    }

    // Whole descriptions: a differentiator's cutoffs, band pass and band stop cutoffs
    // in order however typed, equiripple bands.
    const std::tuple<ResponseType, DesignMethod, float, float, const char*> described[] = {
        {Differentiator, Hamming, 500.0f, 3000.0f,
         "Differentiator, Hamming window, 30 taps, Fs 8000 Hz, cutoffs 500 and 3000 Hz"},
        {BandPass, Rectangular, 1000.0f, 3000.0f,
         "Band Pass, Rectangular window, 30 taps, Fs 8000 Hz, cutoffs 1000 and 3000 Hz"},
        {BandStop, Kaiser, 3000.0f, 1000.0f,
         "Band Stop, Kaiser window, 30 taps, Fs 8000 Hz, cutoffs 1000 and 3000 Hz"},
        {Multiband, Equiripple, 0.0f, 0.0f,
         "Multiband, equiripple, 30 taps, Fs 8000 Hz, bands 0-1000 Hz (amplitude 1); 1500-4000 "
         "Hz (amplitude 0.5)"}};
    for (const auto& [type, method, fc1, fc2, text] : described) {
        FilterSpec spec = DefaultFilterSpec();
        spec.FType = type;
        spec.WType = method;
        spec.Fc1 = fc1;
        spec.Fc2 = fc2;
        spec.Bands[0] = {0.0, 1000.0, 1.0};
        spec.Bands[1] = {1500.0, 4000.0, 0.5};
        EXPECT_EQ(DesignDescription(spec, 30), text);
    }
}

// Every refusal leaves an existing file as it was; a target that cannot be
// written leaves nothing behind.
TEST(CoefficientExport, RefusedExportsWriteNothing) {
    const fs::path dir =
        fs::temp_directory_path() / ("tapwright-export-" + std::to_string(::getpid()));
    fs::create_directories(dir / "taken");
    const std::string existing = (dir / "old.txt").string();
    std::ofstream(existing) << "old\n";

    FilterSpec spec = DefaultFilterSpec();
    CFirDesign design;
    ASSERT_TRUE(
        design.DesignWindow(LowPass, Hamming, 1000.0f, 0.0f, 8000.0f, 31, 512, 4.0, SymmetricOdd)
            .Designed());
    CFirDesign empty;
    CFirDesign broken = design;
    broken.coeffs[7] = NAN;
    auto options = [](ExportFormat f, int bits, bool single, const char* name) {
        ExportOptions o;
        o.format = f;
        o.bits = bits;
        o.singlePrecision = single;
        o.name = name;
        return o;
    };
    struct Refusal {
        const CFirDesign* design;
        ExportOptions options;
        const char* says;
    };
    const Refusal refusals[] = {
        {&empty, options(ExportFormat::Text, 0, false, "fir"), "no design"},
        {&broken, options(ExportFormat::Json, 0, false, "fir"), "not finite"},
        {&design, options(ExportFormat::Coe, 0, false, "fir"), "word length"},
        {&design, options(ExportFormat::Csv, 33, false, "fir"), "2 to 32"},
        {&design, options(ExportFormat::CHeader, 16, true, "fir"), "float"},
        {&design, options(ExportFormat::CHeader, 0, false, "1x"), "\"1x\""},
    };
    for (const Refusal& r : refusals) {
        std::string error;
        EXPECT_FALSE(WriteExport(existing, spec, *r.design, r.options, &error)) << r.says;
        EXPECT_NE(error.find(r.says), std::string::npos) << error;
        std::ifstream in(existing);
        std::stringstream content;
        content << in.rdbuf();
        EXPECT_EQ(content.str(), "old\n") << r.says;
    }

    // A folder in the way, or a folder that does not exist.
    const ExportOptions text = options(ExportFormat::Text, 0, false, "fir");
    std::string error;
    EXPECT_FALSE(WriteExport((dir / "taken").string(), spec, design, text, &error));
    EXPECT_FALSE(WriteExport((dir / "missing" / "x.txt").string(), spec, design, text, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_empty(dir / "taken"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);

    ASSERT_TRUE(WriteExport(existing, spec, design, text, &error)) << error;
    std::ifstream in(existing);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), CoefficientClipboardText(design.coeffs));
    fs::remove_all(dir);
}

// The integer type is the narrowest that holds the word length, and -2147483648
// alone is not a valid int constant in C (2147483648 does not fit).
TEST(CoefficientExport, CHeaderTypesAndValues) {
    CFirDesign design;
    design.coeffs = {-0.5, 0.25, -0.5};
    const std::pair<int, const char*> cases[] = {
        {8, "int8_t fir[FIR_LENGTH] = {\n    -128,\n    64,\n"},
        {9, "int16_t fir[FIR_LENGTH] = {\n    -256,\n"},
        {16, "int16_t fir[FIR_LENGTH] = {\n    -32768,\n"},
        {17, "int32_t fir[FIR_LENGTH] = {\n    -65536,\n"},
        {32,
         "int32_t fir[FIR_LENGTH] = {\n    (-2147483647 - 1),\n    1073741824,\n"
         "    (-2147483647 - 1)\n};"}};
    for (const auto& [bits, declared] : cases) {
        ExportOptions o;
        o.format = ExportFormat::CHeader;
        o.bits = bits;
        std::string text, error;
        ASSERT_TRUE(FormatExport(DefaultFilterSpec(), design, o, text, &error)) << error;
        EXPECT_NE(text.find(std::string("static const ") + declared), std::string::npos)
            << bits << "\n"
            << text;
    }
    // The whole header and .coe file of a fixed-point export.
    FilterSpec slope = DefaultFilterSpec();
    slope.FType = Differentiator;
    slope.WType = Hamming;
    slope.Fc1 = 500.0f;
    slope.Fc2 = 3000.0f;
    const std::string about =
        "Differentiator, Hamming window, 3 taps, Fs 8000 Hz, cutoffs 500 and 3000 Hz.\n";
    const std::string fixed =
        "8-bit signed fixed point: coefficient = value / 2^8 (-1 guard bits, 0 saturated).\n";
    const std::pair<ExportFormat, std::string> files[] = {
        {ExportFormat::CHeader,
         "/* fir: FIR filter coefficients designed by Tapwright.\n * " + about + " * " + fixed +
             " */\n#ifndef FIR_H\n#define FIR_H\n\n#include <stdint.h>\n\n#define FIR_LENGTH 3\n"
             "#define FIR_FRACTION_BITS 8\n\nstatic const int8_t fir[FIR_LENGTH] = {\n    -128,\n"
             "    64,\n    -128\n};\n\n#endif /* FIR_H */\n"},
        {ExportFormat::Coe, "; fir: FIR filter coefficients designed by Tapwright.\n; " + about +
                                "; " + fixed + "radix=10;\ncoefdata=\n-128,\n64,\n-128;\n"}};
    for (const auto& [format, expected] : files) {
        ExportOptions o;
        o.format = format;
        o.bits = 8;
        std::string text, error;
        ASSERT_TRUE(FormatExport(slope, design, o, text, &error)) << error;
        EXPECT_EQ(text, expected);
    }

    // A float header gives each float back exactly; 0.0100005325f needs nine digits.
    const float needsNine = 0.010000532492995262f;
    design.coeffs = {static_cast<double>(needsNine)};
    ExportOptions single;
    single.format = ExportFormat::CHeader;
    single.singlePrecision = true;
    std::string text, error;
    ASSERT_TRUE(FormatExport(DefaultFilterSpec(), design, single, text, &error)) << error;
    const std::string declared = "float fir[FIR_LENGTH] = {\n    ";
    const std::size_t at = text.find(declared);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(std::strtof(text.c_str() + at + declared.size(), nullptr), needsNine) << text;
}

// The memory initialisation file holds every tap at its address; the module name
// must suit both Verilog and VHDL; the choices beyond the defaults are stated.
TEST(CoefficientExport, MifFileAndModuleNames) {
    CFirDesign design;
    design.coeffs = {-0.5, 0.25, 0.1, 0.25, -0.5};
    ExportOptions o;
    o.format = ExportFormat::Mif;
    o.bits = 10;
    std::string text, error;
    ASSERT_TRUE(FormatExport(DefaultFilterSpec(), design, o, text, &error)) << error;
    QuantizedTaps q;
    ASSERT_TRUE(QuantizeTaps(design.coeffs, 10, q));
    const std::size_t begin = text.find("DEPTH = 5;\nWIDTH = 10;\n");
    ASSERT_NE(begin, std::string::npos) << text;
    std::istringstream content(text.substr(text.find("CONTENT BEGIN\n") + 14));
    std::string line;
    for (std::size_t i = 0; i < q.values.size(); ++i) {
        ASSERT_TRUE(std::getline(content, line));
        EXPECT_EQ(line, "    " + std::to_string(i) + " : " + std::to_string(q.values[i]) + ";");
    }
    ASSERT_TRUE(std::getline(content, line));
    EXPECT_EQ(line, "END;");

    // Convergent rounding is stated where the default is not.
    o.format = ExportFormat::Coe;
    o.rounding = Rounding::NearestEven;
    ASSERT_TRUE(FormatExport(DefaultFilterSpec(), design, o, text, &error)) << error;
    EXPECT_NE(text.find("rounding even, overflow saturate"), std::string::npos) << text;
    o.bits = 0;
    EXPECT_FALSE(FormatExport(DefaultFilterSpec(), design, o, text, &error));

    const std::pair<const char*, bool> names[] = {
        {"lowpass", true},  {"Fir_2", true},   {"c1x", true},   {"_fir", false},
        {"fir_", false},    {"a__b", false},   {"2fir", false}, {"Signal", false},
        {"ENTITY", false},  {"module", false}, {"dout", false}, {"c12", false},
        {"low-pass", false}};
    for (const auto& [name, valid] : names) EXPECT_EQ(IsValidHdlName(name), valid) << name;
    EXPECT_EQ(HdlNameFromPath("/tmp/band_pass.txt"), "band_pass");
    EXPECT_EQ(HdlNameFromPath("/tmp/_x.txt"), "fir");
    o.format = ExportFormat::Verilog;
    o.bits = 12;
    o.name = "_fir";
    EXPECT_FALSE(FormatExport(DefaultFilterSpec(), design, o, text, &error));
    EXPECT_NE(error.find("module name"), std::string::npos) << error;
}

}  // namespace
}  // namespace tapwright
