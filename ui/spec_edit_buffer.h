#pragma once

// The values bound to the main window's input fields, as typed, and how a field's
// text and its number turn into each other. The bindings are ui/edit_fields.h's.
// Pure C++.

#include <optional>
#include <string>
#include <string_view>

#include "core/filter_spec.h"

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

}  // namespace tapwright::ui
