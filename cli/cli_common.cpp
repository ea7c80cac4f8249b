#include "cli/cli_common.h"

#include <cstdio>

#include "core/design_measure.h"
#include "core/design_pipeline.h"
#include "files/atomic_file.h"
#include "files/spec_file.h"

namespace tapwright::cli {

LoadedDesign LoadAndDesign(const std::string& path, CFirDesign& design, const FilterSpec* held) {
    LoadedDesign out;
    const SpecReadResult read = ReadSettledSpecFile(path, DefaultFilterSpec());
    if (!read.ok) {
        std::fprintf(stderr, "tapwright-cli: %s: %s\n", path.c_str(), read.error.c_str());
        out.exitCode = kExitBadInput;
        return out;
    }
    out.settled = read.spec;
    // The window's selections show the file; under Hold On the committed method is
    // still the held design's until the design takes the selection.
    DesignRequest request = RequestFromSpec(read.spec);
    if (held) request.spec.WType = held->WType;
    request.holdActive = held != nullptr;
    request.previous = std::move(design);
    DesignOutcome outcome = Design(std::move(request));
    design = std::move(outcome.design);
    for (const DesignNotice& notice : outcome.notices) {
        if (!notice.information) std::fprintf(stderr, "%s\n", notice.Text().c_str());
    }
    for (const DesignNotice& notice : outcome.notices) {
        if (notice.information) std::fprintf(stderr, "%s\n", notice.Text().c_str());
    }
    if (!outcome.checked || outcome.status != DesignStatus::Designed) {
        out.exitCode = kExitRefused;
        return out;
    }
    const std::string warning = ConditioningWarning(outcome.spec, design);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    out.spec = outcome.spec;
    return out;
}

int WriteOutput(const std::string& output, const std::string& text) {
    if (output.empty()) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "tapwright-cli: cannot write to standard output\n");
            return kExitBadInput;
        }
        return kExitOk;
    }
    std::string error;
    if (!WriteFileAtomically(output, text, &error)) {
        std::fprintf(stderr, "tapwright-cli: %s\n", error.c_str());
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace tapwright::cli
