#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <complex>
#include <limits>

#include "core/design_constants.h"
#include "core/design_pipeline.h"
#include "core/fir_design.h"

namespace tapwright {
namespace {

// Records the progress texts of a design in order.
struct ProgressRecord : ProgressSink {
    enum Kind { Show, Hide, Repaint };
    struct Event {
        ProgressText text;
        Kind kind;
    };
    std::vector<Event> progress;
    void SetProgressVisible(ProgressText text, bool visible) override {
        progress.push_back({text, visible ? Show : Hide});
    }
    void RepaintProgress(ProgressText text) override { progress.push_back({text, Repaint}); }
};

struct Bands {
    BandSpec rows[kMaxBands];
    int count = 0;

    Bands& Add(double lo, double hi, double amplitude) {
        rows[count++] = {lo, hi, amplitude};
        return *this;
    }
};

// A negative ratio target designs by iterations; 0 or more stops on the peak ratio.
// Returns the solves done, -1 when singular, -2 when refused.
int Design(CFirDesign& d, ResponseType type, const Bands& b, int taps, SymmetryType symmetry,
           int iterations, double ratioTarget, ProgressSink* sink = nullptr) {
    const EquirippleRequest request{.responseType = type,
                                    .bands = b.rows,
                                    .bandCount = b.count,
                                    .Fs = 8000.0f,
                                    .taps = taps,
                                    .symmetry = symmetry,
                                    .termination = ratioTarget < 0.0 ? ByIterations : ByPeakRatio,
                                    .iterations = iterations,
                                    .ratioTarget = ratioTarget,
                                    .progress = sink};
    const DesignResult r = type == Differentiator ? d.DesignEquirippleDifferentiator(request)
                                                  : d.DesignEquiripple(request);
    if (r.status == DesignStatus::Singular) return -1;
    if (r.status == DesignStatus::Refused) return -2;
    EXPECT_EQ(r.length, taps);
    return r.solves;
}

Bands LowPassBands() {
    return Bands().Add(0, 1600, 1).Add(2000, 4000, 0);
}

// The amplitude the written taps realise at w radians per sample, with the linear
// phase of the centre removed: the real part for symmetric taps, the imaginary part
// for antisymmetric ones.
double TapAmplitude(const std::vector<double>& h, double w, bool anti) {
    const double centre = 0.5 * static_cast<double>(h.size() - 1);
    std::complex<double> sum = 0.0;
    for (std::size_t j = 0; j < h.size(); ++j) {
        sum += h[j] * std::polar(1.0, -w * (static_cast<double>(j) - centre));
    }
    return anti ? sum.imag() : sum.real();
}

// The response shown is the response of the taps written, sign included, for every
// characteristic and both parities.
TEST(Equiripple, WrittenTapsRealiseTheShownResponse) {
    struct Case {
        ResponseType type;
        SymmetryType symmetry;
        int taps;
        Bands bands;
    };
    const Case cases[] = {
        {LowPass, SymmetricOdd, 31, LowPassBands()},
        {LowPass, SymmetricEven, 30, LowPassBands()},
        {BandPass, AntisymmetricOdd, 31,
         Bands().Add(0, 800, 0).Add(1200, 2800, 1).Add(3200, 4000, 0)},
        {HighPass, AntisymmetricEven, 30, Bands().Add(0, 1600, 0).Add(2000, 4000, 1)},
        {Multiband, SymmetricOdd, 41,
         Bands().Add(0, 700, 1).Add(1000, 1700, 0).Add(2000, 2800, 1).Add(3100, 4000, 0)},
    };
    for (const Case& c : cases) {
        CFirDesign d;
        ASSERT_EQ(Design(d, c.type, c.bands, c.taps, c.symmetry, 5, -1.0), 5) << c.symmetry;
        ASSERT_EQ(static_cast<int>(d.coeffs.size()), c.taps);
        const int G = 32 * c.taps + 1;
        ASSERT_EQ(d.pointCount, G);
        const bool anti = c.symmetry == AntisymmetricOdd || c.symmetry == AntisymmetricEven;
        for (int i = 0; i < c.taps; ++i) {
            EXPECT_NEAR(d.coeffs[c.taps - 1 - i], (anti ? -1 : 1) * d.coeffs[i], 1e-15);
        }
        for (int t = 1; t < G - 1; t += 7) {
            const double w = kTwoPi * (t * (0.5 / G));
            EXPECT_NEAR(TapAmplitude(d.coeffs, w, anti), d.spectrum[t].real(), 1e-9)
                << "symmetry " << c.symmetry << " point " << t;
        }
        // The design does what it was asked: pass bands near 1, stop bands near 0.
        for (int j = 0; j < c.bands.count; ++j) {
            const double mid = (c.bands.rows[j].Lower + c.bands.rows[j].Upper) / 2 / 8000.0;
            const int t = static_cast<int>(mid / (0.5 / G));
            EXPECT_NEAR(d.magnitude[t], c.bands.rows[j].Amplitude, 0.1)
                << c.symmetry << " band " << j;
        }
    }
}

TEST(Equiripple, ZeroIterationsGiveThePlainLeastSquaresSolution) {
    CFirDesign d;
    ProgressRecord host;
    EXPECT_EQ(Design(d, LowPass, LowPassBands(), 31, SymmetricOdd, 0, -1.0, &host), 0);
    // The first text is shown at once and everything is hidden at the end.
    ASSERT_FALSE(host.progress.empty());
    EXPECT_EQ(host.progress.front().text, ProgressText::Processing);
    EXPECT_EQ(host.progress.front().kind, ProgressRecord::Show);
    int hides = 0;
    for (const auto& e : host.progress) hides += e.kind == ProgressRecord::Hide;
    EXPECT_EQ(hides, 4);
    EXPECT_EQ(d.bandCount, 2);
    EXPECT_DOUBLE_EQ(d.bandEdges[1].first, 0.25);
    EXPECT_DOUBLE_EQ(d.bandGains[0], 1.0);
}

// By the peak ratio: the solves done, a ratio at or below the target, and the
// coefficients of the solution whose errors met the test (the same as asking for
// that many iterations). A target of 0 runs all 40 solves and never tests the ratio.
TEST(Equiripple, StoppingRules) {
    const Bands slope = Bands().Add(0, 200, 0).Add(200, 3000, 1).Add(3400, 4000, 0);
    struct Case {
        const char* name;
        ResponseType type;
        Bands bands;
        int taps;
        SymmetryType symmetry;
        double target;
        int solves;
    };
    const Case cases[] = {
        {"a target of 0", LowPass, LowPassBands(), 21, SymmetricOdd, 0.0, 40},
        {"a reachable target", LowPass, LowPassBands(), 21, SymmetricOdd, 1e-3, 6},
        {"a target met at the first check", LowPass, LowPassBands(), 21, SymmetricOdd, 1.0, 1},
        {"a quotient of peaks", Differentiator, slope, 24, AntisymmetricEven, 1.01, 5},
        {"a quotient met at the first check", Differentiator, slope, 20, AntisymmetricEven, 1e6, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFirDesign byRatio;
        byRatio.rippleRatio = 123.0;
        const int solves = Design(byRatio, c.type, c.bands, c.taps, c.symmetry, 3, c.target);
        EXPECT_EQ(solves, c.solves);
        if (c.target > 0.0) {
            EXPECT_LE(byRatio.rippleRatio, c.target);
        } else {
            EXPECT_EQ(byRatio.rippleRatio, 123.0);
        }
        CFirDesign byCount;
        EXPECT_EQ(Design(byCount, c.type, c.bands, c.taps, c.symmetry, solves, -1.0), solves);
        EXPECT_EQ(byRatio.coeffs, byCount.coeffs);
    }
}

TEST(Equiripple, ProgressTextsChangeAtQuarters) {
    auto changesAfter = [](int iterations) {
        CFirDesign d;
        ProgressRecord host;
        Design(d, LowPass, LowPassBands(), 11, SymmetricOdd, iterations, -1.0, &host);
        // Each solve ends with a repaint of " Processing ......... "; the start and
        // every change that hides that text repaint it once more.
        std::vector<std::pair<int, ProgressText>> shown;
        int repaints = 0, hides = 0;
        using E = ProgressRecord;
        for (const auto& ev : host.progress) {
            if (ev.text == ProgressText::Processing && ev.kind == E::Repaint) ++repaints;
            if (ev.text == ProgressText::Processing && ev.kind == E::Hide) ++hides;
            if (ev.kind == E::Show && ev.text != ProgressText::Processing) {
                shown.push_back({repaints - hides, ev.text});
            }
        }
        return shown;
    };
    using P = ProgressText;
    const std::pair<int, std::vector<std::pair<int, ProgressText>>> cases[] = {
        {5, {{1, P::Quarter}, {2, P::Half}, {3, P::ThreeQuarters}}},
        {40, {{10, P::Quarter}, {20, P::Half}, {30, P::ThreeQuarters}}},
        {3, {{1, P::Quarter}, {2, P::ThreeQuarters}}},
        {2, {{1, P::Half}, {2, P::Half}}},
        {1, {}},
    };
    for (const auto& [iterations, shown] : cases) {
        EXPECT_EQ(changesAfter(iterations), shown) << iterations << " iterations";
    }
}

TEST(Equiripple, BandRowsBeyondTheCountAreNeverRead) {
    Bands clean = LowPassBands();
    Bands dirty = LowPassBands();
    for (int j = 2; j < kMaxBands; ++j) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        dirty.rows[j] = {nan, -1e300, nan};
    }
    CFirDesign a, b;
    ASSERT_EQ(Design(a, LowPass, clean, 25, SymmetricOdd, 10, -1.0), 10);
    ASSERT_EQ(Design(b, LowPass, dirty, 25, SymmetricOdd, 10, -1.0), 10);
    EXPECT_EQ(a.coeffs, b.coeffs);
}

TEST(Equiripple, ZeroEnvelopeLeavesWeightsAndNoNaN) {
    // A single stop band: the least-squares solution is exactly 0, every error is 0,
    // and the reweighting must not divide by zero.
    CFirDesign d;
    const Bands silent = Bands().Add(0, 4000, 0);
    ASSERT_EQ(Design(d, Multiband, silent, 15, SymmetricOdd, 5, -1.0), 5);
    for (double h : d.coeffs) EXPECT_EQ(h, 0.0);
    EXPECT_EQ(d.stopEdge, 4000.0);  // one band: both edge markers at its upper edge
    // An exact fit inside a band (amplitude 1 everywhere) likewise stays finite.
    CFirDesign flat;
    ASSERT_EQ(Design(flat, Multiband, Bands().Add(0, 4000, 1), 15, SymmetricOdd, 5, -1.0), 5);
    for (double h : flat.coeffs) EXPECT_TRUE(std::isfinite(h));
    EXPECT_NEAR(flat.coeffs[7], 1.0, 1e-9);
}

// The pass and stop band index ranges of 11-tap low and high passes (G = 353 grid
// points, b = trunc(first band's upper edge / df)): the pass band ends at b + 1 (low
// pass) or starts there (high pass); the far end is the constraint count L, or
// trunc(w) + L - 10 for a gap w below 10 Hz, kept on the grid.
TEST(Equiripple, BandIndexFields) {
    struct Case {
        ResponseType type;
        Bands bands;
        int passBegin, passEnd, stopBegin, stopEnd;
    };
    const Case cases[] = {
        // b = 141, L = 141 + 177
        {LowPass, LowPassBands(), 0, 142, 143, 318},
        // b = 141, L = 141 + 212, w = 5
        {HighPass, Bands().Add(0, 1600, 0).Add(1605, 4000, 1), 142, 348, 0, 141},
        // b = 353 (the end of the grid), L = 353, w = 0
        {LowPass, Bands().Add(0, 4000, 1).Add(4000, 4000, 0), 0, 353, 353, 343},
    };
    for (const Case& c : cases) {
        CFirDesign d;
        ASSERT_EQ(Design(d, c.type, c.bands, 11, SymmetricOdd, 2, -1.0), 2);
        EXPECT_EQ(std::vector<int>({d.passBegin, d.passEnd, d.stopBegin, d.stopEnd}),
                  std::vector<int>({c.passBegin, c.passEnd, c.stopBegin, c.stopEnd}))
            << c.type;
        EXPECT_EQ(d.passEdge, c.bands.rows[0].Upper);
        EXPECT_EQ(d.stopEdge, c.bands.rows[1].Lower);
    }
}

TEST(Equiripple, SingularMatrixLeavesThePreviousDesign) {
    CFirDesign d;
    ASSERT_EQ(Design(d, LowPass, LowPassBands(), 21, SymmetricOdd, 2, -1.0), 2);
    const auto coeffs = d.coeffs;
    const auto db = d.magnitudeDb;
    // Bands without a single grid point: A^T A is all zeros.
    EXPECT_EQ(
        Design(d, LowPass, Bands().Add(0, 0, 1).Add(4000, 4000, 0), 31, SymmetricOdd, 2, -1.0), -1);
    EXPECT_EQ(d.coeffs, coeffs);
    EXPECT_EQ(d.magnitudeDb, db);
    EXPECT_EQ(d.length, 21);
}

TEST(Equiripple, ACancelledDesignStopsBeforeTheNextSolveAndChangesNothing) {
    // Raises the cancel flag once the first reweighted solve is done, as Escape
    // would from the window, and counts the solves reported.
    struct Canceller : ProgressSink {
        std::atomic<bool> cancel{false};
        int repaints = 0;  // of " Processing ......... ": the start, one per solve, the end
        void SetProgressVisible(ProgressText, bool) override {}
        void RepaintProgress(ProgressText text) override {
            if (text == ProgressText::Processing && ++repaints == 2) cancel = true;
        }
    };
    for (const ResponseType type : {LowPass, Differentiator}) {
        CFirDesign d;
        ASSERT_EQ(Design(d, LowPass, LowPassBands(), 21, SymmetricOdd, 2, -1.0), 2);
        const CFirDesign before = d;
        Canceller sink;
        const Bands bands = type == LowPass
                                ? LowPassBands()
                                : Bands().Add(0, 200, 0).Add(400, 3000, 1).Add(3400, 4000, 0);
        EquirippleRequest request{.responseType = type,
                                  .bands = bands.rows,
                                  .bandCount = bands.count,
                                  .Fs = 8000.0f,
                                  .taps = type == LowPass ? 101 : 100,
                                  .symmetry = type == LowPass ? SymmetricOdd : AntisymmetricEven,
                                  .iterations = 10000,
                                  .progress = &sink,
                                  .cancel = &sink.cancel};
        const DesignResult r = type == LowPass ? d.DesignEquiripple(request)
                                               : d.DesignEquirippleDifferentiator(request);
        EXPECT_EQ(r.status, DesignStatus::Cancelled);
        EXPECT_EQ(sink.repaints, 3);  // start, the first solve, the end: no solve after
        EXPECT_EQ(d.coeffs, before.coeffs);
        EXPECT_EQ(d.magnitudeDb, before.magnitudeDb);
        EXPECT_EQ(d.length, before.length);
        EXPECT_EQ(d.bandCount, before.bandCount);
        EXPECT_EQ(d.rippleRatio, before.rippleRatio);

        // Through the pipeline: nothing asked of the window, the design still invalid.
        FilterSpec spec = DefaultFilterSpec();
        spec.WType = Equiripple;
        spec.Itern = 10000;
        DesignRequest pipeline = RequestFromSpec(spec);
        pipeline.previous = d;
        const DesignOutcome run = tapwright::Design(pipeline, &sink.cancel);
        EXPECT_EQ(run.status, DesignStatus::Cancelled);
        EXPECT_TRUE(run.notices.empty());
        EXPECT_FALSE(run.writesBack);
        EXPECT_EQ(run.design.coeffs, before.coeffs);
    }
}

TEST(Equiripple, RefusesLengthsItCannotPlace) {
    CFirDesign d;
    EXPECT_EQ(Design(d, LowPass, LowPassBands(), 30, SymmetricOdd, 1, -1.0), -2);
    EXPECT_EQ(Design(d, LowPass, LowPassBands(), 31, SymmetricEven, 1, -1.0), -2);
    EXPECT_EQ(Design(d, LowPass, LowPassBands(), kMaxEquirippleTaps + 2, SymmetricOdd, 1, -1.0),
              -2);
    // A table shorter than the rows a design reads: the differentiator reads three.
    const BandSpec two[2] = {{0, 1000, 0}, {1000, 4000, 1}};
    EquirippleRequest request{
        .bands = two, .bandCount = 2, .Fs = 8000.0f, .taps = 20, .symmetry = AntisymmetricEven};
    EXPECT_EQ(d.DesignEquirippleDifferentiator(request).status, DesignStatus::Refused);
    request.bandCount = 3;
    EXPECT_EQ(d.DesignEquiripple(request).status, DesignStatus::Refused);
    EXPECT_EQ(d.length, 0);
    EXPECT_TRUE(d.coeffs.empty());
}

TEST(Equiripple, DifferentiatorRisesAcrossItsSlope) {
    CFirDesign d;
    const Bands db = Bands().Add(0, 0, 0).Add(0, 3000, 1).Add(3400, 4000, 0);
    ASSERT_EQ(Design(d, Differentiator, db, 30, AntisymmetricEven, 5, -1.0), 5);
    const int G = 32 * 30 + 1;
    ASSERT_EQ(d.pointCount, G);
    // Forced zero at frequency 0 (floor 1e-7), then a rising amplitude.
    EXPECT_EQ(d.magnitude[0], 0.0);
    EXPECT_DOUBLE_EQ(d.magnitudeDb[0], -140.0);
    const double df = 0.5 / G;
    const int quarter = static_cast<int>(0.09375 / df);       // 750 Hz
    const int threeQuarter = static_cast<int>(0.28125 / df);  // 2250 Hz
    EXPECT_NEAR(d.magnitude[quarter], 0.25, 0.05);
    EXPECT_NEAR(d.magnitude[threeQuarter], 0.75, 0.05);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(d.coeffs[29 - i], -d.coeffs[i]);

    // A third band that starts at the last grid step but one (G - 1 = 960, at 3995.84
    // Hz) aims at the slope's end amplitude: its own amplitude does not matter there.
    auto top = [](double lower, double amplitude) {
        CFirDesign t;
        EXPECT_EQ(Design(t, Differentiator,
                         Bands().Add(0, 0, 0).Add(0, 3000, 1).Add(lower, 4000, amplitude), 30,
                         AntisymmetricEven, 3, -1.0),
                  3);
        return t.coeffs;
    };
    EXPECT_EQ(top(3998.0, 0.0), top(3998.0, 0.5));
    EXPECT_NE(top(3990.0, 0.0), top(3990.0, 0.5));
}

}  // namespace
}  // namespace tapwright
