#include "core/quantize.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tapwright {

namespace {

bool ValidBits(int bits) {
    return bits >= kMinQuantizeBits && bits <= kMaxQuantizeBits;
}

// Whether every tap, scaled by 2^F and rounded, lies in the signed range.
bool AllFit(const std::vector<double>& h, int bits, int fractionBits) {
    const double hi = std::ldexp(1.0, bits - 1) - 1.0;
    const double lo = -std::ldexp(1.0, bits - 1);
    for (double x : h) {
        const double r = std::round(std::ldexp(x, fractionBits));
        if (!(r >= lo && r <= hi)) return false;
    }
    return true;
}

}  // namespace

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

bool QuantizeTaps(const std::vector<double>& h, int bits, int fractionBits, QuantizedTaps& out) {
    if (!ValidBits(bits) || fractionBits < kMinFractionBits || fractionBits > kMaxFractionBits) {
        return false;
    }
    for (double x : h) {
        if (!std::isfinite(x)) return false;
    }
    const double hi = std::ldexp(1.0, bits - 1) - 1.0;
    const double lo = -std::ldexp(1.0, bits - 1);
    QuantizedTaps q;
    q.bits = bits;
    q.fractionBits = fractionBits;
    q.guardBits = bits - 1 - fractionBits;
    q.values.reserve(h.size());
    for (double x : h) {
        // The scaled tap may be infinite for a huge tap; the comparisons clip it
        // before any conversion to an integer.
        double r = std::round(std::ldexp(x, fractionBits));
        if (r > hi) {
            r = hi;
            ++q.saturated;
        } else if (r < lo) {
            r = lo;
            ++q.saturated;
        }
        q.values.push_back(static_cast<std::int64_t>(r));
    }
    out = std::move(q);
    return true;
}

int FitFractionBits(const std::vector<double>& h, int bits) {
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
        if (f >= kMinFractionBits && f <= kMaxFractionBits && AllFit(h, bits, f)) return f;
    }
    return std::clamp(start - 1, kMinFractionBits, kMaxFractionBits);
}

bool QuantizeTaps(const std::vector<double>& h, int bits, QuantizedTaps& out) {
    return QuantizeTaps(h, bits, FitFractionBits(h, bits), out);
}

}  // namespace tapwright
