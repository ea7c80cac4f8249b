#pragma once

// Numeric constants of the design engine. They are used exactly as written (to 11
// decimal places), not as the closest doubles to pi, so that every design reproduces
// the same numbers.

#include <cmath>
#include <limits>

namespace tapwright {

inline constexpr double kPi = 3.14159265359;
inline constexpr double kTwoPi = 6.28318530718;
inline constexpr double kFourPi = 12.56637061436;
inline constexpr double kHalfPi = 1.570796326795;
inline constexpr double kTwoOverPi = 0.6366197723675394;

// Most reweighted solves of an equiripple design that stops on the peak-error ratio.
inline constexpr int kRatioSolveLimit = 40;

// Truncates toward zero into lo ... hi; NaN gives lo. Keeps non-finite or huge
// values away from the integer conversion.
inline int TruncClamp(double x, int lo, int hi) {
    if (!(x >= lo)) return lo;  // also NaN
    if (x >= hi) return hi;
    return static_cast<int>(x);
}

}  // namespace tapwright
