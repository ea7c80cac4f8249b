#include "core/spec_rules.h"

#include <gtest/gtest.h>

namespace tapwright {
namespace {

TEST(SpecRules, AllowedCharacteristics) {
    EXPECT_EQ(AllowedSymmetries(LowPass, false), (std::vector<int>{0, 1}));
    EXPECT_EQ(AllowedSymmetries(HighPass, true), (std::vector<int>{0, 3}));
    EXPECT_EQ(AllowedSymmetries(BandPass, false), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(AllowedSymmetries(BandStop, false), (std::vector<int>{0}));
    EXPECT_EQ(AllowedSymmetries(Differentiator, true), (std::vector<int>{3}));
    EXPECT_EQ(AllowedSymmetries(Hilbert, false), (std::vector<int>{2}));
    EXPECT_EQ(AllowedSymmetries(Multiband, true), (std::vector<int>{0, 1, 2, 3}));
}

TEST(SpecRules, LowAndHighPassFollowTheLength) {
    EXPECT_EQ(SymmetryForLength(HighPass, 30, 0), AntisymmetricEven);
    EXPECT_EQ(SymmetryForLength(HighPass, 31, 3), SymmetricOdd);
    EXPECT_EQ(SymmetryForLength(LowPass, 30, 0), SymmetricEven);
    EXPECT_EQ(SymmetryForLength(BandPass, 30, 2), 2);
}

TEST(SpecRules, BandCountsAndAutoDesign) {
    EXPECT_EQ(BandCountForResponse(LowPass, true, 7), 2);
    EXPECT_EQ(BandCountForResponse(BandPass, true, 7), 3);
    EXPECT_EQ(BandCountForResponse(Multiband, true, 7), 2);
    EXPECT_EQ(BandCountForResponse(Hilbert, false, 7), 7);
    EXPECT_TRUE(AutoDesignAvailable(BandStop));
    EXPECT_FALSE(AutoDesignAvailable(Differentiator));
    EXPECT_FALSE(AutoDesignAvailable(5));
}

// What a loaded file ends up designing with.
TEST(SpecRules, SettleLoadedSpec) {
    struct Case {
        int type, method, autoD, taps, fileChar, expected;
    };
    const Case cases[] = {
        {BandPass, Hamming, 1, 30, 1, 1},     // kept: the list offers it
        {BandPass, Hamming, 0, 30, 1, 0},     // Auto Design off: first item
        {BandStop, Hamming, 1, 31, 2, 0},     // not offered
        {LowPass, Rectangular, 1, 31, 1, 0},  // low pass follows the length
        {LowPass, Equiripple, 0, 30, 0, 1},        {HighPass, Equiripple, 1, 30, 0, 3},
        {Differentiator, Equiripple, 0, 30, 0, 3}, {Hilbert, Hamming, 1, 31, 0, 2},
        {Multiband, Equiripple, 1, 30, 3, 3},      {Multiband, Equiripple, 0, 30, 3, 0},
    };
    for (const Case& c : cases) {
        FilterSpec s;
        s.FType = c.type;
        s.WType = c.method;
        s.AutoD = c.autoD;
        s.Taps = c.taps;
        SettleLoadedSpec(s, c.fileChar);
        EXPECT_EQ(s.FChar, c.expected) << c.type << "/" << c.method << "/" << c.autoD;
    }
    FilterSpec hilbert;
    hilbert.FType = Hilbert;
    hilbert.WType = Kaiser;
    hilbert.Fs = 10000.0f;
    hilbert.Fc1 = 100.0f;
    hilbert.TerCr = ByPeakRatio;
    hilbert.Ratio = 0.5;
    SettleLoadedSpec(hilbert, 2);
    EXPECT_EQ(hilbert.Fc1, 0.0f);
    EXPECT_EQ(hilbert.Fc2, 5000.0f);
    EXPECT_EQ(hilbert.RatioTarget, 0.5);
}

}  // namespace
}  // namespace tapwright
