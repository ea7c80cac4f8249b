// The window program's start-up, ending at its first paint: it writes one line to
// standard output then and quits. The start-up benchmark times it from spawn to
// that line.

#include <QApplication>
#include <cstdio>

#include "app/run_window.h"

int main(int argc, char** argv) {
    return tapwright::app::RunWindow(argc, argv, nullptr, [] {
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        QApplication::quit();
    });
}
