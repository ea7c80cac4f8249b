#include "ui/spec_edit_buffer.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "core/number_text.h"
#include "ui/control_ids.h"

namespace tapwright::ui {

namespace {

std::string_view Trimmed(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    // A leading '+' is a sign the library does not take; "+-1" stays refused.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    return text;
}

template <typename T>
std::optional<T> ParseReal(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return std::nullopt;
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ptr != end) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Overflow is refused; a number too small for the type reads as zero.
        const std::string copy(text);
        const double wide = std::strtod(copy.c_str(), nullptr);
        if (std::isinf(wide) || std::fabs(wide) >= 1.0) return std::nullopt;
        return T{0};
    }
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    if (value == T{0}) value = T{0};  // no negative zero
    return value;
}

enum class Kind { Float, Double, Int };

struct Binding {
    int id;
    Kind kind;
    float SpecEditBuffer::*f = nullptr;
    double SpecEditBuffer::*d = nullptr;
    int SpecEditBuffer::*i = nullptr;
};

Binding F(int id, float SpecEditBuffer::*m) {
    return {id, Kind::Float, m, nullptr, nullptr};
}
Binding D(int id, double SpecEditBuffer::*m) {
    return {id, Kind::Double, nullptr, m, nullptr};
}
Binding I(int id, int SpecEditBuffer::*m) {
    return {id, Kind::Int, nullptr, nullptr, m};
}

// The edit fields in the order of the buffer.
const std::vector<Binding>& Bindings() {
    static const std::vector<Binding> bindings = {
        F(kSecondCutoffEdit, &SpecEditBuffer::Fc2),
        F(kFirstCutoffEdit, &SpecEditBuffer::Fc1),
        I(kLengthEdit, &SpecEditBuffer::Taps),
        F(kTransitionEdit, &SpecEditBuffer::Tw),
        D(kStopRippleEdit, &SpecEditBuffer::SBripMagnitude),
        D(kPassRippleEdit, &SpecEditBuffer::PBrip),
        F(kSamplingFrequencyEdit, &SpecEditBuffer::Fs),
        D(kBetaEdit, &SpecEditBuffer::Beta),
        I(kIterationsEdit, &SpecEditBuffer::Itern),
        D(kRatioEdit, &SpecEditBuffer::Ratio),
        D(kAmplitudeEdit, &SpecEditBuffer::Amplitude),
        D(kWeightEdit, &SpecEditBuffer::Weight),
        D(kUpperEdgeEdit, &SpecEditBuffer::Upper),
        D(kLowerEdgeEdit, &SpecEditBuffer::Lower),
        I(kBandCountEdit, &SpecEditBuffer::TBand),
        D(kViewLowEdit, &SpecEditBuffer::ViewLow),
        D(kViewHighEdit, &SpecEditBuffer::ViewHigh),
    };
    return bindings;
}

// Parses one field into the buffer; false (buffer unchanged) when it does not parse.
bool Read(const Binding& b, const std::string& text, SpecEditBuffer* buffer) {
    switch (b.kind) {
        case Kind::Float: {
            const std::optional<float> v = ParseFloatField(text);
            if (v && buffer) buffer->*b.f = *v;
            return v.has_value();
        }
        case Kind::Double: {
            const std::optional<double> v = ParseDoubleField(text);
            if (v && buffer) buffer->*b.d = *v;
            return v.has_value();
        }
        case Kind::Int: {
            const std::optional<int> v = ParseIntField(text);
            if (v && buffer) buffer->*b.i = *v;
            return v.has_value();
        }
    }
    return false;
}

std::string Write(const Binding& b, const SpecEditBuffer& buffer) {
    switch (b.kind) {
        case Kind::Float:
            return FormatFieldNumber(buffer.*b.f);
        case Kind::Double:
            return FormatFieldNumber(buffer.*b.d);
        case Kind::Int:
            return FormatFieldNumber(buffer.*b.i);
    }
    return {};
}

}  // namespace

const std::vector<int>& BoundEditIds() {
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (const Binding& b : Bindings()) v.push_back(b.id);
        return v;
    }();
    return ids;
}

std::string FormatFieldNumber(float value) {
    return ShortestText(value);
}
std::string FormatFieldNumber(double value) {
    return StoredValueText(value);
}
std::string FormatFieldNumber(int value) {
    return std::to_string(value);
}

std::optional<float> ParseFloatField(std::string_view text) {
    return ParseReal<float>(text);
}
std::optional<double> ParseDoubleField(std::string_view text) {
    return ParseReal<double>(text);
}

std::optional<int> ParseIntField(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::vector<int> PullEditBuffer(const ControlModel& model, SpecEditBuffer& buffer,
                                FilterSpec& spec) {
    std::vector<int> unparsed;
    for (const Binding& b : Bindings()) {
        if (!Read(b, model.Text(b.id), &buffer)) unparsed.push_back(b.id);
    }
    if (model.Checked(kIterationsRadio)) {
        buffer.TerCr = ByIterations;
    } else if (model.Checked(kPeakRatioRadio)) {
        buffer.TerCr = ByPeakRatio;
    }
    spec.Beta = buffer.Beta;
    spec.Itern = buffer.Itern;
    spec.Ratio = buffer.Ratio;
    if (buffer.TerCr >= 0) spec.TerCr = static_cast<TerminationCriterion>(buffer.TerCr);
    return unparsed;
}

std::vector<int> UnparsedFields(const ControlModel& model) {
    std::vector<int> unparsed;
    for (const Binding& b : Bindings()) {
        if (!Read(b, model.Text(b.id), nullptr)) unparsed.push_back(b.id);
    }
    return unparsed;
}

void PushEditBuffer(SpecEditBuffer& buffer, const FilterSpec& spec, ControlModel& model) {
    buffer.Beta = spec.Beta;
    buffer.Itern = spec.Itern;
    buffer.Ratio = spec.Ratio;
    buffer.TerCr = spec.TerCr;
    for (const Binding& b : Bindings()) model.SetText(b.id, Write(b, buffer));
    model.SetChecked(kIterationsRadio, buffer.TerCr == ByIterations);
    model.SetChecked(kPeakRatioRadio, buffer.TerCr == ByPeakRatio);
}

}  // namespace tapwright::ui
