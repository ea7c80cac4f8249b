#include "cli/graph_args.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cli/cli_common.h"
#include "core/quantize.h"
#include "core/spec_rules.h"

namespace tapwright::cli {

namespace {

// The graph names of --graph, one row each: the graph and view of the window they
// stand for, and whether they draw the small area.
struct CliGraph {
    GraphKind kind;
    const char* name;
    GraphType graph;
    bool logScale;
    ViewMode view;
    bool smallArea;
};

constexpr CliGraph kCliGraphs[] = {
    {GraphKind::Impulse, "impulse", Impulse, true, FullView, false},
    {GraphKind::Magnitude, "magnitude", Magnitude, false, FullView, false},
    {GraphKind::Db, "db", Magnitude, true, FullView, false},
    {GraphKind::Passband, "passband", Magnitude, true, PassbandView, false},
    {GraphKind::Stopband, "stopband", Magnitude, true, StopbandView, false},
    {GraphKind::Range, "range", Magnitude, true, SpecifiedRange, false},
    {GraphKind::Phase, "phase", Phase, true, FullView, false},
    {GraphKind::Window, "window", Impulse, true, FullView, true},
    {GraphKind::Legend, "legend", Magnitude, true, FullView, true},
    {GraphKind::GroupDelay, "group-delay", GroupDelay, true, FullView, false},
    {GraphKind::UnwrappedPhase, "unwrapped-phase", UnwrappedPhase, true, FullView, false},
    {GraphKind::PoleZero, "pole-zero", PoleZero, true, FullView, false},
    {GraphKind::Step, "step", Step, true, FullView, false},
};

const CliGraph* CliGraphOf(GraphKind kind) {
    for (const CliGraph& g : kCliGraphs) {
        if (g.kind == kind) return &g;
    }
    return nullptr;
}

std::optional<GraphKind> ParseKind(const std::string& s, GraphAreas areas) {
    for (const CliGraph& g : kCliGraphs) {
        if (s == g.name && (!g.smallArea || areas != GraphAreas::MainOnly)) return g.kind;
    }
    return std::nullopt;
}

bool ParseNumber(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(out);
}

// "LO:HI", split at the first colon.
bool ParseRange(const std::string& s, double& low, double& high) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) return false;
    return ParseNumber(s.substr(0, colon), low) && ParseNumber(s.substr(colon + 1), high);
}

// Qt's notes about the missing runtime directory of a display-less run are noise
// here; everything else goes to standard error as usual.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

GraphOptions ToGraphOptions(const GraphArgs& a, const FilterSpec& spec) {
    GraphOptions g;
    g.curveFitting = a.curve;
    g.degrees = a.degrees;
    g.zoom = a.zoom;
    g.gridOn = a.grid;
    g.seconds = a.seconds;
    g.fixedPointBits = a.bits;
    g.holdActive = !a.held.empty();
    g.viewLow = a.rangeGiven ? a.low : 0.0;
    g.viewHigh = a.rangeGiven ? a.high : static_cast<double>(spec.Fs) * 0.5;
    if (const CliGraph* kind = CliGraphOf(a.kind)) {
        g.graph = kind->graph;
        g.logScale = kind->logScale;
        g.view = kind->view;
    }
    return g;
}

}  // namespace

const char* GraphKindName(GraphKind kind) {
    const CliGraph* g = CliGraphOf(kind);
    return g ? g->name : nullptr;
}

std::string ParseGraphCommandArgs(int argc, char** argv, GraphAreas areas, const char* outputName,
                                  const OwnOption& own, GraphCommandArgs& out) {
    GraphArgs& g = out.graph;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const ArgValue value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v, error;
        if (arg == "-o") {
            if (!value(out.output)) return "-o needs a file name";
        } else if (arg == "--graph") {
            if (!value(v)) return "--graph needs a graph name";
            const std::optional<GraphKind> kind = ParseKind(v, areas);
            if (!kind) return "unknown graph \"" + v + "\"";
            g.kind = *kind;
            g.kindGiven = true;
        } else if (arg == "--hold") {
            if (!value(g.held)) return "--hold needs the previous spec file";
        } else if (arg == "--range") {
            if (!value(v) || !ParseRange(v, g.low, g.high)) return "--range needs LO:HI in Hz";
            g.rangeGiven = true;
        } else if (arg == "--curve") {
            g.curve = true;
        } else if (arg == "--degrees") {
            g.degrees = true;
        } else if (arg == "--zoom") {
            g.zoom = true;
        } else if (arg == "--grid") {
            g.grid = true;
        } else if (arg == "--seconds") {
            g.seconds = true;
        } else if (arg == "--bits") {
            double bits = 0.0;
            if (!value(v) || !ParseNumber(v, bits) || bits != std::floor(bits) ||
                bits < kMinQuantizeBits || bits > kMaxQuantizeBits) {
                return "--bits needs a word length of 2 to 32";
            }
            g.bits = static_cast<int>(bits);
        } else if (own && own(arg, value, error)) {
            if (!error.empty()) return error;
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option \"" + arg + "\"";
        } else if (out.file.empty()) {
            out.file = arg;
        } else {
            return "more than one spec file";
        }
    }
    if (out.file.empty()) return "no spec file";
    if (out.output.empty()) return std::string("no output file (-o ") + outputName + ")";
    return {};
}

std::string CheckGraphArgs(const GraphArgs& args, GraphAreas areas) {
    if (areas == GraphAreas::Both) {
        if (!args.kindGiven) return "no graph (--graph G)";
        if (args.kind == GraphKind::Legend && args.held.empty())
            return "--graph legend needs --hold";
    }
    if (!args.held.empty() && args.kind != GraphKind::Db && args.kind != GraphKind::Legend) {
        // The legend is named only where it can be drawn.
        return areas == GraphAreas::Both
                   ? "--hold draws the dB full view (--graph db) or its legend (--graph legend)"
                   : "--hold draws the dB full view (--graph db)";
    }
    return {};
}

int RefuseArguments(const char* command, const std::string& text) {
    std::fprintf(stderr, "tapwright-cli %s: %s (see tapwright-cli --help)\n", command,
                 text.c_str());
    return kExitBadInput;
}

std::unique_ptr<QGuiApplication> StartOffscreenApplication() {
    if (QCoreApplication::instance() != nullptr) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    static int qtArgc = 1;
    static char qtName[] = "tapwright-cli";
    static char* qtArgv[] = {qtName, nullptr};
    return std::make_unique<QGuiApplication>(qtArgc, qtArgv);
}

GraphDesign LoadGraphDesign(const char* command, const std::string& file, const GraphArgs& args,
                            CFirDesign& design) {
    GraphDesign out;
    const bool hold = !args.held.empty();
    LoadedDesign previous;
    if (hold) {
        previous = LoadAndDesign(args.held, design, nullptr);
        if (previous.exitCode != kExitOk) {
            out.exitCode = previous.exitCode;
            return out;
        }
        // The previous design's curve is kept as the window keeps it under Hold On.
        out.held.magnitudeDb.assign(
            design.magnitudeDb.begin(),
            design.magnitudeDb.begin() +
                static_cast<std::ptrdiff_t>(
                    std::min(design.magnitudeDb.size(),
                             static_cast<std::size_t>(std::max(design.pointCount, 0)))));
        out.held.method = previous.spec.WType;
        out.held.pointCount = design.pointCount;
        out.held.iterations = previous.settled.Itern;
    }
    const LoadedDesign loaded = LoadAndDesign(file, design, hold ? &previous.spec : nullptr);
    if (loaded.exitCode != kExitOk) {
        out.exitCode = loaded.exitCode;
        return out;
    }
    const double nyquist = static_cast<double>(loaded.spec.Fs) * 0.5;
    // The window's view range rule; NaN never reaches it (the number parser refuses it).
    if (args.rangeGiven && (CheckViewRange(args.low, args.high, nyquist, true) ||
                            CheckViewRange(args.low, args.high, nyquist, false))) {
        std::fprintf(stderr, "tapwright-cli %s: --range must satisfy 0 <= LO <= HI <= %g (Fs/2)\n",
                     command, nyquist);
        out.exitCode = kExitBadInput;
        return out;
    }
    out.spec = loaded.spec;
    out.options = ToGraphOptions(args, loaded.spec);
    return out;
}

}  // namespace tapwright::cli
