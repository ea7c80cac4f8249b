#pragma once

// The fields of a filter spec, one row each, in the order the spec file holds them:
// the key, whether the value is whole, the rule a read value must keep and how the
// value is taken from and put into FilterSpec. The spec file's writer and reader and
// the JSON export all walk this table.

#include <array>
#include <string_view>

#include "core/filter_spec.h"

namespace tapwright {

// What a value read from a file must satisfy.
enum class FieldRule {
    Whole,        // a whole number in min ... max
    Positive,     // a real above 0
    NonNegative,  // a real of 0 or more
    NonPositive,  // a real of 0 or less
    Between,      // a real in min ... max
};

struct SpecField {
    std::string_view key;
    FieldRule rule;
    double min = 0.0;  // Whole and Between
    double max = 0.0;
    // What a refused real is said to be ("is negative"); Whole values say their range.
    const char* refusal = "";
    double (*get)(const FilterSpec&) = nullptr;
    void (*set)(FilterSpec&, double) = nullptr;

    bool Whole() const { return rule == FieldRule::Whole; }
};

// One value of each band row: the file writes it as Bd<i><suffix>, the JSON export
// under `name`. A read value must keep `rule` (NonNegative or Positive), else the
// read is refused with `refusal`. A weighted field is stored only for the methods
// that weight their bands, so the files of every other method stay as they were.
struct BandField {
    char suffix;
    std::string_view name;
    double BandSpec::*member;
    FieldRule rule = FieldRule::NonNegative;
    const char* refusal = "is negative";
    bool weighted = false;
};

// The scalar fields in file order. The band rows follow the row of TBand.
extern const std::array<SpecField, 17> kSpecFields;
inline constexpr std::string_view kBandCountKey = "TBand";
inline constexpr std::array<BandField, 4> kBandFields = {{
    {'L', "Lower", &BandSpec::Lower},
    {'U', "Upper", &BandSpec::Upper},
    {'A', "Amplitude", &BandSpec::Amplitude},
    {'W', "Weight", &BandSpec::Weight, FieldRule::Positive, "is not above 0", true},
}};

// The scalar field of `key`, the band field named `name`; null when none has it.
const SpecField* FindSpecField(std::string_view key);
const BandField* FindBandField(std::string_view name);

// Whether a spec of `method` stores `field` (a weight only where the method reads it).
bool BandFieldStored(const BandField& field, DesignMethod method);

// The bands a spec holds: TBand clamped into 0 ... kMaxBands.
int BandRowsOf(const FilterSpec& spec);

}  // namespace tapwright
