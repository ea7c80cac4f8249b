#pragma once

// Texts of the coefficient list: one row per coefficient, its number and its value.

#include <string>
#include <vector>

namespace tapwright {

struct CoefficientRow {
    std::string number;  // "  %02d", counted from 1
    std::string value;   // "%2.5e"
};

// Row number text of coefficient k (counted from 1).
std::string CoefficientNumberText(int k);
// Value text of one coefficient.
std::string CoefficientValueText(double h);

// The `taps` rows of the list, row i showing h[i]. Rows beyond the coefficients
// given (never the case after a design) show an empty value.
std::vector<CoefficientRow> CoefficientListRows(const std::vector<double>& coeffs, int taps);

// The coefficients a design of `taps` taps lists: the first `taps` of `coeffs`, or
// all of them when there are fewer.
std::vector<double> ListedCoefficients(const std::vector<double>& coeffs, int taps);

}  // namespace tapwright
