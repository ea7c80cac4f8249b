// Stand-in while the plot command is not part of this build.

#include <cstdio>

#include "cli/commands.h"

namespace tapwright::cli {

int RunPlotCommand(int, char**) {
    std::fprintf(stderr, "tapwright-cli: the plot command is not part of this build\n");
    return 2;
}

const char* PlotCommandHelp() {
    return "";
}

}  // namespace tapwright::cli
