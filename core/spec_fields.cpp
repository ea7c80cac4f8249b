#include "core/spec_fields.h"

#include <algorithm>

#include "core/design_methods.h"

namespace tapwright {

namespace {

constexpr double kIntMax = 2147483647.0;

}  // namespace

// The refusal texts of the file reader: "Fs: -1 is not above 0".
const std::array<SpecField, 17> kSpecFields = {{
    {"FChar", FieldRule::Whole, 0, kSymmetryTypeCount - 1, "",
     [](const FilterSpec& s) -> double { return s.FChar; },
     [](FilterSpec& s, double v) { s.FChar = static_cast<SymmetryType>(v); }},
    {"FType", FieldRule::Whole, 0, kResponseTypeCount - 1, "",
     [](const FilterSpec& s) -> double { return s.FType; },
     [](FilterSpec& s, double v) { s.FType = static_cast<ResponseType>(v); }},
    {"WType", FieldRule::Whole, 0, kDesignMethodCount - 1, "",
     [](const FilterSpec& s) -> double { return s.WType; },
     [](FilterSpec& s, double v) { s.WType = static_cast<DesignMethod>(v); }},
    {"Fs", FieldRule::Positive, 0, 0, "is not above 0",
     [](const FilterSpec& s) -> double { return s.Fs; },
     [](FilterSpec& s, double v) { s.Fs = static_cast<float>(v); }},
    {"Tw", FieldRule::Positive, 0, 0, "is not above 0",
     [](const FilterSpec& s) -> double { return s.Tw; },
     [](FilterSpec& s, double v) { s.Tw = static_cast<float>(v); }},
    {"Fc1", FieldRule::NonNegative, 0, 0, "is negative",
     [](const FilterSpec& s) -> double { return s.Fc1; },
     [](FilterSpec& s, double v) { s.Fc1 = static_cast<float>(v); }},
    {"Fc2", FieldRule::NonNegative, 0, 0, "is negative",
     [](const FilterSpec& s) -> double { return s.Fc2; },
     [](FilterSpec& s, double v) { s.Fc2 = static_cast<float>(v); }},
    {kBandCountKey, FieldRule::Whole, 1, kMaxBands, "",
     [](const FilterSpec& s) -> double { return s.TBand; },
     [](FilterSpec& s, double v) { s.TBand = static_cast<int>(v); }},
    // The FFT size is held as its list index.
    {"FFT", FieldRule::Whole, 0, kFftIndexCount - 1, "",
     [](const FilterSpec& s) -> double { return FftIndexFromSize(s.FFT); },
     [](FilterSpec& s, double v) { s.FFT = FftSizeFromIndex(static_cast<int>(v)); }},
    {"Taps", FieldRule::Whole, kMinTaps, kMaxTaps, "",
     [](const FilterSpec& s) -> double { return s.Taps; },
     [](FilterSpec& s, double v) { s.Taps = static_cast<int>(v); }},
    {"Beta", FieldRule::Between, kMinBeta, kMaxBeta, "is out of range (0 to 15)",
     [](const FilterSpec& s) { return s.Beta; }, [](FilterSpec& s, double v) { s.Beta = v; }},
    {"PBrip", FieldRule::NonNegative, 0, 0, "is negative",
     [](const FilterSpec& s) { return s.PBrip; }, [](FilterSpec& s, double v) { s.PBrip = v; }},
    {"SBrip", FieldRule::NonPositive, 0, 0, "is above 0 (a stop band ripple is held as -dB)",
     [](const FilterSpec& s) { return s.SBrip; }, [](FilterSpec& s, double v) { s.SBrip = v; }},
    {"AutoD", FieldRule::Whole, 0, 1, "", [](const FilterSpec& s) -> double { return s.AutoD; },
     [](FilterSpec& s, double v) { s.AutoD = static_cast<int>(v); }},
    {"TerCr", FieldRule::Whole, 0, kTerminationCriterionCount - 1, "",
     [](const FilterSpec& s) -> double { return s.TerCr; },
     [](FilterSpec& s, double v) { s.TerCr = static_cast<TerminationCriterion>(v); }},
    {"Itern", FieldRule::Whole, 0, kIntMax, "",
     [](const FilterSpec& s) -> double { return s.Itern; },
     [](FilterSpec& s, double v) { s.Itern = static_cast<int>(v); }},
    {"Ratio", FieldRule::NonNegative, 0, 0, "is negative",
     [](const FilterSpec& s) { return s.Ratio; }, [](FilterSpec& s, double v) { s.Ratio = v; }},
}};

const SpecField* FindSpecField(std::string_view key) {
    for (const SpecField& field : kSpecFields) {
        if (field.key == key) return &field;
    }
    return nullptr;
}

const BandField* FindBandField(std::string_view name) {
    for (const BandField& field : kBandFields) {
        if (field.name == name) return &field;
    }
    return nullptr;
}

bool BandFieldStored(const BandField& field, DesignMethod method) {
    if (!field.weighted) return true;
    const DesignMethodInfo* info = MethodInfo(method);
    return info != nullptr && info->weightedBands;
}

int BandRowsOf(const FilterSpec& spec) {
    return std::clamp(spec.TBand, 0, kMaxBands);
}

}  // namespace tapwright
