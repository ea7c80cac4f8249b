#include "core/spec_rules.h"

#include <algorithm>
#include <cmath>

#include "core/design_methods.h"

namespace tapwright {

std::vector<SymmetryType> AllowedSymmetries(ResponseType responseType, bool equiripple) {
    if (IsMultiband(responseType, equiripple)) {
        return {SymmetricOdd, SymmetricEven, AntisymmetricOdd, AntisymmetricEven};
    }
    switch (responseType) {
        case LowPass:
            return {SymmetricOdd, SymmetricEven};
        case HighPass:
            return {SymmetricOdd, AntisymmetricEven};
        case BandPass:
            return {SymmetricOdd, SymmetricEven, AntisymmetricOdd};
        case BandStop:
            return {SymmetricOdd};
        case Differentiator:
            return {AntisymmetricEven};
        case Hilbert:
            return {AntisymmetricOdd};
        default:
            return {};
    }
}

SymmetryType SymmetryForLength(ResponseType responseType, int taps, SymmetryType current) {
    const bool even = taps % 2 == 0;
    if (responseType == LowPass) return even ? SymmetricEven : SymmetricOdd;
    if (responseType == HighPass) return even ? AntisymmetricEven : SymmetricOdd;
    return current;
}

SymmetryType SymmetryForSelection(ResponseType responseType, bool equiripple, bool lengthGiven,
                                  int taps, int selectedItem) {
    const std::vector<SymmetryType> list = AllowedSymmetries(responseType, equiripple);
    if (list.empty()) return SymmetricOdd;
    // While a window design estimates its length the list is held at its first item;
    // the design then makes an odd length of its own.
    if (!lengthGiven && !equiripple) return list.front();
    if (responseType == LowPass || responseType == HighPass) {
        return SymmetryForLength(responseType, taps, SymmetricOdd);
    }
    if (!lengthGiven) return list.front();
    const int item = std::clamp(selectedItem, 0, static_cast<int>(list.size()) - 1);
    return list[item];
}

int BandCountForResponse(ResponseType responseType, bool equiripple, int current) {
    switch (responseType) {
        case LowPass:
        case HighPass:
            return 2;
        case BandPass:
        case BandStop:
        case Differentiator:
            return 3;
        default:
            // Value 5: Multiband starts with two bands; Hilbert has no band table.
            return IsMultiband(responseType, equiripple) ? 2 : current;
    }
}

bool AutoDesignAvailable(ResponseType responseType) {
    return responseType >= LowPass && responseType <= BandStop;
}

void SettleLoadedSpec(FilterSpec& spec, SymmetryType fileFChar) {
    const bool equiripple = UsesBandTable(spec.WType);
    const bool lengthGiven = spec.AutoD != 0;
    if (spec.FType == Hilbert && !equiripple) {
        spec.Fc1 = 0.0f;
        spec.Fc2 = static_cast<float>(spec.Fs * 0.5);
    }
    const std::vector<SymmetryType> list = AllowedSymmetries(spec.FType, equiripple);
    int item = 0;
    if (lengthGiven) {
        const auto found = std::find(list.begin(), list.end(), fileFChar);
        if (found != list.end()) item = static_cast<int>(found - list.begin());
    }
    spec.FChar = SymmetryForSelection(spec.FType, equiripple, lengthGiven, spec.Taps, item);
    spec.RatioTarget = spec.TerCr == ByPeakRatio ? spec.Ratio : -1.0;
}

namespace {

RuleBreak Break(MessageCode code, MessageArgs args = {}) {
    return RuleBreak{code, std::move(args)};
}

}  // namespace

std::optional<RuleBreak> CheckSamplingFrequency(double fs) {
    if (!(std::isfinite(fs) && fs > 0.0)) return Break(MessageCode::NotPositive);
    if (fs > kMaxFs) return Break(MessageCode::FsTooLarge);
    return std::nullopt;
}

std::optional<RuleBreak> CheckGivenLength(int taps) {
    if (taps < kMinTaps) return Break(MessageCode::LengthTooSmall);
    MessageArgs args;
    args.limit = kMaxTaps;
    if (taps > kMaxTaps) return Break(MessageCode::LengthAboveMaximum, args);
    return std::nullopt;
}

std::optional<RuleBreak> CheckFrequencyRange(double value, double half, bool upperFirst) {
    if (upperFirst && value > half) return Break(MessageCode::AboveHalfFs);
    if (value < 0.0) return Break(MessageCode::NotPositive);
    if (value > half) return Break(MessageCode::AboveHalfFs);
    return std::nullopt;
}

std::optional<RuleBreak> CheckViewRange(double low, double high, double half, bool lowEnd) {
    MessageArgs args;
    if (lowEnd && (low > high || low > half)) {
        args.rangeLow = 0.0;
        args.rangeHigh = high;
        return Break(MessageCode::ViewLowOutOfRange, args);
    }
    if (!lowEnd && (high < low || high > half)) {
        args.rangeLow = low;
        args.rangeHigh = half;
        return Break(MessageCode::ViewHighOutOfRange, args);
    }
    if ((lowEnd ? low : high) < 0.0) return Break(MessageCode::NotPositive);
    return std::nullopt;
}

std::optional<RuleBreak> CheckTransitionWidth(double tw, ResponseType type, double fc1, double fc2,
                                              double half) {
    MessageArgs args;
    if (type == LowPass || type == HighPass) {
        if (fc1 + tw > half) {
            args.maxWidth = half - fc1;
            return Break(MessageCode::TransitionWidthRange, args);
        }
    } else if (type == BandPass || type == BandStop) {
        const double d = std::fabs(fc2 - fc1);
        if (2.0 * tw + d > half) {
            args.maxWidth = (half - d) / 2.0;
            return Break(MessageCode::TransitionWidthRange, args);
        }
    }
    if (tw <= 0.0) return Break(MessageCode::NotPositive);
    return std::nullopt;
}

std::optional<RuleBreak> CheckBandOrder(const FilterSpec& spec) {
    const int bands = std::clamp(spec.TBand, 1, kMaxBands);
    MessageArgs args;
    for (int i = 1; i <= bands; ++i) {
        if (spec.Bands[i - 1].Lower > spec.Bands[i - 1].Upper) {
            args.bandA = i;
            return Break(MessageCode::BandRangeError, args);
        }
    }
    for (int i = 2; i <= bands; ++i) {
        if (spec.Bands[i - 2].Upper > spec.Bands[i - 1].Lower) {
            args.bandA = i - 1;
            args.bandB = i;
            return Break(MessageCode::BandOverlapError, args);
        }
    }
    return std::nullopt;
}

std::optional<SpecRuleBreak> CheckSpecRules(const FilterSpec& spec) {
    auto at = [](std::string key, double value, const std::optional<RuleBreak>& why) {
        return std::optional<SpecRuleBreak>(SpecRuleBreak{std::move(key), value, *why});
    };
    if (auto why = CheckSamplingFrequency(spec.Fs)) return at("Fs", spec.Fs, why);
    const double half = spec.Fs * 0.5;
    if (UsesBandTable(spec.WType)) {
        const int bands = std::clamp(spec.TBand, 1, kMaxBands);
        for (int i = 1; i <= bands; ++i) {
            const BandSpec& band = spec.Bands[i - 1];
            const std::string name = "Bd" + std::to_string(i);
            if (auto why = CheckFrequencyRange(band.Lower, half, false)) {
                return at(name + "L", band.Lower, why);
            }
            if (auto why = CheckFrequencyRange(band.Upper, half, false)) {
                return at(name + "U", band.Upper, why);
            }
        }
        if (auto why = CheckBandOrder(spec)) {
            // Told at the upper edge of the first band out of order.
            const int i = why->args.bandA;
            return at("Bd" + std::to_string(i) + "U", spec.Bands[i - 1].Upper, why);
        }
        return std::nullopt;
    }
    // A Hilbert transformer takes its cutoffs from Fs; a differentiator, band pass and
    // band stop use both.
    if (spec.FType == Hilbert) return std::nullopt;
    if (auto why = CheckFrequencyRange(spec.Fc1, half, true)) return at("Fc1", spec.Fc1, why);
    if (spec.FType != LowPass && spec.FType != HighPass) {
        if (auto why = CheckFrequencyRange(spec.Fc2, half, true)) {
            return at("Fc2", spec.Fc2, why);
        }
    }
    if (spec.AutoD == 0 && AutoDesignAvailable(spec.FType)) {
        if (auto why = CheckTransitionWidth(spec.Tw, spec.FType, spec.Fc1, spec.Fc2, half)) {
            return at("Tw", spec.Tw, why);
        }
    }
    return std::nullopt;
}

}  // namespace tapwright
