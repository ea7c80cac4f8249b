#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <tuple>

#include "core/design_constants.h"
#include "core/fir_design.h"
#include "core/real_fft.h"
#include "core/spectrum_fft.h"

namespace tapwright {
namespace {

// A window design at Fs = 8000 Hz; whether it was made.
bool Designs(CFirDesign& d, ResponseType type, DesignMethod method, float f1, float f2, int N,
             int K, double beta, SymmetryType symmetry) {
    return d.DesignWindow(type, method, f1, f2, 8000.0f, N, K, beta, symmetry).Designed();
}

// Five taps of a 1000 Hz low pass at 8000 Hz: the rectangular taps 0.25, 0.225079
// and 0.159155 from the centre out, weighted by the window. Hanning divides by N, so
// the outermost taps keep a weight; Blackman divides by N - 1 and zeroes them.
TEST(WindowDesign, WindowShapesOfFiveTaps) {
    struct Case {
        DesignMethod method;
        double w1, w2;
    };
    const Case cases[] = {
        {Rectangular, 1.0, 1.0},
        {Hanning, 0.654508, 0.095492},
        {Hamming, 0.54 + 0.46 * std::cos(kTwoPi / 5), 0.54 + 0.46 * std::cos(2 * kTwoPi / 5)},
        {Blackman, 0.42 + 0.5 * std::cos(kTwoPi / 4) + 0.08 * std::cos(kFourPi / 4), 0.0}};
    for (const Case& c : cases) {
        CFirDesign d;
        ASSERT_TRUE(Designs(d, LowPass, c.method, 1000.0f, 0.0f, 5, 8, 4.0, SymmetricOdd));
        ASSERT_EQ(d.window.size(), 3u);
        EXPECT_EQ(d.length, 5);
        EXPECT_NEAR(d.window[0], 1.0, 1e-12) << c.method;
        EXPECT_NEAR(d.window[1], c.w1, 1e-6) << c.method;
        EXPECT_NEAR(d.window[2], c.w2, 1e-6) << c.method;
        EXPECT_EQ(d.coeffs[2], 0.25) << c.method;
        EXPECT_NEAR(d.coeffs[1], 0.225079 * c.w1, 1e-6) << c.method;
        EXPECT_NEAR(d.coeffs[0], 0.159155 * c.w2, 1e-6) << c.method;
    }
}

TEST(WindowDesign, KaiserWindowUsesBesselSeries) {
    CFirDesign d;
    ASSERT_TRUE(Designs(d, LowPass, Kaiser, 1000.0f, 0.0f, 11, 8, 6.0, SymmetricOdd));
    // At the edge the argument is 0: w = I0(0) / I0(beta).
    EXPECT_DOUBLE_EQ(d.window[5], 1.0 / CFirDesign::BesselI0(6.0, 20));
    EXPECT_NEAR(CFirDesign::BesselI0(0.0, 20), 1.0, 0.0);
    EXPECT_NEAR(CFirDesign::BesselI0(1.0, 20), 1.2660658777520082, 1e-15);
    EXPECT_NEAR(CFirDesign::BesselI0(6.0, 20), 67.23440697647798, 1e-9);
}

// The series as first written, term by term: ((x/2)^k / k!)^2 with k! built by
// repeated multiplication. The design takes each term from the one before, which
// rounds differently but must stay within 1e-14 over the betas the window accepts.
TEST(WindowDesign, BesselSeriesMatchesTermByTermSum) {
    auto termByTerm = [](double x, int terms) {
        double sum = 1.0;
        for (int k = 1; k < terms; ++k) {
            double factorial = 1.0;
            for (int m = 1; m <= k; ++m) factorial *= m;
            const double term = std::pow(x / 2.0, k) / factorial;
            sum += term * term;
        }
        return sum;
    };
    for (int terms : {1, 2, 20, 40}) {
        for (int i = 0; i <= 15000; ++i) {
            const double x = i * 0.001;  // beta 0 ... 15
            const double expected = termByTerm(x, terms);
            ASSERT_NEAR(CFirDesign::BesselI0(x, terms), expected, 1e-14 * expected)
                << "x " << x << ", " << terms << " terms";
        }
    }
}

// Unwindowed, tap l from the centre is 2 / (pi l) at odd l and vanishes at even l.
TEST(WindowDesign, HilbertCentreAndEvenDistancesVanish) {
    for (const DesignMethod method : {Rectangular, Hamming, Kaiser}) {
        for (const int N : {7, 31, 1001}) {
            CFirDesign d;
            ASSERT_TRUE(Designs(d, Hilbert, method, 0.0f, 4000.0f, N, 512, 4.0, AntisymmetricOdd));
            const int M = N / 2;
            EXPECT_EQ(d.coeffs[M], 0.0);
            for (int l = 1; l <= M; ++l) {
                if (l % 2 == 0) {
                    // Exact, positive zeros: a hardware filter drops these multipliers.
                    EXPECT_EQ(d.coeffs[M - l], 0.0) << method << " " << N << " " << l;
                    EXPECT_FALSE(std::signbit(d.coeffs[M + l])) << method << " " << N << " " << l;
                } else {
                    EXPECT_EQ(d.coeffs[M + l], -d.coeffs[M - l]);
                    if (method == Rectangular) {
                        EXPECT_NEAR(d.coeffs[M - l], 2.0 / (3.141592653589793 * l), 1e-11) << l;
                    }
                }
            }
        }
    }
}

// Every response type with its characteristic: symmetry of the taps, finite values,
// and a zero cutoff that gives limits instead of 0/0.
TEST(WindowDesign, SymmetryAndFiniteValuesForEveryType) {
    struct Case {
        ResponseType type;
        SymmetryType symmetry;
        int taps;
        float f1, f2;
        double mirrorSign;
    };
    const Case cases[] = {
        {LowPass, SymmetricOdd, 31, 1000, 0, 1},
        {LowPass, SymmetricEven, 30, 1000, 0, 1},
        {HighPass, SymmetricOdd, 31, 1000, 0, 1},
        {HighPass, AntisymmetricEven, 30, 1000, 0, -1},
        {BandPass, SymmetricOdd, 31, 1000, 2000, 1},
        {BandPass, SymmetricEven, 30, 1000, 2000, 1},
        {BandPass, AntisymmetricOdd, 31, 1000, 2000, -1},
        {BandStop, SymmetricOdd, 31, 1000, 2000, 1},
        {Differentiator, AntisymmetricEven, 30, 0, 4000, -1},
        {Hilbert, AntisymmetricOdd, 31, 0, 4000, -1},
        {LowPass, SymmetricOdd, 31, 0, 0, 1},
        {HighPass, AntisymmetricEven, 30, 0, 0, -1},
        {BandPass, AntisymmetricOdd, 31, 0, 0, -1},
        {BandStop, SymmetricOdd, 31, 0, 0, 1},
    };
    for (const Case& c : cases) {
        CFirDesign d;
        ASSERT_TRUE(Designs(d, c.type, Hamming, c.f1, c.f2, c.taps, 64, 4.0, c.symmetry))
            << c.type << "/" << c.symmetry;
        for (int i = 0; i < c.taps; ++i) {
            ASSERT_TRUE(std::isfinite(d.coeffs[i])) << c.type << " tap " << i;
            EXPECT_EQ(d.coeffs[c.taps - 1 - i], c.mirrorSign * d.coeffs[i])
                << c.type << "/" << c.symmetry << " tap " << i;
        }
        for (double m : d.magnitude) ASSERT_FALSE(std::isnan(m));
    }
}

// Taps of every response type and characteristic, with the length given and
// estimated, pinned to the engine's values at Fs = 8000 Hz. A band pass centre tap is
// 2 (v - u): 1000 ... 2000 Hz gives 0.25; estimated from a 500 Hz transition the
// edges widen to 750 ... 2250 Hz (0.375).
TEST(WindowDesign, PinnedTapsOfEveryTypeAndCharacteristic) {
    struct Pin {
        int index;
        double value;
    };
    struct Case {
        const char* name;
        ResponseType type;
        DesignMethod method;
        SymmetryType symmetry;
        float f1, f2;
        int taps;  // 0: estimated from tw and the ripples
        float tw;
        double pbrip, sbrip, beta;
        int length;
        std::vector<Pin> pins;
    };
    // clang-format off
    const Case cases[] = {
        {"rectangular band pass", BandPass, Rectangular, SymmetricOdd, 1000, 2000, 5, 0, 0, 0, 4, 5,
         {{2, 0.25}}},
        {"rectangular band pass from Tw", BandPass, Rectangular, SymmetricOdd, 1000, 2000, 0, 500, 0, 0, 4, 15,
         {{7, 0.375}}},
        {"Hanning high pass, odd", HighPass, Hanning, SymmetricOdd, 1500, 0, 31, 0, 0, 0, 4, 31,
         {{1, 0.00036865335476897698}, {3, -0.0031995697711826422}, {14, -0.29107007151716857}, {15, 0.625}}},
        {"Hamming high pass, antisymmetric even", HighPass, Hamming, AntisymmetricEven, 1500, 0, 30, 0, 0, 0, 4, 30,
         {{1, -0.0027697147644572765}, {3, 0.003570699669083085}, {14, 0.52932999531455882}, {15, -0.52932999531455882}}},
        {"rectangular low pass, even", LowPass, Rectangular, SymmetricEven, 1500, 0, 30, 0, 0, 0, 4, 30,
         {{1, -0.0045999391256915639}, {3, 0.023014347622386456}, {14, 0.35368699527914049}, {15, 0.35368699527914049}}},
        {"Hamming band pass, even", BandPass, Hamming, SymmetricEven, 1000, 2000, 30, 0, 0, 0, 4, 30,
         {{1, 0.0046058673227827853}, {3, -0.007004179352355186}, {14, 0.20653431847743939}, {15, 0.20653431847743939}}},
        {"Blackman band pass, antisymmetric odd", BandPass, Blackman, AntisymmetricOdd, 1000, 2000, 31, 0, 0, 0, 4, 31,
         {{1, 9.1169322757325431e-05}, {3, -0.0021333586069550883}, {14, 0.2210630913866603}, {15, 0.0}}},
        {"Kaiser band stop", BandStop, Kaiser, SymmetricOdd, 1000, 2500, 31, 0, 0, 0, 6, 31,
         {{1, -0.0014680691186813447}, {3, 0.0031671424763518663}, {14, -0.068165784094212589}, {15, 0.625}}},
        {"Hanning differentiator, 500 ... 3000 Hz", Differentiator, Hanning, AntisymmetricEven, 500, 3000, 30, 0, 0, 0, 4, 30,
         {{1, 0.0019046750609636759}, {3, -0.0045364456865755213}, {14, -0.59909441413199482}, {15, 0.59909441413199482}}},
        {"Kaiser Hilbert", Hilbert, Kaiser, AntisymmetricOdd, 0, 4000, 31, 0, 0, 0, 5, 31,
         {{0, 0.0015580586587437186}, {2, 0.0058892407352492179}, {14, 0.63032557867112216}, {15, 0.0}}},
        {"Hanning band stop from Tw", BandStop, Hanning, SymmetricOdd, 1000, 2500, 0, 400, 0, 0, 4, 61,
         {{1, 2.5142157068904525e-05}, {3, -0.00060647216560164019}, {29, -0.084082512320646147}, {30, 0.52499999105930328}}},
        {"Kaiser high pass from Tw, A = 47", HighPass, Kaiser, SymmetricOdd, 2000, 0, 0, 500, 3, -47, 4, 43,
         {{1, 0.0012164837612809692}, {3, -0.0012882537140671657}, {20, -0.31090083773651922}, {21, 0.4375}}},
        {"Hamming band pass from Tw", BandPass, Hamming, SymmetricOdd, 1000, 2000, 0, 500, 0, 0, 4, 53,
         {{1, -0.00070698658683920597}, {3, -0.0010483487149068088}, {25, 0.13491314886011274}, {26, 0.375}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFirDesign d;
        const DesignResult r =
            c.taps != 0 ? d.DesignWindow(c.type, c.method, c.f1, c.f2, 8000.0f, c.taps, 64, c.beta,
                                         c.symmetry)
                        : d.DesignWindowAuto(c.type, c.method, c.f1, c.f2, c.tw, 8000.0f, 31, 64,
                                             c.pbrip, c.sbrip, c.beta, c.symmetry);
        ASSERT_TRUE(r.Designed());
        ASSERT_EQ(d.length, c.length);
        ASSERT_EQ(static_cast<int>(d.coeffs.size()), c.length);
        for (const Pin& p : c.pins) {
            EXPECT_NEAR(d.coeffs[p.index], p.value, 1e-12) << "tap " << p.index;
        }
    }
}

TEST(WindowDesign, ZeroCutoffLimits) {
    // The default low pass: all taps exactly 0, its response -inf dB (no NaN).
    CFirDesign low;
    ASSERT_TRUE(Designs(low, LowPass, Rectangular, 0.0f, 0.0f, 31, 512, 4.0, SymmetricOdd));
    for (double h : low.coeffs) EXPECT_EQ(h, 0.0);
    EXPECT_EQ(low.magnitudeDb[1], -INFINITY);
    // 2x cosq(2 pi x t) tends to 1/(pi t).
    CFirDesign high;
    ASSERT_TRUE(Designs(high, HighPass, Rectangular, 0.0f, 0.0f, 4, 8, 4.0, AntisymmetricEven));
    EXPECT_DOUBLE_EQ(high.coeffs[1], 1.0 / (kPi * 0.5));
    EXPECT_DOUBLE_EQ(high.coeffs[0], 1.0 / (kPi * 1.5));
}

TEST(WindowDesign, MismatchedParityIsRefusedAndChangesNothing) {
    CFirDesign d;
    ASSERT_TRUE(Designs(d, LowPass, Rectangular, 1000.0f, 0.0f, 5, 8, 4.0, SymmetricOdd));
    const auto before = d.coeffs;
    EXPECT_FALSE(Designs(d, Hilbert, Hamming, 0.0f, 4000.0f, 30, 8, 4.0, AntisymmetricOdd));
    EXPECT_FALSE(Designs(d, LowPass, Hamming, 1000.0f, 0.0f, 30, 8, 4.0, SymmetricOdd));
    EXPECT_FALSE(Designs(d, Differentiator, Hamming, 0.0f, 4000.0f, 31, 8, 4.0, AntisymmetricEven));
    EXPECT_FALSE(Designs(d, BandStop, Hamming, 1000.0f, 2000.0f, 30, 8, 4.0, SymmetricEven));
    EXPECT_EQ(d.coeffs, before);
    EXPECT_EQ(d.length, 5);
}

// Lengths worked out apart from the code: N = c / (Tw/Fs) truncated and made odd (c =
// 0.9, 3.1, 3.3, 5.5), for Kaiser |A - 7.95| / (14.36 Tw/Fs) with A = -20 log10(min(
// delta_p, delta_s) + 1e-9) dB, and there the outermost tap's weight 1/I0(beta), beta
// clamped to 4 ... 9. A length beyond kMaxTaps is refused before anything changes.
TEST(WindowDesignAuto, LengthsAndKaiserBeta) {
    struct Case {
        DesignMethod method;
        float tw;
        double pbrip, sbrip;
        int length;   // 0: refused
        double edge;  // 0: not checked
    };
    const Case cases[] = {
        {Rectangular, 500.0f, 0.0, 0.0, 15, 1.0},
        {Hanning, 500.0f, 0.0, 0.0, 49, 0.0},
        {Hamming, 500.0f, 0.0, 0.0, 53, 0.0},
        {Blackman, 500.0f, 0.0, 0.0, 89, 0.0},
        {Kaiser, 500.0f, 0.0, -40.0, 191, 0.0009144208566913929},  // delta_p 0: A = 180, beta 9
        {Kaiser, 500.0f, 3.0, -40.0, 35, 0.08848052607644988},   // delta_s 0.01 sets A = 40: beta 4
        {Kaiser, 500.0f, 3.0, 0.0, 3, 0.08848052607644988},      // A = 7.69 gives 0: 3 taps
        {Rectangular, 4000.0f, 0.0, 0.0, 3, 1.0},                // 0.9 * 2 gives 1: 3 taps
        {Kaiser, 1.0f, 3.0, 0.0, 145, 0.08848052607644988},      // A <= 21: beta 4
        {Kaiser, 200.0f, 0.1, -60.0, 145, 0.02038801793192464},  // A = 60: beta 5.6533
        {Kaiser, 1.0f, 0.0, 0.0, 95849, 0.0009144208566913929},  // beta 9, below kMaxTaps
        {Rectangular, 0.0549317f, 0.0, 0.0, kMaxTaps, 1.0},
        {Rectangular, 0.0549316f, 0.0, 0.0, 0, 0.0},
        {Blackman, 0.01f, 0.0, 0.0, 0, 0.0},
        {Blackman, 1e-30f, 0.0, 0.0, 0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.method << " " << c.tw << " Hz");
        CFirDesign d;
        ASSERT_TRUE(Designs(d, LowPass, Rectangular, 1000.0f, 0.0f, 5, 8, 4.0, SymmetricOdd));
        const DesignResult r = d.DesignWindowAuto(LowPass, c.method, 1000.0f, 0.0f, c.tw, 8000.0f,
                                                  31, 64, c.pbrip, c.sbrip);
        if (c.length == 0) {
            EXPECT_EQ(r.status, DesignStatus::Refused);
            EXPECT_EQ(d.length, 5);
            EXPECT_EQ(d.coeffs.size(), 5u);
            continue;
        }
        EXPECT_EQ(CFirDesign::EstimateWindowLength(LowPass, c.method, c.tw, 8000.0f, 31, c.pbrip,
                                                   c.sbrip),
                  c.length);
        ASSERT_TRUE(r.Designed());
        EXPECT_EQ(r.length, c.length);
        EXPECT_EQ(d.length, c.length);
        EXPECT_EQ(static_cast<int>(d.coeffs.size()), c.length);
        ASSERT_EQ(static_cast<int>(d.window.size()), c.length / 2 + 1);
        EXPECT_EQ(d.stopEdge, 1000.0 + static_cast<double>(c.tw));
        if (c.edge != 0.0) {
            EXPECT_NEAR(d.window[c.length / 2], c.edge, 1e-12);
        }
    }
}

TEST(WindowDesignAuto, DifferentiatorAndHilbertUseTheGivenLength) {
    for (ResponseType type : {Differentiator, Hilbert}) {
        const SymmetryType symmetry = type == Hilbert ? AntisymmetricOdd : AntisymmetricEven;
        const int taps = type == Hilbert ? 31 : 30;
        CFirDesign automatic, given;
        EXPECT_EQ(automatic
                      .DesignWindowAuto(type, Kaiser, 0.0f, 4000.0f, 500.0f, 8000.0f, taps, 64, 0.0,
                                        0.0, 5.0, symmetry)
                      .length,
                  taps);
        ASSERT_TRUE(Designs(given, type, Kaiser, 0.0f, 4000.0f, taps, 64, 5.0, symmetry));
        EXPECT_EQ(automatic.coeffs, given.coeffs) << type;
    }
}

// The characteristic's zeros on K = 8 points over 0 ... Fs: at Fs/2 (points 3 and 4)
// for SymmetricEven and AntisymmetricOdd, at 0 and Fs (points 0 and 7) for the
// antisymmetric ones, at 1e-8 (-160 dB). A single tap is 1 (0 dB) everywhere.
TEST(ResponseEvaluation, ForcedZerosAndLengthOne) {
    const std::tuple<std::vector<double>, SymmetryType, std::vector<int>> cases[] = {
        {{0.5, 0.5}, SymmetricEven, {3, 4}},
        {{0.5, -0.5}, AntisymmetricEven, {0, 7}},
        {{0.5, 0.0, -0.5}, AntisymmetricOdd, {0, 3, 4, 7}},
        {{1.0}, SymmetricOdd, {}},
    };
    for (const auto& [h, symmetry, zeros] : cases) {
        CFirDesign d;
        d.coeffs = h;
        d.pointCount = 99;
        ASSERT_TRUE(d.EvaluateResponse(8, 0.0f, 0.0f, symmetry));
        EXPECT_EQ(d.pointCount, 8);
        for (int i = 0; i < 8; ++i) {
            if (std::find(zeros.begin(), zeros.end(), i) != zeros.end()) {
                EXPECT_EQ(d.magnitude[i], 0.0) << symmetry << " point " << i;
                EXPECT_DOUBLE_EQ(d.magnitudeDb[i], -160.0) << symmetry << " point " << i;
            } else {
                EXPECT_GT(d.magnitude[i], 0.0) << symmetry << " point " << i;
            }
        }
        if (h.size() == 1) {
            EXPECT_EQ(d.magnitudeDb, std::vector<double>(8, 0.0));
        }
    }
}

TEST(ResponseEvaluation, BandRangesFromMinusThreeDecibels) {
    // A single tap never falls below -3 dB: empty stop band for the low pass, and the
    // pass band reaches index -1 for the high pass.
    CFirDesign flat;
    flat.coeffs = {1.0};
    flat.length = 1;
    flat.responseType = LowPass;
    flat.EvaluateResponse(16, 0.0f, 0.0f, SymmetricOdd);
    EXPECT_EQ(flat.passBegin, 0);
    EXPECT_EQ(flat.passEnd, 9);
    EXPECT_EQ(flat.stopBegin, 9);
    EXPECT_EQ(flat.stopEnd, 9);
    flat.responseType = HighPass;
    flat.EvaluateResponse(16, 0.0f, 0.0f, SymmetricOdd);
    EXPECT_EQ(flat.passBegin, -1);
    EXPECT_EQ(flat.passEnd, 9);
    EXPECT_EQ(flat.stopBegin, 0);
    EXPECT_EQ(flat.stopEnd, -1);

    CFirDesign low;
    low.DesignWindow(LowPass, Hamming, 1000.0f, 0.0f, 8000.0f, 51, 512, 4.0, SymmetricOdd);
    // The pass band ends at the first point below -3 dB, a little under 1 kHz.
    EXPECT_GT(low.passEnd, 50);
    EXPECT_LT(low.passEnd, 64);
    for (int i = 0; i < low.passEnd; ++i) EXPECT_GE(low.magnitudeDb[i], -3.0);
    EXPECT_LT(low.magnitudeDb[low.passEnd], -3.0);
    EXPECT_GE(low.magnitudeDb[low.passEnd - 1], -3.0);
    EXPECT_EQ(low.stopEnd, 257);
}

// Both transforms against direct sums of random taps, to 1e-12 of sum |h|: the
// folded response grid (folded N > K - 1 and unfolded sizes, every point count and
// factor kind) and the zero-padded magnitudes of the measurements (odd lengths just
// above a power of two pack into one point more).
TEST(ResponseEvaluation, TransformsAgreeWithDirectSums) {
    std::mt19937 gen(42);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    auto taps = [&](int n, double& scale) {
        std::vector<double> h(static_cast<std::size_t>(n));
        scale = 0.0;
        for (double& v : h) {
            v = u(gen);
            scale += std::fabs(v);
        }
        return h;
    };
    const int folded[][2] = {{1, 8},     {5, 8},    {31, 16},     {100, 32}, {7, 64},
                             {257, 128}, {31, 512}, {1000, 1024}, {3, 2048}, {5000, 4096}};
    for (const auto& s : folded) {
        double scale = 0.0;
        const std::vector<double> h = taps(s[0], scale);
        const auto fast = FoldedSpectrum(h.data(), s[0], s[1]);
        const auto direct = DirectSpectrum(h.data(), s[0], s[1]);
        ASSERT_EQ(fast.size(), direct.size());
        for (int i = 0; i < s[1]; ++i) {
            ASSERT_NEAR(fast[i].real(), direct[i].real(), 1e-12 * scale) << s[0] << "/" << s[1];
            ASSERT_NEAR(fast[i].imag(), direct[i].imag(), 1e-12 * scale) << s[0] << "/" << s[1];
        }
    }
    const int padded[][2] = {{1, 4},     {2, 4},     {3, 8},      {5, 16},
                             {9, 64},    {17, 64},   {33, 128},   {64, 128},
                             {100, 256}, {65, 4096}, {513, 1024}, {1000, 4096}};
    for (const auto& s : padded) {
        double scale = 0.0;
        const std::vector<double> h = taps(s[0], scale);
        const std::vector<double> fast = ZeroPaddedMagnitude(h.data(), s[0], s[1]);
        ASSERT_EQ(static_cast<int>(fast.size()), s[1] / 2 + 1);
        for (int k = 0; k <= s[1] / 2; ++k) {
            std::complex<double> sum = 0.0;
            for (int n = 0; n < s[0]; ++n) {
                const long long turn = static_cast<long long>(k) * n % s[1];
                sum += h[n] * std::polar(1.0, -2.0 * 3.141592653589793 * turn / s[1]);
            }
            ASSERT_NEAR(fast[k], std::abs(sum), 1e-12 * scale) << s[0] << "/" << s[1] << " " << k;
        }
    }
    EXPECT_TRUE(ZeroPaddedMagnitude(nullptr, 0, 6).empty());  // not a power of two
}

}  // namespace
}  // namespace tapwright
