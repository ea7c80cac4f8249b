// tapwright-cli: the batch designer. It runs the same design engine as the window.

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"

namespace {

const char* kUsage =
    "Usage: tapwright-cli COMMAND [ARGS]\n"
    "       tapwright-cli --help\n"
    "       tapwright-cli --version\n"
    "\n"
    "Designs FIR filters from Tapwright spec files, exactly as the window\n"
    "designs them after Load and then Apply.\n"
    "\n"
    "Commands:\n"
    "  design FILE [-o OUT]     Design FILE and write the spec file with its\n"
    "                           coefficient block to standard output or OUT.\n"
    "  response FILE [-o OUT]   Design FILE and write its evaluated response as CSV:\n"
    "                           index,frequency_hz,real,imag,magnitude,magnitude_db\n"
    "                           one row per frequency point. Point i of a window\n"
    "                           design lies at i*Fs/(K-1) (K = FFT size, 0 ... Fs\n"
    "                           inclusive); of an equiripple design at i*Fs/(2G)\n"
    "                           (G = 32*Taps + 1 points, 0 up to just below Fs/2);\n"
    "                           of a Parks-McClellan design at i*Fs/(2G) with G the\n"
    "                           smallest power of two of at least 8192 points and 8\n"
    "                           a tap. Reals carry 17 significant digits; an exact\n"
    "                           zero shows -inf dB.\n"
    "%s"
    "%s"
    "%s"
    "%s"
    "\n"
    "Parks-McClellan (WType 6) designs the optimal (minimax) equiripple filter of\n"
    "the band table by the Remez exchange, up to 131071 taps. Each band's error is\n"
    "scaled by its weight (Bd<i>W, a finite number above 0, stored for this method\n"
    "only). AutoD 1 designs Taps taps. AutoD 0 (low, high, band pass, band stop)\n"
    "searches the shortest length whose design keeps at most PBrip dB of ripple\n"
    "(peak to peak) in the pass bands and at least |SBrip| dB of attenuation in the\n"
    "stop bands, and writes that length back; the weights then follow from the two\n"
    "figures. A design that does not converge is refused with its message.\n"
    "\n"
    "Exit status:\n"
    "  0  the design was made (warnings such as \"Peak ripple ratio cannot be\n"
    "     reached after 40 iterations\" and the \"Ratio achieved ...\" text go to\n"
    "     standard error; the output is still written)\n"
    "  1  the design was refused (length parity, band order, a singular matrix, a\n"
    "     length beyond the maximum, a Parks-McClellan design that did not\n"
    "     converge or no length that meets the figures): the message goes to\n"
    "     standard error\n"
    "  2  the file cannot be read or is damaged (the message names the field and\n"
    "     value), or the arguments are wrong\n"
    "\n"
    "Output files are written whole or not at all.\n";

void PrintUsage(std::FILE* to) {
    std::fprintf(to, kUsage, tapwright::cli::PlotCommandHelp(),
                 tapwright::cli::PictureCommandHelp(), tapwright::cli::ExportCommandHelp(),
                 tapwright::cli::ReportCommandHelp());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tapwright::cli;
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitBadInput;
    }
    const std::string command = argv[1];
    if (command == "--version") {
        std::printf("tapwright-cli %s\n", TAPWRIGHT_VERSION);
        return kExitOk;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        PrintUsage(stdout);
        return kExitOk;
    }
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(stdout);
            return kExitOk;
        }
    }
    if (command == "design") return RunDesignCommand(argc - 2, argv + 2);
    if (command == "response") return RunResponseCommand(argc - 2, argv + 2);
    if (command == "plot") return RunPlotCommand(argc - 2, argv + 2);
    if (command == "picture") return RunPictureCommand(argc - 2, argv + 2);
    if (command == "export") return RunExportCommand(argc - 2, argv + 2);
    if (command == "measure") return RunMeasureCommand(argc - 2, argv + 2);
    if (command == "report") return RunReportCommand(argc - 2, argv + 2);
    std::fprintf(stderr, "tapwright-cli: unknown command \"%s\" (see tapwright-cli --help)\n",
                 command.c_str());
    return kExitBadInput;
}
