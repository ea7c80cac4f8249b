#include "core/spec_rules.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tapwright {
namespace {

// What choosing a response type offers: the characteristics in list order, the band
// count (from 7) and the "Auto Design Filter" box.
TEST(SpecRules, WhatEachResponseTypeOffers) {
    struct Case {
        ResponseType type;
        bool equiripple;
        int bands;
        bool autoDesign;
        std::vector<SymmetryType> symmetries;
    };
    const Case cases[] = {
        {LowPass, false, 2, true, {SymmetricOdd, SymmetricEven}},
        {HighPass, true, 2, true, {SymmetricOdd, AntisymmetricEven}},
        {BandPass, false, 3, true, {SymmetricOdd, SymmetricEven, AntisymmetricOdd}},
        {BandStop, false, 3, true, {SymmetricOdd}},
        {Differentiator, true, 3, false, {AntisymmetricEven}},
        {Hilbert, false, 7, false, {AntisymmetricOdd}},
        {Multiband,
         true,
         2,
         false,
         {SymmetricOdd, SymmetricEven, AntisymmetricOdd, AntisymmetricEven}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AllowedSymmetries(c.type, c.equiripple), c.symmetries) << c.type;
        EXPECT_EQ(BandCountForResponse(c.type, c.equiripple, 7), c.bands) << c.type;
        EXPECT_EQ(AutoDesignAvailable(c.type), c.autoDesign) << c.type;
    }
}

TEST(SpecRules, LowAndHighPassFollowTheLength) {
    const std::tuple<ResponseType, int, SymmetryType, SymmetryType> cases[] = {
        {HighPass, 30, SymmetricOdd, AntisymmetricEven},
        {HighPass, 31, AntisymmetricEven, SymmetricOdd},
        {LowPass, 30, SymmetricOdd, SymmetricEven},
        {BandPass, 30, AntisymmetricOdd, AntisymmetricOdd},
    };
    for (const auto& [type, taps, current, expected] : cases) {
        EXPECT_EQ(SymmetryForLength(type, taps, current), expected) << type << "/" << taps;
    }
    // The list item chosen: the first while the length is not given, low and high pass
    // by the length, else the selected item (clamped to the list).
    const std::tuple<ResponseType, bool, bool, int, SymmetryType> selections[] = {
        {BandPass, true, false, 2, SymmetricOdd},     {BandPass, false, false, 1, SymmetricOdd},
        {BandPass, false, true, 1, SymmetricEven},    {BandPass, true, true, 9, AntisymmetricOdd},
        {HighPass, true, true, 0, AntisymmetricEven}, {Multiband, true, true, 3, AntisymmetricEven},
    };
    for (const auto& [type, equiripple, given, item, expected] : selections) {
        EXPECT_EQ(SymmetryForSelection(type, equiripple, given, 30, item), expected)
            << type << "/" << equiripple << "/" << given << "/" << item;
    }
}

// What a loaded file ends up designing with.
TEST(SpecRules, SettleLoadedSpec) {
    struct Case {
        ResponseType type;
        DesignMethod method;
        int autoD, taps, fileChar, expected;  // FChar values as the file holds them
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
        FilterSpec s{.FType = c.type, .WType = c.method, .Taps = c.taps, .AutoD = c.autoD};
        SettleLoadedSpec(s, static_cast<SymmetryType>(c.fileChar));
        EXPECT_EQ(s.FChar, c.expected) << c.type << "/" << c.method << "/" << c.autoD;
    }
    FilterSpec hilbert{.FType = Hilbert,
                       .WType = Kaiser,
                       .Fs = 10000.0f,
                       .Fc1 = 100.0f,
                       .TerCr = ByPeakRatio,
                       .Ratio = 0.5};
    SettleLoadedSpec(hilbert, AntisymmetricOdd);
    EXPECT_EQ(hilbert.Fc1, 0.0f);
    EXPECT_EQ(hilbert.Fc2, 5000.0f);
    EXPECT_EQ(hilbert.RatioTarget, 0.5);
    // By iterations the target is -1, whatever the ratio.
    hilbert.TerCr = ByIterations;
    hilbert.RatioTarget = 0.5;
    SettleLoadedSpec(hilbert, AntisymmetricOdd);
    EXPECT_EQ(hilbert.RatioTarget, -1.0);
    // Multiband shares the value of Hilbert but keeps its cutoffs.
    FilterSpec multiband{
        .FType = Multiband, .WType = Equiripple, .Fs = 10000.0f, .Fc1 = 100.0f, .Fc2 = 200.0f};
    SettleLoadedSpec(multiband, SymmetricOdd);
    EXPECT_EQ(multiband.Fc1, 100.0f);
    EXPECT_EQ(multiband.Fc2, 200.0f);
}

}  // namespace
}  // namespace tapwright
