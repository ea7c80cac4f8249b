#include "core/fixed_point.h"

#include <algorithm>
#include <utility>

namespace tapwright {

FirModel::FirModel(std::vector<std::int64_t> taps)
    : taps_(std::move(taps)), line_(taps_.size(), 0) {}

void FirModel::Reset() {
    std::fill(line_.begin(), line_.end(), 0);
    newest_ = 0;
}

WideInt FirModel::Step(std::int64_t x) {
    const std::size_t N = line_.size();
    if (N == 0) return 0;
    newest_ = newest_ == 0 ? N - 1 : newest_ - 1;
    line_[newest_] = x;
    WideInt sum = 0;
    for (std::size_t k = 0, i = newest_; k < N; ++k, i = i + 1 == N ? 0 : i + 1) {
        sum += static_cast<WideInt>(taps_[k]) * line_[i];
    }
    return sum;
}

std::vector<WideInt> FilterIntegers(const std::vector<std::int64_t>& q,
                                    const std::vector<std::int64_t>& x) {
    FirModel model(q);
    std::vector<WideInt> y;
    y.reserve(x.size());
    for (std::int64_t v : x) y.push_back(model.Step(v));
    return y;
}

WideInt RoundShift(WideInt v, int drop, Rounding r) {
    if (drop <= 0) return v;
    const WideInt one = 1;
    const WideInt floor = v >> drop;  // arithmetic shift: toward minus infinity
    const WideInt rest = v - (floor << drop);
    if (rest == 0) return floor;
    const WideInt half = one << (drop - 1);
    switch (r) {
        case Rounding::Floor:
            return floor;
        case Rounding::TowardZero:
            return v < 0 ? floor + 1 : floor;
        case Rounding::NearestEven:
            if (rest != half) return rest > half ? floor + 1 : floor;
            return (floor & 1) == 0 ? floor : floor + 1;
        default:
            if (rest != half) return rest > half ? floor + 1 : floor;
            return v > 0 ? floor + 1 : floor;
    }
}

WideInt SaturateTo(WideInt v, int bits) {
    const WideInt top = (static_cast<WideInt>(1) << (bits - 1)) - 1;
    return std::clamp(v, -top - 1, top);
}

std::string WideToString(WideInt v) {
    if (v == 0) return "0";
    const bool negative = v < 0;
    std::string digits;
    while (v != 0) {
        const int d = static_cast<int>(v % 10);
        digits += static_cast<char>('0' + (d < 0 ? -d : d));
        v /= 10;
    }
    if (negative) digits += '-';
    std::reverse(digits.begin(), digits.end());
    return digits;
}

}  // namespace tapwright
