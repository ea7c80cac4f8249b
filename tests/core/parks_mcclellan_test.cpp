// The Parks-McClellan method through the design pipeline: the band table and its
// weights in, the design, its write-back and its messages out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/design_measure.h"
#include "core/design_pipeline.h"

namespace tapwright {
namespace {

FilterSpec PmSpec(ResponseType type, SymmetryType symmetry, int taps,
                  std::initializer_list<BandSpec> bands) {
    FilterSpec spec = DefaultFilterSpec();
    spec.WType = ParksMcClellan;
    spec.FType = type;
    spec.FChar = symmetry;
    spec.Fs = 8000.0f;
    spec.Taps = taps;
    spec.TBand = static_cast<int>(bands.size());
    std::copy(bands.begin(), bands.end(), spec.Bands.begin());
    return spec;
}

DesignOutcome DesignPm(const FilterSpec& spec, const CFirDesign& previous = {},
                       const CancelToken* cancel = nullptr, ProgressSink* progress = nullptr) {
    DesignRequest request = RequestFromSpec(spec);
    request.previous = previous;
    return Design(std::move(request), cancel, progress);
}

DesignMeasurements Measure(const DesignOutcome& out) {
    DesignMeasurements m;
    std::string error;
    EXPECT_TRUE(MeasureDesign(out.spec, out.design, 0, m, &error)) << error;
    return m;
}

// Every response type: the taps have the characteristic's symmetry, the response
// lies over 0 ... Fs/2, and the weighted errors of the bands are level (the
// minimax optimum equalizes them, so a weight that is ignored shows at once).
TEST(ParksMcClellan, DesignsEveryResponseTypeWithItsWeights) {
    struct Row {
        const char* name;
        FilterSpec spec;
    };
    const Row rows[] = {
        {"low pass, stop band weighted 10",
         PmSpec(LowPass, SymmetricOdd, 41, {{0, 1200, 1, 1}, {1600, 4000, 0, 10}})},
        {"low pass, even length",
         PmSpec(LowPass, SymmetricEven, 40, {{0, 1200, 1, 1}, {1600, 4000, 0, 1}})},
        {"high pass, pass band weighted 4",
         PmSpec(HighPass, SymmetricOdd, 41, {{0, 2000, 0, 1}, {2500, 4000, 1, 4}})},
        {"band pass", PmSpec(BandPass, SymmetricOdd, 51,
                             {{0, 800, 0, 3}, {1200, 2400, 1, 1}, {2800, 4000, 0, 3}})},
        {"band stop", PmSpec(BandStop, SymmetricOdd, 51,
                             {{0, 1000, 1, 1}, {1400, 2200, 0, 0.5}, {2600, 4000, 1, 1}})},
        {"multiband, four bands",
         PmSpec(Multiband, SymmetricOdd, 61,
                {{0, 600, 1, 1}, {900, 1600, 0, 2}, {1900, 2600, 0.5, 1}, {2900, 4000, 0, 2}})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const DesignOutcome out = DesignPm(row.spec);
        ASSERT_EQ(out.status, DesignStatus::Designed);
        EXPECT_TRUE(out.notices.empty());
        EXPECT_FALSE(out.writesBack);
        const std::vector<double>& h = out.design.coeffs;
        const int N = row.spec.Taps;
        ASSERT_EQ(static_cast<int>(h.size()), N);
        for (int k = 0; k < N; ++k) ASSERT_EQ(h[k], h[N - 1 - k]) << k;
        EXPECT_GE(out.design.pointCount, 8192);
        EXPECT_EQ(out.design.magnitudeDb.size(), static_cast<size_t>(out.design.pointCount));

        const DesignMeasurements m = Measure(out);
        ASSERT_EQ(m.full.bands.size(), static_cast<size_t>(row.spec.TBand));
        double lo = 1e300, hi = 0.0;
        for (const BandMeasurement& b : m.full.bands) {
            const double weighted = b.largestError * row.spec.Bands[b.band.number - 1].Weight;
            lo = std::min(lo, weighted);
            hi = std::max(hi, weighted);
        }
        EXPECT_LT(hi / lo, 1.01) << lo << " ... " << hi;
    }
}

// The differentiator's bands rise through 0 Hz to their amplitude at the upper
// edge; a Hilbert transformer is the multiband type with an antisymmetric
// characteristic. Both come out antisymmetric, close to what they aim at.
TEST(ParksMcClellan, DifferentiatorAndHilbertTransformer) {
    const FilterSpec differentiator =
        PmSpec(Differentiator, AntisymmetricEven, 32, {{0, 3000, 1.5, 1}, {3500, 4000, 0, 1}});
    const FilterSpec hilbert = PmSpec(Multiband, AntisymmetricOdd, 41, {{400, 3600, 1, 1}});
    for (const FilterSpec& spec : {differentiator, hilbert}) {
        const DesignOutcome out = DesignPm(spec);
        ASSERT_EQ(out.status, DesignStatus::Designed) << spec.FType;
        const std::vector<double>& h = out.design.coeffs;
        for (size_t k = 0; k < h.size(); ++k) ASSERT_EQ(h[k], -h[h.size() - 1 - k]) << k;
        const DesignMeasurements m = Measure(out);
        const BandMeasurement& first = m.full.bands.front();
        EXPECT_EQ(first.band.kind, spec.FType == Differentiator ? BandKind::Slope : BandKind::Pass);
        // 1.5 at 3000 Hz: 0.5 per kHz; a unit Hilbert gain within 1 %.
        if (spec.FType == Differentiator) {
            EXPECT_DOUBLE_EQ(first.band.slope, 1.5 / 3000.0);
        }
        EXPECT_LT(first.largestError, spec.FType == Differentiator ? 0.02 : 0.01);
    }
}

// "Auto Design Filter" unchecked: the shortest length that meets PBrip (dB peak to
// peak) and -SBrip (dB) is written back with its characteristic, the design meets
// both figures, and the next shorter length the method allows does not.
TEST(ParksMcClellan, ShortestLengthIsWrittenBackAndNoShorterMeetsTheFigures) {
    const FilterSpec lowPass =
        PmSpec(LowPass, SymmetricOdd, 31, {{0, 9600, 1, 1}, {12000, 24000, 0, 1}});
    FilterSpec bandStop = PmSpec(BandStop, SymmetricOdd, 31,
                                 {{0, 1000, 1, 1}, {1300, 2000, 0, 1}, {2300, 4000, 1, 1}});
    for (FilterSpec spec : {lowPass, bandStop}) {
        if (spec.FType == LowPass) spec.Fs = 48000.0f;
        spec.AutoD = 0;
        spec.PBrip = spec.FType == LowPass ? 0.1 : 0.5;
        spec.SBrip = spec.FType == LowPass ? -80.0 : -50.0;
        SCOPED_TRACE(spec.FType);
        const DesignOutcome out = DesignPm(spec);
        ASSERT_EQ(out.status, DesignStatus::Designed);
        ASSERT_TRUE(out.writesBack);
        const int N = out.spec.Taps;
        EXPECT_EQ(static_cast<int>(out.design.coeffs.size()), N);
        EXPECT_EQ(out.spec.FChar, N % 2 ? SymmetricOdd : SymmetricEven);
        if (spec.FType == BandStop) {
            EXPECT_EQ(N % 2, 1);
        }
        const DesignMeasurements m = Measure(out);
        const SpecCompliance c = ComplianceOf(m, m.full);
        EXPECT_TRUE(c.asked);
        EXPECT_TRUE(c.meets) << c.rippleDb << " dB, " << c.attenuationDb << " dB";

        // One step shorter, designed at a given length with the weights the
        // figures imply, misses them.
        FilterSpec shorter = out.spec;
        shorter.AutoD = 1;
        shorter.Taps = N - (spec.FType == LowPass ? 1 : 2);
        shorter.FChar = shorter.Taps % 2 ? SymmetricOdd : SymmetricEven;
        const double g = std::pow(10.0, spec.PBrip / 20.0);
        const double dp = (g - 1) / (g + 1), ds = std::pow(10.0, spec.SBrip / 20.0);
        for (int i = 0; i < shorter.TBand; ++i)
            shorter.Bands[i].Weight = shorter.Bands[i].Amplitude > 0 ? 1 / dp : 1 / ds;
        const DesignOutcome near = DesignPm(shorter);
        ASSERT_EQ(near.status, DesignStatus::Designed);
        const DesignMeasurements mn = Measure(near);
        EXPECT_FALSE(ComplianceOf(mn, mn.full).meets) << shorter.Taps;
    }
}

// What cannot be designed says so with its numbered message and keeps the design
// on screen; a cancelled design shows nothing.
TEST(ParksMcClellan, FailuresKeepThePreviousDesign) {
    const DesignOutcome good =
        DesignPm(PmSpec(LowPass, SymmetricOdd, 31, {{0, 1000, 1, 1}, {1500, 4000, 0, 1}}));
    ASSERT_EQ(good.status, DesignStatus::Designed);
    struct Row {
        const char* name;
        FilterSpec spec;
        DesignStatus status;
        MessageCode code;
        const char* text;
    };
    FilterSpec noFigures = PmSpec(LowPass, SymmetricOdd, 31, {{0, 1000, 1, 1}, {1500, 4000, 0, 1}});
    noFigures.AutoD = 0;
    const Row rows[] = {
        // A 0.4 Fs wide transition at 151 taps: a deviation near 1e-20, beyond
        // what the arithmetic resolves.
        {"unsolvable", PmSpec(LowPass, SymmetricOdd, 151, {{0, 400, 1, 1}, {3600, 4000, 0, 1}}),
         DesignStatus::NotConverged, MessageCode::MinimaxNotConverged,
         "The Parks-McClellan design failed: The minimax design did not converge"},
        {"gain at the zero of an even symmetric length",
         PmSpec(Multiband, SymmetricEven, 30, {{0, 1000, 0, 1}, {1500, 4000, 1, 1}}),
         DesignStatus::Refused, MessageCode::MinimaxRefused,
         "The Parks-McClellan design cannot be made: An even-length symmetric filter has a "
         "zero at Fs/2"},
        {"touching bands", PmSpec(LowPass, SymmetricOdd, 31, {{0, 1000, 1, 1}, {1000, 4000, 0, 1}}),
         DesignStatus::Refused, MessageCode::MinimaxRefused, "Bands 1 and 2 overlap or touch"},
        {"shortest length without figures", noFigures, DesignStatus::Refused,
         MessageCode::MinimaxRefused, "stop band attenuation below 0 dB"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const DesignOutcome out = DesignPm(row.spec, good.design);
        EXPECT_TRUE(out.checked);
        EXPECT_EQ(out.status, row.status);
        ASSERT_EQ(out.notices.size(), 1u);
        EXPECT_EQ(out.notices[0].code, row.code);
        EXPECT_NE(out.notices[0].Text().find(row.text), std::string::npos) << out.notices[0].Text();
        EXPECT_EQ(out.design.coeffs, good.design.coeffs);
        EXPECT_FALSE(out.writesBack);
    }

    CancelToken cancel{true};
    const DesignOutcome cancelled =
        DesignPm(PmSpec(LowPass, SymmetricOdd, 2001, {{0, 1000, 1, 1}, {1010, 4000, 0, 1}}),
                 good.design, &cancel);
    EXPECT_EQ(cancelled.status, DesignStatus::Cancelled);
    EXPECT_TRUE(cancelled.notices.empty());
    EXPECT_EQ(cancelled.design.coeffs, good.design.coeffs);
}

// The progress texts: shown while the design runs, repainted as it reports, and
// all hidden at the end.
TEST(ParksMcClellan, ProgressTextsAreShownAndHidden) {
    struct Sink : ProgressSink {
        int visible[kProgressTextCount] = {};
        int repaints = 0;
        int shownAtOnce = 0;
        bool lastStageShown = false;
        void SetProgressVisible(ProgressText t, bool v) override {
            visible[static_cast<int>(t)] = v;
            if (v && t == ProgressText::ThreeQuarters) lastStageShown = true;
            int n = 0;
            for (int x : visible) n += x;
            shownAtOnce = std::max(shownAtOnce, n);
        }
        void RepaintProgress(ProgressText) override { ++repaints; }
    } sink;
    const DesignOutcome out =
        DesignPm(PmSpec(LowPass, SymmetricOdd, 301, {{0, 1000, 1, 1}, {1100, 4000, 0, 1}}), {},
                 nullptr, &sink);
    ASSERT_EQ(out.status, DesignStatus::Designed);
    EXPECT_TRUE(sink.lastStageShown);  // the design reports its end
    EXPECT_GT(sink.repaints, kProgressTextCount + 1);
    EXPECT_EQ(sink.shownAtOnce, 1);
    for (int v : sink.visible) EXPECT_EQ(v, 0);
}

}  // namespace
}  // namespace tapwright
