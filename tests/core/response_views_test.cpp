// Group delay, unwrapped phase, zeros and step response computed from the taps, and
// the quantized response on a design's own grid.

#include "core/response_views.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "core/fir_design.h"
#include "core/quantize.h"

namespace tapwright {
namespace {

constexpr double kPi = std::numbers::pi;

// A linear-phase low pass of N taps by the window method (Fs 8000 Hz, cutoff 1000).
CFirDesign LowPassDesign(int N, DesignMethod method = Hamming) {
    CFirDesign d;
    d.responseType = LowPass;
    EXPECT_TRUE(d.DesignWindow(LowPass, method, 1000.0f, 0.0f, 8000.0f, N, 1024, 4.0,
                               N % 2 ? SymmetricOdd : SymmetricEven)
                    .Designed());
    return d;
}

// Linear-phase designs: the group delay is (N-1)/2 wherever it is drawn, and
// everywhere on the passband (0 ... 800 Hz of 4000, grid point i at i/(2M)).
TEST(ResponseViews, GroupDelayOfLinearPhaseIsHalfTheLength) {
    for (const int N : {3, 40, 51, 255}) {
        const CFirDesign d = LowPassDesign(N);
        const int M = ViewGridIntervals(N);
        const std::vector<double> tau = ComputeGroupDelay(d.coeffs, M);
        ASSERT_EQ(tau.size(), static_cast<size_t>(M) + 1);
        for (size_t i = 0; i < tau.size(); ++i) {
            const bool passband = i <= static_cast<size_t>(M) / 5;
            if (passband) {
                ASSERT_TRUE(std::isfinite(tau[i])) << N << " point " << i;
            }
            // Beside a stopband zero |H| is small and the quotient less exact.
            if (std::isfinite(tau[i])) {
                ASSERT_NEAR(tau[i], (N - 1) / 2.0, passband ? 1e-9 : 1e-4) << N << " " << i;
            }
        }
    }
}

// h = {1, a}: tau(w) = (a^2 + a cos w) / (1 + a^2 + 2a cos w), a delay that varies,
// so a wrong sign, part or scale of the derivative shows.
TEST(ResponseViews, GroupDelayOfTwoTapsMatchesItsFormula) {
    const int M = 512;
    for (const double a : {0.5, -0.8, 2.0}) {
        const std::vector<double> h = {1.0, a};
        const std::vector<double> tau = ComputeGroupDelay(h, M);
        for (int i = 0; i <= M; i += 64) {
            const double w = kPi * i / M;
            const double want = (a * a + a * std::cos(w)) / (1 + a * a + 2 * a * std::cos(w));
            EXPECT_NEAR(tau[static_cast<size_t>(i)], want, 1e-9) << a << " " << i;
        }
    }
    // A zero on the unit circle (h = {1, 1} at Fs/2) is left out, not a spike.
    EXPECT_TRUE(std::isnan(ComputeGroupDelay(std::vector<double>{1.0, 1.0}, M).back()));
}

// The unwrapped phase of a linear-phase design is -(N-1)/2 * w plus a multiple of pi
// that changes only at the zeros: continuous over the passband, jumps of pi kept.
TEST(ResponseViews, UnwrappedPhaseIsAStraightLineWithJumpsOfPi) {
    for (const int N : {31, 40, 101}) {
        const CFirDesign d = LowPassDesign(N);
        const int M = ViewGridIntervals(N);
        const std::vector<double> phi = ComputeUnwrappedPhase(d.coeffs, M);
        int jumps = 0;
        double previousOffset = 0.0;
        bool started = false;
        for (int i = 0; i <= M; ++i) {
            const double p = phi[static_cast<size_t>(i)];
            if (std::isnan(p)) continue;
            const double offset = (p + (N - 1) / 2.0 * kPi * i / M) / kPi;
            ASSERT_NEAR(offset, std::round(offset), 1e-6) << N << " point " << i;
            if (i <= M / 5) {
                ASSERT_NEAR(offset, 0.0, 1e-6) << N << " passband point " << i;
            }
            if (started && std::round(offset) != std::round(previousOffset)) {
                ++jumps;
                EXPECT_EQ(std::fabs(std::round(offset) - std::round(previousOffset)), 1.0);
            }
            previousOffset = offset;
            started = true;
        }
        EXPECT_GT(jumps, 0) << N;  // the stopband's zeros on the unit circle
    }
}

// Companion-matrix roots: (1 - z^-1)^k has one zero at 1 of multiplicity k, and a
// Hamming-windowed sinc of 11 taps has the zeros numpy.roots gives for it.
TEST(ResponseViews, ZerosOfKnownPolynomials) {
    for (int k = 1; k <= 7; ++k) {
        std::vector<double> h = {1.0};
        for (int j = 0; j < k; ++j) {
            std::vector<double> next(h.size() + 1, 0.0);
            for (size_t n = 0; n < h.size(); ++n) {
                next[n] += h[n];
                next[n + 1] -= h[n];
            }
            h = next;
        }
        const std::optional<PoleZeroMap> map = ComputePoleZeros(h);
        ASSERT_TRUE(map) << k;
        ASSERT_EQ(map->zeros.size(), 1u) << k;
        EXPECT_EQ(map->zeros[0].multiplicity, k);
        EXPECT_NEAR(std::abs(map->zeros[0].z - 1.0), 0.0, 1e-9) << k;
        EXPECT_EQ(map->poleOrder, k);
        EXPECT_EQ(map->zeroCount, k);
    }

    // numpy.roots of the taps (highest power first), computed offline.
    const std::vector<double> sinc = {
        -0.005092958178940652, -0.00785119590355814, 0.013044666535430346,
        0.10325354022032969,   0.23489457960932225,  0.3,
        0.23489457960932228,   0.1032535402203297,   0.01304466653543035,
        -0.007851195903558145, -0.005092958178940652};
    const std::complex<double> numpy[] = {{-0.9500266446965873, -0.312168823501874},
                                          {-0.9500266446965873, 0.312168823501874},
                                          {-0.8027051105970997, -1.5272268518386756},
                                          {-0.8027051105970997, 1.5272268518386756},
                                          {-0.5205567543452938, -0.8538270700238421},
                                          {-0.5205567543452938, 0.8538270700238421},
                                          {-0.2696575554529393, -0.5130505014258157},
                                          {-0.2696575554529393, 0.5130505014258157},
                                          {0.3090984730821649, 0.0},
                                          {3.2352149463196516, 0.0}};
    const std::optional<PoleZeroMap> map = ComputePoleZeros(sinc);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->zeroCount, 10);
    ASSERT_EQ(map->zeros.size(), 10u);
    for (const std::complex<double>& want : numpy) {
        double nearest = 1e9;
        for (const ZeroPoint& z : map->zeros) nearest = std::min(nearest, std::abs(z.z - want));
        EXPECT_LT(nearest, 1e-9) << want;
    }

    // Trailing zero taps are zeros at the origin, leading ones zeros at infinity;
    // what the view cannot offer is refused.
    const std::optional<PoleZeroMap> shifted = ComputePoleZeros(std::vector<double>{0, 1, -1, 0});
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->poleOrder, 3);
    EXPECT_EQ(shifted->zeroCount, 2);
    EXPECT_FALSE(ComputePoleZeros(std::vector<double>(3, 0.0)));
    EXPECT_FALSE(ComputePoleZeros(std::vector<double>(kMaxPoleZeroTaps + 1, 1.0)));
    EXPECT_FALSE(ComputePoleZeros(std::vector<double>{1.0, std::nan("")}));
}

// The last value of the step response is the gain at DC: about 1 for a low pass,
// about 0 for a high pass, as the design's own response says.
TEST(ResponseViews, StepResponseEndsAtTheDcGain) {
    for (const ResponseType type : {LowPass, HighPass}) {
        CFirDesign d;
        d.responseType = type;
        ASSERT_TRUE(
            d.DesignWindow(type, Blackman, 1000.0f, 0.0f, 8000.0f, 41, 1024, 4.0, SymmetricOdd)
                .Designed());
        const std::vector<double> s = ComputeStepResponse(d.coeffs);
        ASSERT_EQ(s.size(), d.coeffs.size());
        EXPECT_NEAR(s.back(), d.spectrum[0].real(), 1e-12) << type;
    }
}

// The quantized response lies on the design's own points: at 32 bits it matches the
// design's response wherever that is above -100 dB, for either grid layout.
TEST(ResponseViews, QuantizedResponseUsesTheDesignGrid) {
    struct Case {
        DesignFamily family;
        int K;
    };
    const CFirDesign d = LowPassDesign(51, Kaiser);
    for (const Case c :
         {Case{DesignFamily::Window, d.pointCount}, Case{DesignFamily::Equiripple, 700}}) {
        QuantizedTaps q;
        ASSERT_TRUE(QuantizeTaps(d.coeffs, 32, q));
        const std::vector<double> db = ResponseDbOnGrid(q.Taps(), c.family, c.K);
        ASSERT_EQ(db.size(), static_cast<size_t>(c.K));
        for (int i = 0; i < c.K; i += 7) {
            const double f = ResponsePointHz(c.family, c.K, 8000.0, i) / 8000.0;
            std::complex<double> H = 0.0;
            for (size_t n = 0; n < d.coeffs.size(); ++n) {
                H += d.coeffs[n] * std::polar(1.0, -2.0 * kPi * f * static_cast<double>(n));
            }
            const double want = 20.0 * std::log10(std::abs(H));
            if (want > -100.0) {
                EXPECT_NEAR(db[static_cast<size_t>(i)], want, 1e-3) << i;
            }
        }
    }
    EXPECT_DOUBLE_EQ(ResponsePointHz(DesignFamily::Window, 1025, 8000.0, 512), 4000.0);
    EXPECT_DOUBLE_EQ(ResponsePointHz(DesignFamily::Equiripple, 1000, 8000.0, 1000), 4000.0);
}

}  // namespace
}  // namespace tapwright
