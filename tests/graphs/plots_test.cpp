// The plots on the window's 584 x 342 and 294 x 155 client rectangles: curve
// pixels, label texts and anchors, and the drawings of degenerate designs.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "core/messages.h"
#include "core/quantize.h"
#include "core/response_views.h"
#include "graphs/graph_plotter.h"
#include "tests/graphs/canvas_probe.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

using test::ColumnsWith;
using test::CountColour;
using test::Range;
using test::RowsWith;
using test::TopRow;

constexpr Colour kY = kCurrentCurveColour;
constexpr Colour kDot = MakeRgb(250, 250, 250);
constexpr DesignFamily kWindowFamily = DesignFamily::Window;
constexpr DesignFamily kEquirippleFamily = DesignFamily::Equiripple;
// The client rectangles of the large and small graph areas.
constexpr PlotBox kMainBox{0, 0, 584, 342};
constexpr PlotBox kSmallBox{0, 0, 294, 155};
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Fixture {
    CMemCanvas canvas;
    std::vector<TextRecord> log;
    explicit Fixture(int w = 584, int h = 342) {
        canvas.Create(0, 0, w, h);
        canvas.Clear(kBackgroundColour);
        canvas.SetTextLog(&log);
    }
    // The labels as seen: the coloured copy of every shadowed text.
    std::vector<TextRecord> Shown() const {
        std::vector<TextRecord> out;
        for (const TextRecord& r : log) {
            if (r.colour != MakeRgb(0, 0, 0)) out.push_back(r);
        }
        return out;
    }
    const TextRecord* Find(const std::string& text) const {
        for (const TextRecord& r : log) {
            if (r.text == text && r.colour != MakeRgb(0, 0, 0)) return &r;
        }
        return nullptr;
    }
    // Texts drawn at x with the given alignment, top to bottom.
    std::vector<std::string> Column(int x, TextAlign align) const {
        std::vector<std::string> out;
        for (const TextRecord& r : Shown()) {
            if (r.x == x && r.align == align) out.push_back(r.text);
        }
        return out;
    }
    std::vector<int> ColumnY(int x, TextAlign align) const {
        std::vector<int> out;
        for (const TextRecord& r : Shown()) {
            if (r.x == x && r.align == align) out.push_back(r.y);
        }
        return out;
    }
    std::vector<std::string> FrequencyLabels() const {
        std::vector<std::string> out;
        for (const TextRecord& r : Shown()) {
            if (r.y == 315 && r.align == TextAlign::Centre) out.push_back(r.text);
        }
        return out;
    }
};

CFirDesign Coefficients(std::vector<double> h) {
    CFirDesign d;
    d.length = static_cast<int>(h.size());
    d.coeffs = std::move(h);
    return d;
}

CFirDesign DbResponse(std::vector<double> db) {
    CFirDesign d;
    d.pointCount = static_cast<int>(db.size());
    d.magnitudeDb = db;
    d.magnitude.assign(db.size(), 0.0);
    return d;
}

// ---- impulse ----

TEST(Impulse, ThreeStemsWithCircles) {
    Fixture f;
    const CFirDesign d = Coefficients({0.25, 0.5, 0.25});
    ASSERT_TRUE(DrawImpulse(&f.canvas, kMainBox, d, PlotStyle{.colour = kY}));
    // Stems from the zero line y0 = 168 up to 113, 58, 113; circles 2 px around.
    EXPECT_EQ(RowsWith(f.canvas, 80, kY), Range(111, 168));
    EXPECT_EQ(RowsWith(f.canvas, 307, kY), Range(56, 168));
    EXPECT_EQ(RowsWith(f.canvas, 534, kY), Range(111, 168));
    EXPECT_EQ(RowsWith(f.canvas, 78, kY), Range(112, 113));
    EXPECT_EQ(RowsWith(f.canvas, 305, kY), Range(57, 58));
    EXPECT_EQ(RowsWith(f.canvas, 306, kY), Range(56, 59));
    EXPECT_EQ(CountColour(f.canvas, kY, 82, 0, 303, 341), 0);

    const std::vector<std::pair<std::string, std::pair<int, int>>> labels = {
        {"Impulse Response", {245, 5}},
        {"1", {60, 48}},
        {"0", {60, 158}},
        {"- 1", {54, 268}},
        {"Total Coefficients :", {225, 315}},
        {"3", {355, 315}}};
    for (const auto& [text, at] : labels) {
        const TextRecord* r = f.Find(text);
        ASSERT_NE(r, nullptr) << text;
        EXPECT_EQ(r->x, at.first) << text;
        EXPECT_EQ(r->y, at.second) << text;
    }
    EXPECT_EQ(f.Find("Impulse Response")->colour, kTitleColour);
    EXPECT_EQ(f.Find("Total Coefficients :")->colour, MakeRgb(30, 200, 60));
    EXPECT_EQ(f.Find("3")->colour, MakeRgb(130, 200, 240));
}

TEST(Impulse, ZeroStemIsAPixelAndNegativeStemsGoDown) {
    Fixture f;
    const CFirDesign d = Coefficients({-1.0, 0.001, 1.0});
    ASSERT_TRUE(DrawImpulse(&f.canvas, kMainBox, d, PlotStyle{.colour = kY}));
    // 0.001 scales to 0.11 px: only the pixel on the zero line and its circle.
    EXPECT_EQ(RowsWith(f.canvas, 307, kY), Range(166, 169));
    // -1 reaches 168 + 110 = 278: the stem covers 168 ... 277, the circle 276 ... 279.
    EXPECT_EQ(RowsWith(f.canvas, 80, kY), Range(168, 279));
}

TEST(Impulse, CurveFittingDrawsOnePolyline) {
    Fixture f;
    const CFirDesign d = Coefficients({0.25, 0.5, 0.25});
    ASSERT_TRUE(DrawImpulse(&f.canvas, kMainBox, d, PlotStyle{.colour = kY, .curveFitting = true}));
    EXPECT_EQ(RowsWith(f.canvas, 80, kY), std::vector<int>{113});
    EXPECT_EQ(RowsWith(f.canvas, 307, kY), std::vector<int>{58});
    // The end point of the last segment is left out, as every LineTo leaves it.
    EXPECT_TRUE(RowsWith(f.canvas, 534, kY).empty());
    EXPECT_TRUE(ColumnsWith(f.canvas, 168, kY).empty());
}

TEST(Impulse, DegenerateCoefficients) {
    {
        // All zeros: no scale, every stem is a dot on the zero line.
        Fixture f;
        const CFirDesign d = Coefficients({0.0, 0.0, 0.0, 0.0, 0.0});
        ASSERT_TRUE(DrawImpulse(&f.canvas, kMainBox, d, PlotStyle{.colour = kY}));
        for (int x : {80, 193, 307, 420, 534})
            EXPECT_EQ(RowsWith(f.canvas, x, kY), Range(166, 169));
        EXPECT_EQ(CountColour(f.canvas, kY), 5 * 12);
        ASSERT_NE(f.Find("5"), nullptr);
    }
    {
        // NaN is left out; infinities are scaled from the finite values and drawn on
        // the plot box edges 30 and 306.
        Fixture f;
        const CFirDesign d = Coefficients({0.5, kNaN, kInf, -kInf, 0.25});
        ASSERT_TRUE(DrawImpulse(&f.canvas, kMainBox, d, PlotStyle{.colour = kY}));
        EXPECT_EQ(RowsWith(f.canvas, 80, kY), Range(56, 168));
        EXPECT_TRUE(RowsWith(f.canvas, 193, kY).empty());
        EXPECT_EQ(RowsWith(f.canvas, 307, kY), Range(28, 168));
        EXPECT_EQ(RowsWith(f.canvas, 420, kY), Range(168, 307));
    }
    {
        // One coefficient, and none: no division by N - 1, labels still drawn.
        Fixture f;
        ASSERT_TRUE(DrawImpulse(&f.canvas, kMainBox, Coefficients({2.0}), PlotStyle{.colour = kY}));
        EXPECT_EQ(TopRow(f.canvas, 80, kY), 56);
        Fixture g;
        ASSERT_TRUE(DrawImpulse(&g.canvas, kMainBox, Coefficients({}), PlotStyle{.colour = kY}));
        EXPECT_EQ(CountColour(g.canvas, kY), 0);
        ASSERT_NE(g.Find("0"), nullptr);
    }
    {
        // Taps 0.45 px apart share a column: a taller stem after a shorter one shows.
        Fixture f;
        std::vector<double> h(1000, 0.0);
        h[0] = 0.25;
        h[1] = 1.0;
        ASSERT_TRUE(DrawImpulse(&f.canvas, kMainBox, Coefficients(h), PlotStyle{.colour = kY}));
        EXPECT_EQ(TopRow(f.canvas, 80, kY), 56);
    }
}

// ---- dB views ----

TEST(MagnitudeDb, FullViewAxisAndLayouts) {
    std::vector<double> db(512, -40.0);
    db[300] = -73.2;  // beyond the plotted half, still sets the axis
    const CFirDesign d = DbResponse(db);
    Fixture f;
    ASSERT_TRUE(DrawMagnitudeDb(&f.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                PlotStyle{.colour = kY}));
    EXPECT_EQ(f.Column(65, TextAlign::Right),
              (std::vector<std::string>{"0.00", "- 8.89", "- 17.78", "- 26.67", "- 35.56",
                                        "- 44.44", "- 53.33", "- 62.22", "- 71.11", "- 80.00"}));
    EXPECT_EQ(f.ColumnY(65, TextAlign::Right),
              (std::vector<int>{50, 77, 104, 131, 158, 185, 212, 239, 266, 293}));
    EXPECT_EQ(f.FrequencyLabels().back(), "4000");
    const std::tuple<const char*, int, int> names[] = {{"Magnitude Response", 238, 5},
                                                       {"|H(w)|", 35, 9},
                                                       {"(dB)", 40, 25},
                                                       {"Freq", 535, 279},
                                                       {"(Hz)", 537, 295}};
    for (const auto& [text, x, y] : names) {
        ASSERT_NE(f.Find(text), nullptr) << text;
        EXPECT_EQ(std::make_pair(f.Find(text)->x, f.Find(text)->y), std::make_pair(x, y)) << text;
    }
    // -40 dB lies on y = 180 from x = 80; the window layout's 257 points reach 534.
    EXPECT_EQ(ColumnsWith(f.canvas, 180, kY), Range(80, 533));

    // The equiripple layout puts 512 points one step short of 534.
    Fixture g;
    ASSERT_TRUE(DrawMagnitudeDb(&g.canvas, kMainBox, ResponseData{d, 8000.0f, kEquirippleFamily},
                                PlotStyle{.colour = kY}));
    const std::vector<int> cols = ColumnsWith(g.canvas, 180, kY);
    ASSERT_FALSE(cols.empty());
    EXPECT_EQ(cols.back(), 532);  // the last segment ends, unlit, on 533
}

TEST(MagnitudeDb, InfiniteAndNaNValues) {
    {
        // Window layout of K = 8: points 0 ... 4 at x = 80, 193, 307, 420, 534.
        const CFirDesign d = DbResponse({0.0, -kInf, -20.0, kNaN, -10.0, 0.0, 0.0, 0.0});
        Fixture f;
        ASSERT_TRUE(DrawMagnitudeDb(&f.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                    PlotStyle{.colour = kY}));
        EXPECT_EQ(f.Column(65, TextAlign::Right).back(),
                  "- 30.00");  // M = 20 from the finite values
        EXPECT_EQ(f.canvas.GetPixel(80, 57), kY);
        EXPECT_EQ(f.canvas.GetPixel(193, 307), kY);  // -inf on the bottom of the plot box
        // The NaN point breaks the curve: nothing right of point 2.
        EXPECT_EQ(CountColour(f.canvas, kY, 308, 0, 583, 341), 0);
    }
    {
        // An all-zero design has -inf everywhere: a 10 dB axis, the curve on the box edge.
        const CFirDesign d = DbResponse(std::vector<double>(16, -kInf));
        Fixture f;
        ASSERT_TRUE(DrawMagnitudeDb(&f.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                    PlotStyle{.colour = kY}));
        EXPECT_EQ(f.Column(65, TextAlign::Right)[1], "- 1.11");
        EXPECT_EQ(f.Column(65, TextAlign::Right).back(), "- 10.00");
        EXPECT_EQ(ColumnsWith(f.canvas, 307, kY), Range(80, 533));
    }
}

TEST(MagnitudeDb, SpecifiedRange) {
    std::vector<double> db(512);
    for (int i = 0; i < 512; ++i) db[i] = -0.1 * i;
    const CFirDesign d = DbResponse(db);
    Fixture f;
    ASSERT_TRUE(DrawMagnitudeRange(&f.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                   PlotStyle{.colour = kY}, 1000.0, 2000.0));
    EXPECT_EQ(f.FrequencyLabels(), (std::vector<std::string>{"1000", "1125", "1250", "1375", "1500",
                                                             "1625", "1750", "1875", "2000"}));
    // Points 64 ... 127 at xstep 7.09375; the full view's axis (M = 51.1, R = 60).
    EXPECT_EQ(f.canvas.GetPixel(80, 83), kY);
    EXPECT_EQ(f.Column(65, TextAlign::Right).back(), "- 60.00");
    EXPECT_GT(CountColour(f.canvas, kY, 525, 0, 525, 341), 0);
    EXPECT_EQ(CountColour(f.canvas, kY, 527, 0, 583, 341), 0);

    // View low equal to view high: labels only.
    Fixture g;
    ASSERT_TRUE(DrawMagnitudeRange(&g.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                   PlotStyle{.colour = kY, .zoom = true}, 1500.0, 1500.0));
    ASSERT_TRUE(DrawMagnitudeRange(&g.canvas, kMainBox, ResponseData{d, 8000.0f, kEquirippleFamily},
                                   PlotStyle{.colour = kY, .zoom = true}, 1500.0, 1500.0));
    EXPECT_EQ(CountColour(g.canvas, kY), 0);
    EXPECT_EQ(g.FrequencyLabels().size(), 18u);
    // Out-of-range limits draw only the points that exist.
    Fixture h;
    EXPECT_TRUE(DrawMagnitudeRange(&h.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                   PlotStyle{.colour = kY, .zoom = true}, -5000.0, 1e300));
    EXPECT_TRUE(DrawMagnitudeRange(&h.canvas, kMainBox, ResponseData{d, 0.0f, kEquirippleFamily},
                                   PlotStyle{.colour = kY}, 0.0, 100.0));
}

TEST(MagnitudeDb, ZoomedRangeIsCentredOnZero) {
    std::vector<double> db(512, -30.0);
    db[64] = 0.0;
    db[70] = -60.2;
    db[80] = 0.5;
    db[128] = -72.0;  // one point past the plotted ones: examined for the axis all the same
    const CFirDesign d = DbResponse(db);
    Fixture f;
    ASSERT_TRUE(DrawMagnitudeRange(&f.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                   PlotStyle{.colour = kY, .zoom = true}, 1000.0, 2000.0));
    EXPECT_EQ(f.Column(65, TextAlign::Right),
              (std::vector<std::string>{"57.60", "43.20", "28.80", "14.40", "0.00", "-14.40",
                                        "-28.80", "-43.20", "-57.60", "-72.00"}));
    EXPECT_EQ(f.ColumnY(65, TextAlign::Right),
              (std::vector<int>{50, 77, 104, 131, 158, 185, 212, 239, 266, 293}));
    EXPECT_EQ(f.canvas.GetPixel(80, 165), kY);  // 0 dB on the fifth row

    // A flat 0 dB stretch gets a 1 dB axis rather than an undefined scale.
    const CFirDesign flat = DbResponse(std::vector<double>(512, 0.0));
    Fixture g;
    ASSERT_TRUE(DrawMagnitudeRange(&g.canvas, kMainBox,
                                   ResponseData{flat, 8000.0f, kEquirippleFamily},
                                   PlotStyle{.colour = kY, .zoom = true}, 1000.0, 2000.0));
    EXPECT_EQ(g.Column(65, TextAlign::Right).front(), "0.80");
    EXPECT_EQ(g.Column(65, TextAlign::Right).back(), "-1.00");
    EXPECT_EQ(ColumnsWith(g.canvas, 165, kY), Range(80, 529));
}

TEST(MagnitudeDb, OverlayScaleAndHeldPointCounts) {
    std::vector<double> now(512, -60.0);
    CFirDesign d = DbResponse(now);
    HeldCurve h;
    h.method = Hamming;
    h.pointCount = 512;
    h.magnitudeDb.assign(512, -20.0);
    h.magnitudeDb[10] = -95.0;
    CMemCanvas axes, current, held;
    for (CMemCanvas* c : {&axes, &current, &held}) {
        c->Create(0, 0, 584, 342);
        c->Clear(kBackgroundColour);
    }
    std::vector<TextRecord> log;
    axes.SetTextLog(&log);
    ASSERT_TRUE(DrawMagnitudeOverlay(OverlayLayers{&axes, &current, &held}, kMainBox,
                                     ResponseData{d, 8000.0f, kWindowFamily}, h,
                                     PlotStyle{.colour = kY, .heldColour = kHeldCurveColour}));
    // R = 100 for both: -60 on y = 27 + 148 + 30 = 205 (scale 2.47), -20 on 106.
    EXPECT_EQ(ColumnsWith(current, 205, kY), Range(80, 533));
    EXPECT_GT(ColumnsWith(held, 106, kHeldCurveColour).size(), 400u);
    EXPECT_EQ(CountColour(axes, kY), 0);
    bool found = false;
    for (const TextRecord& r : log) found |= r.text == "- 100.00" && r.y == 293;
    EXPECT_TRUE(found);

    // A held curve with fewer points than the current one keeps its own layout and
    // is never read past its end; an overstated count is bounded by the array.
    h.pointCount = 8;
    h.magnitudeDb.assign(8, -20.0);
    held.Clear(kBackgroundColour);
    ASSERT_TRUE(DrawMagnitudeOverlay(OverlayLayers{&axes, &current, &held}, kMainBox,
                                     ResponseData{d, 8000.0f, kWindowFamily}, h,
                                     PlotStyle{.colour = kY, .heldColour = kHeldCurveColour}));
    EXPECT_EQ(ColumnsWith(held, 127, kHeldCurveColour), Range(80, 533));  // R is now 70
    EXPECT_EQ(CountColour(held, kHeldCurveColour), 454);
    h.pointCount = 4096;
    h.method = Equiripple;
    EXPECT_TRUE(DrawMagnitudeOverlay(OverlayLayers{&axes, &current, &held}, kMainBox,
                                     ResponseData{d, 8000.0f, kEquirippleFamily}, h,
                                     PlotStyle{.colour = kY, .heldColour = kHeldCurveColour}));
}

// ---- linear ----

TEST(MagnitudeLinear, ScaleAndLabels) {
    CFirDesign d;
    d.pointCount = 8;
    d.magnitude = {1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    d.magnitudeDb.assign(8, 0.0);
    Fixture f;
    ASSERT_TRUE(DrawMagnitudeLinear(&f.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                    PlotStyle{.colour = kY}));
    EXPECT_EQ(f.canvas.GetPixel(80, 85), kY);    // 1 on y = 85
    EXPECT_EQ(f.canvas.GetPixel(420, 306), kY);  // 0 on y = 306
    EXPECT_EQ(f.Column(70, TextAlign::Right).front(), "1.125");
    EXPECT_EQ(f.Column(70, TextAlign::Right).back(), "0.000");
    EXPECT_EQ(f.ColumnY(70, TextAlign::Right),
              (std::vector<int>{50, 77, 104, 131, 159, 186, 213, 240, 269, 296}));
    EXPECT_EQ(f.Find("|H(w)|")->y, 12);
    EXPECT_EQ(f.Find("(dB)"), nullptr);

    // A window-method differentiator is scaled to its plotted peak.
    d.responseType = Differentiator;
    d.magnitude = {0.0, 1.0, 2.0, 3.0, 1.5, 9.0, 9.0, 9.0};
    Fixture g;
    ASSERT_TRUE(DrawMagnitudeLinear(&g.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                    PlotStyle{.colour = kY}));
    EXPECT_EQ(g.Column(70, TextAlign::Right),
              (std::vector<std::string>{"3.000", "2.667", "2.333", "2.000", "1.667", "1.333",
                                        "1.000", "0.667", "0.333", "0.000"}));
    // 3.0 stands 0.9 * 277 = 249 px above the base: y = 57.
    EXPECT_EQ(g.canvas.GetPixel(420, 57), kY);
    // The equiripple form is never normalised.
    Fixture h;
    ASSERT_TRUE(DrawMagnitudeLinear(
        &h.canvas, kMainBox, ResponseData{d, 8000.0f, kEquirippleFamily}, PlotStyle{.colour = kY}));
    EXPECT_EQ(h.Column(70, TextAlign::Right).front(), "1.125");

    // A differentiator that is zero everywhere has no peak: flat on the base.
    d.magnitude.assign(8, 0.0);
    Fixture z;
    ASSERT_TRUE(DrawMagnitudeLinear(&z.canvas, kMainBox, ResponseData{d, 8000.0f, kWindowFamily},
                                    PlotStyle{.colour = kY}));
    EXPECT_EQ(ColumnsWith(z.canvas, 306, kY), Range(80, 533));
}

// ---- passband and stopband ----

TEST(Bands, PassbandAxis) {
    CFirDesign d = DbResponse({0.3, -1.0, -2.9, 0.0, -0.5, -10.0, -20.0, -30.0});
    d.responseType = LowPass;
    d.passBegin = 0;
    d.passEnd = 5;
    d.passEdge = 1000.0;
    Fixture f;
    ASSERT_TRUE(DrawPassband(&f.canvas, kMainBox, ResponseData{.design = d, .Fs = 8000.0f},
                             PlotStyle{.colour = kY}));
    EXPECT_EQ(f.Column(65, TextAlign::Right),
              (std::vector<std::string>{"2.32", "1.74", "1.16", "0.58", "0.00", "-0.58", "-1.16",
                                        "-1.74", "-2.32", "-2.90"}));
    EXPECT_EQ(f.canvas.GetPixel(352, 165), kY);  // point 3 (0 dB) on y = 5r + 30
    // Label k names the point passBegin + k (passEnd - passBegin) / 8, the one drawn
    // under it; point i of this 8-point window grid lies at i * 8000 / 7 Hz.
    EXPECT_EQ(f.FrequencyLabels(), (std::vector<std::string>{"   0", " 714", "1429", "2143", "2857",
                                                             "3571", "4286", "5000", "5714"}));
    EXPECT_EQ(f.Find("Passband Response")->x, 238);

    // A high pass is labelled by the same rule.
    d.responseType = HighPass;
    d.stopEdge = 2000.0;
    Fixture h;
    ASSERT_TRUE(DrawPassband(&h.canvas, kMainBox, ResponseData{.design = d, .Fs = 8000.0f},
                             PlotStyle{.colour = kY}));
    EXPECT_EQ(h.canvas.GetPixel(352, 165), kY);
    EXPECT_EQ(h.FrequencyLabels(), (std::vector<std::string>{"   0", " 714", "1429", "2143", "2857",
                                                             "3571", "4286", "5000", "5714"}));

    // A band-pass design gets the labels but no curve.
    d.responseType = BandPass;
    Fixture g;
    ASSERT_TRUE(DrawPassband(&g.canvas, kMainBox, ResponseData{.design = d, .Fs = 8000.0f},
                             PlotStyle{.colour = kY}));
    EXPECT_EQ(CountColour(g.canvas, kY), 0);
}

TEST(Bands, StopbandAxis) {
    CFirDesign d = DbResponse({0.0, -1.0, -3.5, -50.0, -127.0, -80.0, -60.0, -60.0});
    d.responseType = LowPass;
    d.stopBegin = 2;
    d.stopEnd = 6;
    d.stopEdge = 1200.0;
    Fixture f;
    ASSERT_TRUE(DrawStopband(&f.canvas, kMainBox, ResponseData{.design = d, .Fs = 8000.0f},
                             PlotStyle{.colour = kY}));
    // ref = -3.5, Amin = 3.5, Amax = 127, scale = 2.
    EXPECT_EQ(f.canvas.GetPixel(80, 57), kY);
    EXPECT_EQ(f.canvas.GetPixel(307, 304), kY);
    EXPECT_EQ(f.Column(65, TextAlign::Right).front(), "-3.50");
    EXPECT_EQ(f.Column(65, TextAlign::Right).back(), "-127.00");
    // Points 2 ... 6 of the 8-point grid: 2286 Hz at the left edge.
    EXPECT_EQ(f.FrequencyLabels(), (std::vector<std::string>{"2286", "2857", "3429", "4000", "4571",
                                                             "5143", "5714", "6286", "6857"}));
    EXPECT_EQ(f.Find("Stopband Response")->x, 242);

    // A high pass: the reference is the band's upper edge (point 4, -3.5 dB), the
    // labels run over points 0 ... 4.
    CFirDesign h = DbResponse({-60.0, -127.0, -80.0, -50.0, -3.5, -1.0, 0.0, 0.0});
    h.responseType = HighPass;
    h.stopBegin = 0;
    h.stopEnd = 4;
    h.stopEdge = 1200.0;
    h.passEdge = 2800.0;
    Fixture g;
    ASSERT_TRUE(DrawStopband(&g.canvas, kMainBox, ResponseData{.design = h, .Fs = 8000.0f},
                             PlotStyle{.colour = kY}));
    EXPECT_EQ(g.canvas.GetPixel(80, 170), kY);   // -60 dB: 2 * 56.5 below the first row
    EXPECT_EQ(g.canvas.GetPixel(193, 304), kY);  // -127 dB
    EXPECT_EQ(g.Column(65, TextAlign::Right).front(), "-50.00");
    EXPECT_EQ(g.FrequencyLabels(), (std::vector<std::string>{"   0", " 571", "1143", "1714", "2286",
                                                             "2857", "3429", "4000", "4571"}));
}

TEST(Bands, DegenerateBandsStayInsideTheResponse) {
    struct Case {
        ResponseType type;
        int passBegin, passEnd, stopBegin, stopEnd;
    };
    // Empty ranges, -1 fields of a high pass that never falls below -3 dB, ends past
    // the response, a single point.
    const Case cases[] = {
        {LowPass, 0, 8, 8, 8}, {HighPass, -1, 5, 0, -1}, {HighPass, 2, 99, 0, 2},
        {LowPass, 0, 1, 3, 4}, {LowPass, 7, 3, -4, 100},
    };
    for (const Case& k : cases) {
        CFirDesign d = DbResponse({0.0, -1.0, -3.5, -50.0, -127.0, -80.0, -60.0, -60.0});
        d.pointCount = 8;
        d.responseType = k.type;
        d.passBegin = k.passBegin;
        d.passEnd = k.passEnd;
        d.stopBegin = k.stopBegin;
        d.stopEnd = k.stopEnd;
        Fixture f;
        EXPECT_TRUE(DrawPassband(&f.canvas, kMainBox, ResponseData{.design = d, .Fs = 8000.0f},
                                 PlotStyle{.colour = kY}));
        EXPECT_TRUE(DrawStopband(&f.canvas, kMainBox, ResponseData{.design = d, .Fs = 8000.0f},
                                 PlotStyle{.colour = kY}));
        EXPECT_EQ(f.Column(65, TextAlign::Right).size(), 20u);
        for (const TextRecord& r : f.Shown()) {
            EXPECT_EQ(r.text.find("nan"), std::string::npos) << r.text;
            EXPECT_EQ(r.text.find("inf"), std::string::npos) << r.text;
        }
    }
    // E = 0 (flat 0 dB passband): a 1 dB axis, the curve on the 0 dB row.
    CFirDesign flat = DbResponse(std::vector<double>(8, 0.0));
    flat.responseType = LowPass;
    flat.passEnd = 4;
    flat.stopBegin = 4;
    flat.stopEnd = 5;  // one point: Amax + ref = 0
    Fixture f;
    ASSERT_TRUE(DrawPassband(&f.canvas, kMainBox, ResponseData{.design = flat, .Fs = 8000.0f},
                             PlotStyle{.colour = kY}));
    EXPECT_EQ(f.Column(65, TextAlign::Right).front(), "0.80");
    EXPECT_EQ(ColumnsWith(f.canvas, 165, kY), Range(80, 419));
    Fixture g;
    ASSERT_TRUE(DrawStopband(&g.canvas, kMainBox, ResponseData{.design = flat, .Fs = 8000.0f},
                             PlotStyle{.colour = kY}));
    EXPECT_EQ(g.Column(65, TextAlign::Right).front(), "-0.00");
    EXPECT_EQ(CountColour(g.canvas, kY), 0);
}

// The band views of a real design (Kaiser low pass, Fs 48 kHz, cutoff 4 kHz, Tw
// 500 Hz, 80 dB): the labels name the frequencies of the points drawn under them,
// the passband's last label the first point below -3 dB.
TEST(Bands, LabelsNameThePlottedPointsFrequencies) {
    CFirDesign d;
    d.responseType = LowPass;
    ASSERT_TRUE(
        d.DesignWindowAuto(LowPass, Kaiser, 4000.0f, 0.0f, 500.0f, 48000.0f, 0, 4096, 0.1, -80.0)
            .Designed());
    const ResponseData data{.design = d, .Fs = 48000.0f};
    const auto hz = [&](double i) {
        return FormatString("%4.0f", ResponsePointHz(kWindowFamily, d.pointCount, 48000.0, i));
    };
    Fixture pass, stop;
    ASSERT_TRUE(DrawPassband(&pass.canvas, kMainBox, data, PlotStyle{.colour = kY}));
    ASSERT_TRUE(DrawStopband(&stop.canvas, kMainBox, data, PlotStyle{.colour = kY}));
    const std::vector<std::string> p = pass.FrequencyLabels(), s = stop.FrequencyLabels();
    ASSERT_EQ(p.size(), 9u);
    ASSERT_EQ(s.size(), 9u);
    for (int k = 0; k <= 8; ++k) {
        EXPECT_EQ(p[k], hz(d.passBegin + k * (d.passEnd - d.passBegin) / 8.0)) << k;
        EXPECT_EQ(s[k], hz(d.stopBegin + k * (d.stopEnd - d.stopBegin) / 8.0)) << k;
    }
    // The plotted passband runs past the 4000 Hz cutoff to the -3 dB point.
    EXPECT_GT(std::stod(p.back()), 4000.0);
    EXPECT_LT(d.magnitudeDb[static_cast<size_t>(d.passEnd)], -3.0);
}

// ---- views computed from the taps ----

// Each view draws its curve and names its axes with units; options change the units.
TEST(TapViews, EveryViewDrawsItsCurveAndAxisText) {
    CFirDesign d;
    d.responseType = LowPass;
    ASSERT_TRUE(
        d.DesignWindow(LowPass, Hamming, 1000.0f, 0.0f, 8000.0f, 31, 1024, 4.0, SymmetricOdd)
            .Designed());
    const ResponseData data{.design = d, .Fs = 8000.0f};
    struct Case {
        const char* what;
        std::function<bool(CMemCanvas*, const PlotStyle&)> draw;
        PlotStyle style;
        std::vector<std::string> texts;
    };
    const PlotStyle plain{.colour = kY};
    const Case cases[] = {
        {"group delay",
         [&](CMemCanvas* c, const PlotStyle& st) { return DrawGroupDelay(c, kMainBox, data, st); },
         plain,
         {"Group Delay", "(samples)", "Freq", "(Hz)", "4000", "15.0"}},
        {"group delay in s",
         [&](CMemCanvas* c, const PlotStyle& st) { return DrawGroupDelay(c, kMainBox, data, st); },
         PlotStyle{.colour = kY, .seconds = true},
         {"(s)", "0.00188"}},
        {"unwrapped phase",
         [&](CMemCanvas* c, const PlotStyle& st) {
             return DrawUnwrappedPhase(c, kMainBox, data, st);
         },
         plain,
         {"Unwrapped Phase", "(radians)", "(Hz)"}},
        {"unwrapped phase in degrees",
         [&](CMemCanvas* c, const PlotStyle& st) {
             return DrawUnwrappedPhase(c, kMainBox, data, st);
         },
         PlotStyle{.colour = kY, .degrees = true},
         {"(degrees)"}},
        {"pole-zero",
         [&](CMemCanvas* c, const PlotStyle& st) { return DrawPoleZero(c, kMainBox, d, st); },
         plain,
         {"Pole-Zero Plot", "Re(z)", "Im(z)", "30", "o 30 zeros   x pole of order 30 at 0"}},
        {"step",
         [&](CMemCanvas* c, const PlotStyle& st) { return DrawStep(c, kMainBox, d, st); },
         plain,
         {"Step Response", "(taps)", "0"}},
    };
    for (const Case& c : cases) {
        Fixture f;
        ASSERT_TRUE(c.draw(&f.canvas, c.style)) << c.what;
        EXPECT_GT(CountColour(f.canvas, kY), 100) << c.what;
        for (const std::string& t : c.texts) EXPECT_NE(f.Find(t), nullptr) << c.what << ": " << t;
        for (const TextRecord& r : f.Shown())
            EXPECT_EQ(r.text.find("nan"), std::string::npos) << c.what;
        EXPECT_FALSE(c.draw(nullptr, c.style)) << c.what;
    }

    // The step response's top label is its largest value, the DC gain shown below.
    Fixture step;
    DrawStep(&step.canvas, kMainBox, d, plain);
    double sum = 0.0, peak = 0.0;
    for (double h : d.coeffs) peak = std::max(peak, std::fabs(sum += h));
    EXPECT_NE(step.Find(FormatString("%.4g", peak)), nullptr);
    EXPECT_NE(step.Find(FormatString("%.6g", sum)), nullptr);

    // Beyond the length it offers, the pole-zero view draws only its note.
    CFirDesign longer = Coefficients(std::vector<double>(kMaxPoleZeroTaps + 1, 0.001));
    Fixture note;
    ASSERT_TRUE(DrawPoleZero(&note.canvas, kMainBox, longer, plain));
    EXPECT_NE(note.Find(FormatString("this design has %d.", kMaxPoleZeroTaps + 1)), nullptr);
    EXPECT_EQ(CountColour(note.canvas, kY), 0);
}

// The quantized taps' response is drawn over the magnitude views in its own colour
// with a legend entry, and only when given.
TEST(TapViews, QuantizedCurveOverTheMagnitudeViews) {
    CFirDesign d;
    d.responseType = LowPass;
    ASSERT_TRUE(d.DesignWindow(LowPass, Kaiser, 1000.0f, 0.0f, 8000.0f, 61, 1024, 8.0, SymmetricOdd)
                    .Designed());
    QuantizedTaps q;
    ASSERT_TRUE(QuantizeTaps(d.coeffs, 6, q));
    QuantizedCurve curve{.magnitudeDb = ResponseDbOnGrid(q.Taps(), kWindowFamily, d.pointCount),
                         .magnitude = {},
                         .bits = 6};
    for (double db : curve.magnitudeDb) curve.magnitude.push_back(std::pow(10.0, db / 20.0));
    using Draw = bool (*)(CMemCanvas*, const PlotBox&, const ResponseData&, const PlotStyle&);
    for (const Draw draw : {Draw{DrawMagnitudeDb}, Draw{DrawMagnitudeLinear}, Draw{DrawPassband},
                            Draw{DrawStopband}}) {
        Fixture with, without;
        ASSERT_TRUE(draw(&with.canvas, kMainBox,
                         ResponseData{.design = d, .Fs = 8000.0f, .quantized = &curve},
                         PlotStyle{.colour = kY}));
        ASSERT_TRUE(draw(&without.canvas, kMainBox, ResponseData{.design = d, .Fs = 8000.0f},
                         PlotStyle{.colour = kY}));
        EXPECT_GT(CountColour(with.canvas, kQuantizedCurveColour), 50);
        EXPECT_NE(with.Find("6-bit taps"), nullptr);
        EXPECT_EQ(CountColour(without.canvas, kQuantizedCurveColour), 0);
        EXPECT_EQ(without.Find("6-bit taps"), nullptr);
    }
}

// ---- small area ----

TEST(WindowShape, MirroredStemsAndTitles) {
    CFirDesign d;
    d.length = 21;
    d.window.assign(11, 1.0);
    d.window[1] = 0.5;
    Fixture f(294, 155);
    const Colour stem = MakeRgb(100, 200, 187);
    ASSERT_TRUE(DrawWindowShape(&f.canvas, kSmallBox, d, Hamming));
    // dx = 234 / 40; w[0] at position 20: x = 147, from 140 up to (not including) 30.
    EXPECT_EQ(RowsWith(f.canvas, 147, stem), Range(31, 140));
    // w[1] = 0.5 at positions 19 and 21: x = 141 and 152, 55 px tall.
    EXPECT_EQ(TopRow(f.canvas, 141, stem), 86);
    EXPECT_EQ(TopRow(f.canvas, 152, stem), 86);
    // 21 stems stand on the base line; the positions beyond the stored half window
    // (x = 30 ... 82 and 211 ... 264) show none.
    EXPECT_EQ(ColumnsWith(f.canvas, 140, stem).size(), 21u);
    EXPECT_EQ(CountColour(f.canvas, stem, 0, 0, 85, 154), 0);
    ASSERT_NE(f.Find("Hamming Window"), nullptr);
    EXPECT_EQ(f.Find("Hamming Window")->x, 87);
    EXPECT_EQ(f.Find("Hamming Window")->y, 5);

    const int xs[] = {77, 92, 87, 80, 98};
    for (DesignMethod method : {Rectangular, Hanning, Hamming, Blackman, Kaiser}) {
        Fixture g(294, 155);
        DrawWindowShape(&g.canvas, kSmallBox, d, method);
        ASSERT_EQ(g.Shown().size(), 1u);
        EXPECT_EQ(g.Shown()[0].x, xs[method]);
        EXPECT_EQ(g.Shown()[0].text, DesignMethodLabel(method, 0));
    }
    Fixture e(294, 155);
    DrawWindowShape(&e.canvas, kSmallBox, d, Equiripple);
    EXPECT_TRUE(e.Shown().empty());

    // A single tap stands in the middle; an empty window draws no stem.
    CFirDesign one;
    one.length = 1;
    one.window = {1.0};
    Fixture s(294, 155);
    DrawWindowShape(&s.canvas, kSmallBox, one, Rectangular);
    EXPECT_EQ(ColumnsWith(s.canvas, 140, stem), std::vector<int>{147});
    one.window.clear();
    Fixture t(294, 155);
    DrawWindowShape(&t.canvas, kSmallBox, one, Rectangular);
    EXPECT_EQ(CountColour(t.canvas, stem), 0);
}

TEST(Legend, SameAndDifferentDesigns) {
    struct Case {
        DesignMethod method;
        int iterations;
        DesignMethod heldMethod;
        int heldIterations;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {Hamming, 0, Hamming, 0, {"Hamming Window"}},
        {Equiripple,
         20,
         Equiripple,
         10,
         {"Equiripple (20 Iterations)", "Equiripple (10 Iterations)"}},
        {Kaiser, 0, Hanning, 0, {"Kaiser Window", "Hanning Window"}},
        {Equiripple, 7, Equiripple, 7, {"Equiripple (7 Iterations)"}},
    };
    for (const Case& k : cases) {
        HeldCurve d;
        d.method = k.heldMethod;
        d.iterations = k.heldIterations;
        Fixture f(294, 155);
        ASSERT_TRUE(DrawLegend(&f.canvas, d,
                               PlotStyle{.colour = kY, .heldColour = kHeldCurveColour}, k.method,
                               k.iterations));
        const std::vector<TextRecord> shown = f.Shown();
        ASSERT_EQ(shown.size(), 1 + k.names.size());
        EXPECT_EQ(shown[0].text, "Legend:");
        EXPECT_EQ(shown[0].x, 10);
        EXPECT_EQ(shown[0].y, 2);
        for (size_t i = 0; i < k.names.size(); ++i) {
            EXPECT_EQ(shown[1 + i].text, k.names[i]);
            EXPECT_EQ(shown[1 + i].x, 44);
            EXPECT_EQ(shown[1 + i].y, i == 0 ? 30 : 56);
        }
        if (k.names.size() == 1) {
            // One thin near-white sample line from x = 12 up to 29.
            EXPECT_EQ(ColumnsWith(f.canvas, 38, kDot), Range(12, 28));
            EXPECT_EQ(CountColour(f.canvas, kY), 0);
        } else {
            EXPECT_EQ(ColumnsWith(f.canvas, 38, kY), Range(11, 29));
            EXPECT_EQ(ColumnsWith(f.canvas, 64, kHeldCurveColour), Range(11, 29));
        }
    }
}

// ---- phase ----

CFirDesign Spectrum(std::vector<std::complex<double>> s) {
    CFirDesign d;
    d.pointCount = static_cast<int>(s.size());
    d.spectrum = std::move(s);
    return d;
}

TEST(Phase, DotsAtTheirFrequenciesAndTheAntisymmetricShift) {
    // K = 9: entries 0 ... 4 cover 0 ... Fs/2 at x = 80, 193, 307, 420, 534.
    const CFirDesign d =
        Spectrum({{1, 0}, {0, 1}, {0, 0}, {1, -1}, {-1, 1}, {1, 0}, {1, 0}, {1, 0}, {1, 0}});
    Fixture f;
    ASSERT_TRUE(DrawPhase(&f.canvas, kMainBox,
                          ResponseData{.design = d, .Fs = 8000.0f, .symmetry = SymmetricOdd},
                          PlotStyle{.colour = kPhaseCurveColour}));
    EXPECT_EQ(RowsWith(f.canvas, 80, kDot), Range(166, 169));   // 0 rad on y = 168
    EXPECT_EQ(RowsWith(f.canvas, 193, kDot), Range(111, 114));  // re = 0: +pi/2, y = 113
    EXPECT_TRUE(RowsWith(f.canvas, 307, kDot).empty());         // 0/0 has no phase
    EXPECT_EQ(RowsWith(f.canvas, 420, kDot), Range(193, 196));  // -pi/4: y = 195
    EXPECT_EQ(RowsWith(f.canvas, 534, kDot), Range(193, 196));  // atan(1/-1) = -pi/4
    EXPECT_EQ(CountColour(f.canvas, kPhaseCurveColour), 0);
    EXPECT_EQ(f.FrequencyLabels().back(), "4000");

    // Antisymmetric characteristics move every point down by pi/2.
    Fixture g;
    ASSERT_TRUE(DrawPhase(&g.canvas, kMainBox,
                          ResponseData{.design = d, .Fs = 8000.0f, .symmetry = AntisymmetricEven},
                          PlotStyle{.colour = kPhaseCurveColour}));
    EXPECT_EQ(RowsWith(g.canvas, 80, kDot), Range(221, 224));  // -pi/2: y = 223
    EXPECT_EQ(RowsWith(g.canvas, 193, kDot), Range(166, 169));

    // Degrees change only the labels; the joining line runs under the dots and
    // breaks at the point without a phase.
    Fixture r, deg;
    DrawPhase(&r.canvas, kMainBox,
              ResponseData{.design = d, .Fs = 8000.0f, .symmetry = SymmetricOdd},
              PlotStyle{.colour = kPhaseCurveColour, .curveFitting = true});
    DrawPhase(&deg.canvas, kMainBox,
              ResponseData{.design = d, .Fs = 8000.0f, .symmetry = SymmetricOdd},
              PlotStyle{.colour = kPhaseCurveColour, .curveFitting = true, .degrees = true});
    // Inside the frame, x = 82 ... 531 and y = 32 ... 304, the two are the same.
    EXPECT_TRUE(r.canvas.Image().copy(82, 32, 450, 273) ==
                deg.canvas.Image().copy(82, 32, 450, 273));
    // The texts of both units, each at its place.
    struct Label {
        const Fixture* drawn;
        const char* text;
        int x, y;
    };
    const Label labels[] = {
        {&f, "Phase Response", 251, 5}, {&f, "Theta(w)", 18, 9}, {&f, "(radians)", 16, 25},
        {&f, "3.142", 32, 48},          {&f, "1.571", 32, 104},  {&f, "0", 48, 160},
        {&f, "-1.571", 28, 214},        {&f, "-3.142", 28, 270}, {&deg, "(degrees)", 14, 25},
        {&deg, "180", 40, 48},          {&deg, "90", 46, 104},   {&deg, "0", 48, 160},
        {&deg, "-90", 40, 214},         {&deg, "-180", 35, 270}, {&deg, "Theta(w)", 18, 9}};
    for (const Label& l : labels) {
        const TextRecord* r = l.drawn->Find(l.text);
        ASSERT_NE(r, nullptr) << l.text;
        EXPECT_EQ(std::make_pair(r->x, r->y), std::make_pair(l.x, l.y)) << l.text;
    }
    EXPECT_EQ(deg.Find("3.142"), nullptr);
    EXPECT_GT(CountColour(r.canvas, kPhaseCurveColour, 100, 100, 180, 180), 50);
    EXPECT_EQ(CountColour(r.canvas, kPhaseCurveColour, 200, 0, 410, 341), 0);
}

TEST(Phase, LongSpectraKeepOneDotPerColumn) {
    // K = 4096 over w = 454: every 5th entry, each at the x of its own frequency.
    std::vector<std::complex<double>> s(4096, {0.0, 0.0});
    s[1000] = {1.0, 0.0};  // drawn: 80 + trunc(2000 * 454 / 4095) = 301
    s[1001] = {1.0, 0.0};  // skipped: not on the stride
    s[2048] = {1.0, 0.0};  // beyond Fs/2
    const CFirDesign d = Spectrum(s);
    Fixture f;
    ASSERT_TRUE(DrawPhase(&f.canvas, kMainBox,
                          ResponseData{.design = d, .Fs = 8000.0f, .symmetry = SymmetricOdd},
                          PlotStyle{.colour = kPhaseCurveColour, .curveFitting = true}));
    EXPECT_EQ(CountColour(f.canvas, kDot), 12);
    EXPECT_EQ(ColumnsWith(f.canvas, 167, kDot), Range(299, 302));

    // Fewer entries than the count says: only the stored ones are read.
    CFirDesign short_ = Spectrum({{1, 0}, {1, 0}});
    short_.pointCount = 4096;
    Fixture g;
    EXPECT_TRUE(DrawPhase(&g.canvas, kMainBox,
                          ResponseData{.design = short_, .Fs = 8000.0f, .symmetry = SymmetricOdd},
                          PlotStyle{.colour = kPhaseCurveColour, .curveFitting = true}));
}

}  // namespace
}  // namespace tapwright
