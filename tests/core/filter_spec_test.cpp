#include "core/filter_spec.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace tapwright {
namespace {

TEST(FilterSpec, FreshStart) {
    const FilterSpec s = DefaultFilterSpec();
    EXPECT_EQ(std::tuple(s.FChar, s.FType, s.WType, s.TerCr),
              std::tuple(SymmetricOdd, LowPass, Rectangular, ByIterations));
    EXPECT_EQ(std::tuple(s.Fs, s.Tw, s.Fc1, s.Fc2), std::tuple(8000.0f, 1.0f, 0.0f, 0.0f));
    EXPECT_EQ(std::tuple(s.FFT, s.Taps, s.AutoD, s.Itern, s.TBand), std::tuple(512, 31, 1, 0, 2));
    EXPECT_EQ(std::tuple(s.Beta, s.PBrip, s.SBrip, s.Ratio, s.RatioTarget),
              std::tuple(4.0, 0.0, 0.0, 0.0, -1.0));
    // Band 1 from 0 to 0 Hz at 1, band 2 from 0 to Fs/2 at 0.
    const BandSpec& a = s.Bands[0];
    const BandSpec& b = s.Bands[1];
    EXPECT_EQ(std::tuple(a.Lower, a.Upper, a.Amplitude, b.Lower, b.Upper, b.Amplitude),
              std::tuple(0.0, 0.0, 1.0, 0.0, 4000.0, 0.0));
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

// Every text of every list, in list order.
TEST(FilterSpec, ComboTexts) {
    auto texts = [](auto text, int count) {
        std::string all;
        for (int i = 0; i < count; ++i) all += std::string(text(i)) + "|";
        return all;
    };
    EXPECT_EQ(texts([](int i) { return ResponseTypeText(static_cast<ResponseType>(i), false); }, 6),
              "Low Pass|High Pass|Band Pass|Band Stop|Differentiator|Hilbert Transform|");
    EXPECT_EQ(ResponseTypeText(Multiband, true), "Multiband");
    EXPECT_EQ(ResponseTypeText(BandStop, true), "Band Stop");
    EXPECT_EQ(texts([](int i) { return DesignMethodText(static_cast<DesignMethod>(i)); }, 8),
              "Rectangular|Hanning|Hamming|Blackmann|Kaiser|Equiripple|Parks-McClellan||");
    EXPECT_EQ(texts([](int i) { return SymmetryTypeText(static_cast<SymmetryType>(i)); }, 4),
              "Symmetrical, Odd Filter Length|Symmetrical, Even Filter Length|Asymmetrical, Odd "
              "Filter Length|Asymmetrical, Even Filter Length|");
    EXPECT_EQ(texts([](int i) { return GraphTypeText(static_cast<GraphType>(i)); }, 3),
              "IMPULSE RESPONSE|MAGNITUDE RESPONSE|PHASE RESPONSE|");
    EXPECT_EQ(texts([](int i) { return ViewModeText(static_cast<ViewMode>(i)); }, 4),
              "FULL VIEW|PASSBAND VIEW|STOPBAND VIEW|SPECIFY FREQ RANGE|");
    EXPECT_EQ(texts([](int i) { return TerminationText(static_cast<TerminationCriterion>(i)); }, 2),
              "Iterations|Peak Error Ratio|");
}

}  // namespace
}  // namespace tapwright
