#include "core/coefficient_list.h"

#include <algorithm>

#include "core/messages.h"

namespace tapwright {

std::string CoefficientNumberText(int k) {
    return FormatString("  %02d", k);
}

std::string CoefficientValueText(double h) {
    return FormatString("%2.5e", h);
}

std::vector<CoefficientRow> CoefficientListRows(const std::vector<double>& coeffs, int taps) {
    std::vector<CoefficientRow> rows;
    if (taps <= 0) return rows;
    rows.reserve(static_cast<std::size_t>(taps));
    for (int i = 0; i < taps; ++i) {
        rows.push_back({CoefficientNumberText(i + 1), static_cast<std::size_t>(i) < coeffs.size()
                                                          ? CoefficientValueText(coeffs[i])
                                                          : std::string()});
    }
    return rows;
}

std::vector<double> ListedCoefficients(const std::vector<double>& coeffs, int taps) {
    const std::size_t n = std::min(coeffs.size(), static_cast<std::size_t>(std::max(taps, 0)));
    return {coeffs.begin(), coeffs.begin() + static_cast<std::ptrdiff_t>(n)};
}

}  // namespace tapwright
