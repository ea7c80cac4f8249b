#include "core/quantize.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/fixed_point.h"
#include "core/messages.h"

namespace tapwright {

namespace {

constexpr const char* kRoundingNames[kRoundingCount] = {"nearest", "even", "floor", "zero"};
constexpr const char* kOverflowNames[2] = {"saturate", "error"};

bool ValidBits(int bits) {
    return bits >= kMinQuantizeBits && bits <= kMaxQuantizeBits;
}

// Whether every tap, scaled by 2^F and rounded, lies in the signed range.
bool AllFit(const std::vector<double>& h, int bits, int fractionBits, Rounding rounding) {
    const double hi = std::ldexp(1.0, bits - 1) - 1.0;
    const double lo = -std::ldexp(1.0, bits - 1);
    for (double x : h) {
        const double r = RoundValue(std::ldexp(x, fractionBits), rounding);
        if (!(r >= lo && r <= hi)) return false;
    }
    return true;
}

// The fewest bits of a signed integer that holds both lo <= 0 and hi >= 0.
int SignedWidth(WideInt lo, WideInt hi) {
    int n = 1;
    while (lo < -(static_cast<WideInt>(1) << (n - 1)) ||
           hi > (static_cast<WideInt>(1) << (n - 1)) - 1) {
        ++n;
    }
    return n;
}

}  // namespace

const char* RoundingName(Rounding r) {
    const int i = static_cast<int>(r);
    return i >= 0 && i < kRoundingCount ? kRoundingNames[i] : "nearest";
}

std::optional<Rounding> RoundingFromName(std::string_view name) {
    for (int i = 0; i < kRoundingCount; ++i) {
        if (name == kRoundingNames[i]) return static_cast<Rounding>(i);
    }
    return std::nullopt;
}

const char* OverflowName(Overflow o) {
    return o == Overflow::Error ? kOverflowNames[1] : kOverflowNames[0];
}

std::optional<Overflow> OverflowFromName(std::string_view name) {
    if (name == kOverflowNames[0]) return Overflow::Saturate;
    if (name == kOverflowNames[1]) return Overflow::Error;
    return std::nullopt;
}

double RoundValue(double x, Rounding r) {
    switch (r) {
        case Rounding::NearestEven: {
            // Exact: x - floor(x) is representable for every finite double.
            const double f = std::floor(x);
            const double d = x - f;
            if (d > 0.5) return f + 1.0;
            if (d < 0.5) return f;
            return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
        }
        case Rounding::Floor:
            return std::floor(x);
        case Rounding::TowardZero:
            return std::trunc(x);
        default:
            return std::round(x);
    }
}

double QuantizedTaps::Scale() const {
    return std::ldexp(1.0, fractionBits);
}

std::vector<double> QuantizedTaps::Taps() const {
    std::vector<double> taps(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        taps[i] = std::ldexp(static_cast<double>(values[i]), -fractionBits);
    }
    return taps;
}

double QuantizedTaps::CoefficientSum() const {
    return std::ldexp(static_cast<double>(integerSum), -fractionBits);
}

std::string QuantizedTaps::FormatName() const {
    return FormatString("Q%d.%d", bits - 1 - fractionBits, fractionBits);
}

bool QuantizeTaps(const std::vector<double>& h, const QuantizeOptions& o, QuantizedTaps& out,
                  std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what;
        return false;
    };
    if (!ValidBits(o.bits)) {
        return fail(FormatString("the word length must be %d to %d bits", kMinQuantizeBits,
                                 kMaxQuantizeBits));
    }
    if (o.fraction && (*o.fraction < kMinFractionBits || *o.fraction > kMaxFractionBits)) {
        return fail(
            FormatString("the fraction bits must be %d to %d", kMinFractionBits, kMaxFractionBits));
    }
    for (double x : h) {
        if (!std::isfinite(x)) return fail("the design has coefficients that are not finite");
    }
    const int fractionBits = o.fraction ? *o.fraction : FitFractionBits(h, o.bits, o.rounding);
    const double hi = std::ldexp(1.0, o.bits - 1) - 1.0;
    const double lo = -std::ldexp(1.0, o.bits - 1);
    QuantizedTaps q;
    q.bits = o.bits;
    q.fractionBits = fractionBits;
    q.guardBits = o.bits - 1 - fractionBits;
    q.rounding = o.rounding;
    q.overflow = o.overflow;
    q.values.reserve(h.size());
    for (std::size_t i = 0; i < h.size(); ++i) {
        // The scaled tap may be infinite for a huge tap; the comparisons clip it
        // before any conversion to an integer.
        double r = RoundValue(std::ldexp(h[i], fractionBits), o.rounding);
        if (!(r >= lo && r <= hi) && o.overflow == Overflow::Error) {
            return fail(FormatString("tap %zu (%.17g) does not fit %d bits as %s (%g ... %g)", i,
                                     h[i], o.bits, q.FormatName().c_str(),
                                     std::ldexp(lo, -fractionBits), std::ldexp(hi, -fractionBits)));
        }
        if (r > hi) {
            r = hi;
            ++q.saturated;
        } else if (r < lo) {
            r = lo;
            ++q.saturated;
        }
        const auto v = static_cast<std::int64_t>(r);
        q.values.push_back(v);
        q.integerSum += v;
        q.absoluteSum += std::llabs(v);
        q.largestError = std::fmax(
            q.largestError, std::fabs(std::ldexp(static_cast<double>(v), -fractionBits) - h[i]));
    }
    out = std::move(q);
    return true;
}

bool QuantizeTaps(const std::vector<double>& h, int bits, int fractionBits, QuantizedTaps& out) {
    QuantizeOptions o;
    o.bits = bits;
    o.fraction = fractionBits;
    return QuantizeTaps(h, o, out);
}

int FitFractionBits(const std::vector<double>& h, int bits, Rounding rounding) {
    if (!ValidBits(bits)) return kMinFractionBits;
    double largest = 0.0;
    for (double x : h) {
        if (!std::isfinite(x)) return kMinFractionBits;
        largest = std::fmax(largest, std::fabs(x));
    }
    if (largest == 0.0) return bits - 1;
    // largest < 2^e, so largest * 2^(B-1-e) < 2^(B-1). Rounding may carry it over
    // the top, and a negative tap may reach one step further (-2^(B-1)): try one
    // bit more and one less. One less always fits (below 2^(B-2) before rounding).
    int e = 0;
    std::frexp(largest, &e);
    const int start = bits - 1 - e;
    for (int f = start + 1; f > start - 1; --f) {
        if (f >= kMinFractionBits && f <= kMaxFractionBits && AllFit(h, bits, f, rounding)) {
            return f;
        }
    }
    return std::clamp(start - 1, kMinFractionBits, kMaxFractionBits);
}

bool QuantizeTaps(const std::vector<double>& h, int bits, QuantizedTaps& out) {
    QuantizeOptions o;
    o.bits = bits;
    return QuantizeTaps(h, o, out);
}

bool ComputeBitGrowth(const QuantizedTaps& q, int inputBits, int outputBits, BitGrowth& out) {
    if (inputBits < kMinInputBits || inputBits > kMaxInputBits) return false;
    // Each product reaches its extremes independently of the others: a positive
    // tap is largest at the largest input, 2^(W-1) - 1, and smallest at -2^(W-1).
    const WideInt top = (static_cast<WideInt>(1) << (inputBits - 1)) - 1;
    const WideInt bottom = -(static_cast<WideInt>(1) << (inputBits - 1));
    WideInt hi = 0, lo = 0;
    for (std::int64_t v : q.values) {
        const WideInt c = v;
        hi += c > 0 ? c * top : c * bottom;
        lo += c > 0 ? c * bottom : c * top;
    }
    BitGrowth g;
    g.inputBits = inputBits;
    int log2Sum = 0;
    while ((static_cast<std::int64_t>(1) << log2Sum) < q.absoluteSum) ++log2Sum;
    g.boundBits = inputBits + log2Sum;
    // All-zero taps keep the input's width.
    g.accumulatorBits = q.absoluteSum == 0 ? inputBits : SignedWidth(lo, hi);
    g.accumulatorFractionBits = inputBits - 1 + q.fractionBits;
    if (outputBits != 0 && (outputBits < 2 || outputBits > g.accumulatorBits)) return false;
    g.outputBits = outputBits == 0 ? g.accumulatorBits : outputBits;
    g.outputFractionBits = g.accumulatorFractionBits - (g.accumulatorBits - g.outputBits);
    out = g;
    return true;
}

std::string QuantizationSummary(const QuantizedTaps& q, const BitGrowth* growth) {
    std::string text = FormatString(
        "%d bits %s, rounding %s, overflow %s (%d saturated), largest error %.3g, "
        "coefficient sum %.10g",
        q.bits, q.FormatName().c_str(), RoundingName(q.rounding), OverflowName(q.overflow),
        q.saturated, q.largestError, q.CoefficientSum());
    if (growth) {
        text += FormatString(", input %d bits, accumulator %d bits (bound %d)", growth->inputBits,
                             growth->accumulatorBits, growth->boundBits);
        if (growth->outputBits != growth->accumulatorBits) {
            text += FormatString(", output %d bits Q%d.%d", growth->outputBits,
                                 growth->outputBits - 1 - growth->outputFractionBits,
                                 growth->outputFractionBits);
        }
    }
    return text;
}

}  // namespace tapwright
