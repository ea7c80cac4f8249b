#pragma once

// The values bound to the main window's input fields, as typed, and the two
// transfers between them and the control model: pull (parse every field's text)
// and push (format every value into its field). Pure C++.
//
// Beta, the iteration count, the ratio and the termination radio have no buffer of
// their own: a pull writes them straight into the filter spec, and a push shows the
// filter spec's values.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/filter_spec.h"
#include "ui/control_model.h"

namespace tapwright::ui {

struct SpecEditBuffer {
    float Fc2 = 0.0f;             // Hz, 1020
    float Fc1 = 0.0f;             // Hz, 1019
    int Taps = 0;                 // 1013
    float Tw = 0.0f;              // Hz, 1016
    double SBripMagnitude = 0.0;  // dB, 1015: the magnitude of SBrip as typed
    double PBrip = 0.0;           // dB, 1014
    float Fs = 0.0f;              // Hz, 1056
    double Beta = 0.0;            // 1017, bound to FilterSpec::Beta
    int Itern = 0;                // 1063, bound to FilterSpec::Itern
    double Ratio = 0.0;           // 1066, bound to FilterSpec::Ratio
    int TerCr = -1;               // radios 1085/1086, bound to FilterSpec::TerCr; -1: none
    double Amplitude = 0.0;       // 1111, of the selected band
    double Weight = 1.0;          // 1133, of the selected band
    double Upper = 0.0;           // Hz, 1110, of the selected band
    double Lower = 0.0;           // Hz, 1107, of the selected band
    int TBand = 0;                // 1117
    double ViewLow = 0.0;         // Hz, 1120: the display range, not part of the spec
    double ViewHigh = 0.0;        // Hz, 1121
};

// Ids of the edit fields the buffer is bound to, in the order a pull reads them.
const std::vector<int>& BoundEditIds();

// Field texts. A float shows the shortest text that reads back to it, a double the
// same at the precision it was stored with (StoredValueText: a value loaded from a
// spec file is a float); integers show plainly. Negative zero shows as "0".
std::string FormatFieldNumber(float value);
std::string FormatFieldNumber(double value);
std::string FormatFieldNumber(int value);

// Strict parsers: the whole text must be one decimal number (blanks around it
// allowed, a leading '+' allowed), finite and within the type's range. A value too
// small for the type reads as 0; negative zero reads as 0. Nothing on failure.
std::optional<float> ParseFloatField(std::string_view text);
std::optional<double> ParseDoubleField(std::string_view text);
std::optional<int> ParseIntField(std::string_view text);

// Reads every bound field into the buffer, and Beta, Itern, Ratio and TerCr on into
// the filter spec. A field that does not parse keeps its buffer value; the ids of
// those fields are returned, in pull order.
std::vector<int> PullEditBuffer(const ControlModel& model, SpecEditBuffer& buffer,
                                FilterSpec& spec);

// The ids of the bound fields whose text does not parse, without pulling anything.
std::vector<int> UnparsedFields(const ControlModel& model);

// Takes Beta, Itern, Ratio and TerCr from the filter spec, then writes every value
// into its field (and checks the termination radio).
void PushEditBuffer(SpecEditBuffer& buffer, const FilterSpec& spec, ControlModel& model);

}  // namespace tapwright::ui
