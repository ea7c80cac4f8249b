#pragma once

// Fixed-point forms of a design's coefficients: signed B-bit integers with a
// power-of-two scale, a rounding rule and an overflow rule, and the word growth a
// filter of those integers needs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tapwright {

inline constexpr int kMinQuantizeBits = 2;
inline constexpr int kMaxQuantizeBits = 32;
// Bounds of the scale exponent, so that 2^F and every scaled tap stay finite.
inline constexpr int kMinFractionBits = -1000;
inline constexpr int kMaxFractionBits = 1000;

// How a scaled tap becomes an integer.
enum class Rounding : int {
    Nearest = 0,  // to nearest, halves away from zero
    NearestEven,  // to nearest, halves to the even neighbour (convergent)
    Floor,        // toward minus infinity (two's complement truncation)
    TowardZero,   // drop the fraction
};
inline constexpr int kRoundingCount = 4;

// What happens to a tap beyond the signed range.
enum class Overflow : int {
    Saturate = 0,  // clip to the nearest end of the range (counted)
    Error,         // refuse, naming the first such tap
};

// "nearest", "even", "floor", "zero" (as tapwright-cli takes them).
const char* RoundingName(Rounding r);
std::optional<Rounding> RoundingFromName(std::string_view name);
// "saturate", "error".
const char* OverflowName(Overflow o);
std::optional<Overflow> OverflowFromName(std::string_view name);

// The rounded value of x under `r`. Finite x only; the result may be beyond any
// integer type, so callers range-check it before converting.
double RoundValue(double x, Rounding r);

struct QuantizeOptions {
    int bits = 0;                 // B: 0 for none, else kMinQuantizeBits ... kMaxQuantizeBits
    std::optional<int> fraction;  // F given; none: FitFractionBits chooses
    Rounding rounding = Rounding::Nearest;
    Overflow overflow = Overflow::Saturate;
};

struct QuantizedTaps {
    int bits = 0;                      // B, kMinQuantizeBits ... kMaxQuantizeBits
    int fractionBits = 0;              // F: tap = value * 2^-F (scale 2^F)
    int guardBits = 0;                 // g = B - 1 - F; negative when every tap lies below 1/2
    int saturated = 0;                 // taps clipped to the signed range
    std::vector<std::int64_t> values;  // each in -2^(B-1) ... 2^(B-1) - 1
    Rounding rounding = Rounding::Nearest;
    Overflow overflow = Overflow::Saturate;
    double largestError = 0.0;     // max |value * 2^-F - h|, in units of the taps
    std::int64_t integerSum = 0;   // sum of the values
    std::int64_t absoluteSum = 0;  // sum of |value|

    // 2^F.
    double Scale() const;
    // value / 2^F for every tap: the coefficients the fixed-point filter applies.
    std::vector<double> Taps() const;
    // integerSum / 2^F: the gain at DC of the fixed-point taps.
    double CoefficientSum() const;
    // "Q1.14": B - F - 1 integer bits and F fraction bits.
    std::string FormatName() const;
};

// Integers round(h * 2^F), halves away from zero, clipped to the signed B-bit range
// (each clipped tap counted in `saturated`). False for B outside 2 ... 32, F outside
// kMinFractionBits ... kMaxFractionBits, or a tap that is not finite.
bool QuantizeTaps(const std::vector<double>& h, int bits, int fractionBits, QuantizedTaps& out);

// The largest F (within kMinFractionBits ... kMaxFractionBits) at which every tap
// rounds into the signed B-bit range: the largest tap fits and none saturates.
// All-zero taps give F = B - 1. B outside 2 ... 32 or a tap that is not finite
// gives kMinFractionBits.
int FitFractionBits(const std::vector<double>& h, int bits, Rounding rounding = Rounding::Nearest);

// QuantizeTaps at the scale FitFractionBits chooses.
bool QuantizeTaps(const std::vector<double>& h, int bits, QuantizedTaps& out);

// The taps under every choice of `o` (o.bits must be 2 ... 32). False with `error`
// set for arguments out of range, a tap that is not finite, or, under
// Overflow::Error, a tap beyond the range (the message names it, counted from 0).
bool QuantizeTaps(const std::vector<double>& h, const QuantizeOptions& o, QuantizedTaps& out,
                  std::string* error = nullptr);

// The word growth of a filter y[n] = sum q[k] x[n-k] with a signed input of
// `inputBits` (W) bits read as a fraction of full scale (W - 1 fraction bits).
struct BitGrowth {
    int inputBits = 0;                // W
    int boundBits = 0;                // W + ceil(log2 sum|q|): the usual bound
    int accumulatorBits = 0;          // the fewest bits that hold every possible output
    int accumulatorFractionBits = 0;  // W - 1 + F
    int outputBits = 0;               // after the output rounding (accumulatorBits: none)
    int outputFractionBits = 0;
};

inline constexpr int kMinInputBits = 2;
inline constexpr int kMaxInputBits = 32;

// The growth of `q` for W = inputBits (2 ... 32) and an output rounded to
// `outputBits` (0: full precision; else 2 ... accumulatorBits). False for an input
// width or output width out of range.
bool ComputeBitGrowth(const QuantizedTaps& q, int inputBits, int outputBits, BitGrowth& out);

// One line: format, rounding, overflow, largest error, coefficient sum, and with a
// growth the accumulator and output widths.
std::string QuantizationSummary(const QuantizedTaps& q, const BitGrowth* growth);

}  // namespace tapwright
