#include "core/spec_rules.h"

#include <algorithm>

namespace tapwright {

std::vector<int> AllowedSymmetries(int responseType, bool equiripple) {
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
        case 5:
            if (equiripple) {
                return {SymmetricOdd, SymmetricEven, AntisymmetricOdd, AntisymmetricEven};
            }
            return {AntisymmetricOdd};
        default:
            return {};
    }
}

int SymmetryForLength(int responseType, int taps, int current) {
    const bool even = taps % 2 == 0;
    if (responseType == LowPass) return even ? SymmetricEven : SymmetricOdd;
    if (responseType == HighPass) return even ? AntisymmetricEven : SymmetricOdd;
    return current;
}

int SymmetryForSelection(int responseType, bool equiripple, bool autoDesign, int taps,
                         int selectedItem) {
    const std::vector<int> list = AllowedSymmetries(responseType, equiripple);
    if (list.empty()) return SymmetricOdd;
    // With Auto Design off the list is held at its first item; a window design then
    // estimates an odd length of its own.
    if (!autoDesign && !equiripple) return list.front();
    if (responseType == LowPass || responseType == HighPass) {
        return SymmetryForLength(responseType, taps, SymmetricOdd);
    }
    if (!autoDesign) return list.front();
    const int item = std::clamp(selectedItem, 0, static_cast<int>(list.size()) - 1);
    return list[item];
}

int BandCountForResponse(int responseType, bool equiripple, int current) {
    switch (responseType) {
        case LowPass:
        case HighPass:
            return 2;
        case BandPass:
        case BandStop:
        case Differentiator:
            return 3;
        default:
            return equiripple ? 2 : current;
    }
}

bool AutoDesignAvailable(int responseType) {
    return responseType >= LowPass && responseType <= BandStop;
}

void SettleLoadedSpec(FilterSpec& spec, int fileFChar) {
    const bool equiripple = spec.WType == Equiripple;
    if (spec.FType == Hilbert && !equiripple) {
        spec.Fc1 = 0.0f;
        spec.Fc2 = static_cast<float>(spec.Fs * 0.5);
    }
    const std::vector<int> list = AllowedSymmetries(spec.FType, equiripple);
    int item = 0;
    if (spec.AutoD != 0) {
        const auto found = std::find(list.begin(), list.end(), fileFChar);
        if (found != list.end()) item = static_cast<int>(found - list.begin());
    }
    spec.FChar = SymmetryForSelection(spec.FType, equiripple, spec.AutoD != 0, spec.Taps, item);
    spec.RatioTarget = spec.TerCr == ByPeakRatio ? spec.Ratio : -1.0;
}

}  // namespace tapwright
