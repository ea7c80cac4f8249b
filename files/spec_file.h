#pragma once

// The filter spec text file: a line per field ("key: value"), then "Coeff:" and
// one coefficient per line. Pure C++.

#include <string>
#include <string_view>
#include <vector>

#include "core/filter_spec.h"

namespace tapwright {

// The whole file text for `spec`, with the FFT Size selection `fftIndex` (0 ... 9),
// the Auto Design state and the coefficients. Negative zeros in `coeffs` become
// positive zero, in the text and in the array.
std::string FormatSpecFile(const FilterSpec& spec, int fftIndex, int autoDesign,
                           std::vector<double>& coeffs);

// Save: FormatSpecFile, then WriteFileAtomically.
bool SaveSpecFile(const std::string& path, const FilterSpec& spec, int fftIndex, int autoDesign,
                  std::vector<double>& coeffs, std::string* error);

// What a file read gives: the filter spec and the characteristic held from the
// file (applied by SettleLoadedSpec), or an error that names the field and value.
struct SpecReadResult {
    bool ok = false;
    bool cannotOpen = false;  // the file could not be opened (as opposed to damaged)
    FilterSpec spec;
    SymmetryType fileFChar = SymmetricOdd;
    int fftIndex = 6;
    std::string error;
};

// Parses the text completely. `base` supplies what the file does not hold (the band
// rows beyond TBand). Each line's key must be the one its place holds; each value
// must be a whole number or a real that fits its field, and the values together must
// keep the rules between fields (CheckSpecRules), or the read fails and nothing is
// taken.
SpecReadResult ParseSpecFile(std::string_view text, const FilterSpec& base);

// Reads and parses `path`.
SpecReadResult ReadSpecFile(const std::string& path, const FilterSpec& base);

// Reads `path` and settles what it read as Load does (SettleLoadedSpec): the filter
// spec that the window and the batch designer both take from a file.
SpecReadResult ReadSettledSpecFile(const std::string& path, const FilterSpec& base);

}  // namespace tapwright
