#include "core/word_length.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/design_support.h"

namespace tapwright {
namespace {

// The fixed-point form at B meets the targets: measured here, apart from the search.
bool MeetsAt(const FilterSpec& spec, const CFirDesign& design, const QuantizeOptions& choice, int B,
             const std::vector<WordLengthTarget>& targets) {
    QuantizeOptions o = choice;
    o.bits = B;
    QuantizedTaps q;
    if (!QuantizeTaps(design.coeffs, o, q)) return false;
    return MeetsTargets(MeasureTaps(q.Taps(), spec.Fs, spec.FType, MeasurementBands(spec)),
                        targets);
}

// The word length found meets every target and the one below it does not; the
// targets come from the spec where it sets them, else from the design less the margin.
TEST(WordLength, ShortestMeetsAndItsNeighbourBelowDoesNot) {
    struct Case {
        const char* name;
        double PBrip, SBrip, margin;
        Rounding rounding;
    };
    const Case cases[] = {
        {"own figures, 1 dB", 0.0, 0.0, 1.0, Rounding::Nearest},
        {"own figures, 0 dB, floor", 0.0, 0.0, 0.0, Rounding::Floor},
        {"spec figures", 0.5, -30.0, 1.0, Rounding::NearestEven},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FilterSpec spec = DefaultFilterSpec();
        spec.FType = LowPass;
        spec.WType = Equiripple;
        spec.Taps = 51;
        spec.TBand = 2;
        spec.Bands[0] = {0, 1600, 1};
        spec.Bands[1] = {2000, 4000, 0};
        spec.PBrip = c.PBrip;
        spec.SBrip = c.SBrip;
        CFirDesign design;
        test::DesignAsApply(spec, design);
        QuantizeOptions choice;
        choice.rounding = c.rounding;
        WordLengthResult r;
        ASSERT_TRUE(FindShortestWordLength(spec, design, choice, c.margin, r));
        ASSERT_TRUE(r.found) << FormatWordLengthResult(r);
        EXPECT_TRUE(MeetsAt(spec, design, choice, r.bits, r.targets));
        EXPECT_FALSE(MeetsAt(spec, design, choice, r.bits - 1, r.targets));
        EXPECT_EQ(r.measured.fixedPoint.bits, r.bits);
        EXPECT_EQ(r.measured.fixedPoint.rounding, c.rounding);

        ASSERT_EQ(r.targets.size(), 2u);
        const ResponseMeasurements& full = r.measured.full;
        EXPECT_EQ(r.targets[0].fromSpec, c.PBrip > 0);
        EXPECT_NEAR(r.targets[0].limit,
                    c.PBrip > 0 ? c.PBrip : full.bands[0].rippleDb * std::pow(10, c.margin / 20),
                    1e-12);
        EXPECT_EQ(r.targets[1].fromSpec, c.SBrip < 0);
        EXPECT_NEAR(r.targets[1].limit,
                    c.SBrip < 0 ? -c.SBrip : full.bands[1].attenuationDb - c.margin, 1e-12);
    }
}

}  // namespace
}  // namespace tapwright
