// tapwright-cli report FILE --kind response|coefficients -o OUT.pdf [options]
//
// Designs FILE as the window does after Load and Apply and writes the report the
// window's print buttons print, as a PDF: the same pages, laid out for the PDF's
// page and resolution.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/graph_args.h"
#include "core/design_methods.h"
#include "core/messages.h"
#include "printing/report_painter.h"

namespace tapwright::cli {

namespace {

constexpr const char* kCommand = "report";
constexpr int kMinDpi = 72;
constexpr int kMaxDpi = 4800;

// The report's own options.
struct ReportOptions {
    std::optional<ReportKind> kind;
    int dpi = 600;
    QPageSize::PageSizeId page = QPageSize::A4;
    std::optional<PageRange> pages;
};

bool ParseInt(const std::string& s, int& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (end != s.c_str() + s.size() || v < -1000000000L || v > 1000000000L) return false;
    out = static_cast<int>(v);
    return true;
}

// "FROM:TO" split at its colon.
bool ParsePages(const std::string& s, PageRange& r) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) return false;
    return ParseInt(s.substr(0, colon), r.first) && ParseInt(s.substr(colon + 1), r.last);
}

// Takes one of the report's own options; see OwnOption.
bool TakeReportOption(const std::string& arg, const ArgValue& value, ReportOptions& o,
                      std::string& error) {
    std::string v;
    if (arg == "--kind") {
        if (!value(v)) {
            error = "--kind needs response or coefficients";
        } else if (v == "response") {
            o.kind = ReportKind::Response;
        } else if (v == "coefficients") {
            o.kind = ReportKind::Coefficients;
        } else {
            error = "unknown report \"" + v + "\"";
        }
    } else if (arg == "--dpi") {
        if (!value(v) || !ParseInt(v, o.dpi) || o.dpi < kMinDpi || o.dpi > kMaxDpi) {
            error = "--dpi needs a whole number from 72 to 4800";
        }
    } else if (arg == "--page") {
        if (!value(v)) {
            error = "--page needs a4 or letter";
        } else if (v == "a4") {
            o.page = QPageSize::A4;
        } else if (v == "letter") {
            o.page = QPageSize::Letter;
        } else {
            error = "unknown page size \"" + v + "\"";
        }
    } else if (arg == "--pages") {
        PageRange r;
        if (!value(v) || !ParsePages(v, r)) {
            error = "--pages needs FROM:TO";
        } else {
            o.pages = r;
        }
    } else {
        return false;
    }
    return true;
}

// Returns an error text, or an empty string when the arguments are good.
std::string ParseArguments(int argc, char** argv, GraphCommandArgs& a, ReportOptions& o) {
    const OwnOption own = [&o](const std::string& arg, const ArgValue& value, std::string& error) {
        return TakeReportOption(arg, value, o, error);
    };
    const std::string error =
        ParseGraphCommandArgs(argc, argv, GraphAreas::MainOnly, "OUT.pdf", own, a);
    if (!error.empty()) return error;
    if (!o.kind) return "no report (--kind response or --kind coefficients)";
    if (*o.kind == ReportKind::Response && o.pages) {
        return "--pages selects pages of the coefficient report; the response report prints "
               "every page";
    }
    if (*o.kind == ReportKind::Coefficients && (a.graph.kindGiven || !a.graph.held.empty())) {
        return "--graph and --hold belong to the response report";
    }
    return CheckGraphArgs(a.graph, GraphAreas::MainOnly);
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
           "                           --range LO:HI, --zoom, --grid, --seconds, --bits B,\n"
           "                           --hold PREVIOUS_FILE (with --graph db). coefficients: the "
           "header and one\n"
           "                           line per symmetric pair of coefficients; --pages\n"
           "                           FROM:TO prints those pages only.\n"
           "                           --dpi N (72 ... 4800, default 600), --page a4|letter\n"
           "                           (default a4, 10 mm margins).\n";
}

int RunReportCommand(int argc, char** argv) {
    GraphCommandArgs a;
    ReportOptions o;
    const std::string error = ParseArguments(argc, argv, a, o);
    if (!error.empty()) return RefuseArguments(kCommand, error);

    // Fonts and painting need a GUI application.
    const std::unique_ptr<QGuiApplication> app = StartOffscreenApplication();
    CFirDesign design;
    const GraphDesign loaded = LoadGraphDesign(kCommand, a.file, a.graph, design);
    if (loaded.exitCode != kExitOk) return loaded.exitCode;
    const FilterSpec& spec = loaded.spec;

    ReportDisplay display;
    display.graph = loaded.options;
    display.held = &loaded.held;
    display.equiripple = UsesBandTable(spec.WType);
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
        WriteReportPdf(a.output, source, o.dpi, PdfPageLayout(o.page), o.pages, {}, &why);
    if (status != ReportStatus::Done) return Fail(why.empty() ? "cannot write " + a.output : why);
    return kExitOk;
}

}  // namespace tapwright::cli
