#pragma once

// Fixed-point forms of a design's coefficients: signed B-bit integers with a
// power-of-two scale, rounded to nearest.

#include <cstdint>
#include <vector>

namespace tapwright {

inline constexpr int kMinQuantizeBits = 2;
inline constexpr int kMaxQuantizeBits = 32;
// Bounds of the scale exponent, so that 2^F and every scaled tap stay finite.
inline constexpr int kMinFractionBits = -1000;
inline constexpr int kMaxFractionBits = 1000;

struct QuantizedTaps {
    int bits = 0;                      // B, kMinQuantizeBits ... kMaxQuantizeBits
    int fractionBits = 0;              // F: tap = value * 2^-F (scale 2^F)
    int guardBits = 0;                 // g = B - 1 - F; negative when every tap lies below 1/2
    int saturated = 0;                 // taps clipped to the signed range
    std::vector<std::int64_t> values;  // each in -2^(B-1) ... 2^(B-1) - 1

    // 2^F.
    double Scale() const;
    // value / 2^F for every tap: the coefficients the fixed-point filter applies.
    std::vector<double> Taps() const;
};

// Integers round(h * 2^F), halves away from zero, clipped to the signed B-bit range
// (each clipped tap counted in `saturated`). False for B outside 2 ... 32, F outside
// kMinFractionBits ... kMaxFractionBits, or a tap that is not finite.
bool QuantizeTaps(const std::vector<double>& h, int bits, int fractionBits, QuantizedTaps& out);

// The largest F (within kMinFractionBits ... kMaxFractionBits) at which every tap
// rounds into the signed B-bit range: the largest tap fits and none saturates.
// All-zero taps give F = B - 1. B outside 2 ... 32 or a tap that is not finite
// gives kMinFractionBits.
int FitFractionBits(const std::vector<double>& h, int bits);

// QuantizeTaps at the scale FitFractionBits chooses.
bool QuantizeTaps(const std::vector<double>& h, int bits, QuantizedTaps& out);

}  // namespace tapwright
