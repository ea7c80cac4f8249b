#include "core/quantize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tapwright {
namespace {

// Rounding, the fitted scale and saturation at the narrowest, a common and the
// widest word length.
TEST(Quantize, RoundingScaleAndSaturationPerWordLength) {
    for (const int B : {2, 16, 32}) {
        SCOPED_TRACE(B);
        const double top = std::ldexp(1.0, B - 1);  // 2^(B-1)

        // Halves of a step go away from zero, less than half toward it.
        QuantizedTaps q;
        const int F = B - 1;
        const double step = std::ldexp(1.0, -F);
        ASSERT_TRUE(QuantizeTaps({0.5 * step, -0.5 * step, 0.3 * step, -0.7 * step}, B, F, q));
        EXPECT_EQ(q.values, (std::vector<std::int64_t>{1, -1, 0, -1}));
        EXPECT_EQ(q.saturated, 0);

        // At F = B - 1 the range is [-1, 1 - 2^(1-B)]: +1 and beyond clip, -1 fits.
        ASSERT_TRUE(QuantizeTaps({1.0, -1.0, 2.0, -3.0}, B, F, q));
        EXPECT_EQ(q.values,
                  (std::vector<std::int64_t>{
                      static_cast<std::int64_t>(top - 1), static_cast<std::int64_t>(-top),
                      static_cast<std::int64_t>(top - 1), static_cast<std::int64_t>(-top)}));
        EXPECT_EQ(q.saturated, 3);

        // The fitted scale: 0.25 < 2^-1 allows one bit beyond B - 1, but not two (the
        // largest tap would reach +2^(B-1), one past the top).
        ASSERT_TRUE(QuantizeTaps({0.25, -0.1}, B, q));
        EXPECT_EQ(q.fractionBits, B);
        EXPECT_EQ(q.guardBits, -1);
        EXPECT_EQ(q.saturated, 0);
        EXPECT_EQ(q.values[0], static_cast<std::int64_t>(top / 2));
        EXPECT_EQ(q.values[1], static_cast<std::int64_t>(std::round(-0.1 * std::ldexp(1.0, B))));
        EXPECT_EQ(q.Taps()[0], 0.25);
        EXPECT_EQ(q.Scale(), std::ldexp(1.0, B));

        // A negative largest tap may use the extra step of the negative side.
        ASSERT_TRUE(QuantizeTaps({-0.5, 0.1}, B, q));
        EXPECT_EQ(q.fractionBits, B);
        EXPECT_EQ(q.values[0], static_cast<std::int64_t>(-top));

        // Taps of 1 and above need guard bits; no tap saturates at the fitted scale.
        ASSERT_TRUE(QuantizeTaps({2.0, -1.0}, B, q));
        EXPECT_EQ(q.guardBits, 2);
        EXPECT_EQ(q.saturated, 0);
        EXPECT_EQ(q.Taps()[0], 2.0);

        // All-zero taps keep the plain scale.
        EXPECT_EQ(FitFractionBits({0.0, 0.0}, B), B - 1);
    }
    // Rounding that carries the largest tap over the top costs one bit.
    EXPECT_EQ(FitFractionBits({0.49999}, 2), 1);
}

TEST(Quantize, RefusesWhatCannotBeQuantized) {
    QuantizedTaps q;
    EXPECT_FALSE(QuantizeTaps({0.5}, 1, q));
    EXPECT_FALSE(QuantizeTaps({0.5}, 33, q));
    EXPECT_FALSE(QuantizeTaps({0.5, std::numeric_limits<double>::quiet_NaN()}, 16, q));
    EXPECT_FALSE(QuantizeTaps({std::numeric_limits<double>::infinity()}, 16, 15, q));
    EXPECT_FALSE(QuantizeTaps({0.5}, 16, kMaxFractionBits + 1, q));
    // A huge tap at a fixed scale saturates rather than overflowing the conversion.
    ASSERT_TRUE(QuantizeTaps({1e300, -1e300}, 32, kMaxFractionBits, q));
    EXPECT_EQ(q.values, (std::vector<std::int64_t>{2147483647, -2147483648LL}));
}

}  // namespace
}  // namespace tapwright
