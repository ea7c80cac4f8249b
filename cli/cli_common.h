#pragma once

// Shared steps of the tapwright-cli sub-commands: read a spec file and
// design it exactly as the window does after Load and then Apply.

#include <string>

#include "cli/commands.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"

namespace tapwright::cli {

struct LoadedDesign {
    int exitCode = kExitOk;  // kExitOk, kExitRefused or kExitBadInput
    FilterSpec spec;         // as settled after Load and committed by the design
    FilterSpec settled;      // as settled after Load, before the design
};

// Reads the spec file at `path`, settles it as the window does after Load,
// and designs it into `design` (left as it was when nothing is designed). With
// `held` (the filter spec of the design already in `design`), the design runs under
// Hold On, as when the user changes the inputs of a held design and presses Apply. Messages and
// warnings go to standard error.
LoadedDesign LoadAndDesign(const std::string& path, CFirDesign& design, const FilterSpec* held);

// Writes `text` to standard output (`output` empty) or whole to the file `output`.
// Returns kExitOk, or kExitBadInput after a message when it cannot be written.
int WriteOutput(const std::string& output, const std::string& text);

}  // namespace tapwright::cli
