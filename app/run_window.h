#pragma once

// Start-up of the window program, shared by tapwright and its start-up benchmark.

#include <functional>

namespace tapwright::app {

// Creates the application and the window, loads `file` (or nothing when null) as
// the Load button does without its success box, and runs until the window closes.
// `firstPaint` (may be empty) runs once the window has first been painted.
// Returns the process exit code.
int RunWindow(int& argc, char** argv, const char* file, std::function<void()> firstPaint);

// "0.1.0".
const char* ProgramVersionText();

}  // namespace tapwright::app
