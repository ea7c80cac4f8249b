#include "core/spec_rules.h"

#include <algorithm>

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

}  // namespace tapwright
