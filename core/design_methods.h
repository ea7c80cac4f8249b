#pragma once

// The design methods of the Function Type list, one row each: what the list shows,
// which family a method belongs to, its length rule and its longest filter. A new
// method is one row here and its design routine.

#include <array>
#include <string_view>

#include "core/filter_spec.h"

namespace tapwright {

// The window methods design from cutoffs and lay their response out over 0 ... Fs
// (K points); the band-table methods design from the band table and lay it out over
// 0 ... Fs/2, and show no window shape or phase graph.
enum class DesignFamily { Window, Equiripple };

struct DesignMethodInfo {
    DesignMethod method;    // its value is the spec file's WType
    std::string_view text;  // the Function Type item
    DesignFamily family;
    // A window whose length is estimated from the transition width Tw takes
    // N = lengthRule * Fs / Tw; 0 where the method has a rule of its own (Kaiser) or
    // none.
    double lengthRule;
    int maxTaps;  // the longest filter it designs
    // The band table's weight column is an input (stored in the file, shown in the
    // window) for this method only.
    bool weightedBands = false;
};

inline constexpr std::array<DesignMethodInfo, kDesignMethodCount> kDesignMethods = {{
    {Rectangular, "Rectangular", DesignFamily::Window, 0.9, kMaxTaps},
    {Hanning, "Hanning", DesignFamily::Window, 3.1, kMaxTaps},
    {Hamming, "Hamming", DesignFamily::Window, 3.3, kMaxTaps},
    {Blackman, "Blackmann", DesignFamily::Window, 5.5, kMaxTaps},
    {Kaiser, "Kaiser", DesignFamily::Window, 0.0, kMaxTaps},
    {Equiripple, "Equiripple", DesignFamily::Equiripple, 0.0, kMaxEquirippleTaps},
    {ParksMcClellan, "Parks-McClellan", DesignFamily::Equiripple, 0.0, kMaxTaps, true},
}};

// The row of `method`; null for a value outside the table (no selection is -1).
constexpr const DesignMethodInfo* MethodInfo(DesignMethod method) {
    return method >= 0 && method < kDesignMethodCount ? &kDesignMethods[method] : nullptr;
}

// The family of `method`; values outside the table count as window methods.
constexpr DesignFamily FamilyOf(DesignMethod method) {
    const DesignMethodInfo* info = MethodInfo(method);
    return info ? info->family : DesignFamily::Window;
}

// Whether `method` designs from the band table (an equiripple design).
constexpr bool UsesBandTable(DesignMethod method) {
    return FamilyOf(method) == DesignFamily::Equiripple;
}

}  // namespace tapwright
