#include "graphs/graph_canvases.h"

namespace tapwright {

GraphCanvases theGraphCanvases;

namespace {

bool CreateOn(CMemCanvas& canvas, const CanvasRect& r) {
    return canvas.Create(nullptr, r.left, r.top, r.right, r.bottom);
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
    drawn.windowShape = spec.WType != Equiripple;
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

GraphDrawn DrawGraphs(GraphCanvases& c, const CFirDesign& design, const FilterSpec& spec,
                      const GraphOptions& options, const CanvasRect& m, const CanvasRect& s) {
    const GraphDrawn drawn = ResolveGraph(spec, options);
    const bool eq = spec.WType == Equiripple;
    const CGraphPlotter& p = theGraphPlotter;
    CMemCanvas* plot = &c.mainPlot;
    const int curve = options.curveFitting ? 1 : 0;

    switch (drawn.graph) {
        case Impulse:
            p.DrawImpulse(plot, design, m.left, m.top, m.right, m.bottom, kCurrentCurveColour,
                          curve);
            break;
        case Magnitude:
            if (!drawn.logScale) {
                if (eq) {
                    p.DrawMagnitudeLinearEq(plot, design, m.left, m.top, m.right, m.bottom,
                                            kCurrentCurveColour, spec.Fs);
                } else {
                    p.DrawMagnitudeLinear(plot, design, m.left, m.top, m.right, m.bottom,
                                          kCurrentCurveColour, spec.Fs);
                }
                break;
            }
            switch (drawn.view) {
                case FullView:
                    if (eq) {
                        p.DrawMagnitudeDbEq(plot, design, m.left, m.top, m.right, m.bottom,
                                            kCurrentCurveColour, spec.Fs);
                    } else {
                        p.DrawMagnitudeDb(plot, design, m.left, m.top, m.right, m.bottom,
                                          kCurrentCurveColour, spec.Fs);
                    }
                    if (drawn.overlay) {
                        if (eq) {
                            p.DrawMagnitudeOverlayEq(
                                &c.holdAxes, &c.holdCurrent, &c.holdPrevious, design, m.left, m.top,
                                m.right, m.bottom, kCurrentCurveColour, kHeldCurveColour, spec.Fs);
                        } else {
                            p.DrawMagnitudeOverlay(&c.holdAxes, &c.holdCurrent, &c.holdPrevious,
                                                   design, m.left, m.top, m.right, m.bottom,
                                                   kCurrentCurveColour, kHeldCurveColour, spec.Fs);
                        }
                        p.DrawLegend(&c.holdLegend, design, s.left, s.top, s.right, s.bottom,
                                     kCurrentCurveColour, kHeldCurveColour, spec.WType, spec.Itern);
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
                default: {
                    const int unzoomed = options.zoom ? 0 : 1;
                    if (eq) {
                        p.DrawMagnitudeRangeEq(plot, design, m.left, m.top, m.right, m.bottom,
                                               kCurrentCurveColour, spec.Fs, options.viewLow,
                                               options.viewHigh, unzoomed);
                    } else {
                        p.DrawMagnitudeRange(plot, design, m.left, m.top, m.right, m.bottom,
                                             kCurrentCurveColour, spec.Fs, options.viewLow,
                                             options.viewHigh, unzoomed);
                    }
                    break;
                }
            }
            break;
        case Phase:
            p.DrawPhase(plot, design, m.left, m.top, m.right, m.bottom, kPhaseCurveColour, curve,
                        spec.Fs, options.degrees ? 1 : 0, spec.FChar);
            break;
        default:
            break;
    }

    if (drawn.windowShape) {
        p.DrawWindowShape(&c.smallPlot, design, s.left, s.top, s.right, s.bottom,
                          kWindowShapeColour, curve, spec.WType);
    }
    return drawn;
}

void RefreshGraphs(GraphCanvases& c, bool holdActive, bool gridOn) {
    if (holdActive) {
        c.holdAxes.CopyTo(&c.mainFront);
        c.holdCurrent.OrTo(&c.mainFront);
        c.holdPrevious.OrTo(&c.mainFront);
        c.holdLegend.CopyTo(&c.smallFront);
    } else {
        c.mainPlot.CopyTo(&c.mainFront);
        c.smallPlot.CopyTo(&c.smallFront);
    }
    if (gridOn) c.gridOverlay.OrTo(&c.mainFront);
}

void EraseMainGraph(GraphCanvases& c, bool gridOn) {
    c.mainBackground.CopyTo(&c.mainPlot);
    c.mainPlot.CopyTo(&c.mainFront);
    if (gridOn) c.gridOverlay.OrTo(&c.mainFront);
}

}  // namespace tapwright
