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
    "                           (G = 32*Taps + 1 points, 0 up to just below Fs/2).\n"
    "                           Reals carry 17 significant digits; an exact zero\n"
    "                           shows -inf dB.\n"
    "%s"
    "%s"
    "%s"
    "%s"
    "\n"
    "Exit status:\n"
    "  0  the design was made (warnings such as \"Peak ripple ratio cannot be\n"
    "     reached after 40 iterations\" and the \"Ratio achieved ...\" text go to\n"
    "     standard error; the output is still written)\n"
    "  1  the design was refused (length parity, band order, a singular matrix, a\n"
    "     length beyond the maximum): the message goes to standard error\n"
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
