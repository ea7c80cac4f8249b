// tapwright-cli plot FILE -o OUT.png --graph G [options]
//
// Designs FILE as the window does after Load and Apply, draws the chosen graph on
// canvases of the window's sizes with the window's own drawing and composition
// steps, and writes the composed front image as a PNG.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/graph_args.h"
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
           "                           (584 x 342 and, for window/legend, 294 x 155 pixels).\n"
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

int RunPlotCommand(int argc, char** argv) {
    GraphCommandArgs a;
    std::string error = ParseGraphCommandArgs(argc, argv, GraphAreas::Both, "OUT.png", nullptr, a);
    if (error.empty()) error = CheckGraphArgs(a.graph, GraphAreas::Both);
    if (!error.empty()) return RefuseArguments(kCommand, error);
    const GraphArgs& o = a.graph;

    // The labels need a GUI application for their font.
    const std::unique_ptr<QGuiApplication> app = StartOffscreenApplication();
    CFirDesign design;
    const GraphDesign loaded = LoadGraphDesign(kCommand, a.file, o, design);
    if (loaded.exitCode != kExitOk) return loaded.exitCode;
    const FilterSpec& spec = loaded.spec;
    const GraphOptions& options = loaded.options;

    GraphCanvases canvases;
    if (!CreateStartupImages(canvases, kMainClientRect, kSmallClientRect)) {
        std::fprintf(stderr, "tapwright-cli plot: cannot create the graph canvases\n");
        return kExitBadInput;
    }
    ResetWorkingCanvases(canvases, options.holdActive);
    const GraphDrawn drawn =
        DrawGraphs(canvases, design, loaded.held, spec, options, kMainClientRect, kSmallClientRect);
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

    const bool small = o.kind == GraphKind::Window || o.kind == GraphKind::Legend;
    CMemCanvas& front = small ? canvases.smallFront : canvases.mainFront;
    if (!WritePngFile(a.output, front.Image())) {
        std::fprintf(stderr, "tapwright-cli plot: cannot write %s\n", a.output.c_str());
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace tapwright::cli
