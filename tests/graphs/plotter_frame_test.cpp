// Frame, grid, shadowed text, frequency axis and the start-up composition.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphs/graph_canvases.h"
#include "graphs/graph_plotter.h"
#include "tests/graphs/canvas_probe.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

using test::ColumnsWith;
using test::CountColour;
using test::kBlack;
using test::Range;
using test::RowsWith;

constexpr Colour kWhite = MakeRgb(255, 255, 255);
// The client rectangles of the large and small graph areas.
constexpr PlotBox kMainBox{0, 0, 584, 342};
constexpr PlotBox kSmallBox{0, 0, 294, 155};

CMemCanvas Main() {
    CMemCanvas c;
    EXPECT_TRUE(c.Create(0, 0, 584, 342));
    return c;
}

TEST(Plotter, AbsentCanvasDrawsNothing) {
    CMemCanvas never;
    CFirDesign design;
    EXPECT_FALSE(DrawShadowText(nullptr, 0, 0, kWhite, "x"));
    EXPECT_FALSE(DrawGrid(&never, kMainBox, kGridColour, 128, 16));
    EXPECT_FALSE(DrawMainFrame(nullptr, kMainBox, kFrameColour));
    EXPECT_FALSE(DrawSmallFrame(nullptr, kSmallBox, kFrameColour));
    EXPECT_FALSE(DrawImpulse(nullptr, kMainBox, design, PlotStyle{.colour = kWhite}));
    EXPECT_FALSE(DrawMagnitudeDb(&never, kMainBox,
                                 ResponseData{design, 8000.0f, DesignFamily::Window},
                                 PlotStyle{.colour = kWhite}));
    EXPECT_FALSE(DrawPhase(nullptr, kMainBox,
                           ResponseData{.design = design, .Fs = 8000.0f, .symmetry = SymmetricOdd},
                           PlotStyle{.colour = kWhite, .curveFitting = true}));
    EXPECT_FALSE(DrawWindowShape(nullptr, kSmallBox, design, Rectangular));
    EXPECT_FALSE(DrawLegend(nullptr, HeldCurve{}, PlotStyle{.colour = kWhite, .heldColour = kWhite},
                            Rectangular, 0));
    CMemCanvas a = Main();
    CMemCanvas b = Main();
    EXPECT_FALSE(DrawMagnitudeOverlay(OverlayLayers{&a, &b, nullptr}, kMainBox,
                                      ResponseData{design, 8000.0f, DesignFamily::Window},
                                      HeldCurve{},
                                      PlotStyle{.colour = kWhite, .heldColour = kWhite}));
    EXPECT_EQ(CountColour(a, kBlack), 584 * 342);
    EXPECT_EQ(CountColour(b, kBlack), 584 * 342);
}

TEST(Plotter, GridLinesOfTheMainArea) {
    CMemCanvas c = Main();
    ASSERT_TRUE(DrawGrid(&c, kMainBox, kGridColour, 128, 16));
    const std::vector<int> rows = {57, 85, 113, 140, 168, 196, 223, 251, 279};
    const std::vector<int> cols = {137, 194, 251, 308, 365, 423, 480};
    for (int y : rows) EXPECT_EQ(ColumnsWith(c, y, kGridColour), Range(80, 533)) << "row " << y;
    for (int x : cols) EXPECT_EQ(RowsWith(c, x, kGridColour), Range(30, 306)) << "column " << x;
    // Nothing else: nine rows of 454 and seven columns of 277, less the crossings.
    EXPECT_EQ(CountColour(c, kGridColour), 9 * 454 + 7 * 277 - 9 * 7);
    // The pen of the canvas is put back.
    EXPECT_EQ(c.Pen().colour, MakeRgb(0, 255, 0));
}

TEST(Plotter, MainAndSmallFrameCorners) {
    CMemCanvas c = Main();
    ASSERT_TRUE(DrawMainFrame(&c, kMainBox, kFrameColour));
    // Two pixels wide, centred on the lines through (80, 30), (80, 307), (534, 307),
    // (534, 30); the corners are closed.
    for (int x : {79, 80, 533, 534}) EXPECT_EQ(RowsWith(c, x, kFrameColour), Range(29, 307));
    for (int y : {29, 30, 306, 307}) EXPECT_EQ(ColumnsWith(c, y, kFrameColour), Range(79, 534));
    EXPECT_EQ(c.GetPixel(81, 31), kBlack);
    EXPECT_EQ(c.GetPixel(535, 30), kBlack);

    CMemCanvas s;
    ASSERT_TRUE(s.Create(0, 0, 294, 155));
    ASSERT_TRUE(DrawSmallFrame(&s, kSmallBox, kFrameColour));
    for (int x : {19, 20, 273, 274}) EXPECT_EQ(RowsWith(s, x, kFrameColour), Range(24, 140));
    for (int y : {24, 25, 139, 140}) EXPECT_EQ(ColumnsWith(s, y, kFrameColour), Range(19, 274));
}

TEST(Plotter, ShadowTextShiftsABlackCopy) {
    CMemCanvas c = Main();
    c.Clear(kBackgroundColour);
    ASSERT_TRUE(DrawShadowText(&c, 60, 158, kWhite, "0"));
    const int white = CountColour(c, kWhite);
    ASSERT_GT(white, 10);
    // Every white pixel's (+2, +1) neighbour is white or shadow black; the rightmost
    // and lowest ink is shadow.
    int shadowOnly = 0;
    for (int y = 150; y < 180; ++y) {
        for (int x = 55; x < 80; ++x) {
            if (c.GetPixel(x, y) != kWhite) continue;
            const Colour n = c.GetPixel(x + 2, y + 1);
            EXPECT_TRUE(n == kWhite || n == kBlack) << x << "," << y;
            shadowOnly += n == kBlack ? 1 : 0;
        }
    }
    EXPECT_GT(shadowOnly, 0);
    // Nothing outside text and shadow was touched: the background mode was transparent.
    EXPECT_EQ(CountColour(c, kBackgroundColour) + white + CountColour(c, kBlack), 584 * 342);
    EXPECT_EQ(c.BackgroundMode(), BkMode::Opaque);

    // Right-aligned at x = 65: the white ink ends left of 65, the shadow two further.
    c.Clear(kBackgroundColour);
    c.SetTextAlign(TextAlign::Right);
    DrawShadowText(&c, 65, 100, kWhite, "0");
    int whiteRight = 0, blackRight = 0;
    for (int x = 0; x < 100; ++x) {
        for (int y = 95; y < 125; ++y) {
            if (c.GetPixel(x, y) == kWhite) whiteRight = std::max(whiteRight, x);
            if (c.GetPixel(x, y) == kBlack) blackRight = std::max(blackRight, x);
        }
    }
    EXPECT_LE(whiteRight, 64);
    EXPECT_GE(whiteRight, 60);
    EXPECT_EQ(blackRight, whiteRight + 2);
}

TEST(Plotter, StandardFrequencyAxisLabels) {
    CMemCanvas c = Main();
    std::vector<TextRecord> log;
    c.SetTextLog(&log);
    ASSERT_TRUE(DrawFrequencyAxis(&c, kMainBox, 8000.0f));
    // Each label is drawn twice (shadow, then text); keep the coloured ones.
    std::vector<TextRecord> shown;
    for (const TextRecord& r : log) {
        if (r.colour != kBlack) shown.push_back(r);
    }
    ASSERT_EQ(shown.size(), 11u);
    EXPECT_EQ(shown[0].text, "Freq");
    EXPECT_EQ(shown[0].x, 535);
    EXPECT_EQ(shown[0].y, 279);
    EXPECT_EQ(shown[1].text, "(Hz)");
    EXPECT_EQ(shown[1].x, 537);
    const int xs[] = {76, 132, 189, 246, 303, 359, 416, 473, 530};
    const char* texts[] = {"   0", " 500", "1000", "1500", "2000", "2500", "3000", "3500", "4000"};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(shown[2 + k].x, xs[k]);
        EXPECT_EQ(shown[2 + k].y, 315);
        EXPECT_EQ(shown[2 + k].align, TextAlign::Centre);
        EXPECT_EQ(shown[2 + k].text, texts[k]);
        EXPECT_EQ(shown[2 + k].colour, kTickLabelColour);
    }
}

TEST(Composition, StartupImages) {
    GraphCanvases g;
    ASSERT_TRUE(CreateStartupImages(g, kMainClientRect, kSmallClientRect));
    EXPECT_EQ(g.mainFront.Width(), 584);
    EXPECT_EQ(g.mainFront.Height(), 342);
    EXPECT_EQ(g.holdLegend.Width(), 294);
    EXPECT_EQ(g.holdLegend.Height(), 155);
    // Background, frame, and the grid ORed in: (50,50,50) | (40,85,85).
    EXPECT_EQ(g.mainFront.GetPixel(10, 10), kBackgroundColour);
    EXPECT_EQ(g.mainFront.GetPixel(200, 57), MakeRgb(58, 119, 119));
    EXPECT_EQ(g.mainFront.GetPixel(137, 200), MakeRgb(58, 119, 119));
    EXPECT_EQ(g.mainFront.GetPixel(79, 100), kFrameColour);
    // The grid layer is black except for its lines; the clean frame has no grid.
    EXPECT_EQ(g.gridOverlay.GetPixel(10, 10), kBlack);
    EXPECT_EQ(ColumnsWith(g.gridOverlay, 200, kGridColour),
              (std::vector<int>{137, 194, 251, 308, 365, 423, 480}));
    EXPECT_EQ(g.mainBackground.GetPixel(200, 57), kBackgroundColour);
    EXPECT_EQ(g.smallFront.GetPixel(20, 100), kFrameColour);
    EXPECT_EQ(CountColour(g.holdCurrent, kBackgroundColour), 584 * 342);
    EXPECT_EQ(CountColour(g.holdLegend, kBackgroundColour), 294 * 155);
}

TEST(Composition, GridToggleChangesOnlyGridPixels) {
    GraphCanvases g;
    ASSERT_TRUE(CreateStartupImages(g, kMainClientRect, kSmallClientRect));
    CFirDesign design;
    design.length = 3;
    design.coeffs = {0.25, 0.5, 0.25};
    FilterSpec spec = DefaultFilterSpec();
    GraphOptions options;
    ResetWorkingCanvases(g, false);
    DrawGraphs(g, design, HeldCurve{}, spec, options, kMainClientRect, kSmallClientRect);
    RefreshGraphs(g, options);
    const QImage without = g.mainFront.Image().copy();
    options.gridOn = true;
    RefreshGraphs(g, options);
    const QImage with = g.mainFront.Image().copy();
    int changed = 0;
    for (int y = 0; y < 342; ++y) {
        for (int x = 0; x < 584; ++x) {
            const QRgb a = without.pixel(x, y);
            const QRgb b = with.pixel(x, y);
            if (a == b) continue;
            ++changed;
            EXPECT_EQ(b, a | g.gridOverlay.GetPixel(x, y));
            EXPECT_NE(g.gridOverlay.GetPixel(x, y), kBlack);
        }
    }
    EXPECT_GT(changed, 1000);
}

TEST(Composition, HoldLayersAreOredOverTheAxes) {
    GraphCanvases g;
    ASSERT_TRUE(CreateStartupImages(g, kMainClientRect, kSmallClientRect));
    ResetWorkingCanvases(g, true);
    g.holdCurrent.SetPixel(300, 100, kCurrentCurveColour);
    g.holdPrevious.SetPixel(300, 100, kHeldCurveColour);
    g.holdPrevious.SetPixel(301, 100, kHeldCurveColour);
    g.holdLegend.SetPixel(5, 5, kWhite);
    RefreshGraphs(g, GraphOptions{.holdActive = true});
    EXPECT_EQ(g.mainFront.GetPixel(300, 100), MakeRgb(232, 221, 221));
    EXPECT_EQ(g.mainFront.GetPixel(301, 100), MakeRgb(40, 221, 221));
    EXPECT_EQ(g.mainFront.GetPixel(302, 100), kBackgroundColour);
    EXPECT_EQ(g.smallFront.GetPixel(5, 5), kWhite);
    // Without Hold On the single-design layers come back.
    RefreshGraphs(g, GraphOptions{});
    EXPECT_EQ(g.mainFront.GetPixel(300, 100), kBackgroundColour);
    EXPECT_EQ(g.smallFront.GetPixel(5, 5), kBackgroundColour);

    // The legend of an equiripple design names its own iteration count.
    std::vector<TextRecord> log;
    g.holdLegend.SetTextLog(&log);
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = Equiripple;
    spec.Itern = 7;
    ResetWorkingCanvases(g, true);
    DrawGraphs(g, CFirDesign(), HeldCurve{}, spec,
               GraphOptions{.graph = Magnitude, .holdActive = true}, kMainClientRect,
               kSmallClientRect);
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const TextRecord& r) {
        return r.text == "Equiripple (7 Iterations)";
    }));
}

TEST(Composition, ResolveGraphFollowsTheWindowRules) {
    struct Case {
        DesignMethod wtype;
        ResponseType ftype;
        GraphType graph;
        bool log;
        ViewMode view;
        bool hold;
        GraphType graphOut;
        ViewMode viewOut;
        bool overlay, windowShape;
    };
    const Case cases[] = {
        {Hamming, LowPass, Phase, true, FullView, false, Phase, FullView, false, true},
        {Equiripple, LowPass, Phase, true, FullView, false, Impulse, FullView, false, false},
        {Hamming, BandPass, Magnitude, true, PassbandView, false, Magnitude, SpecifiedRange, false,
         true},
        {Hamming, HighPass, Magnitude, true, StopbandView, false, Magnitude, StopbandView, false,
         true},
        {Hamming, LowPass, Magnitude, true, FullView, true, Magnitude, FullView, true, true},
        {Hamming, LowPass, Magnitude, false, StopbandView, true, Magnitude, FullView, false, true},
        {Equiripple, Multiband, Magnitude, true, FullView, true, Magnitude, SpecifiedRange, false,
         false},
    };
    for (const Case& k : cases) {
        FilterSpec spec = DefaultFilterSpec();
        spec.WType = k.wtype;
        spec.FType = k.ftype;
        GraphOptions o;
        o.graph = k.graph;
        o.logScale = k.log;
        o.view = k.view;
        o.holdActive = k.hold;
        const GraphDrawn d = ResolveGraph(spec, o);
        EXPECT_EQ(d.graph, k.graphOut);
        EXPECT_EQ(d.view, k.viewOut);
        EXPECT_EQ(d.overlay, k.overlay);
        EXPECT_EQ(d.windowShape, k.windowShape);
    }
}

}  // namespace
}  // namespace tapwright
