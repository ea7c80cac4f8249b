// tapwright-cli report FILE --kind response|coefficients -o OUT.pdf [options]
//
// Designs FILE as the window does after Load and Apply and writes the report the
// window's print buttons print, as a PDF: the same pages, laid out for the PDF's
// page and resolution.

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
#include "core/messages.h"
#include "printing/report_painter.h"

namespace tapwright::cli {

namespace {

constexpr int kMinDpi = 72;
constexpr int kMaxDpi = 4800;

struct ReportOptions {
    std::string file;
    std::string output;
    std::string held;  // --hold PREVIOUS_FILE
    std::optional<ReportKind> kind;
    std::string graph = "impulse";
    bool curve = false;
    bool degrees = false;
    bool zoom = false;
    bool grid = false;
    bool rangeGiven = false;
    double low = 0.0;   // Hz
    double high = 0.0;  // Hz
    int dpi = 600;
    QPageSize::PageSizeId page = QPageSize::A4;
    std::optional<PageRange> pages;
};

bool ParseReal(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(out);
}

bool ParseInt(const std::string& s, int& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (end != s.c_str() + s.size() || v < -1000000000L || v > 1000000000L) return false;
    out = static_cast<int>(v);
    return true;
}

// "A:B" split at its colon.
bool SplitPair(const std::string& s, std::string& a, std::string& b) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) return false;
    a = s.substr(0, colon);
    b = s.substr(colon + 1);
    return true;
}

// The graph controls for a graph name of the plot command (main area only).
std::optional<GraphOptions> GraphFor(const std::string& name) {
    GraphOptions g;
    if (name == "impulse") {
        g.graph = Impulse;
    } else if (name == "magnitude") {
        g.graph = Magnitude;
        g.logScale = false;
    } else if (name == "db") {
        g.graph = Magnitude;
    } else if (name == "passband") {
        g.graph = Magnitude;
        g.view = PassbandView;
    } else if (name == "stopband") {
        g.graph = Magnitude;
        g.view = StopbandView;
    } else if (name == "range") {
        g.graph = Magnitude;
        g.view = SpecifiedRange;
    } else if (name == "phase") {
        g.graph = Phase;
    } else {
        return std::nullopt;
    }
    return g;
}

// Returns an error text, or an empty string when the arguments are good.
std::string ParseArguments(int argc, char** argv, ReportOptions& o) {
    bool graphGiven = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) -> bool {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v, a, b;
        if (arg == "-o") {
            if (!value(o.output)) return "-o needs a file name";
        } else if (arg == "--kind") {
            if (!value(v)) return "--kind needs response or coefficients";
            if (v == "response") {
                o.kind = ReportKind::Response;
            } else if (v == "coefficients") {
                o.kind = ReportKind::Coefficients;
            } else {
                return "unknown report \"" + v + "\"";
            }
        } else if (arg == "--graph") {
            if (!value(o.graph)) return "--graph needs a graph name";
            if (!GraphFor(o.graph)) return "unknown graph \"" + o.graph + "\"";
            graphGiven = true;
        } else if (arg == "--hold") {
            if (!value(o.held)) return "--hold needs the previous spec file";
        } else if (arg == "--range") {
            if (!value(v) || !SplitPair(v, a, b) || !ParseReal(a, o.low) || !ParseReal(b, o.high)) {
                return "--range needs LO:HI in Hz";
            }
            o.rangeGiven = true;
        } else if (arg == "--dpi") {
            if (!value(v) || !ParseInt(v, o.dpi) || o.dpi < kMinDpi || o.dpi > kMaxDpi) {
                return "--dpi needs a whole number from 72 to 4800";
            }
        } else if (arg == "--page") {
            if (!value(v)) return "--page needs a4 or letter";
            if (v == "a4") {
                o.page = QPageSize::A4;
            } else if (v == "letter") {
                o.page = QPageSize::Letter;
            } else {
                return "unknown page size \"" + v + "\"";
            }
        } else if (arg == "--pages") {
            PageRange r;
            if (!value(v) || !SplitPair(v, a, b) || !ParseInt(a, r.first) || !ParseInt(b, r.last)) {
                return "--pages needs FROM:TO";
            }
            o.pages = r;
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
    if (o.output.empty()) return "no output file (-o OUT.pdf)";
    if (!o.kind) return "no report (--kind response or --kind coefficients)";
    if (*o.kind == ReportKind::Response && o.pages) {
        return "--pages selects pages of the coefficient report; the response report prints "
               "every page";
    }
    if (*o.kind == ReportKind::Coefficients && (graphGiven || !o.held.empty())) {
        return "--graph and --hold belong to the response report";
    }
    if (!o.held.empty() && o.graph != "db") {
        return "--hold prints the dB full view overlay (--graph db)";
    }
    return {};
}

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "tapwright-cli report: %s\n", text.c_str());
    return kExitBadInput;
}

}  // namespace

const char* ReportCommandHelp() {
    return "  report FILE --kind response|coefficients -o OUT.pdf [options]\n"
           "                           Design FILE and write the report the window's print\n"
           "                           buttons print, as a PDF (written whole or not at all).\n"
           "                           response: the header and the graph of the main area,\n"
           "                           with the graph options of plot (--graph G, default\n"
           "                           impulse; not window or legend), --curve, --degrees,\n"
           "                           --range LO:HI, --zoom, --grid, --hold PREVIOUS_FILE\n"
           "                           (with --graph db). coefficients: the header and one\n"
           "                           line per symmetric pair of coefficients; --pages\n"
           "                           FROM:TO prints those pages only.\n"
           "                           --dpi N (72 ... 4800, default 600), --page a4|letter\n"
           "                           (default a4, 10 mm margins).\n";
}

int RunReportCommand(int argc, char** argv) {
    ReportOptions o;
    const std::string error = ParseArguments(argc, argv, o);
    if (!error.empty()) return Fail(error + " (see tapwright-cli --help)");

    // Fonts and painting need a GUI application; no display is ever used.
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

    ReportDisplay display;
    display.graph = *GraphFor(o.graph);
    display.graph.curveFitting = o.curve;
    display.graph.degrees = o.degrees;
    display.graph.zoom = o.zoom;
    display.graph.gridOn = o.grid;
    display.graph.holdActive = !o.held.empty();
    const double nyquist = static_cast<double>(spec.Fs) * 0.5;
    display.graph.viewLow = o.rangeGiven ? o.low : 0.0;
    display.graph.viewHigh = o.rangeGiven ? o.high : nyquist;
    if (o.rangeGiven && !(o.low >= 0.0 && o.low <= o.high && o.high <= nyquist)) {
        return Fail("--range must satisfy 0 <= LO <= HI <= " + FormatString("%g", nyquist) +
                    " (Fs/2)");
    }
    display.equiripple = spec.WType == Equiripple;
    display.autoDesign = spec.AutoD != 0;

    if (o.pages) {
        const int count = CoefficientReport::PageCountFor(spec.Taps);
        if (o.pages->first < 1 || o.pages->first > o.pages->last || o.pages->last > count) {
            return Fail(
                FormatString("--pages must satisfy 1 <= FROM <= TO <= %d (the page count)", count));
        }
    }

    ReportSource source;
    switch (MakeReportSource(*o.kind, spec, design, display, source)) {
        case ReportStatus::Done:
            break;
        case ReportStatus::BitmapFailed:
            return Fail("cannot make the graph bitmap");
        default:
            return Fail("the design holds no coefficients to report");
    }
    if (display.graph.holdActive && !ResolveGraph(spec, display.graph).overlay) {
        std::fprintf(stderr,
                     "tapwright-cli report: Hold On overlays only the dB full view of low-pass "
                     "and high-pass designs; nothing was overlaid\n");
    }

    std::string why;
    const ReportStatus status =
        WriteReportPdf(o.output, source, o.dpi, PdfPageLayout(o.page), o.pages, {}, &why);
    if (status != ReportStatus::Done) return Fail(why.empty() ? "cannot write " + o.output : why);
    return kExitOk;
}

}  // namespace tapwright::cli
