#include "ui/edit_fields.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ui/control_ids.h"

namespace tapwright::ui {
namespace {

// The buffer pulled after `text` was typed into field `id` (the view range other
// than `id` at 100 ... 2000 Hz).
SpecEditBuffer Typed(int id, const char* text) {
    ControlModel model;
    SpecEditBuffer b;
    b.ViewLow = 100.0;
    b.ViewHigh = 2000.0;
    FilterSpec spec;
    PushEditBuffer(b, spec, model);
    model.SetText(id, text);
    EXPECT_TRUE(PullEditBuffer(model, b, spec).empty());
    return b;
}

TEST(FieldChecks, EachFieldAcceptsOrRefusesWithItsMessage) {
    using M = MessageCode;
    enum Committed { Default, LowPass3900, HighPass3900, BandPass1000To2000, BandStop2000To1000 };
    struct Case {
        int id;
        const char* value;
        Committed committed;
        std::optional<M> code;  // nothing: accepted
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {kFirstCutoffEdit, "4000.0", Default, {}, nullptr},
        {kFirstCutoffEdit, "4000.5", Default, M::AboveHalfFs, "Please enter a value less than half the sampling rate"},
        {kSecondCutoffEdit, "0.0", Default, {}, nullptr},
        {kSecondCutoffEdit, "-1.0", Default, M::NotPositive, "Please enter a value greater than zero"},
        {kLengthEdit, "2", Default, M::LengthTooSmall, "Please enter a number greater than 2"},
        {kLengthEdit, "3", Default, {}, nullptr},
        {kLengthEdit, "131071", Default, {}, nullptr},
        {kLengthEdit, "131072", Default, M::LengthAboveMaximum, "Please enter a number not above 131071"},
        {kTransitionEdit, "150.0", LowPass3900, M::TransitionWidthRange, "Transition width out of range. Please enter a value between 1 and 100.00 Hz"},
        {kTransitionEdit, "100.0", LowPass3900, {}, nullptr},
        {kTransitionEdit, "100.5", HighPass3900, M::TransitionWidthRange, nullptr},
        {kTransitionEdit, "1600.0", BandPass1000To2000, M::TransitionWidthRange, "Transition width out of range. Please enter a value between 1 and 1500.00 Hz"},
        {kTransitionEdit, "1500.0", BandPass1000To2000, {}, nullptr},
        {kTransitionEdit, "1500.5", BandStop2000To1000, M::TransitionWidthRange, "Transition width out of range. Please enter a value between 1 and 1500.00 Hz"},
        {kTransitionEdit, "0.0", Default, M::NotPositive, nullptr},
        {kPassRippleEdit, "-1.0", Default, M::Negative, "Please enter a positive number"},
        {kPassRippleEdit, "0.0", Default, {}, nullptr},
        {kStopRippleEdit, "0.0", Default, {}, nullptr},
        {kStopRippleEdit, "-40.0", Default, M::Negative, nullptr},
        {kSamplingFrequencyEdit, "0.0", Default, M::NotPositive, nullptr},
        {kSamplingFrequencyEdit, "1e12", Default, {}, nullptr},
        {kSamplingFrequencyEdit, "1.1e12", Default, M::FsTooLarge, "Please enter a sampling frequency of at most 1e+12 Hz"},
        {kBetaEdit, "15.0", Default, {}, nullptr},
        {kBetaEdit, "15.5", Default, M::BetaTooLarge, "Please enter a value less than 16 for Beta"},
        {kBetaEdit, "-1.0", Default, M::Negative, nullptr},
        {kIterationsEdit, "-1", Default, M::Negative, nullptr},
        {kIterationsEdit, "0", Default, {}, nullptr},
        {kRatioEdit, "-1.0", Default, M::Negative, nullptr},
        {kRatioEdit, "0.0", Default, {}, nullptr},
        {kLowerEdgeEdit, "-1.0", Default, M::NotPositive, nullptr},
        {kUpperEdgeEdit, "4001.0", Default, M::AboveHalfFs, nullptr},
        {kUpperEdgeEdit, "4000.0", Default, {}, nullptr},
        {kLowerEdgeEdit, "0.0", Default, {}, nullptr},
        {kAmplitudeEdit, "-1.0", Default, M::NotPositive, nullptr},
        {kAmplitudeEdit, "0.0", Default, {}, nullptr},
        {kWeightEdit, "0.0", Default, M::NotPositive, nullptr},
        {kWeightEdit, "2.5", Default, {}, nullptr},
        {kBandCountEdit, "0", Default, M::BandCountTooSmall, "Please enter a value greater than 1"},
        {kBandCountEdit, "1", Default, {}, nullptr},
        {kBandCountEdit, "10", Default, {}, nullptr},
        {kBandCountEdit, "11", Default, M::BandCountTooLarge, "Please enter a value not above 10"},
        {kViewLowEdit, "3000.0", Default, M::ViewLowOutOfRange, "Please enter a frequency value between 0.000000 and 2000.000000"},
        {kViewLowEdit, "-1.0", Default, M::NotPositive, nullptr},
        {kViewHighEdit, "4000.5", Default, M::ViewHighOutOfRange, "Please enter a frequency value between 100.000000 and 4000.000000"},
        {kViewHighEdit, "50.0", Default, M::ViewHighOutOfRange, nullptr},
        {kViewHighEdit, "100.0", Default, {}, nullptr},
        {kViewLowEdit, "2000.0", Default, {}, nullptr},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "field " << c.id << " value " << c.value);
        FilterSpec committed = DefaultFilterSpec();
        if (c.committed == LowPass3900 || c.committed == HighPass3900) {
            committed.FType = c.committed == LowPass3900 ? LowPass : HighPass;
            committed.Fc1 = 3900.0f;
        }
        if (c.committed == BandPass1000To2000 || c.committed == BandStop2000To1000) {
            const bool pass = c.committed == BandPass1000To2000;
            committed.FType = pass ? BandPass : BandStop;
            committed.Fc1 = pass ? 1000.0f : 2000.0f;  // typed in reverse order
            committed.Fc2 = pass ? 2000.0f : 1000.0f;
        }
        const FieldVerdict v = CheckField(c.id, Typed(c.id, c.value), committed);
        ASSERT_EQ(v.accepted, !c.code.has_value());
        if (!c.code) continue;
        EXPECT_EQ(v.code, *c.code);
        if (c.text) {
            EXPECT_EQ(FormatMessage(v.code, v.args), c.text);
        }
        // The band count and the view range keep the focus where it went.
        const bool staysAway =
            c.id == kBandCountEdit || c.id == kViewLowEdit || c.id == kViewHighEdit;
        EXPECT_EQ(v.focusBack, !staysAway);
    }
}

TEST(FieldChecks, RestoreAndCommit) {
    // A refused field takes back its own previous value and touches nothing else:
    // the committed spec for most, the value before the pull for Beta, the
    // iterations and the ratio, the buffer before the pull for the view range.
    FilterSpec spec = DefaultFilterSpec();
    spec.Fc1 = 1001.0f;
    spec.Fc2 = 1002.0f;
    spec.Taps = 33;
    spec.Tw = 104.0f;
    spec.PBrip = 0.5;
    spec.SBrip = -40.0;
    spec.Fs = 9000.0f;
    spec.Bands[1] = BandSpec{510.0, 520.0, 0.25};
    spec.TBand = 4;
    FilterSpec before = spec;
    before.Beta = 4.5;
    before.Itern = 10;
    before.Ratio = 0.125;
    SpecEditBuffer bufferBefore;
    bufferBefore.ViewLow = 300.0;
    bufferBefore.ViewHigh = 3000.0;
    const double kTyped = -7.0;
    auto values = [](const SpecEditBuffer& b) {
        return std::vector<double>{
            b.Fc1,   b.Fc2,           double(b.Taps),  b.Tw,      b.SBripMagnitude, b.PBrip,
            b.Fs,    b.Beta,          double(b.Itern), b.Ratio,   b.Amplitude,      b.Upper,
            b.Lower, double(b.TBand), b.ViewLow,       b.ViewHigh};
    };
    const std::pair<int, double> restored[] = {{kFirstCutoffEdit, 1001.0},
                                               {kSecondCutoffEdit, 1002.0},
                                               {kLengthEdit, 33.0},
                                               {kTransitionEdit, 104.0},
                                               {kStopRippleEdit, 40.0},
                                               {kPassRippleEdit, 0.5},
                                               {kSamplingFrequencyEdit, 9000.0},
                                               {kBetaEdit, 4.5},
                                               {kIterationsEdit, 10.0},
                                               {kRatioEdit, 0.125},
                                               {kAmplitudeEdit, 0.25},
                                               {kUpperEdgeEdit, 520.0},
                                               {kLowerEdgeEdit, 510.0},
                                               {kBandCountEdit, 4.0},
                                               {kViewLowEdit, 300.0},
                                               {kViewHighEdit, 3000.0}};
    for (std::size_t i = 0; i < std::size(restored); ++i) {
        SCOPED_TRACE(testing::Message() << "field " << restored[i].first);
        SpecEditBuffer buffer;
        buffer.Fc1 = buffer.Fc2 = buffer.Tw = buffer.Fs = static_cast<float>(kTyped);
        buffer.Taps = buffer.Itern = buffer.TBand = static_cast<int>(kTyped);
        buffer.SBripMagnitude = buffer.PBrip = buffer.Beta = buffer.Ratio = kTyped;
        buffer.Amplitude = buffer.Upper = buffer.Lower = buffer.ViewLow = buffer.ViewHigh = kTyped;
        FilterSpec held = spec;
        RestoreField(restored[i].first, buffer, held, before, bufferBefore, 1);
        std::vector<double> expected(std::size(restored), kTyped);
        expected[i] = restored[i].second;
        EXPECT_EQ(values(buffer), expected);
    }
    // The stop band ripple is held negated; a typed 0 stays +0.
    SpecEditBuffer buffer;
    buffer.SBripMagnitude = 0.0;
    CommitField(kStopRippleEdit, buffer, spec, 0);
    EXPECT_EQ(spec.SBrip, 0.0);
    EXPECT_FALSE(std::signbit(spec.SBrip));

    // Beta, the iterations and the ratio have no buffer of their own: the spec takes
    // back the values before the pull too.
    spec.Beta = buffer.Beta = 15.5;
    spec.Itern = buffer.Itern = -1;
    spec.Ratio = buffer.Ratio = -1.0;
    for (int id : {kBetaEdit, kIterationsEdit, kRatioEdit}) {
        RestoreField(id, buffer, spec, before, buffer, 0);
    }
    EXPECT_EQ(spec.Beta, 4.5);
    EXPECT_EQ(spec.Itern, 10);
    EXPECT_EQ(spec.Ratio, 0.125);

    // Band fields go to and come back from the selected band.
    const BandSpec first = spec.Bands[0];
    const BandSpec typed{900.0, 1200.0, 0.75};
    buffer.Lower = typed.Lower;
    buffer.Upper = typed.Upper;
    buffer.Amplitude = typed.Amplitude;
    for (int id : {kLowerEdgeEdit, kUpperEdgeEdit, kAmplitudeEdit})
        CommitField(id, buffer, spec, 1);
    EXPECT_TRUE(spec.Bands[1] == typed);
    EXPECT_TRUE(spec.Bands[0] == first);
    buffer.Lower = buffer.Upper = buffer.Amplitude = -1.0;
    for (int id : {kLowerEdgeEdit, kUpperEdgeEdit, kAmplitudeEdit}) {
        RestoreField(id, buffer, spec, before, buffer, 1);
    }
    EXPECT_TRUE((BandSpec{buffer.Lower, buffer.Upper, buffer.Amplitude}) == typed);
}

}  // namespace
}  // namespace tapwright::ui
