#include "cli/cli_common.h"

#include <cstdio>

#include "core/design_pipeline.h"
#include "core/spec_rules.h"
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

int LoadAndDesign(const std::string& path, CFirDesign& design, bool hold, LoadedDesign& out) {
    bool cannotOpen = false;
    SpecReadResult read = ReadSpecFile(path, DefaultFilterSpec(), &cannotOpen);
    if (!read.ok) {
        std::fprintf(stderr, "tapwright-cli: %s: %s\n", path.c_str(), read.error.c_str());
        return kExitBadInput;
    }
    FilterSpec spec = read.spec;
    SettleLoadedSpec(spec, read.fileFChar);

    RecordingDesignHost host(spec);
    PipelineFlags flags;
    flags.holdActive = hold;
    const CheckOutcome check = CheckSpec(spec, design, flags, host);
    if (!check.passed) {
        PrintRecorded(host);
        return kExitRefused;
    }
    if (hold) StashHeldDesign(spec, design, host);
    const RunOutcome run = RunDesign(spec, design, flags, host, check.f1, check.f2);
    PrintRecorded(host);
    if (run.r < 0) return kExitRefused;
    out.spec = spec;
    out.outcome = run.r;
    return kExitOk;
}

}  // namespace tapwright::cli
