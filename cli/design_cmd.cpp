// `design` and `response`: a spec file designed as the window designs it.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/design_methods.h"
#include "core/messages.h"
#include "files/spec_file.h"

namespace tapwright::cli {

namespace {

struct FileArgs {
    std::string input;
    std::string output;  // empty: standard output
};

bool ParseFileArgs(const char* command, int argc, char** argv, FileArgs& args) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tapwright-cli %s: %s needs a file name\n", command,
                             arg.c_str());
                return false;
            }
            args.output = argv[++i];
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            std::fprintf(stderr, "tapwright-cli %s: unknown option %s\n", command, arg.c_str());
            return false;
        } else if (args.input.empty()) {
            args.input = arg;
        } else {
            std::fprintf(stderr, "tapwright-cli %s: more than one input file\n", command);
            return false;
        }
    }
    if (args.input.empty()) {
        std::fprintf(stderr, "tapwright-cli %s: no spec file given\n", command);
        return false;
    }
    return true;
}

// Designs the one input file of `command` into `design`; the exit code, and the
// output path in `output`.
int DesignInput(const char* command, int argc, char** argv, CFirDesign& design,
                LoadedDesign& loaded, std::string& output) {
    FileArgs args;
    if (!ParseFileArgs(command, argc, argv, args)) return kExitBadInput;
    output = args.output;
    loaded = LoadAndDesign(args.input, design, nullptr);
    return loaded.exitCode;
}

}  // namespace

int RunDesignCommand(int argc, char** argv) {
    CFirDesign design;
    LoadedDesign loaded;
    std::string output;
    const int code = DesignInput("design", argc, argv, design, loaded, output);
    if (code != kExitOk) return code;
    return WriteOutput(output, FormatSpecFile(loaded.spec, FftIndexFromSize(loaded.spec.FFT),
                                              loaded.spec.AutoD, design.coeffs));
}

int RunResponseCommand(int argc, char** argv) {
    CFirDesign design;
    LoadedDesign loaded;
    std::string output;
    const int code = DesignInput("response", argc, argv, design, loaded, output);
    if (code != kExitOk) return code;

    const int K = design.pointCount;
    // Window designs cover 0 ... Fs on K points; the equiripple grid has K = G
    // intervals up to Fs/2.
    const bool equiripple = UsesBandTable(loaded.spec.WType);
    const double fs = loaded.spec.Fs;
    std::string text = "index,frequency_hz,real,imag,magnitude,magnitude_db\n";
    // Each row as "%d,%.17g,%.17g,%.17g,%.17g,%.17g\n" would print it: to_chars with the
    // general format and 17 digits gives the same characters without the locale and
    // format parsing of printf.
    char row[256];
    text.reserve(text.size() + static_cast<std::size_t>(K) * 140);  // the longest row is 137
    for (int i = 0; i < K; ++i) {
        const double f = equiripple ? i * fs / (2.0 * K) : i * fs / (K - 1);
        const double values[] = {f, design.spectrum[i].real(), design.spectrum[i].imag(),
                                 design.magnitude[i], design.magnitudeDb[i]};
        char* end = std::to_chars(row, row + sizeof row, i).ptr;
        for (double v : values) {
            *end++ = ',';
            end = std::to_chars(end, row + sizeof row, v, std::chars_format::general, 17).ptr;
        }
        *end++ = '\n';
        text.append(row, end);
    }
    return WriteOutput(output, text);
}

}  // namespace tapwright::cli
