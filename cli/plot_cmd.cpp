// tapwright-cli plot FILE -o OUT.png --graph G [options]
//
// Designs FILE as the window does after Load and Apply, draws the chosen graph on
// canvases of the window's sizes (or of --size WxH) with the window's own drawing
// and composition steps, and writes the composed front image as a PNG.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/graph_args.h"
#include "core/messages.h"
#include "core/response_views.h"
#include "graphs/graph_canvases.h"
#include "graphs/png_file.h"

namespace tapwright::cli {

namespace {

constexpr const char* kCommand = "plot";

}  // namespace

const char* PlotCommandHelp() {
    return "  plot FILE -o OUT.png --graph G [options]\n"
           "                           Design FILE and write the graph the window shows after\n"
           "                           Load and Apply, on graph areas of the window's sizes\n"
           "                           (584 x 342 and, for window/legend, 294 x 155 pixels)\n"
           "                           or, with --size WxH, on an area of W x H pixels (at\n"
           "                           least the window's size, at most 8000 x 8000), drawn\n"
           "                           as a larger window draws it.\n"
           "                           Runs without a display (Qt offscreen platform).\n"
           "                           G: impulse, magnitude (linear), db (full view),\n"
           "                           passband, stopband, range, phase, window (the small\n"
           "                           area), legend (the small area under --hold),\n"
           "                           group-delay, unwrapped-phase, pole-zero (up to 384\n"
           "                           taps), step.\n"
           "                           Options: --curve (Curve Fitting, impulse and step),\n"
           "                           --degrees (phase, unwrapped-phase), --seconds\n"
           "                           (group-delay in seconds, not samples), --bits B (the\n"
           "                           magnitude views add the response of the taps\n"
           "                           quantized to B = 2 ... 32 bits),\n"
           "                           --range LO:HI (Hz, default 0:Fs/2) with --zoom,\n"
           "                           --grid (grid ORed in), --hold PREVIOUS_FILE (design\n"
           "                           PREVIOUS first, then FILE under Hold On; with db the\n"
           "                           overlay, with legend the small area's legend).\n"
           "                           dB views of other than low and high pass designs show\n"
           "                           the range view, as the window does; after an\n"
           "                           equiripple design the phase graph becomes the impulse\n"
           "                           graph and the small area holds only its empty frame.\n";
}

namespace {

// The largest side --size takes, pixels.
constexpr int kLargestSize = 8000;

// "WxH" with two positive decimal integers.
bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size()) return false;
    auto number = [](const std::string& digits, int& out) {
        if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        out = std::stoi(digits);
        return out > 0;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

}  // namespace

int RunPlotCommand(int argc, char** argv) {
    GraphCommandArgs a;
    int width = 0;  // --size WxH of the area written, pixels; 0: the window's size
    int height = 0;
    const OwnOption size = [&](const std::string& arg, const ArgValue& value, std::string& error) {
        if (arg != "--size") return false;
        std::string v;
        if (!value(v) || !ParseSize(v, width, height)) error = "--size needs WxH in pixels";
        return true;
    };
    std::string error = ParseGraphCommandArgs(argc, argv, GraphAreas::Both, "OUT.png", size, a);
    if (error.empty()) error = CheckGraphArgs(a.graph, GraphAreas::Both);
    const GraphArgs& o = a.graph;
    const bool small = o.kind == GraphKind::Window || o.kind == GraphKind::Legend;
    const CanvasRect least = small ? kSmallClientRect : kMainClientRect;
    if (error.empty() && width != 0 &&
        (width < least.right || height < least.bottom || width > kLargestSize ||
         height > kLargestSize)) {
        error = FormatString("--size must be %dx%d to %dx%d for this graph", least.right,
                             least.bottom, kLargestSize, kLargestSize);
    }
    if (!error.empty()) return RefuseArguments(kCommand, error);
    CanvasRect mainRect = kMainClientRect;
    CanvasRect smallRect = kSmallClientRect;
    if (width != 0) (small ? smallRect : mainRect) = CanvasRect{0, 0, width, height};

    // The labels need a GUI application for their font.
    const std::unique_ptr<QGuiApplication> app = StartOffscreenApplication();
    CFirDesign design;
    const GraphDesign loaded = LoadGraphDesign(kCommand, a.file, o, design);
    if (loaded.exitCode != kExitOk) return loaded.exitCode;
    const FilterSpec& spec = loaded.spec;
    const GraphOptions& options = loaded.options;

    GraphCanvases canvases;
    if (!CreateStartupImages(canvases, mainRect, smallRect)) {
        std::fprintf(stderr, "tapwright-cli plot: cannot create the graph canvases\n");
        return kExitBadInput;
    }
    ResetWorkingCanvases(canvases, options.holdActive);
    const GraphDrawn drawn =
        DrawGraphs(canvases, design, loaded.held, spec, options, mainRect, smallRect);
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
    if (o.bits > 0 && drawn.graph != Magnitude) {
        std::fprintf(stderr,
                     "tapwright-cli plot: --bits adds the quantized response to the magnitude "
                     "views only\n");
    }
    if (drawn.graph == PoleZero && design.length > kMaxPoleZeroTaps) {
        std::fprintf(stderr,
                     "tapwright-cli plot: the pole-zero plot is offered up to %d taps; this "
                     "design has %d, so only a note is drawn\n",
                     kMaxPoleZeroTaps, design.length);
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

    CMemCanvas& front = small ? canvases.smallFront : canvases.mainFront;
    if (!WritePngFile(a.output, front.Image())) {
        std::fprintf(stderr, "tapwright-cli plot: cannot write %s\n", a.output.c_str());
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace tapwright::cli
