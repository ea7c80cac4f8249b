#include "ui/field_checks.h"

#include <algorithm>

#include "core/fir_design.h"
#include "core/spec_rules.h"
#include "ui/control_ids.h"

namespace tapwright::ui {

namespace {

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

FieldVerdict CheckFrequency(double value, double half, bool upperFirst) {
    return FromRule(CheckFrequencyRange(value, half, upperFirst));
}

}  // namespace

bool IsCheckedField(int id) {
    const std::vector<int>& ids = BoundEditIds();
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool FocusReturnsTo(int id) {
    return id != kBandCountEdit && id != kViewLowEdit && id != kViewHighEdit;
}

FieldVerdict CheckField(int id, const SpecEditBuffer& t, const FilterSpec& c) {
    const double half = c.Fs * 0.5;
    FieldVerdict v;
    switch (id) {
        case kFirstCutoffEdit:
            v = CheckFrequency(t.Fc1, half, true);
            break;
        case kSecondCutoffEdit:
            v = CheckFrequency(t.Fc2, half, true);
            break;
        case kLengthEdit:
            if (t.Taps < kMinTaps) {
                v = Refuse(MessageCode::LengthTooSmall);
            } else if (t.Taps > kMaxTaps) {
                MessageArgs args;
                args.limit = kMaxTaps;
                v = Refuse(MessageCode::LengthAboveMaximum, args);
            }
            break;
        case kTransitionEdit:
            v = FromRule(CheckTransitionWidth(t.Tw, c.FType, c.Fc1, c.Fc2, half));
            break;
        case kPassRippleEdit:
            if (t.PBrip < 0.0) v = Refuse(MessageCode::Negative);
            break;
        case kStopRippleEdit:
            if (t.SBripMagnitude < 0.0) v = Refuse(MessageCode::Negative);
            break;
        case kSamplingFrequencyEdit:
            if (t.Fs <= 0.0f) {
                v = Refuse(MessageCode::NotPositive);
            } else if (t.Fs > kMaxFs) {
                v = Refuse(MessageCode::FsTooLarge);
            }
            break;
        case kBetaEdit:
            if (t.Beta < kMinBeta) {
                v = Refuse(MessageCode::Negative);
            } else if (t.Beta > kMaxBeta) {
                v = Refuse(MessageCode::BetaTooLarge);
            }
            break;
        case kIterationsEdit:
            if (t.Itern < 0) v = Refuse(MessageCode::Negative);
            break;
        case kRatioEdit:
            if (t.Ratio < 0.0) v = Refuse(MessageCode::Negative);
            break;
        case kLowerEdgeEdit:
            v = CheckFrequency(t.Lower, half, false);
            break;
        case kUpperEdgeEdit:
            v = CheckFrequency(t.Upper, half, false);
            break;
        case kAmplitudeEdit:
            if (t.Amplitude < 0.0) v = Refuse(MessageCode::NotPositive);
            break;
        case kWeightEdit:
            // The parser takes only finite numbers.
            if (!(t.Weight > 0.0)) v = Refuse(MessageCode::NotPositive);
            break;
        case kBandCountEdit:
            if (t.TBand < 1) {
                v = Refuse(MessageCode::BandCountTooSmall);
            } else if (t.TBand > kMaxBands) {
                MessageArgs args;
                args.limit = kMaxBands;
                v = Refuse(MessageCode::BandCountTooLarge, args);
            }
            break;
        case kViewHighEdit:
            if (t.ViewHigh < t.ViewLow || t.ViewHigh > half) {
                MessageArgs args;
                args.rangeLow = t.ViewLow;
                args.rangeHigh = half;
                v = Refuse(MessageCode::ViewHighOutOfRange, args);
            } else if (t.ViewHigh < 0.0) {
                v = Refuse(MessageCode::NotPositive);
            }
            break;
        case kViewLowEdit:
            if (t.ViewLow > t.ViewHigh || t.ViewLow > half) {
                MessageArgs args;
                args.rangeLow = 0.0;
                args.rangeHigh = t.ViewHigh;
                v = Refuse(MessageCode::ViewLowOutOfRange, args);
            } else if (t.ViewLow < 0.0) {
                v = Refuse(MessageCode::NotPositive);
            }
            break;
        default:
            break;
    }
    if (!v.accepted) v.focusBack = FocusReturnsTo(id);
    return v;
}

void RestoreField(int id, SpecEditBuffer& b, FilterSpec& spec, const FilterSpec& before,
                  const SpecEditBuffer& bufferBefore, int band) {
    band = std::clamp(band, 0, kMaxBands - 1);
    switch (id) {
        case kFirstCutoffEdit:
            b.Fc1 = spec.Fc1;
            break;
        case kSecondCutoffEdit:
            b.Fc2 = spec.Fc2;
            break;
        case kLengthEdit:
            b.Taps = spec.Taps;
            break;
        case kTransitionEdit:
            b.Tw = spec.Tw;
            break;
        case kPassRippleEdit:
            b.PBrip = spec.PBrip;
            break;
        case kStopRippleEdit:
            b.SBripMagnitude = spec.SBrip == 0.0 ? 0.0 : -spec.SBrip;
            break;
        case kSamplingFrequencyEdit:
            b.Fs = spec.Fs;
            break;
        case kBetaEdit:
            b.Beta = spec.Beta = before.Beta;
            break;
        case kIterationsEdit:
            b.Itern = spec.Itern = before.Itern;
            break;
        case kRatioEdit:
            b.Ratio = spec.Ratio = before.Ratio;
            break;
        case kLowerEdgeEdit:
            b.Lower = spec.Bands[band].Lower;
            break;
        case kUpperEdgeEdit:
            b.Upper = spec.Bands[band].Upper;
            break;
        case kAmplitudeEdit:
            b.Amplitude = spec.Bands[band].Amplitude;
            break;
        case kWeightEdit:
            b.Weight = spec.Bands[band].Weight;
            break;
        case kBandCountEdit:
            b.TBand = spec.TBand;
            break;
        case kViewLowEdit:
            b.ViewLow = bufferBefore.ViewLow;
            break;
        case kViewHighEdit:
            b.ViewHigh = bufferBefore.ViewHigh;
            break;
        default:
            break;
    }
}

void CommitField(int id, const SpecEditBuffer& b, FilterSpec& spec, int band) {
    band = std::clamp(band, 0, kMaxBands - 1);
    switch (id) {
        case kFirstCutoffEdit:
            spec.Fc1 = b.Fc1;
            break;
        case kSecondCutoffEdit:
            spec.Fc2 = b.Fc2;
            break;
        case kLengthEdit:
            spec.Taps = b.Taps;
            break;
        case kTransitionEdit:
            spec.Tw = b.Tw;
            break;
        case kPassRippleEdit:
            spec.PBrip = b.PBrip;
            break;
        case kStopRippleEdit:
            // Held as a non-positive dB value; a typed 0 stays +0.
            spec.SBrip = b.SBripMagnitude == 0.0 ? 0.0 : -b.SBripMagnitude;
            break;
        case kSamplingFrequencyEdit:
            spec.Fs = b.Fs;
            break;
        case kBetaEdit:
            spec.Beta = b.Beta;
            break;
        case kIterationsEdit:
            spec.Itern = b.Itern;
            break;
        case kRatioEdit:
            spec.Ratio = b.Ratio;
            break;
        case kLowerEdgeEdit:
            spec.Bands[band].Lower = b.Lower;
            break;
        case kUpperEdgeEdit:
            spec.Bands[band].Upper = b.Upper;
            break;
        case kAmplitudeEdit:
            spec.Bands[band].Amplitude = b.Amplitude;
            break;
        case kWeightEdit:
            spec.Bands[band].Weight = b.Weight;
            break;
        case kBandCountEdit:
            spec.TBand = b.TBand;
            break;
        default:
            break;
    }
}

}  // namespace tapwright::ui
