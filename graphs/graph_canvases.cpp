#include "graphs/graph_canvases.h"

#include <array>

#include "core/graph_kinds.h"

namespace tapwright {

namespace {

bool CreateOn(CMemCanvas& canvas, const CanvasRect& r) {
    return canvas.Create(r.left, r.top, r.right, r.bottom);
}

}  // namespace

bool CreateStartupImages(GraphCanvases& c, const CanvasRect& m, const CanvasRect& s) {
    bool ok = true;
    ok &= CreateOn(c.mainPlot, m);
    ok &= CreateOn(c.mainFront, m);
    ok &= CreateOn(c.gridOverlay, m);
    ok &= CreateOn(c.mainBackground, m);

    c.mainPlot.Clear(kBackgroundColour);
    theGraphPlotter.DrawMainFrame(&c.mainPlot, m.left, m.top, m.right, m.bottom, kFrameColour);
    c.mainPlot.CopyTo(&c.mainBackground);
    theGraphPlotter.DrawGrid(&c.gridOverlay, m.left, m.top, m.right, m.bottom, kGridColour, 128,
                             16);
    // The empty graph shows the grid whatever Grid On says.
    c.mainPlot.CopyTo(&c.mainFront);
    c.gridOverlay.OrTo(&c.mainFront);

    ok &= CreateOn(c.smallPlot, s);
    ok &= CreateOn(c.smallFront, s);
    ok &= CreateOn(c.smallBackground, s);
    c.smallPlot.Clear(kBackgroundColour);
    theGraphPlotter.DrawSmallFrame(&c.smallPlot, s.left, s.top, s.right, s.bottom, kFrameColour);
    c.smallPlot.CopyTo(&c.smallBackground);
    c.smallPlot.CopyTo(&c.smallFront);

    ok &= CreateOn(c.holdLegend, s);
    c.holdLegend.Clear(kBackgroundColour);

    ok &= CreateOn(c.holdAxes, m);
    ok &= CreateOn(c.holdCurrent, m);
    ok &= CreateOn(c.holdPrevious, m);
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

void DrawImpulseGraph(const GraphInput& in) {
    const CanvasRect& m = in.rect;
    theGraphPlotter.DrawImpulse(&in.canvases.mainPlot, in.design, m.left, m.top, m.right, m.bottom,
                                kCurrentCurveColour, in.options.curveFitting);
}

void DrawMagnitudeGraph(const GraphInput& in) {
    const CGraphPlotter& p = theGraphPlotter;
    const CanvasRect& m = in.rect;
    GraphCanvases& c = in.canvases;
    CMemCanvas* plot = &c.mainPlot;
    const float Fs = in.spec.Fs;
    const DesignFamily family = FamilyOf(in.spec.WType);
    if (!in.drawn.logScale) {
        p.DrawMagnitudeLinear(plot, in.design, m.left, m.top, m.right, m.bottom,
                              kCurrentCurveColour, Fs, family);
        return;
    }
    switch (in.drawn.view) {
        case FullView:
            p.DrawMagnitudeDb(plot, in.design, m.left, m.top, m.right, m.bottom,
                              kCurrentCurveColour, Fs, family);
            if (in.drawn.overlay) {
                p.DrawMagnitudeOverlay(&c.holdAxes, &c.holdCurrent, &c.holdPrevious, in.design,
                                       in.held, m.left, m.top, m.right, m.bottom,
                                       kCurrentCurveColour, kHeldCurveColour, Fs, family);
                p.DrawLegend(&c.holdLegend, in.held, kCurrentCurveColour, kHeldCurveColour,
                             in.spec.WType, in.spec.Itern);
            }
            break;
        case PassbandView:
            p.DrawPassband(plot, in.design, m.left, m.top, m.right, m.bottom, kCurrentCurveColour,
                           Fs);
            break;
        case StopbandView:
            p.DrawStopband(plot, in.design, m.left, m.top, m.right, m.bottom, kCurrentCurveColour,
                           Fs);
            break;
        default:
            p.DrawMagnitudeRange(plot, in.design, m.left, m.top, m.right, m.bottom,
                                 kCurrentCurveColour, Fs, in.options.viewLow, in.options.viewHigh,
                                 in.options.zoom, family);
            break;
    }
}

void DrawPhaseGraph(const GraphInput& in) {
    const CanvasRect& m = in.rect;
    theGraphPlotter.DrawPhase(&in.canvases.mainPlot, in.design, m.left, m.top, m.right, m.bottom,
                              kPhaseCurveColour, in.options.curveFitting, in.spec.Fs,
                              in.options.degrees, in.spec.FChar);
}

// The drawing of each graph kind, in the order of kGraphKinds.
constexpr std::array<void (*)(const GraphInput&), kGraphTypeCount> kGraphDrawers = {
    DrawImpulseGraph, DrawMagnitudeGraph, DrawPhaseGraph};

}  // namespace

GraphDrawn DrawGraphs(GraphCanvases& c, const CFirDesign& design, const HeldCurve& held,
                      const FilterSpec& spec, const GraphOptions& options, const CanvasRect& m,
                      const CanvasRect& s) {
    const GraphDrawn drawn = ResolveGraph(spec, options);
    if (GraphKindOf(drawn.graph) != nullptr) {
        kGraphDrawers[drawn.graph]({c, design, held, spec, options, drawn, m});
    }
    if (drawn.windowShape) {
        theGraphPlotter.DrawWindowShape(&c.smallPlot, design, s.left, s.top, s.right, s.bottom,
                                        spec.WType);
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
