#include "core/design_measure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "core/matrix.h"
#include "tests/support/design_support.h"

namespace tapwright {
namespace {

// The reference: |H(f)| by a direct sum, f in Hz.
double Gain(const std::vector<double>& h, double f, double Fs) {
    const double pi = 3.141592653589793;
    double re = 0, im = 0;
    for (std::size_t n = 0; n < h.size(); ++n) {
        const double theta = 2 * pi * (f / Fs) * static_cast<double>(n);
        re += h[n] * std::cos(theta);
        im -= h[n] * std::sin(theta);
    }
    return std::sqrt(re * re + im * im);
}

double Db(double g) {
    return 20.0 * std::log10(g);
}

// The reference measurements on the test's own grid of 12000 steps over 0 ... Fs/2,
// with the band edges added and crossings found by bisection.
class Reference {
  public:
    static constexpr int kSteps = 12000;

    Reference(const std::vector<double>& h, double Fs) : h_(h), Fs_(Fs), gain_(kSteps + 1) {
        for (int k = 0; k <= kSteps; ++k) gain_[k] = Gain(h, Frequency(k), Fs);
    }
    double At(int k) const { return gain_[k]; }

    void Band(const MeasureBand& b, double& lo, double& hi, double& error) const {
        lo = INFINITY;
        hi = error = 0.0;
        auto take = [&](double f, double g) {
            lo = std::min(lo, g);
            hi = std::max(hi, g);
            error = std::max(error, std::fabs(g - (b.desired + b.slope * (f - b.origin))));
        };
        take(b.lower, Gain(h_, b.lower, Fs_));
        take(b.upper, Gain(h_, b.upper, Fs_));
        for (int k = 0; k <= kSteps; ++k) {
            if (Frequency(k) > b.lower && Frequency(k) < b.upper) take(Frequency(k), gain_[k]);
        }
    }

    // The first frequency from `from` (Hz) in direction `dir` where the gain falls
    // below `level` dB.
    double Crossing(double from, int dir, double level) const {
        int k = static_cast<int>(std::lround(from / Frequency(1)));
        while (Db(gain_[k]) >= level) {
            k += dir;
            if (k < 0 || k > kSteps) return NAN;
        }
        double a = Frequency(k - dir), b = Frequency(k);
        for (int i = 0; i < 60; ++i) {
            const double mid = 0.5 * (a + b);
            (Db(Gain(h_, mid, Fs_)) >= level ? a : b) = mid;
        }
        return 0.5 * (a + b);
    }

  private:
    double Frequency(int k) const { return k * 0.5 * Fs_ / kSteps; }

    const std::vector<double>& h_;
    double Fs_;
    std::vector<double> gain_;
};

struct ExpectedBand {
    BandKind kind;
    double lower, upper;
};

struct Case {
    const char* name;
    std::function<void(FilterSpec&)> set;
    int bits;
    std::vector<ExpectedBand> bands;
    std::vector<double> crossingFrom;    // where the -3 dB search starts, Hz; minus: downward
    std::vector<std::string> rows = {};  // rows shown, as "label | value | fixed point"
};

FilterSpec Spec(ResponseType type, DesignMethod method, int taps, float fc1, float fc2) {
    FilterSpec s = DefaultFilterSpec();
    s.FType = type;
    s.WType = method;
    s.Taps = taps;
    s.Fc1 = fc1;
    s.Fc2 = fc2;
    return s;
}

TEST(DesignMeasure, BandsAndValuesAgreeWithADirectSum) {
    const double T31 = 0.9 * 8000 / 31, T61 = 3.3 * 8000 / 61, H31 = 3.3 * 8000 / 31;
    const double R61 = 0.9 * 8000 / 61, B61 = 5.5 * 8000 / 61;
    const Case cases[] = {
        // A given length: the transition its length rule gives, centred on the cutoff.
        {"rectangular low pass",
         [](FilterSpec& s) { s = Spec(LowPass, Rectangular, 31, 1000, 0); },
         0,
         {{BandKind::Pass, 0, 1000 - T31 / 2}, {BandKind::Stop, 1000 + T31 / 2, 4000}},
         {0},
         // A pass band of amplitude 1 carries no amplitude note.
         {"Measurement grid | 8193 points, 0 ... 4000.00 Hz, step 0.488281 Hz | ",
          "Band 1, pass band 0.00 ... 883.87 Hz, gain | -0.7970 ... 0.8375 dB | ",
          "Band 1 ripple (peak to peak) | 1.6345 dB | ",
          "Band 2, stop band 1116.13 ... 4000.00 Hz, gain | -124.8987 ... -21.3534 dB | ",
          "Band 2 attenuation | 21.3534 dB | ", "-3 dB frequency | 944.66 Hz | ",
          "-6 dB frequency | 997.23 Hz | ", "DC gain | 0.95257 (-0.42 dB) | ",
          "Nyquist gain | 0.00822184 (-41.70 dB) | ", "Group delay | 15 samples (1.875 ms) | "}},
        {"Hamming band pass, 12 bits",
         [](FilterSpec& s) { s = Spec(BandPass, Hamming, 61, 2000, 1000); },
         12,
         {{BandKind::Stop, 0, 1000 - T61 / 2},
          {BandKind::Pass, 1000 + T61 / 2, 2000 - T61 / 2},
          {BandKind::Stop, 2000 + T61 / 2, 4000}},
         {-1500, 1500},
         {"Fixed point |  | 12 bits, scale 2^12, -1 guard bits, 0 saturated",
          "Band 3, stop band 2216.39 ... 4000.00 Hz, gain | -137.3587 ... -51.4586 dB | -inf ... "
          "-48.7449 dB",
          "-3 dB frequency | 1052.31 Hz, 1947.44 Hz | 1052.04 Hz, 1947.36 Hz",
          "-6 dB frequency | 1000.37 Hz, 1999.53 Hz | 1000.37 Hz, 1999.36 Hz",
          "Nyquist gain | 3.83304e-06 (-108.33 dB) | 0 (-inf dB)"}},
        // No pass band is left between the transitions: the crossings around the peak.
        {"narrow rectangular band pass",
         [](FilterSpec& s) { s = Spec(BandPass, Rectangular, 61, 1000, 1110); },
         0,
         {{BandKind::Stop, 0, 1000 - R61 / 2}, {BandKind::Stop, 1110 + R61 / 2, 4000}},
         {-1055, 1055}},
        {"Blackman band stop",
         [](FilterSpec& s) { s = Spec(BandStop, Blackman, 61, 1000, 3000); },
         0,
         {{BandKind::Pass, 0, 1000 - B61 / 2},
          {BandKind::Stop, 1000 + B61 / 2, 3000 - B61 / 2},
          {BandKind::Pass, 3000 + B61 / 2, 4000}},
         {0, -4000},
         {"Band 3, pass band 3360.66 ... 4000.00 Hz, gain | -0.0023 ... 0.0014 dB | ",
          "Band 3 ripple (peak to peak) | 0.0037 dB | ",
          "-3 dB frequency | 931.00 Hz, 3069.00 Hz | "}},
        // An estimated length: the transition runs from the cutoff outward.
        {"Kaiser high pass from Tw",
         [](FilterSpec& s) {
             s = Spec(HighPass, Kaiser, 31, 2000, 0);
             s.AutoD = 0;
             s.Tw = 400;
             s.PBrip = 0.1;
             s.SBrip = -50;
         },
         0,
         {{BandKind::Stop, 0, 2000}, {BandKind::Pass, 2400, 4000}},
         {-4000}},
        {"Hamming band pass from Tw",
         [](FilterSpec& s) {
             s = Spec(BandPass, Hamming, 31, 1000, 2000);
             s.AutoD = 0;
             s.Tw = 400;
         },
         0,
         {{BandKind::Stop, 0, 600}, {BandKind::Pass, 1000, 2000}, {BandKind::Stop, 2400, 4000}},
         {-1500, 1500}},
        {"Hilbert transformer",
         [](FilterSpec& s) {
             s = Spec(Hilbert, Hamming, 31, 0, 4000);
             s.FChar = AntisymmetricOdd;
             s.AutoD = 0;  // a Hilbert transformer always has its length given
         },
         0,
         {{BandKind::Pass, H31 / 2, 4000 - H31 / 2}},
         {},
         {"Band 1, pass band 425.81 ... 3574.19 Hz, gain | -0.0548 ... 0.0354 dB | ",
          "Band 1 ripple (peak to peak) | 0.0902 dB | ",
          "Band 1 largest magnitude ripple | 0.006294 | ", "DC gain | 0 (-inf dB) | "}},
        {"equiripple Hilbert transformer",
         [](FilterSpec& s) {
             s = Spec(Hilbert, Equiripple, 31, 0, 0);
             s.FChar = AntisymmetricOdd;
             s.TBand = 1;
             s.Bands = {{{200, 3800, 1}}};
             s.Itern = 10;
         },
         0,
         {{BandKind::Pass, 200, 3800}},
         {},
         {"Measurement grid | 8193 points, 0 ... 4000.00 Hz, step 0.488281 Hz | ",
          "Band 1, pass band 200.00 ... 3800.00 Hz, gain | -0.4414 ... 0.3763 dB | ",
          "Band 1 ripple (peak to peak) | 0.8177 dB | ", "DC gain | 0 (-inf dB) | ",
          "Nyquist gain | 0 (-inf dB) | ", "Group delay | 15 samples (1.875 ms) | ",
          "Condition estimate | 9.41e+00 | "}},
        {"differentiator over the whole band",
         [](FilterSpec& s) {
             s = Spec(Differentiator, Hamming, 32, 0, 4000);
             s.FChar = AntisymmetricEven;
         },
         0,
         {{BandKind::Slope, 0, 4000}},
         {}},
        {"differentiator from 500 to 3000 Hz",
         [](FilterSpec& s) {
             s = Spec(Differentiator, Hamming, 32, 500, 3000);
             s.FChar = AntisymmetricEven;
         },
         0,
         {{BandKind::Stop, 0, 87.5},
          {BandKind::Slope, 912.5, 2587.5},
          {BandKind::Stop, 3412.5, 4000}},
         {},
         {"Band 1, stop band 0.00 ... 87.50 Hz, gain | -inf ... -53.0772 dB | ",
          "Band 1 attenuation | 53.0772 dB | ",
          "Band 2, slope band 912.50 ... 2587.50 Hz, gain | -2.8659 ... 6.2634 dB | ",
          "Band 2 largest slope error | 0.02816 | ",
          "Band 3, stop band 3412.50 ... 4000.00 Hz, gain | -50.8431 ... -34.0628 dB | ",
          "Group delay | 15.5 samples (1.9375 ms) | "}},
        // The slope rises from its lower edge; an empty first band is left out, and the
        // last band runs to Fs/2.
        {"equiripple differentiator",
         [](FilterSpec& s) {
             s = Spec(Differentiator, Equiripple, 30, 0, 0);
             s.FChar = AntisymmetricEven;
             s.TBand = 3;
             s.Bands = {{{0, 0, 0}, {500, 3000, 1}, {3200, 3900, 0}}};
             s.Itern = 10;
         },
         0,
         {{BandKind::Slope, 500, 3000}, {BandKind::Stop, 3200, 4000}},
         {},
         {"Band 2, slope band 500.00 ... 3000.00 Hz, gain | -76.8265 ... 0.4849 dB | ",
          "Band 2 largest slope error | 0.1291 | ", "Band 3 attenuation | 19.6413 dB | ",
          "Condition estimate | 1.68e+02 | "}},
        {"equiripple multiband, 10 bits",
         [](FilterSpec& s) {
             s = Spec(Multiband, Equiripple, 61, 0, 0);
             s.TBand = 4;
             s.Bands = {{{0, 800, 0.5}, {1000, 1800, 0}, {2000, 2800, 1}, {3000, 4000, 0}}};
             s.Itern = 10;
         },
         10,
         {{BandKind::Pass, 0, 800},
          {BandKind::Stop, 1000, 1800},
          {BandKind::Pass, 2000, 2800},
          {BandKind::Stop, 3000, 4000}},
         {},
         {"Fixed point |  | 10 bits, scale 2^10, -1 guard bits, 0 saturated",
          "Measurement grid | 8193 points, 0 ... 4000.00 Hz, step 0.488281 Hz | ",
          "Band 1, pass band 0.00 ... 800.00 Hz (amplitude 0.5), gain | -6.5448 ... -5.6102 dB | "
          "-6.5589 ... -5.5647 dB",
          "Band 1 ripple (peak to peak) | 0.9346 dB | 0.9942 dB",
          "Band 2, stop band 1000.00 ... 1800.00 Hz, gain | -85.9624 ... -19.5932 dB | -92.0698 "
          "... -19.6650 dB",
          "Band 2 attenuation | 19.5932 dB | 19.6650 dB",
          "Band 3, pass band 2000.00 ... 2800.00 Hz, gain | -0.2587 ... 0.2069 dB | -0.2747 ... "
          "0.2151 dB",
          "Band 4 attenuation | 32.3388 dB | 31.4413 dB",
          "DC gain | 0.475459 (-6.46 dB) | 0.474609 (-6.47 dB)",
          "Group delay | 30 samples (3.75 ms) | 30 samples (3.75 ms)",
          "Condition estimate | 1.71e+03 | "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FilterSpec spec;
        c.set(spec);
        CFirDesign design;
        test::DesignAsApply(spec, design);
        DesignMeasurements m;
        ASSERT_TRUE(MeasureDesign(spec, design, c.bits, m));
        EXPECT_GE(m.gridPoints, 16 * spec.Taps);
        EXPECT_GE(m.gridPoints, 8192);
        EXPECT_EQ(m.quantized, c.bits != 0);
        // A heading per column: the fixed-point column only when quantized.
        const std::vector<std::string> headings = MeasurementHeadings(m);
        ASSERT_EQ(headings.size(), m.quantized ? 3u : 2u);
        if (m.quantized) {
            EXPECT_EQ(headings[2], std::to_string(c.bits) + "-bit fixed point");
        }

        // Full precision, and the fixed-point taps when quantized.
        const std::vector<double> fixedTaps = m.fixedPoint.Taps();
        for (const bool fixed : {false, true}) {
            if (fixed && !m.quantized) continue;
            SCOPED_TRACE(fixed ? "fixed point" : "full precision");
            const ResponseMeasurements& r = fixed ? m.fixed : m.full;
            const Reference ref(fixed ? fixedTaps : design.coeffs, spec.Fs);
            ASSERT_EQ(r.bands.size(), c.bands.size());
            for (std::size_t i = 0; i < c.bands.size(); ++i) {
                const BandMeasurement& b = r.bands[i];
                EXPECT_EQ(b.band.kind, c.bands[i].kind) << i;
                EXPECT_NEAR(b.band.lower, c.bands[i].lower, 1e-3) << i;
                EXPECT_NEAR(b.band.upper, c.bands[i].upper, 1e-3) << i;
                double lo, hi, error;
                ref.Band(b.band, lo, hi, error);
                // The deep nulls of a stop band (and the zero a slope starts from) depend on
                // the grid; the peaks do not.
                if (b.band.kind == BandKind::Pass) {
                    EXPECT_NEAR(b.minGainDb, Db(lo), 2e-3) << i;
                }
                EXPECT_NEAR(b.maxGainDb, Db(hi), 2e-3) << i;
                EXPECT_NEAR(b.largestError, error, 1e-5 + 1e-3 * error) << i;
                if (b.band.kind == BandKind::Pass) {
                    EXPECT_NEAR(b.rippleDb, Db(hi) - Db(lo), 4e-3) << i;
                }
                if (b.band.kind == BandKind::Stop) {
                    EXPECT_NEAR(b.attenuationDb, -Db(hi), 2e-3) << i;
                }
                // The window differentiator aims at the ideal gain 2 pi f / Fs.
                if (b.band.kind == BandKind::Slope && spec.WType != Equiripple) {
                    EXPECT_DOUBLE_EQ(b.band.slope, 2.0 * 3.141592653589793 / spec.Fs) << i;
                }
            }
            ASSERT_EQ(r.minus3DbHz.size(), c.crossingFrom.size());
            for (std::size_t i = 0; i < c.crossingFrom.size(); ++i) {
                const double from = std::fabs(c.crossingFrom[i]);
                const int dir = c.crossingFrom[i] < 0 ? -1 : +1;
                EXPECT_NEAR(r.minus3DbHz[i], ref.Crossing(from, dir, -3.0), 0.01) << i;
                EXPECT_NEAR(r.minus6DbHz[i], ref.Crossing(from, dir, -6.0), 0.01) << i;
            }
            EXPECT_NEAR(r.dcGain, ref.At(0), 1e-12);
            EXPECT_NEAR(r.nyquistGain, ref.At(Reference::kSteps), 1e-12);
            EXPECT_TRUE(r.linearPhase);
            EXPECT_EQ(r.groupDelay, 0.5 * (spec.Taps - 1));
        }
        std::vector<std::string> shown;
        for (const MeasurementRow& row : MeasurementRows(m)) {
            shown.push_back(row.label + " | " + row.value + " | " + row.quantized);
        }
        // Each row listed, in the order listed; a list from the grid row on is the
        // whole table.
        if (!c.rows.empty() && c.rows.front().rfind("Measurement grid", 0) == 0) {
            EXPECT_EQ(shown, c.rows);
        }
        auto from = shown.begin();
        for (const std::string& row : c.rows) {
            const auto at = std::find(from, shown.end(), row);
            EXPECT_NE(at, shown.end()) << row;
            if (at != shown.end()) from = at + 1;
        }
    }
}

// The transition width the length rule of each window gives a length (for Kaiser, the
// inverse of the beta rule), and the grid: a power of two with 32 points per tap and
// at least 16384.
TEST(DesignMeasure, ImpliedTransitionWidthsAndGridSizes) {
    for (const double A : {21.0, 30.0, 45.0, 60.0, 90.0}) {
        const double beta =
            A >= 50 ? 0.1102 * (A - 8.7) : 0.5842 * std::pow(A - 21, 0.4) + 0.07886 * (A - 21);
        EXPECT_NEAR(ImpliedTransitionWidth(Kaiser, 101, beta, 8000.0),
                    (A - 7.95) / (14.36 * 101) * 8000.0, 1e-6)
            << A;
    }
    const std::pair<DesignMethod, double> widths[] = {
        {Rectangular, 180.0}, {Hanning, 620.0}, {Hamming, 660.0}, {Blackman, 1100.0}};
    for (const auto& [method, width] : widths) {
        EXPECT_DOUBLE_EQ(ImpliedTransitionWidth(method, 55, 0.0, 11000.0), width) << method;
    }
    EXPECT_EQ(ImpliedTransitionWidth(Equiripple, 55, 0.0, 11000.0), 0.0);
    const std::pair<int, int> grids[] = {
        {1, 16384}, {512, 16384}, {513, 32768}, {4097, 262144}, {kMaxTaps, 1 << 22}};
    for (const auto& [taps, size] : grids) EXPECT_EQ(MeasurementGridSize(taps), size) << taps;
}

TEST(DesignMeasure, ConditioningOfTheEquirippleSolve) {
    // The pivots of a diagonal matrix are its entries, largest first.
    MatrixPtr a = NewMatrix(2, 2);
    (*a)(0, 0) = 1e-6;
    (*a)(1, 1) = 4.0;
    std::vector<double> pivots;
    ASSERT_TRUE(Invert(*a, &pivots));
    EXPECT_EQ(pivots, (std::vector<double>{4.0, 1e-6}));

    // Few taps and a wide don't-care region: the solve goes through, but rounding
    // decides the coefficients, and the bands are missed.
    FilterSpec ill = Spec(LowPass, Equiripple, 31, 0, 0);
    ill.Bands[0] = {0, 100, 1};
    ill.Bands[1] = {3900, 4000, 0};
    CFirDesign design;
    test::DesignAsApply(ill, design);
    EXPECT_GT(design.conditionEstimate, kIllConditionedAbove);
    EXPECT_NE(ConditioningWarning(ill, design).find("nearly singular"), std::string::npos);
    DesignMeasurements m;
    ASSERT_TRUE(MeasureDesign(ill, design, 0, m));
    EXPECT_EQ(m.conditionEstimate, design.conditionEstimate);
    const std::vector<MeasurementRow> rows = MeasurementRows(m);
    EXPECT_NE(rows.back().value.find("nearly singular"), std::string::npos);
    const auto delay = std::find_if(
        rows.begin(), rows.end(), [](const MeasurementRow& r) { return r.label == "Group delay"; });
    ASSERT_NE(delay, rows.end());
    EXPECT_EQ(delay->value, "15 samples (1.875 ms)");

    // Bands that leave little free: a well-conditioned solve, and no warning.
    FilterSpec good = ill;
    good.Bands[0] = {0, 1600, 1};
    good.Bands[1] = {2000, 4000, 0};
    test::DesignAsApply(good, design);
    EXPECT_GT(design.conditionEstimate, 1.0);
    EXPECT_LT(design.conditionEstimate, 1e6);
    EXPECT_EQ(ConditioningWarning(good, design), "");
    // A window design made afterwards never carries the warning.
    FilterSpec window = Spec(LowPass, Hamming, 31, 1000, 0);
    design.conditionEstimate = 1e16;
    EXPECT_EQ(ConditioningWarning(window, design), "");
}

TEST(DesignMeasure, RefusesWhatCannotBeMeasured) {
    FilterSpec spec = Spec(LowPass, Hamming, 31, 1000, 0);
    CFirDesign design;
    DesignMeasurements m;
    std::string error;
    EXPECT_FALSE(MeasureDesign(spec, design, 0, m, &error));
    test::DesignAsApply(spec, design);
    EXPECT_FALSE(MeasureDesign(spec, design, 33, m, &error));
    design.coeffs[3] = NAN;
    EXPECT_FALSE(MeasureDesign(spec, design, 0, m, &error));
    EXPECT_NE(error.find("not finite"), std::string::npos);
}

}  // namespace
}  // namespace tapwright
