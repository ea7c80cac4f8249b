// `export` and `measure`: the coefficients of a designed spec file for other
// programs, and what the design achieves.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/design_measure.h"
#include "core/messages.h"
#include "core/word_length.h"
#include "files/coefficient_export.h"
#include "files/hdl_export.h"

namespace tapwright::cli {

namespace {

constexpr const char* kFormatNames = "txt, csv, json, c, coe, mif, verilog or vhdl";

struct Arguments {
    std::string input;
    std::string output;  // empty: standard output
    std::string format;
    std::string name;
    int bits = 0;
    bool json = false;
    bool singlePrecision = false;
    std::optional<int> fractionBits;
    Rounding rounding = Rounding::Nearest;
    Overflow overflow = Overflow::Saturate;
    int inputBits = 0;
    int outputBits = 0;
    bool meet = false;
    double marginDb = kDefaultMeetMarginDb;
    bool marginGiven = false;
};

bool ParseInteger(const std::string& text, long lo, long hi, int& into) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < lo || value > hi) return false;
    into = static_cast<int>(value);
    return true;
}

// A number of dB from 0 to 1000.
bool ParseDb(const std::string& text, double& into) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0.0 && value <= 1000.0)) return false;
    into = value;
    return true;
}

// The command line as typed, each argument quoted where the shell would need it.
std::string CommandLine(const char* command, int argc, char** argv) {
    std::string line = std::string("tapwright-cli ") + command;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        line += ' ';
        if (!arg.empty() &&
            arg.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                  "0123456789-_./=:+,@%") == std::string::npos) {
            line += arg;
            continue;
        }
        line += '\'';
        for (char c : arg) {
            // Newlines would end the comment line the command is written in.
            if (c == '\n' || c == '\r') c = ' ';
            line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        line += '\'';
    }
    return line;
}

bool ParseBits(const std::string& text, int& bits) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < kMinQuantizeBits || value > kMaxQuantizeBits) {
        return false;
    }
    bits = static_cast<int>(value);
    return true;
}

// Parses the arguments of export (`exportOptions`) or measure; prints the error and
// returns false on a bad argument.
bool Parse(const char* command, int argc, char** argv, bool exportOptions, Arguments& a) {
    auto fail = [&](const std::string& what) {
        std::fprintf(stderr, "tapwright-cli %s: %s\n", command, what.c_str());
        return false;
    };
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--bits") {
            if (!value(v) || !ParseBits(v, a.bits)) {
                return fail(FormatString("--bits needs a word length from %d to %d",
                                         kMinQuantizeBits, kMaxQuantizeBits));
            }
        } else if (arg == "--frac") {
            int f = 0;
            if (!value(v) || !ParseInteger(v, kMinFractionBits, kMaxFractionBits, f)) {
                return fail(FormatString("--frac needs a number of fraction bits from %d to %d",
                                         kMinFractionBits, kMaxFractionBits));
            }
            a.fractionBits = f;
        } else if (arg == "--round") {
            std::optional<Rounding> r;
            if (!value(v) || !(r = RoundingFromName(v))) {
                return fail("--round needs nearest, even, floor or zero");
            }
            a.rounding = *r;
        } else if (arg == "--overflow") {
            std::optional<Overflow> o;
            if (!value(v) || !(o = OverflowFromName(v))) {
                return fail("--overflow needs saturate or error");
            }
            a.overflow = *o;
        } else if (arg == "--input-bits") {
            if (!value(v) || !ParseInteger(v, kMinInputBits, kMaxInputBits, a.inputBits)) {
                return fail(FormatString("--input-bits needs a width from %d to %d", kMinInputBits,
                                         kMaxInputBits));
            }
        } else if (!exportOptions && arg == "--output-bits") {
            if (!value(v) || !ParseInteger(v, 2, 127, a.outputBits)) {
                return fail("--output-bits needs a width of 2 bits or more");
            }
        } else if (!exportOptions && arg == "--meet") {
            a.meet = true;
        } else if (!exportOptions && arg == "--margin") {
            if (!value(v) || !ParseDb(v, a.marginDb)) {
                return fail("--margin needs a number of dB from 0 to 1000");
            }
            a.marginGiven = true;
        } else if (exportOptions && (arg == "-o" || arg == "--output")) {
            if (!value(a.output)) return fail(arg + " needs a file name");
        } else if (exportOptions && arg == "--format") {
            if (!value(a.format)) return fail(std::string("--format needs ") + kFormatNames);
        } else if (exportOptions && arg == "--name") {
            if (!value(a.name)) return fail("--name needs a C or module name");
        } else if (exportOptions && arg == "--float") {
            a.singlePrecision = true;
        } else if (!exportOptions && arg == "--json") {
            a.json = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return fail("unknown option " + arg);
        } else if (a.input.empty()) {
            a.input = arg;
        } else {
            return fail("more than one input file");
        }
    }
    if (a.input.empty()) return fail("no spec file given");
    const bool choices = a.fractionBits || a.rounding != Rounding::Nearest ||
                         a.overflow != Overflow::Saturate || a.inputBits != 0 || a.outputBits != 0;
    if (choices && a.bits == 0 && !a.meet) {
        return fail("--frac, --round, --overflow, --input-bits and --output-bits need --bits B");
    }
    if (a.meet && (a.bits != 0 || a.json))
        return fail(
            "--meet chooses the word length itself: "
            "leave out --bits and --json");
    if (a.marginGiven && !a.meet) return fail("--margin belongs to --meet");
    return true;
}

}  // namespace

int RunExportCommand(int argc, char** argv) {
    Arguments a;
    if (!Parse("export", argc, argv, true, a)) return kExitBadInput;
    ExportOptions options;
    const auto format = ExportFormatFromName(a.format);
    if (!format) {
        std::fprintf(stderr, "tapwright-cli export: --format needs %s\n", kFormatNames);
        return kExitBadInput;
    }
    options.format = *format;
    options.bits = a.bits;
    options.singlePrecision = a.singlePrecision;
    options.fractionBits = a.fractionBits;
    options.rounding = a.rounding;
    options.overflow = a.overflow;
    options.inputBits = a.inputBits;
    options.command = CommandLine("export", argc, argv);
    const bool hdl = ExportFormatDetails(options.format).hdl;
    options.name = !a.name.empty() ? a.name : DefaultExportName(options.format, a.input);
    // Arguments that no design can satisfy are refused before designing.
    if (!a.name.empty() && (hdl ? !IsValidHdlName(a.name) : !IsValidExportName(a.name))) {
        std::fprintf(stderr, "tapwright-cli export: \"%s\" is not a valid %s\n", a.name.c_str(),
                     hdl ? "Verilog and VHDL module name" : "C name");
        return kExitBadInput;
    }
    if (a.inputBits != 0 && !hdl) {
        std::fprintf(stderr, "tapwright-cli export: --input-bits applies to verilog and vhdl\n");
        return kExitBadInput;
    }
    if (ExportFormatDetails(options.format).needsBits && options.bits == 0) {
        std::fprintf(stderr, "tapwright-cli export: the %s format holds integers: give --bits B\n",
                     a.format.c_str());
        return kExitBadInput;
    }
    if (options.singlePrecision && (options.format != ExportFormat::CHeader || options.bits)) {
        std::fprintf(stderr,
                     "tapwright-cli export: --float applies to --format c without --bits\n");
        return kExitBadInput;
    }

    CFirDesign design;
    const LoadedDesign loaded = LoadAndDesign(a.input, design, nullptr);
    if (loaded.exitCode != kExitOk) return loaded.exitCode;
    std::string text, error;
    if (!FormatExport(loaded.spec, design, options, text, &error)) {
        std::fprintf(stderr, "tapwright-cli export: %s\n", error.c_str());
        return kExitRefused;
    }
    return WriteOutput(a.output, text);
}

int RunMeasureCommand(int argc, char** argv) {
    Arguments a;
    if (!Parse("measure", argc, argv, false, a)) return kExitBadInput;
    CFirDesign design;
    const LoadedDesign loaded = LoadAndDesign(a.input, design, nullptr);
    if (loaded.exitCode != kExitOk) return loaded.exitCode;
    QuantizeOptions quantize;
    quantize.bits = a.bits;
    quantize.fraction = a.fractionBits;
    quantize.rounding = a.rounding;
    quantize.overflow = a.overflow;
    std::string error;
    if (a.meet) {
        WordLengthResult r;
        if (!FindShortestWordLength(loaded.spec, design, quantize, a.marginDb, r, &error)) {
            std::fprintf(stderr, "tapwright-cli measure: %s\n", error.c_str());
            return kExitRefused;
        }
        const int written = WriteOutput("", FormatWordLengthResult(r));
        if (written != kExitOk) return written;
        if (!r.found) {
            std::fprintf(stderr,
                         "tapwright-cli measure: no word length up to %d bits meets the "
                         "targets\n",
                         kMaxQuantizeBits);
            return kExitRefused;
        }
        return kExitOk;
    }
    DesignMeasurements m;
    if (!MeasureDesign(loaded.spec, design, quantize, a.inputBits, a.outputBits, m, &error)) {
        std::fprintf(stderr, "tapwright-cli measure: %s\n", error.c_str());
        return kExitRefused;
    }
    return WriteOutput("", a.json ? MeasurementsJson(m) : FormatMeasurementTable(m));
}

const char* ExportCommandHelp() {
    return "  export FILE --format F [--bits B [--frac F] [--round R] [--overflow O]]\n"
           "         [--input-bits W] [--name NAME] [--float] [-o OUT]\n"
           "                           Design FILE and export its coefficients. F is txt\n"
           "                           (one per line, 17 significant digits), csv (n,h),\n"
           "                           json (spec, taps and measurements), c (a C header:\n"
           "                           NAME_LENGTH and static const double NAME[]; --float\n"
           "                           for float), coe (FPGA coefficient file), mif (memory\n"
           "                           initialisation file), verilog (one module) or vhdl\n"
           "                           (one entity). The HDL is a synchronous FIR filter\n"
           "                           with clk, ce, rst, a signed W-bit input\n"
           "                           (--input-bits, default B) and a full-precision\n"
           "                           output. coe, mif, verilog and\n"
           "                           vhdl need --bits. --bits B (2 ... 32) quantizes to\n"
           "                           signed B-bit integers at the scale 2^F at which the\n"
           "                           largest tap fits, or at --frac F (format\n"
           "                           Q(B-F-1).F); --round nearest (halves away from 0,\n"
           "                           the default), even (halves to even), floor or zero\n"
           "                           (toward zero); --overflow saturate (the default) or\n"
           "                           error (refuse, naming the tap). The export states F.\n"
           "                           NAME (the C name or the module) defaults to the file\n"
           "                           name.\n"
           "  measure FILE [--bits B [--frac F] [--round R] [--overflow O] [--input-bits W]\n"
           "         [--output-bits N]] [--json]\n"
           "                           Design FILE and print what it achieves on a dense\n"
           "                           grid: gain, ripple and attenuation per band, the\n"
           "                           -3 dB and -6 dB frequencies, DC and Nyquist gains,\n"
           "                           group delay (and, with --bits, the same for the\n"
           "                           fixed-point taps with their format, largest error,\n"
           "                           coefficient sum and accumulator width for a W-bit\n"
           "                           input, and with --output-bits the format of the\n"
           "                           output rounded to N bits), as a table or as JSON.\n"
           "  measure FILE --meet [--margin DB] [--frac F] [--round R] [--overflow O]\n"
           "                           Find the shortest word length B whose fixed-point\n"
           "                           taps still meet the pass-band ripple (PBrip) and\n"
           "                           stop-band attenuation (SBrip) of FILE; where those\n"
           "                           are 0, the design's own attenuation less DB (default\n"
           "                           1) and its ripple and slope error grown by\n"
           "                           10^(DB/20). Prints B, the figures at B - 1 and B, and\n"
           "                           the measurements at B; exit 1 if none up to 32 bits.\n";
}

}  // namespace tapwright::cli
