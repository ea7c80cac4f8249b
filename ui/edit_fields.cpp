#include "ui/edit_fields.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <type_traits>
#include <variant>

#include "core/spec_fields.h"
#include "core/spec_limits.h"
#include "core/spec_rules.h"
#include "ui/control_ids.h"

namespace tapwright::ui {

namespace {

using Buffer = SpecEditBuffer;
using Check = FieldVerdict (*)(const Buffer& typed, const FilterSpec& committed);

// Where an accepted value is held.
enum class Home {
    Scalar,  // the spec's value of file key `key`, committed when the field is left
    Direct,  // the same, without a buffer of its own: a pull writes it at once
    Band,    // the selected band's value named `key`
    View,    // the display range: not part of the spec
};

struct EditField {
    int id;
    std::variant<float Buffer::*, double Buffer::*, int Buffer::*> value;
    Home home;
    std::string_view key;
    Check check;
    bool negated = false;   // the field shows the magnitude of a non-positive spec value
    bool focusBack = true;  // a refused value gives the focus back to the field
};

FieldVerdict Refuse(MessageCode code, MessageArgs args = {}) {
    FieldVerdict v;
    v.accepted = false;
    v.code = code;
    v.args = std::move(args);
    return v;
}

// The rules shared with the spec file reader (core/spec_rules.h), as verdicts.
FieldVerdict FromRule(const std::optional<RuleBreak>& broken) {
    if (!broken) return {};
    return Refuse(broken->code, broken->args);
}

FieldVerdict RefuseIf(bool refused, MessageCode code) {
    return refused ? Refuse(code) : FieldVerdict{};
}

FieldVerdict Limited(MessageCode code, int limit) {
    MessageArgs args;
    args.limit = limit;
    return Refuse(code, args);
}

double Half(const FilterSpec& c) {
    return c.Fs * 0.5;
}

FieldVerdict CheckViewLow(const Buffer& t, const FilterSpec& c) {
    return FromRule(CheckViewRange(t.ViewLow, t.ViewHigh, Half(c), true));
}

FieldVerdict CheckViewHigh(const Buffer& t, const FilterSpec& c) {
    return FromRule(CheckViewRange(t.ViewLow, t.ViewHigh, Half(c), false));
}

using M = MessageCode;

// The edit fields in pull order.
const std::array<EditField, 17> kEditFields = {{
    {kSecondCutoffEdit, &Buffer::Fc2, Home::Scalar, "Fc2",
     [](const Buffer& t, const FilterSpec& c) {
         return FromRule(CheckFrequencyRange(t.Fc2, Half(c), true));
     }},
    {kFirstCutoffEdit, &Buffer::Fc1, Home::Scalar, "Fc1",
     [](const Buffer& t, const FilterSpec& c) {
         return FromRule(CheckFrequencyRange(t.Fc1, Half(c), true));
     }},
    {kLengthEdit, &Buffer::Taps, Home::Scalar, "Taps",
     [](const Buffer& t, const FilterSpec&) { return FromRule(CheckGivenLength(t.Taps)); }},
    {kTransitionEdit, &Buffer::Tw, Home::Scalar, "Tw",
     [](const Buffer& t, const FilterSpec& c) {
         return FromRule(CheckTransitionWidth(t.Tw, c.FType, c.Fc1, c.Fc2, Half(c)));
     }},
    {kStopRippleEdit, &Buffer::SBripMagnitude, Home::Scalar, "SBrip",
     [](const Buffer& t, const FilterSpec&) {
         return RefuseIf(t.SBripMagnitude < 0.0, M::Negative);
     },
     true},
    {kPassRippleEdit, &Buffer::PBrip, Home::Scalar, "PBrip",
     [](const Buffer& t, const FilterSpec&) { return RefuseIf(t.PBrip < 0.0, M::Negative); }},
    {kSamplingFrequencyEdit, &Buffer::Fs, Home::Scalar, "Fs",
     [](const Buffer& t, const FilterSpec&) { return FromRule(CheckSamplingFrequency(t.Fs)); }},
    {kBetaEdit, &Buffer::Beta, Home::Direct, "Beta",
     [](const Buffer& t, const FilterSpec&) {
         if (t.Beta < kMinBeta) return Refuse(M::Negative);
         return RefuseIf(t.Beta > kMaxBeta, M::BetaTooLarge);
     }},
    {kIterationsEdit, &Buffer::Itern, Home::Direct, "Itern",
     [](const Buffer& t, const FilterSpec&) { return RefuseIf(t.Itern < 0, M::Negative); }},
    {kRatioEdit, &Buffer::Ratio, Home::Direct, "Ratio",
     [](const Buffer& t, const FilterSpec&) { return RefuseIf(t.Ratio < 0.0, M::Negative); }},
    {kAmplitudeEdit, &Buffer::Amplitude, Home::Band, "Amplitude",
     [](const Buffer& t, const FilterSpec&) {
         return RefuseIf(t.Amplitude < 0.0, M::NotPositive);
     }},
    // The parser takes only finite numbers.
    {kWeightEdit, &Buffer::Weight, Home::Band, "Weight",
     [](const Buffer& t, const FilterSpec&) {
         return RefuseIf(!(t.Weight > 0.0), M::NotPositive);
     }},
    {kUpperEdgeEdit, &Buffer::Upper, Home::Band, "Upper",
     [](const Buffer& t, const FilterSpec& c) {
         return FromRule(CheckFrequencyRange(t.Upper, Half(c), false));
     }},
    {kLowerEdgeEdit, &Buffer::Lower, Home::Band, "Lower",
     [](const Buffer& t, const FilterSpec& c) {
         return FromRule(CheckFrequencyRange(t.Lower, Half(c), false));
     }},
    {kBandCountEdit, &Buffer::TBand, Home::Scalar, kBandCountKey,
     [](const Buffer& t, const FilterSpec&) {
         if (t.TBand < 1) return Refuse(M::BandCountTooSmall);
         if (t.TBand > kMaxBands) return Limited(M::BandCountTooLarge, kMaxBands);
         return FieldVerdict{};
     },
     false, false},
    {kViewLowEdit, &Buffer::ViewLow, Home::View, "", CheckViewLow, false, false},
    {kViewHighEdit, &Buffer::ViewHigh, Home::View, "", CheckViewHigh, false, false},
}};

const EditField* Find(int id) {
    for (const EditField& field : kEditFields) {
        if (field.id == id) return &field;
    }
    return nullptr;
}

double BufferValue(const EditField& f, const Buffer& b) {
    return std::visit([&](auto member) { return static_cast<double>(b.*member); }, f.value);
}

void SetBufferValue(const EditField& f, Buffer& b, double value) {
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(b.*member)>;
            b.*member = static_cast<T>(value);
        },
        f.value);
}

// A held 0 stays +0 either way.
double Negated(const EditField& f, double value) {
    return f.negated && value != 0.0 ? -value : value;
}

// The spec's value of the field (band `band` for band fields), as the field shows it.
double SpecValue(const EditField& f, const FilterSpec& spec, int band) {
    if (f.home == Home::Band) return Negated(f, spec.Bands[band].*FindBandField(f.key)->member);
    return Negated(f, FindSpecField(f.key)->get(spec));
}

void SetSpecValue(const EditField& f, FilterSpec& spec, int band, double shown) {
    const double value = Negated(f, shown);
    if (f.home == Home::Band) {
        spec.Bands[band].*FindBandField(f.key)->member = value;
    } else {
        FindSpecField(f.key)->set(spec, value);
    }
}

// Parses one field into the buffer (when given); false when the text does not parse.
bool Read(const EditField& f, std::string_view text, Buffer* buffer) {
    return std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(buffer->*member)>;
            std::optional<T> v;
            if constexpr (std::is_same_v<T, float>) {
                v = ParseFloatField(text);
            } else if constexpr (std::is_same_v<T, double>) {
                v = ParseDoubleField(text);
            } else {
                v = ParseIntField(text);
            }
            if (v && buffer != nullptr) buffer->*member = *v;
            return v.has_value();
        },
        f.value);
}

std::string Write(const EditField& f, const Buffer& buffer) {
    return std::visit([&](auto member) { return FormatFieldNumber(buffer.*member); }, f.value);
}

void TakeFields(Buffer& buffer, const FilterSpec& spec, Home home, int band) {
    for (const EditField& f : kEditFields) {
        if (f.home == home) SetBufferValue(f, buffer, SpecValue(f, spec, band));
    }
}

}  // namespace

const std::vector<int>& BoundEditIds() {
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (const EditField& f : kEditFields) v.push_back(f.id);
        return v;
    }();
    return ids;
}

std::vector<int> PullEditBuffer(const ControlModel& model, SpecEditBuffer& buffer,
                                FilterSpec& spec) {
    std::vector<int> unparsed;
    for (const EditField& f : kEditFields) {
        if (!Read(f, model.Text(f.id), &buffer)) unparsed.push_back(f.id);
        if (f.home == Home::Direct) SetSpecValue(f, spec, 0, BufferValue(f, buffer));
    }
    if (model.Checked(kIterationsRadio)) {
        buffer.TerCr = ByIterations;
    } else if (model.Checked(kPeakRatioRadio)) {
        buffer.TerCr = ByPeakRatio;
    }
    if (buffer.TerCr >= 0) spec.TerCr = static_cast<TerminationCriterion>(buffer.TerCr);
    return unparsed;
}

std::vector<int> UnparsedFields(const ControlModel& model) {
    std::vector<int> unparsed;
    for (const EditField& f : kEditFields) {
        if (!Read(f, model.Text(f.id), nullptr)) unparsed.push_back(f.id);
    }
    return unparsed;
}

void PushEditBuffer(SpecEditBuffer& buffer, const FilterSpec& spec, ControlModel& model) {
    TakeFields(buffer, spec, Home::Direct, 0);
    buffer.TerCr = spec.TerCr;
    for (const EditField& f : kEditFields) model.SetText(f.id, Write(f, buffer));
    model.SetChecked(kIterationsRadio, buffer.TerCr == ByIterations);
    model.SetChecked(kPeakRatioRadio, buffer.TerCr == ByPeakRatio);
}

void TakeScalarFields(SpecEditBuffer& buffer, const FilterSpec& spec) {
    TakeFields(buffer, spec, Home::Scalar, 0);
}

void TakeBandFields(SpecEditBuffer& buffer, const FilterSpec& spec, int band) {
    TakeFields(buffer, spec, Home::Band, std::clamp(band, 0, kMaxBands - 1));
}

bool IsCheckedField(int id) {
    return Find(id) != nullptr;
}

bool IsSpecField(int id) {
    const EditField* f = Find(id);
    return f != nullptr && f->home != Home::View;
}

bool FocusReturnsTo(int id) {
    const EditField* f = Find(id);
    return f == nullptr || f->focusBack;
}

FieldVerdict CheckField(int id, const SpecEditBuffer& typed, const FilterSpec& committed) {
    const EditField* f = Find(id);
    if (f == nullptr) return {};
    FieldVerdict v = f->check(typed, committed);
    if (!v.accepted) v.focusBack = f->focusBack;
    return v;
}

void RestoreField(int id, SpecEditBuffer& buffer, FilterSpec& spec, const FilterSpec& before,
                  const SpecEditBuffer& bufferBefore, int band) {
    const EditField* f = Find(id);
    if (f == nullptr) return;
    band = std::clamp(band, 0, kMaxBands - 1);
    switch (f->home) {
        case Home::Direct: {
            const double value = SpecValue(*f, before, band);
            SetBufferValue(*f, buffer, value);
            SetSpecValue(*f, spec, band, value);
            break;
        }
        case Home::View:
            SetBufferValue(*f, buffer, BufferValue(*f, bufferBefore));
            break;
        default:
            SetBufferValue(*f, buffer, SpecValue(*f, spec, band));
            break;
    }
}

void CommitField(int id, const SpecEditBuffer& buffer, FilterSpec& spec, int band) {
    const EditField* f = Find(id);
    if (f == nullptr || f->home == Home::View) return;
    SetSpecValue(*f, spec, std::clamp(band, 0, kMaxBands - 1), BufferValue(*f, buffer));
}

}  // namespace tapwright::ui
