// Stand-in while the picture command is not part of this build.

#include <cstdio>

#include "cli/commands.h"

namespace tapwright::cli {

int RunPictureCommand(int, char**) {
    std::fprintf(stderr, "tapwright-cli: the picture command is not part of this build\n");
    return 2;
}

const char* PictureCommandHelp() {
    return "";
}

}  // namespace tapwright::cli
