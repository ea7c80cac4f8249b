// `export` and `measure`: the coefficients of a designed spec file for other
// programs, and what the design achieves.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/design_measure.h"
#include "core/messages.h"
#include "files/coefficient_export.h"

namespace tapwright::cli {

namespace {

struct Arguments {
    std::string input;
    std::string output;  // empty: standard output
    std::string format;
    std::string name;
    int bits = 0;
    bool json = false;
    bool singlePrecision = false;
};

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
        } else if (exportOptions && (arg == "-o" || arg == "--output")) {
            if (!value(a.output)) return fail(arg + " needs a file name");
        } else if (exportOptions && arg == "--format") {
            if (!value(a.format)) return fail("--format needs txt, csv, json, c or coe");
        } else if (exportOptions && arg == "--name") {
            if (!value(a.name)) return fail("--name needs a C name");
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
    return true;
}

}  // namespace

int RunExportCommand(int argc, char** argv) {
    Arguments a;
    if (!Parse("export", argc, argv, true, a)) return kExitBadInput;
    ExportOptions options;
    const auto format = ExportFormatFromName(a.format);
    if (!format) {
        std::fprintf(stderr, "tapwright-cli export: --format needs txt, csv, json, c or coe\n");
        return kExitBadInput;
    }
    options.format = *format;
    options.bits = a.bits;
    options.singlePrecision = a.singlePrecision;
    options.name = a.name.empty() ? ExportNameFromPath(a.input) : a.name;
    // Arguments that no design can satisfy are refused before designing.
    if (!a.name.empty() && !IsValidExportName(a.name)) {
        std::fprintf(stderr, "tapwright-cli export: \"%s\" is not a valid C name\n",
                     a.name.c_str());
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
    DesignMeasurements m;
    std::string error;
    if (!MeasureDesign(loaded.spec, design, a.bits, m, &error)) {
        std::fprintf(stderr, "tapwright-cli measure: %s\n", error.c_str());
        return kExitRefused;
    }
    return WriteOutput("", a.json ? MeasurementsJson(m) : FormatMeasurementTable(m));
}

const char* ExportCommandHelp() {
    return "  export FILE --format F [--bits B] [--name NAME] [--float] [-o OUT]\n"
           "                           Design FILE and export its coefficients. F is txt\n"
           "                           (one per line, 17 significant digits), csv (n,h),\n"
           "                           json (spec, taps and measurements), c (a C header:\n"
           "                           NAME_LENGTH and static const double NAME[]; --float\n"
           "                           for float) or coe (FPGA coefficient file; needs\n"
           "                           --bits). --bits B (2 ... 32) quantizes to signed\n"
           "                           B-bit integers at the scale 2^F at which the largest\n"
           "                           tap fits, rounding to nearest; the export states F.\n"
           "                           NAME defaults to the file name.\n"
           "  measure FILE [--bits B] [--json]\n"
           "                           Design FILE and print what it achieves on a dense\n"
           "                           grid: gain, ripple and attenuation per band, the\n"
           "                           -3 dB and -6 dB frequencies, DC and Nyquist gains,\n"
           "                           group delay (and, with --bits, the same for the\n"
           "                           fixed-point taps), as a table or as JSON.\n";
}

}  // namespace tapwright::cli
