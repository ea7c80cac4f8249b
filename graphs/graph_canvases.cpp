#include "graphs/graph_canvases.h"

namespace tapwright {

GraphCanvases theGraphCanvases;

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
    if (drawn.graph == Phase && spec.WType == Equiripple) drawn.graph = Impulse;
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

GraphDrawn DrawGraphs(GraphCanvases& c, const CFirDesign& design, const HeldCurve& held,
                      const FilterSpec& spec, const GraphOptions& options, const CanvasRect& m,
                      const CanvasRect& s) {
    const GraphDrawn drawn = ResolveGraph(spec, options);
    const DesignFamily family = FamilyOf(spec.WType);
    const CGraphPlotter& p = theGraphPlotter;
    CMemCanvas* plot = &c.mainPlot;

    switch (drawn.graph) {
        case Impulse:
            p.DrawImpulse(plot, design, m.left, m.top, m.right, m.bottom, kCurrentCurveColour,
                          options.curveFitting);
            break;
        case Magnitude:
            if (!drawn.logScale) {
                p.DrawMagnitudeLinear(plot, design, m.left, m.top, m.right, m.bottom,
                                      kCurrentCurveColour, spec.Fs, family);
                break;
            }
            switch (drawn.view) {
                case FullView:
                    p.DrawMagnitudeDb(plot, design, m.left, m.top, m.right, m.bottom,
                                      kCurrentCurveColour, spec.Fs, family);
                    if (drawn.overlay) {
                        p.DrawMagnitudeOverlay(&c.holdAxes, &c.holdCurrent, &c.holdPrevious, design,
                                               held, m.left, m.top, m.right, m.bottom,
                                               kCurrentCurveColour, kHeldCurveColour, spec.Fs,
                                               family);
                        p.DrawLegend(&c.holdLegend, held, kCurrentCurveColour, kHeldCurveColour,
                                     spec.WType, spec.Itern);
                    }
                    break;
                case PassbandView:
                    p.DrawPassband(plot, design, m.left, m.top, m.right, m.bottom,
                                   kCurrentCurveColour, spec.Fs);
                    break;
                case StopbandView:
                    p.DrawStopband(plot, design, m.left, m.top, m.right, m.bottom,
                                   kCurrentCurveColour, spec.Fs);
                    break;
                default:
                    p.DrawMagnitudeRange(plot, design, m.left, m.top, m.right, m.bottom,
                                         kCurrentCurveColour, spec.Fs, options.viewLow,
                                         options.viewHigh, options.zoom, family);
                    break;
            }
            break;
        case Phase:
            p.DrawPhase(plot, design, m.left, m.top, m.right, m.bottom, kPhaseCurveColour,
                        options.curveFitting, spec.Fs, options.degrees, spec.FChar);
            break;
        default:
            break;
    }

    if (drawn.windowShape) {
        p.DrawWindowShape(&c.smallPlot, design, s.left, s.top, s.right, s.bottom, spec.WType);
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
