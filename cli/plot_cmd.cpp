// tapwright-cli plot FILE -o OUT.png --graph G [options]
//
// Designs FILE as the window does after Load and Apply, draws the chosen graph on
// canvases of the window's sizes with the window's own drawing and composition
// steps, and writes the composed front image as a PNG.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/png_file.h"
#include "graphs/graph_canvases.h"

namespace tapwright::cli {

namespace {

enum class GraphKind { Impulse, Magnitude, Db, Passband, Stopband, Range, Phase, Window, Legend };

struct PlotOptions {
    std::string file;
    std::string output;
    std::string held;  // --hold PREVIOUS_FILE
    GraphKind kind = GraphKind::Impulse;
    bool kindGiven = false;
    bool curve = false;
    bool degrees = false;
    bool zoom = false;
    bool grid = false;
    bool rangeGiven = false;
    double low = 0.0;   // Hz
    double high = 0.0;  // Hz
};

std::optional<GraphKind> ParseKind(const std::string& s) {
    if (s == "impulse") return GraphKind::Impulse;
    if (s == "magnitude") return GraphKind::Magnitude;
    if (s == "db") return GraphKind::Db;
    if (s == "passband") return GraphKind::Passband;
    if (s == "stopband") return GraphKind::Stopband;
    if (s == "range") return GraphKind::Range;
    if (s == "phase") return GraphKind::Phase;
    if (s == "window") return GraphKind::Window;
    if (s == "legend") return GraphKind::Legend;
    return std::nullopt;
}

bool ParseNumber(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(out);
}

bool ParseRange(const std::string& s, double& low, double& high) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) return false;
    return ParseNumber(s.substr(0, colon), low) && ParseNumber(s.substr(colon + 1), high);
}

// Returns an error text, or an empty string when the arguments are good.
std::string ParseArguments(int argc, char** argv, PlotOptions& o) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) -> bool {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "-o") {
            if (!value(o.output)) return "-o needs a file name";
        } else if (arg == "--graph") {
            if (!value(v)) return "--graph needs a graph name";
            const std::optional<GraphKind> kind = ParseKind(v);
            if (!kind) return "unknown graph \"" + v + "\"";
            o.kind = *kind;
            o.kindGiven = true;
        } else if (arg == "--hold") {
            if (!value(o.held)) return "--hold needs the previous spec file";
        } else if (arg == "--range") {
            if (!value(v) || !ParseRange(v, o.low, o.high)) return "--range needs LO:HI in Hz";
            o.rangeGiven = true;
        } else if (arg == "--curve") {
            o.curve = true;
        } else if (arg == "--degrees") {
            o.degrees = true;
        } else if (arg == "--zoom") {
            o.zoom = true;
        } else if (arg == "--grid") {
            o.grid = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option \"" + arg + "\"";
        } else if (o.file.empty()) {
            o.file = arg;
        } else {
            return "more than one spec file";
        }
    }
    if (o.file.empty()) return "no spec file";
    if (o.output.empty()) return "no output file (-o OUT.png)";
    if (!o.kindGiven) return "no graph (--graph G)";
    if (o.kind == GraphKind::Legend && o.held.empty()) return "--graph legend needs --hold";
    if (!o.held.empty() && o.kind != GraphKind::Db && o.kind != GraphKind::Legend) {
        return "--hold draws the dB full view (--graph db) or its legend (--graph legend)";
    }
    return {};
}

// Qt's notes about the missing runtime directory of a display-less run are noise
// here; everything else goes to standard error as usual.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

GraphOptions ToGraphOptions(const PlotOptions& o, const FilterSpec& spec) {
    GraphOptions g;
    g.curveFitting = o.curve;
    g.degrees = o.degrees;
    g.zoom = o.zoom;
    g.gridOn = o.grid;
    g.holdActive = !o.held.empty();
    g.viewLow = o.rangeGiven ? o.low : 0.0;
    g.viewHigh = o.rangeGiven ? o.high : static_cast<double>(spec.Fs) * 0.5;
    switch (o.kind) {
        case GraphKind::Impulse:
        case GraphKind::Window:
            g.graph = Impulse;
            break;
        case GraphKind::Magnitude:
            g.graph = Magnitude;
            g.logScale = false;
            break;
        case GraphKind::Db:
        case GraphKind::Legend:
            g.graph = Magnitude;
            g.view = FullView;
            break;
        case GraphKind::Passband:
            g.graph = Magnitude;
            g.view = PassbandView;
            break;
        case GraphKind::Stopband:
            g.graph = Magnitude;
            g.view = StopbandView;
            break;
        case GraphKind::Range:
            g.graph = Magnitude;
            g.view = SpecifiedRange;
            break;
        case GraphKind::Phase:
            g.graph = Phase;
            break;
    }
    return g;
}

}  // namespace

const char* PlotCommandHelp() {
    return "  plot FILE -o OUT.png --graph G [options]\n"
           "                           Design FILE and write the graph the window shows after\n"
           "                           Load and Apply, on graph areas of the window's sizes\n"
           "                           (584 x 342 and, for window/legend, 294 x 155 pixels).\n"
           "                           Runs without a display (Qt offscreen platform).\n"
           "                           G: impulse, magnitude (linear), db (full view),\n"
           "                           passband, stopband, range, phase, window (the small\n"
           "                           area), legend (the small area under --hold).\n"
           "                           Options: --curve (Curve Fitting), --degrees,\n"
           "                           --range LO:HI (Hz, default 0:Fs/2) with --zoom,\n"
           "                           --grid (grid ORed in), --hold PREVIOUS_FILE (design\n"
           "                           PREVIOUS first, then FILE under Hold On; with db the\n"
           "                           overlay, with legend the small area's legend).\n"
           "                           dB views of other than low and high pass designs show\n"
           "                           the range view, as the window does; after an\n"
           "                           equiripple design the phase graph becomes the impulse\n"
           "                           graph and the small area holds only its empty frame.\n";
}

int RunPlotCommand(int argc, char** argv) {
    PlotOptions o;
    const std::string error = ParseArguments(argc, argv, o);
    if (!error.empty()) {
        std::fprintf(stderr, "tapwright-cli plot: %s (see tapwright-cli --help)\n", error.c_str());
        return kExitBadInput;
    }

    // The labels need a GUI application for their font; no display is ever used.
    std::unique_ptr<QGuiApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQtMessages);
        static int qtArgc = 1;
        static char qtName[] = "tapwright-cli";
        static char* qtArgv[] = {qtName, nullptr};
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    }

    CFirDesign design;
    LoadedDesign previous;
    if (!o.held.empty()) {
        previous = LoadAndDesign(o.held, design, nullptr);
        if (previous.exitCode != kExitOk) return previous.exitCode;
    }
    const LoadedDesign loaded =
        LoadAndDesign(o.file, design, o.held.empty() ? nullptr : &previous.spec);
    if (loaded.exitCode != kExitOk) return loaded.exitCode;
    const FilterSpec& spec = loaded.spec;

    const double nyquist = static_cast<double>(spec.Fs) * 0.5;
    if (o.rangeGiven && !(o.low >= 0.0 && o.low <= o.high && o.high <= nyquist)) {
        std::fprintf(stderr,
                     "tapwright-cli plot: --range must satisfy 0 <= LO <= HI <= %g (Fs/2)\n",
                     nyquist);
        return kExitBadInput;
    }

    const GraphOptions options = ToGraphOptions(o, spec);
    GraphCanvases canvases;
    if (!CreateStartupImages(canvases, kMainClientRect, kSmallClientRect)) {
        std::fprintf(stderr, "tapwright-cli plot: cannot create the graph canvases\n");
        return kExitBadInput;
    }
    ResetWorkingCanvases(canvases, options.holdActive);
    const GraphDrawn drawn =
        DrawGraphs(canvases, design, spec, options, kMainClientRect, kSmallClientRect);
    RefreshGraphs(canvases, options);

    // Say where the window's rules changed the request.
    if (o.kind == GraphKind::Phase && drawn.graph != Phase) {
        std::fprintf(stderr,
                     "tapwright-cli plot: the phase graph is not offered after an equiripple "
                     "design; the impulse graph is drawn\n");
    }
    if (drawn.graph == Phase && (spec.FType == Differentiator || spec.FType == Hilbert)) {
        std::fprintf(stderr,
                     "tapwright-cli plot: the window does not offer the phase graph for this "
                     "response type; it is drawn from the computed spectrum\n");
    }
    if (drawn.graph == Magnitude && drawn.logScale && drawn.view != options.view) {
        std::fprintf(stderr,
                     "tapwright-cli plot: dB views of this response type show the specified "
                     "range %g ... %g Hz\n",
                     options.viewLow, options.viewHigh);
    }
    if (o.kind == GraphKind::Window && !drawn.windowShape) {
        std::fprintf(stderr,
                     "tapwright-cli plot: an equiripple design has no window shape; the small "
                     "area's empty frame is written\n");
    }
    if (!o.held.empty() && !drawn.overlay) {
        std::fprintf(stderr,
                     "tapwright-cli plot: Hold On overlays only the dB full view of low-pass "
                     "and high-pass designs; nothing was overlaid\n");
    }

    const bool small = o.kind == GraphKind::Window || o.kind == GraphKind::Legend;
    CMemCanvas& front = small ? canvases.smallFront : canvases.mainFront;
    if (!WritePngFile(o.output, front.Image())) {
        std::fprintf(stderr, "tapwright-cli plot: cannot write %s\n", o.output.c_str());
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace tapwright::cli
