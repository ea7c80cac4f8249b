#include "cli/cli_common.h"

#include <cstdio>

#include "core/design_measure.h"
#include "core/design_pipeline.h"
#include "files/spec_file.h"

namespace tapwright::cli {

namespace {

void PrintRecorded(const RecordingDesignHost& host) {
    for (const auto& message : host.messages) {
        std::fprintf(stderr, "%s\n", message.second.c_str());
    }
    for (const std::string& text : host.information) std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

LoadedDesign LoadAndDesign(const std::string& path, CFirDesign& design, const FilterSpec* held) {
    LoadedDesign out;
    const SpecReadResult read = ReadSettledSpecFile(path, DefaultFilterSpec());
    if (!read.ok) {
        std::fprintf(stderr, "tapwright-cli: %s: %s\n", path.c_str(), read.error.c_str());
        out.exitCode = kExitBadInput;
        return out;
    }
    // The window's selections show the file; under Hold On the committed method is
    // still the held design's until the design takes the selection.
    const FilterSpec& selections = read.spec;
    FilterSpec spec = selections;
    if (held) spec.WType = held->WType;

    RecordingDesignHost host(selections);
    PipelineFlags flags;
    flags.holdActive = held != nullptr;
    const CheckOutcome check = CheckSpec(spec, design, flags, host);
    if (!check.passed) {
        PrintRecorded(host);
        out.exitCode = kExitRefused;
        return out;
    }
    if (held) StashHeldDesign(spec, design, host);
    const RunOutcome run = RunDesign(spec, design, flags, host, check.f1, check.f2);
    PrintRecorded(host);
    if (run.status != DesignStatus::Designed) {
        out.exitCode = kExitRefused;
        return out;
    }
    const std::string warning = ConditioningWarning(spec, design);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    out.spec = spec;
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
