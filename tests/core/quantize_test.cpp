#include "core/quantize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "core/fixed_point.h"

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

// Each rounding rule on ties, on both signs and off the ties, three ways: a double,
// the integer output rounding of the filter, and a tap through QuantizeTaps.
TEST(Quantize, RoundingRulesOnTiesAndSigns) {
    struct Row {
        double x;  // in units of the last bit
        double nearest, even, floor, zero;
    };
    const Row rows[] = {
        {2.5, 3, 2, 2, 2},       {-2.5, -3, -2, -3, -2},  {3.5, 4, 4, 3, 3},
        {-3.5, -4, -4, -4, -3},  {0.5, 1, 0, 0, 0},       {-0.5, -1, 0, -1, 0},
        {2.25, 2, 2, 2, 2},      {-2.25, -2, -2, -3, -2}, {2.75, 3, 3, 2, 2},
        {-2.75, -3, -3, -3, -2}, {-3.0, -3, -3, -3, -3},
    };
    for (const Row& r : rows) {
        const double want[kRoundingCount] = {r.nearest, r.even, r.floor, r.zero};
        for (int m = 0; m < kRoundingCount; ++m) {
            const auto rule = static_cast<Rounding>(m);
            SCOPED_TRACE(std::string(RoundingName(rule)) + " " + std::to_string(r.x));
            EXPECT_EQ(RoundValue(r.x, rule), want[m]);
            const auto quarters = static_cast<WideInt>(r.x * 4);
            EXPECT_EQ(static_cast<double>(RoundShift(quarters, 2, rule)), want[m]);
            QuantizeOptions o;
            o.bits = 8;
            o.fraction = 3;
            o.rounding = rule;
            QuantizedTaps q;
            ASSERT_TRUE(QuantizeTaps({r.x / 8}, o, q));
            EXPECT_EQ(static_cast<double>(q.values[0]), want[m]);
            EXPECT_EQ(RoundingFromName(RoundingName(rule)), rule);
        }
    }
}

// Beyond the range a tap saturates (counted) or, under the error rule, is refused by
// its index; rounding decides whether a tap just below the top still fits.
TEST(Quantize, SaturationAndTheOverflowError) {
    struct Case {
        std::vector<double> h;
        Rounding rounding;
        std::vector<std::int64_t> saturatedValues;
        int saturated;
        const char* refusedTap;  // nullptr: fits
    };
    const double justBelowTop = 127.6 / 128;  // rounds to 128 to nearest, 127 down
    const Case cases[] = {
        {{0.9, -1.2, 0.3}, Rounding::Nearest, {115, -128, 38}, 1, "tap 1 "},
        {{justBelowTop, -1.0}, Rounding::Nearest, {127, -128}, 1, "tap 0 "},
        {{justBelowTop, -1.0}, Rounding::Floor, {127, -128}, 0, nullptr},
        {{justBelowTop, -1.0}, Rounding::TowardZero, {127, -128}, 0, nullptr},
        {{0.25, -1.001}, Rounding::TowardZero, {32, -128}, 0, nullptr},
        {{0.25, -1.001}, Rounding::Floor, {32, -128}, 1, "tap 1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.h[0]) + " " + RoundingName(c.rounding));
        QuantizeOptions o;
        o.bits = 8;
        o.fraction = 7;
        o.rounding = c.rounding;
        QuantizedTaps q;
        ASSERT_TRUE(QuantizeTaps(c.h, o, q));
        EXPECT_EQ(q.values, c.saturatedValues);
        EXPECT_EQ(q.saturated, c.saturated);
        EXPECT_EQ(q.FormatName(), "Q0.7");

        o.overflow = Overflow::Error;
        std::string error;
        q.values = {99};
        EXPECT_EQ(QuantizeTaps(c.h, o, q, &error), c.refusedTap == nullptr);
        if (c.refusedTap) {
            EXPECT_EQ(error.rfind(c.refusedTap, 0), 0u) << error;
            EXPECT_EQ(q.values, std::vector<std::int64_t>{99});  // left as it was
        }
    }
    // The fitted scale follows the rounding: down, 0.49999 * 2^2 stays below 2.
    EXPECT_EQ(FitFractionBits({0.49999}, 2, Rounding::Floor), 2);
    EXPECT_EQ(FitFractionBits({0.49999}, 2, Rounding::Nearest), 1);
    // The report: the largest error within half a step, the sums of the integers.
    QuantizeOptions o;
    o.bits = 16;
    QuantizedTaps q;
    ASSERT_TRUE(QuantizeTaps({0.1, -0.3, 0.7}, o, q));
    EXPECT_EQ(q.fractionBits, 15);
    EXPECT_LE(q.largestError, std::ldexp(0.5, -15));
    EXPECT_GT(q.largestError, 0.0);
    EXPECT_EQ(q.integerSum, q.values[0] + q.values[1] + q.values[2]);
    EXPECT_EQ(q.absoluteSum, q.values[0] - q.values[1] + q.values[2]);
    EXPECT_DOUBLE_EQ(q.CoefficientSum(), std::ldexp(static_cast<double>(q.integerSum), -15));
}

// The accumulator width against every input of short filters: it holds the
// largest and smallest sums and one bit less does not. The usual bound
// W + ceil(log2 sum|q|) holds them too, except when no tap is positive and sum|q| is
// a power of two: then -2^(W-1) times the taps reaches 2^(bound-1), one past the top.
TEST(Quantize, BitGrowthAgainstEveryInput) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> tap(-5, 5), length(1, 4), width(2, 4);
    int beyondBound = 0;
    for (int trial = 0; trial < 300; ++trial) {
        QuantizedTaps q;
        q.bits = 4;
        q.fractionBits = 3;
        const int N = length(random), W = width(random);
        for (int k = 0; k < N; ++k) {
            q.values.push_back(tap(random));
            q.absoluteSum += std::llabs(q.values.back());
        }
        if (q.absoluteSum == 0) continue;
        BitGrowth g;
        ASSERT_TRUE(ComputeBitGrowth(q, W, 0, g));
        // Every input sequence of N samples: the sum at the last one.
        std::int64_t hi = 0, lo = 0;
        const int count = 1 << (W * N);
        for (int code = 0; code < count; ++code) {
            std::vector<std::int64_t> x;
            for (int k = 0; k < N; ++k) {
                x.push_back(((code >> (W * k)) & ((1 << W) - 1)) - (1 << (W - 1)));
            }
            const auto y = static_cast<std::int64_t>(FilterIntegers(q.values, x).back());
            hi = std::max(hi, y);
            lo = std::min(lo, y);
        }
        auto holds = [&](int bits) {
            return lo >= -(std::int64_t{1} << (bits - 1)) && hi < (std::int64_t{1} << (bits - 1));
        };
        SCOPED_TRACE(::testing::PrintToString(q.values) + " W " + std::to_string(W));
        EXPECT_TRUE(holds(g.accumulatorBits));
        EXPECT_FALSE(holds(g.accumulatorBits - 1));
        const std::int64_t S = q.absoluteSum;
        const bool noPositive =
            std::none_of(q.values.begin(), q.values.end(), [](std::int64_t v) { return v > 0; });
        const bool exception = noPositive && (S & (S - 1)) == 0;
        beyondBound += exception;
        EXPECT_EQ(holds(g.boundBits), !exception);
        EXPECT_LE(g.accumulatorBits, g.boundBits + (exception ? 1 : 0));
        EXPECT_EQ(g.accumulatorFractionBits, W - 1 + 3);
    }
    EXPECT_GT(beyondBound, 0);
    // An output rounded to fewer bits keeps the accumulator's integer bits.
    QuantizedTaps q;
    ASSERT_TRUE(QuantizeTaps({0.5, 0.25, -0.125}, 16, q));
    BitGrowth g;
    ASSERT_TRUE(ComputeBitGrowth(q, 12, 16, g));
    EXPECT_EQ(g.outputBits, 16);
    EXPECT_EQ(g.outputBits - g.outputFractionBits, g.accumulatorBits - g.accumulatorFractionBits);
    EXPECT_FALSE(ComputeBitGrowth(q, 12, g.accumulatorBits + 1, g));
    EXPECT_FALSE(ComputeBitGrowth(q, 33, 0, g));
}

}  // namespace
}  // namespace tapwright
