// Runs the picture sub-command on its own: picture_cli FILE -o DIR [-n COUNT].

#include "cli/commands.h"

int main(int argc, char** argv) {
    return tapwright::cli::RunPictureCommand(argc - 1, argv + 1);
}
