// tapwright: the window program.

#include <cstdio>
#include <cstring>

#include "app/run_window.h"

namespace {

const char* kUsage =
    "Usage: tapwright [FILE]\n"
    "\n"
    "Opens the Tapwright window, the design tool for FIR digital filters. A spec\n"
    "FILE given here is loaded as the Load button loads it; press Apply to design it.\n"
    "\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "tapwright-cli designs the same spec files without a window.\n";

}  // namespace

int main(int argc, char** argv) {
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tapwright %s\n", tapwright::app::ProgramVersionText());
            return 0;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "tapwright: unknown option \"%s\"\n\n%s", argv[i], kUsage);
            return 2;
        }
        if (file != nullptr) {
            std::fprintf(stderr, "tapwright: more than one FILE\n\n%s", kUsage);
            return 2;
        }
        file = argv[i];
    }
    return tapwright::app::RunWindow(argc, argv, file, nullptr);
}
