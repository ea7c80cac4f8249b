#include "ui/field_checks.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/fir_design.h"
#include "ui/control_ids.h"

namespace tapwright::ui {
namespace {

TEST(FieldChecks, EachFieldAcceptsOrRefusesWithItsMessage) {
    using M = MessageCode;
    struct Case {
        const char* name;
        int id;
        void (*typed)(SpecEditBuffer&);
        void (*committed)(FilterSpec&);
        std::optional<M> code;  // nothing: accepted
        const char* text = nullptr;
    };
    auto none = [](FilterSpec&) {};
    auto bandPass = [](FilterSpec& s) {
        s.FType = BandPass;
        s.Fc1 = 1000.0f;
        s.Fc2 = 2000.0f;
    };
    const Case cases[] = {
        {"cutoff at Fs/2", kFirstCutoffEdit, [](SpecEditBuffer& b) { b.Fc1 = 4000.0f; }, none, {}},
        {"cutoff above Fs/2", kFirstCutoffEdit, [](SpecEditBuffer& b) { b.Fc1 = 4000.5f; }, none,
         M::AboveHalfFs, "Please enter a value less than half the sampling rate"},
        {"cutoff 0", kSecondCutoffEdit, [](SpecEditBuffer& b) { b.Fc2 = 0.0f; }, none, {}},
        {"cutoff -1", kSecondCutoffEdit, [](SpecEditBuffer& b) { b.Fc2 = -1.0f; }, none,
         M::NotPositive, "Please enter a value greater than zero"},
        {"length 2", kLengthEdit, [](SpecEditBuffer& b) { b.Taps = 2; }, none, M::LengthTooSmall,
         "Please enter a number greater than 2"},
        {"length 3", kLengthEdit, [](SpecEditBuffer& b) { b.Taps = 3; }, none, {}},
        {"length beyond the maximum", kLengthEdit, [](SpecEditBuffer& b) { b.Taps = kMaxTaps + 1; },
         none, M::LengthAboveMaximum},
        {"low pass width past Fs/2", kTransitionEdit, [](SpecEditBuffer& b) { b.Tw = 150.0f; },
         [](FilterSpec& s) { s.Fc1 = 3900.0f; }, M::TransitionWidthRange,
         "Transition width out of range. Please enter a value between 1 and 100.00 Hz"},
        {"band pass width past Fs/2", kTransitionEdit, [](SpecEditBuffer& b) { b.Tw = 1600.0f; },
         bandPass, M::TransitionWidthRange,
         "Transition width out of range. Please enter a value between 1 and 1500.00 Hz"},
        {"band pass width that fits",
         kTransitionEdit,
         [](SpecEditBuffer& b) { b.Tw = 1500.0f; },
         bandPass,
         {}},
        {"width 0", kTransitionEdit, [](SpecEditBuffer& b) { b.Tw = 0.0f; }, none, M::NotPositive},
        {"pass ripple -1", kPassRippleEdit, [](SpecEditBuffer& b) { b.PBrip = -1.0; }, none,
         M::Negative, "Please enter a positive number"},
        {"stop ripple -40", kStopRippleEdit, [](SpecEditBuffer& b) { b.SBripMagnitude = -40.0; },
         none, M::Negative},
        {"Fs 0", kSamplingFrequencyEdit, [](SpecEditBuffer& b) { b.Fs = 0.0f; }, none,
         M::NotPositive},
        {"Beta 15", kBetaEdit, [](SpecEditBuffer& b) { b.Beta = 15.0; }, none, {}},
        {"Beta 15.5", kBetaEdit, [](SpecEditBuffer& b) { b.Beta = 15.5; }, none, M::BetaTooLarge,
         "Please enter a value less than 16 for Beta"},
        {"Beta -1", kBetaEdit, [](SpecEditBuffer& b) { b.Beta = -1.0; }, none, M::Negative},
        {"iterations -1", kIterationsEdit, [](SpecEditBuffer& b) { b.Itern = -1; }, none,
         M::Negative},
        {"ratio -1", kRatioEdit, [](SpecEditBuffer& b) { b.Ratio = -1.0; }, none, M::Negative},
        {"lower edge -1", kLowerEdgeEdit, [](SpecEditBuffer& b) { b.Lower = -1.0; }, none,
         M::NotPositive},
        {"upper edge above Fs/2", kUpperEdgeEdit, [](SpecEditBuffer& b) { b.Upper = 4001.0; }, none,
         M::AboveHalfFs},
        {"amplitude -1", kAmplitudeEdit, [](SpecEditBuffer& b) { b.Amplitude = -1.0; }, none,
         M::NotPositive},
        {"no bands", kBandCountEdit, [](SpecEditBuffer& b) { b.TBand = 0; }, none,
         M::BandCountTooSmall, "Please enter a value greater than 1"},
        {"one band", kBandCountEdit, [](SpecEditBuffer& b) { b.TBand = 1; }, none, {}},
        {"eleven bands", kBandCountEdit, [](SpecEditBuffer& b) { b.TBand = 11; }, none,
         M::BandCountTooLarge, "Please enter a value not above 10"},
        {"view low above high", kViewLowEdit,
         [](SpecEditBuffer& b) {
             b.ViewLow = 3000.0;
             b.ViewHigh = 2000.0;
         },
         none, M::ViewLowOutOfRange,
         "Please enter a frequency value between 0.000000 and 2000.000000"},
        {"view high above Fs/2", kViewHighEdit,
         [](SpecEditBuffer& b) {
             b.ViewLow = 100.0;
             b.ViewHigh = 4000.5;
         },
         none, M::ViewHighOutOfRange,
         "Please enter a frequency value between 100.000000 and 4000.000000"},
        {"view low -1", kViewLowEdit,
         [](SpecEditBuffer& b) {
             b.ViewLow = -1.0;
             b.ViewHigh = 2000.0;
         },
         none, M::NotPositive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpecEditBuffer typed;
        typed.ViewHigh = 4000.0;
        c.typed(typed);
        FilterSpec committed = DefaultFilterSpec();
        c.committed(committed);
        const FieldVerdict v = CheckField(c.id, typed, committed);
        ASSERT_EQ(v.accepted, !c.code.has_value());
        if (!c.code) continue;
        EXPECT_EQ(v.code, *c.code);
        if (c.text) {
            EXPECT_EQ(FormatMessage(v.code, v.args), c.text);
        }
        EXPECT_EQ(v.focusBack, FocusReturnsTo(c.id));
    }
    EXPECT_FALSE(FocusReturnsTo(kBandCountEdit));
    EXPECT_FALSE(FocusReturnsTo(kViewHighEdit));
    EXPECT_TRUE(FocusReturnsTo(kBetaEdit));
}

TEST(FieldChecks, RestoreAndCommit) {
    FilterSpec spec = DefaultFilterSpec();
    spec.SBrip = -40.0;
    SpecEditBuffer buffer;
    // The stop band ripple is typed as a magnitude and held negated.
    buffer.SBripMagnitude = -40.0;
    RestoreField(kStopRippleEdit, buffer, spec, spec, buffer, 0);
    EXPECT_EQ(buffer.SBripMagnitude, 40.0);
    buffer.SBripMagnitude = 0.0;
    CommitField(kStopRippleEdit, buffer, spec, 0);
    EXPECT_EQ(spec.SBrip, 0.0);
    EXPECT_FALSE(std::signbit(spec.SBrip));

    // Beta has no buffer of its own: the value before the pull comes back exactly.
    FilterSpec before = spec;
    before.Beta = 4.5;
    spec.Beta = buffer.Beta = 15.5;
    RestoreField(kBetaEdit, buffer, spec, before, buffer, 0);
    EXPECT_EQ(spec.Beta, 4.5);
    EXPECT_EQ(buffer.Beta, 4.5);

    // Band fields go to the selected band.
    buffer.Upper = 1200.0;
    CommitField(kUpperEdgeEdit, buffer, spec, 1);
    EXPECT_EQ(spec.Bands[1].Upper, 1200.0);
    EXPECT_EQ(spec.Bands[0].Upper, 0.0);
}

}  // namespace
}  // namespace tapwright::ui
