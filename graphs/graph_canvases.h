#pragma once

// The eleven canvases the two graph areas are composed from, their start-up
// images, and the drawing and composition steps that the window's Apply, the
// display-option handlers and the batch designer share. Plain functions on plain
// option records: no widgets.

#include <vector>

#include "core/design_methods.h"
#include "core/filter_spec.h"
#include "core/fir_design.h"
#include "graphs/dialog_units.h"
#include "graphs/graph_plotter.h"
#include "graphs/mem_canvas.h"

namespace tapwright {

// A canvas's rectangle is the plot box of the graphs drawn on it.
using CanvasRect = PlotBox;

// Client rectangle of a frame control of the given size in dialog units, inside
// its 2-pixel sunken border.
constexpr CanvasRect FrameClientRect(int widthDu, int heightDu) {
    return CanvasRect{0, 0, DialogUnitsToPixelsX(widthDu) - 4, DialogUnitsToPixelsY(heightDu) - 4};
}

// The large graph frame is 392 x 213 dialog units, the small one 199 x 98; their
// client rectangles, 584 x 342 and 294 x 155 pixels, are what every fixed label
// position is laid out for.
inline constexpr CanvasRect kMainClientRect = FrameClientRect(392, 213);
inline constexpr CanvasRect kSmallClientRect = FrameClientRect(199, 98);

// The layers. Large area: mainPlot (working canvas), mainFront (shown),
// gridOverlay (ORed in with Grid On), mainBackground (clean frame), holdAxes,
// holdCurrent, holdPrevious (Hold On overlay). Small area: smallPlot (working),
// smallFront (shown), smallBackground (clean frame), holdLegend (Hold On legend).
// The quantized taps' response last drawn, with what it was computed from: a view
// switch or a redraw of the same design at the same word length takes it from here.
struct QuantizedCache {
    std::vector<double> coeffs;
    int bits = 0;
    DesignFamily family = DesignFamily::Window;
    int pointCount = 0;
    QuantizedCurve curve;
};

struct GraphCanvases {
    QuantizedCache quantized;
    CMemCanvas mainPlot;
    CMemCanvas mainFront;
    CMemCanvas gridOverlay;
    CMemCanvas mainBackground;
    CMemCanvas holdAxes;
    CMemCanvas holdCurrent;
    CMemCanvas holdPrevious;
    CMemCanvas smallPlot;
    CMemCanvas smallFront;
    CMemCanvas smallBackground;
    CMemCanvas holdLegend;
};

// Creates every canvas at the size of its area's client rectangle and draws the
// empty graphs: background and main frame (kept as mainBackground), the grid, the
// front image with the grid ORed in, the small frame, and the hold layers cleared.
// Returns false when a canvas could not be made. `scale` is the device pixel ratio
// the canvases are drawn for (see CMemCanvas::Create).
bool CreateStartupImages(GraphCanvases& canvases, const CanvasRect& mainRect,
                         const CanvasRect& smallRect, int scale = 1);

// What the graph controls ask for.
struct GraphOptions {
    GraphType graph = Impulse;
    bool logScale = true;      // magnitude graph only: dB (true) or linear
    ViewMode view = FullView;  // of the dB magnitude graph
    bool curveFitting = false;
    bool degrees = false;
    bool zoom = false;         // specified range: axis centred on 0 dB
    double viewLow = 0.0;      // Hz, 0 <= viewLow <= viewHigh <= Fs/2
    double viewHigh = 4000.0;  // Hz
    bool gridOn = false;
    bool holdActive = false;
    bool seconds = false;    // group delay in seconds rather than samples
    int fixedPointBits = 0;  // 2 ... 32: the magnitude views add the quantized taps' response
};

// What was drawn after the window's rules were applied to the options.
struct GraphDrawn {
    GraphType graph =
        Impulse;           // the (wrapped) phase graph is not offered after an equiripple design
    bool logScale = true;  // meaningful for the magnitude graph
    ViewMode view = FullView;  // dB views of other than low and high pass become the range view
    bool overlay = false;      // the Hold On overlay and legend were drawn
    bool windowShape = false;  // the small area shows a window shape
};

// The graph actually shown for the options: the phase graph becomes the impulse
// graph after an equiripple design (the window withdraws it), and a dB magnitude
// view of a response that is not low or high pass becomes the specified range.
GraphDrawn ResolveGraph(const FilterSpec& spec, const GraphOptions& options);

// Erases the working canvases before a new drawing: mainPlot (and under Hold On
// holdAxes) from mainBackground, the other hold layers cleared, smallPlot from
// smallBackground.
void ResetWorkingCanvases(GraphCanvases& canvases, bool holdActive);

// Draws the selected graph of `design` on mainPlot (and, under Hold On in the dB
// full view, the overlay with `held` on the hold layers and the legend on holdLegend), and the
// window shape on smallPlot for window-method designs. The filter spec gives the
// method (WType), response type (FType), characteristic (FChar), Fs (Hz) and the
// iteration count (Itern). Call ResetWorkingCanvases first.
GraphDrawn DrawGraphs(GraphCanvases& canvases, const CFirDesign& design, const HeldCurve& held,
                      const FilterSpec& spec, const GraphOptions& options,
                      const CanvasRect& mainRect, const CanvasRect& smallRect);

// Composes the front canvases: under Hold On (options.holdActive) holdAxes with
// holdCurrent and holdPrevious ORed in, and holdLegend; otherwise mainPlot and
// smallPlot. The grid is ORed onto mainFront when options.gridOn.
void RefreshGraphs(GraphCanvases& canvases, const GraphOptions& options);

// Erases the large graph after a filter spec was loaded: the clean frame, with
// the grid when gridOn.
void EraseMainGraph(GraphCanvases& canvases, bool gridOn);

}  // namespace tapwright
