#include "graphs/graph_canvases.h"

#include <array>
#include <cmath>

#include "core/graph_kinds.h"
#include "core/quantize.h"
#include "core/response_views.h"

namespace tapwright {

namespace {

bool CreateOn(CMemCanvas& canvas, const CanvasRect& r, int scale) {
    return canvas.Create(r.left, r.top, r.right, r.bottom, scale);
}

}  // namespace

bool CreateStartupImages(GraphCanvases& c, const CanvasRect& m, const CanvasRect& s, int scale) {
    bool ok = true;
    ok &= CreateOn(c.mainPlot, m, scale);
    ok &= CreateOn(c.mainFront, m, scale);
    ok &= CreateOn(c.gridOverlay, m, scale);
    ok &= CreateOn(c.mainBackground, m, scale);

    c.mainPlot.Clear(kBackgroundColour);
    DrawMainFrame(&c.mainPlot, m, kFrameColour);
    c.mainPlot.CopyTo(&c.mainBackground);
    DrawGrid(&c.gridOverlay, m, kGridColour, 128, 16);
    // The empty graph shows the grid whatever Grid On says.
    c.mainPlot.CopyTo(&c.mainFront);
    c.gridOverlay.OrTo(&c.mainFront);

    ok &= CreateOn(c.smallPlot, s, scale);
    ok &= CreateOn(c.smallFront, s, scale);
    ok &= CreateOn(c.smallBackground, s, scale);
    c.smallPlot.Clear(kBackgroundColour);
    DrawSmallFrame(&c.smallPlot, s, kFrameColour);
    c.smallPlot.CopyTo(&c.smallBackground);
    c.smallPlot.CopyTo(&c.smallFront);

    ok &= CreateOn(c.holdLegend, s, scale);
    c.holdLegend.Clear(kBackgroundColour);

    ok &= CreateOn(c.holdAxes, m, scale);
    ok &= CreateOn(c.holdCurrent, m, scale);
    ok &= CreateOn(c.holdPrevious, m, scale);
    c.holdAxes.Clear(kBackgroundColour);
    c.holdCurrent.Clear(kBackgroundColour);
    c.holdPrevious.Clear(kBackgroundColour);
    return ok;
}

GraphDrawn ResolveGraph(const FilterSpec& spec, const GraphOptions& options) {
    GraphDrawn drawn;
    drawn.graph = options.graph;
    if (!GraphDrawable(drawn.graph, spec.WType)) drawn.graph = Impulse;
    drawn.logScale = options.logScale;
    drawn.view = FullView;
    if (drawn.graph == Magnitude && drawn.logScale) {
        const bool lowOrHigh = spec.FType == LowPass || spec.FType == HighPass;
        drawn.view = lowOrHigh ? options.view : SpecifiedRange;
    }
    drawn.overlay =
        options.holdActive && drawn.graph == Magnitude && drawn.logScale && drawn.view == FullView;
    drawn.windowShape = FamilyOf(spec.WType) == DesignFamily::Window;
    return drawn;
}

void ResetWorkingCanvases(GraphCanvases& c, bool holdActive) {
    c.mainBackground.CopyTo(&c.mainPlot);
    if (holdActive) {
        c.mainBackground.CopyTo(&c.holdAxes);
        c.holdCurrent.Clear(kBackgroundColour);
        c.holdPrevious.Clear(kBackgroundColour);
        c.holdLegend.Clear(kBackgroundColour);
    }
    c.smallBackground.CopyTo(&c.smallPlot);
}

namespace {

// What a graph kind draws from.
struct GraphInput {
    GraphCanvases& canvases;
    const CFirDesign& design;
    const HeldCurve& held;
    const FilterSpec& spec;
    const GraphOptions& options;
    const GraphDrawn& drawn;
    const CanvasRect& rect;
};

// The view of the design the response plots read.
ResponseData ResponseOf(const GraphInput& in) {
    return ResponseData{in.design, in.spec.Fs, FamilyOf(in.spec.WType), in.spec.FChar};
}

// The style the options ask for, in the curve colour of the current design.
PlotStyle StyleOf(const GraphOptions& options, Colour colour) {
    return PlotStyle{.colour = colour,
                     .heldColour = kHeldCurveColour,
                     .curveFitting = options.curveFitting,
                     .degrees = options.degrees,
                     .zoom = options.zoom,
                     .seconds = options.seconds};
}

// The response of the taps quantized to `bits` on the design's own points, from the
// cache when it was computed for the same taps and grid; null when no word length
// is chosen or the taps cannot be quantized.
const QuantizedCurve* QuantizedOf(QuantizedCache& cache, const CFirDesign& design,
                                  DesignFamily family, int bits) {
    if (bits < kMinQuantizeBits || bits > kMaxQuantizeBits) return nullptr;
    if (cache.bits == bits && cache.family == family && cache.pointCount == design.pointCount &&
        cache.coeffs == design.coeffs) {
        return &cache.curve;
    }
    cache.bits = 0;
    QuantizedTaps q;
    if (!QuantizeTaps(design.coeffs, bits, q)) return nullptr;
    QuantizedCurve& curve = cache.curve;
    curve.bits = bits;
    curve.magnitudeDb = ResponseDbOnGrid(q.Taps(), family, design.pointCount);
    curve.magnitude.clear();
    curve.magnitude.reserve(curve.magnitudeDb.size());
    for (double db : curve.magnitudeDb) curve.magnitude.push_back(std::pow(10.0, db / 20.0));
    cache.coeffs = design.coeffs;
    cache.bits = bits;
    cache.family = family;
    cache.pointCount = design.pointCount;
    return &curve;
}

void DrawImpulseGraph(const GraphInput& in) {
    DrawImpulse(&in.canvases.mainPlot, in.rect, in.design,
                StyleOf(in.options, kCurrentCurveColour));
}

void DrawMagnitudeGraph(const GraphInput& in) {
    GraphCanvases& c = in.canvases;
    CMemCanvas* plot = &c.mainPlot;
    ResponseData data = ResponseOf(in);
    // The Hold On overlay compares two designs; the quantized curve is left out there.
    if (!in.drawn.overlay) {
        data.quantized =
            QuantizedOf(c.quantized, in.design, data.family, in.options.fixedPointBits);
    }
    const PlotStyle style = StyleOf(in.options, kCurrentCurveColour);
    if (!in.drawn.logScale) {
        DrawMagnitudeLinear(plot, in.rect, data, style);
        return;
    }
    switch (in.drawn.view) {
        case FullView:
            DrawMagnitudeDb(plot, in.rect, data, style);
            if (in.drawn.overlay) {
                DrawMagnitudeOverlay({&c.holdAxes, &c.holdCurrent, &c.holdPrevious}, in.rect, data,
                                     in.held, style);
                DrawLegend(&c.holdLegend, in.held, style, in.spec.WType, in.spec.Itern);
            }
            break;
        case PassbandView:
            DrawPassband(plot, in.rect, data, style);
            break;
        case StopbandView:
            DrawStopband(plot, in.rect, data, style);
            break;
        default:
            DrawMagnitudeRange(plot, in.rect, data, style, in.options.viewLow, in.options.viewHigh);
            break;
    }
}

void DrawPhaseGraph(const GraphInput& in) {
    DrawPhase(&in.canvases.mainPlot, in.rect, ResponseOf(in),
              StyleOf(in.options, kPhaseCurveColour));
}

void DrawGroupDelayGraph(const GraphInput& in) {
    DrawGroupDelay(&in.canvases.mainPlot, in.rect, ResponseOf(in),
                   StyleOf(in.options, kCurrentCurveColour));
}

void DrawUnwrappedPhaseGraph(const GraphInput& in) {
    DrawUnwrappedPhase(&in.canvases.mainPlot, in.rect, ResponseOf(in),
                       StyleOf(in.options, kPhaseCurveColour));
}

void DrawPoleZeroGraph(const GraphInput& in) {
    DrawPoleZero(&in.canvases.mainPlot, in.rect, in.design,
                 StyleOf(in.options, kCurrentCurveColour));
}

void DrawStepGraph(const GraphInput& in) {
    DrawStep(&in.canvases.mainPlot, in.rect, in.design, StyleOf(in.options, kCurrentCurveColour));
}

// The drawing of each graph kind, in the order of kGraphKinds.
constexpr std::array<void (*)(const GraphInput&), kGraphTypeCount> kGraphDrawers = {
    DrawImpulseGraph,        DrawMagnitudeGraph, DrawPhaseGraph, DrawGroupDelayGraph,
    DrawUnwrappedPhaseGraph, DrawPoleZeroGraph,  DrawStepGraph};

}  // namespace

GraphDrawn DrawGraphs(GraphCanvases& c, const CFirDesign& design, const HeldCurve& held,
                      const FilterSpec& spec, const GraphOptions& options, const CanvasRect& m,
                      const CanvasRect& s) {
    const GraphDrawn drawn = ResolveGraph(spec, options);
    if (GraphKindOf(drawn.graph) != nullptr) {
        kGraphDrawers[drawn.graph]({c, design, held, spec, options, drawn, m});
    }
    if (drawn.windowShape) {
        DrawWindowShape(&c.smallPlot, s, design, spec.WType);
    }
    return drawn;
}

void RefreshGraphs(GraphCanvases& c, const GraphOptions& options) {
    if (options.holdActive) {
        c.holdAxes.CopyTo(&c.mainFront);
        c.holdCurrent.OrTo(&c.mainFront);
        c.holdPrevious.OrTo(&c.mainFront);
        c.holdLegend.CopyTo(&c.smallFront);
    } else {
        c.mainPlot.CopyTo(&c.mainFront);
        c.smallPlot.CopyTo(&c.smallFront);
    }
    if (options.gridOn) c.gridOverlay.OrTo(&c.mainFront);
}

void EraseMainGraph(GraphCanvases& c, bool gridOn) {
    c.mainBackground.CopyTo(&c.mainPlot);
    c.mainPlot.CopyTo(&c.mainFront);
    if (gridOn) c.gridOverlay.OrTo(&c.mainFront);
}

}  // namespace tapwright
