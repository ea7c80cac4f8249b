#include "core/filter_spec.h"

#include <gtest/gtest.h>

namespace tapwright {
namespace {

TEST(FilterSpec, FreshStart) {
    const FilterSpec s = DefaultFilterSpec();
    EXPECT_EQ(s.Fs, 8000.0f);
    EXPECT_EQ(s.FType, LowPass);
    EXPECT_EQ(s.WType, Rectangular);
    EXPECT_EQ(s.FChar, SymmetricOdd);
    EXPECT_EQ(s.Taps, 31);
    EXPECT_EQ(s.Tw, 1.0f);
    EXPECT_EQ(s.Fc1, 0.0f);
    EXPECT_EQ(s.Fc2, 0.0f);
    EXPECT_EQ(s.FFT, 512);
    EXPECT_EQ(s.PBrip, 0.0);
    EXPECT_EQ(s.SBrip, 0.0);
    EXPECT_EQ(s.Beta, 4.0);
    EXPECT_EQ(s.AutoD, 1);
    EXPECT_EQ(s.TerCr, ByIterations);
    EXPECT_EQ(s.Itern, 0);
    EXPECT_EQ(s.Ratio, 0.0);
    EXPECT_EQ(s.RatioTarget, -1.0);
    EXPECT_EQ(s.TBand, 2);
    EXPECT_EQ(s.Bands[0].Lower, 0.0);
    EXPECT_EQ(s.Bands[0].Upper, 0.0);
    EXPECT_EQ(s.Bands[0].Amplitude, 1.0);
    EXPECT_EQ(s.Bands[1].Lower, 0.0);
    EXPECT_EQ(s.Bands[1].Upper, 4000.0);
    EXPECT_EQ(s.Bands[1].Amplitude, 0.0);
}

TEST(FilterSpec, FftSizes) {
    const int sizes[] = {8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(FftSizeFromIndex(i), sizes[i]);
        EXPECT_EQ(FftIndexFromSize(sizes[i]), i);
        EXPECT_EQ(FftSizeText(i), std::to_string(sizes[i]));
    }
    EXPECT_EQ(FftSizeFromIndex(-1), 0);
    EXPECT_EQ(FftSizeFromIndex(10), 0);
    EXPECT_EQ(FftIndexFromSize(500), -1);
}

TEST(FilterSpec, ResetBands) {
    struct Case {
        ResponseType type;
        int bands;
        double first;
    };
    const Case cases[] = {{BandStop, 3, 1.0},
                          {LowPass, 2, 1.0},
                          {HighPass, 4, 0.0},
                          {Multiband, 10, 0.0},
                          {BandPass, 1, 0.0}};
    for (const Case& c : cases) {
        FilterSpec s;
        s.FType = c.type;
        s.TBand = c.bands;
        s.Fs = 10000.0f;
        for (auto& b : s.Bands) b = {1.0, 2.0, 3.0};
        ResetBands(s);
        for (int i = 0; i < c.bands; ++i) {
            EXPECT_EQ(s.Bands[i].Lower, 0.0);
            EXPECT_EQ(s.Bands[i].Upper, i == c.bands - 1 ? 5000.0 : 0.0);
            EXPECT_EQ(s.Bands[i].Amplitude, i % 2 == 0 ? c.first : 1.0 - c.first);
        }
        for (int i = c.bands; i < kMaxBands; ++i) EXPECT_EQ(s.Bands[i].Upper, 2.0);
    }
    FilterSpec tooMany;
    tooMany.TBand = 11;
    ResetBands(tooMany);
    EXPECT_EQ(tooMany.TBand, kMaxBands);
}

TEST(FilterSpec, ComboTexts) {
    EXPECT_EQ(ResponseTypeText(Hilbert, false), "Hilbert Transform");
    EXPECT_EQ(ResponseTypeText(Multiband, true), "Multiband");
    EXPECT_EQ(ResponseTypeText(BandStop, true), "Band Stop");
    EXPECT_EQ(DesignMethodText(Blackman), "Blackmann");
    EXPECT_EQ(SymmetryTypeText(AntisymmetricEven), "Asymmetrical, Even Filter Length");
    EXPECT_EQ(GraphTypeText(Phase), "PHASE RESPONSE");
    EXPECT_EQ(ViewModeText(SpecifiedRange), "SPECIFY FREQ RANGE");
    EXPECT_EQ(TerminationText(ByPeakRatio), "Peak Error Ratio");
    EXPECT_EQ(DesignMethodText(static_cast<DesignMethod>(6)), "");
}

}  // namespace
}  // namespace tapwright
