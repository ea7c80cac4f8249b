#include "ui/control_states.h"

#include <array>

#include "core/design_methods.h"
#include "core/spec_rules.h"
#include "ui/control_ids.h"

namespace tapwright::ui {

namespace {

using S = WindowState;

bool WindowMethod(const S& s) {
    return !UsesBandTable(s.method);
}
bool BandTableMethod(const S& s) {
    return UsesBandTable(s.method);
}
// Parks-McClellan: weighted bands, and the shortest length for the ripples.
bool WeightedBands(const S& s) {
    const DesignMethodInfo* info = MethodInfo(s.method);
    return info != nullptr && info->weightedBands;
}
// The least-squares equiripple method and its termination controls.
bool IteratedBands(const S& s) {
    return BandTableMethod(s) && !WeightedBands(s);
}
// The methods whose "Auto Design Filter" check chooses between a given length and
// one the design finds.
bool LengthChoice(const S& s) {
    return WindowMethod(s) || WeightedBands(s);
}
bool Kaiser(const S& s) {
    return s.method == tapwright::Kaiser;
}
// The differentiator and the sixth type (Hilbert, or Multiband under the band-table
// methods) take their length as given.
bool LengthOnlyType(const S& s) {
    return s.response == Differentiator || s.response == Hilbert;
}
bool LowOrHighPass(const S& s) {
    return s.response == LowPass || s.response == HighPass;
}

bool Always(const S&) {
    return true;
}
bool NotHeld(const S& s) {
    return !s.held;
}

// ---- Inputs ----------------------------------------------------------------------

bool FirstCutoffOn(const S& s) {
    return s.response != Hilbert;  // a Hilbert transformer spans the whole band
}
bool SecondCutoffOn(const S& s) {
    return s.response == BandPass || s.response == BandStop || s.response == Differentiator;
}
bool LowerEdgeOn(const S& s) {
    return s.band != 0;  // the first band starts at 0 Hz
}
bool UpperEdgeOn(const S& s) {
    return s.band != s.bandCount - 1;  // the last band ends at Fs/2
}
bool BandCountShown(const S& s) {
    return BandTableMethod(s) && s.response == Multiband;
}
// Without Auto Design a window method estimates the length from the width.
bool TransitionOn(const S& s) {
    return !s.lengthGiven && !LengthOnlyType(s) && !s.held;
}
// ... Kaiser also its beta from the ripples, and Parks-McClellan finds the shortest
// length that keeps them.
bool RipplesOn(const S& s) {
    return TransitionOn(s) && (Kaiser(s) || WeightedBands(s));
}
// With the length found from the ripples the weights follow from them too.
bool WeightOn(const S& s) {
    return (s.lengthGiven || LengthOnlyType(s)) && !s.held;
}
bool BetaShown(const S& s) {
    return WindowMethod(s) && s.lengthGiven && Kaiser(s);
}
bool LengthOn(const S& s) {
    return (s.lengthGiven || IteratedBands(s) || LengthOnlyType(s)) && !s.held;
}
// With a given length low and high pass take the characteristic its parity implies.
bool FilterTypeOn(const S& s) {
    if (!s.lengthGiven) return IteratedBands(s) || LengthOnlyType(s);
    return !s.held && !LowOrHighPass(s);
}
bool ByIterations(const S& s) {
    return s.termination == tapwright::ByIterations;
}
bool ByPeakRatio(const S& s) {
    return s.termination == tapwright::ByPeakRatio;
}
bool AutoDesignOn(const S& s) {
    return AutoDesignAvailable(s.response) && !s.held;
}

// ---- The design on screen ---------------------------------------------------------

bool DesignValid(const S& s) {
    return s.designValid;
}
bool ValidAndFree(const S& s) {
    return s.designValid && !s.held;
}
bool ApplyOn(const S& s) {
    // Under Hold On every Apply draws another design over the held one.
    return !s.designValid || s.held;
}
bool Magnitude(const S& s) {
    return s.graph == tapwright::Magnitude;
}
// Curve Fitting joins the stems (impulse, step) and the dots of the phase.
bool CurveFittingShown(const S& s) {
    return s.graph == Impulse || s.graph == tapwright::Phase || s.graph == Step;
}
bool DegreesShown(const S& s) {
    return s.graph == tapwright::Phase || s.graph == UnwrappedPhase;
}
bool SecondsShown(const S& s) {
    return s.graph == GroupDelay;
}
bool LogScaleShown(const S& s) {
    return Magnitude(s) && s.view != SpecifiedRange;
}
bool DisplayTypeOn(const S& s) {
    return ValidAndFree(s) && Magnitude(s) && s.logScale && s.bandViewsOffered;
}
bool HoldOnShown(const S& s) {
    return s.holdOffered && Magnitude(s) && s.logScale;
}
bool RangeViewShown(const S& s) {
    return s.view == SpecifiedRange;
}

constexpr auto kFirstCutoff =
    std::to_array<int>({kFirstCutoffLabel, kFirstCutoffEdit, kFirstCutoffUnit});
constexpr auto kSecondCutoff =
    std::to_array<int>({kSecondCutoffLabel, kSecondCutoffEdit, kSecondCutoffUnit});
constexpr auto kBandCount = std::to_array<int>({kBandCountLabel, kBandCountEdit});
constexpr auto kTransition =
    std::to_array<int>({kTransitionEdit, kTransitionLabel, kTransitionUnit});
constexpr auto kRipples = std::to_array<int>({kPassRippleEdit, kStopRippleEdit, kPassRippleLabel,
                                              kPassRippleUnit, kStopRippleLabel, kStopRippleUnit});
constexpr auto kLength = std::to_array<int>({kLengthLabel, kLengthEdit});
constexpr auto kBeta = std::to_array<int>({kBetaLabel, kBetaEdit});
constexpr auto kIterations = std::to_array<int>({kIterationsLabel, kIterationsEdit});
constexpr auto kRatio = std::to_array<int>({kRatioLabel, kRatioEdit});
constexpr auto kRadios = std::to_array<int>({kIterationsRadio, kPeakRatioRadio});
constexpr auto kFilterType = std::to_array<int>({kFilterTypeCombo, kFilterTypeLabel});
constexpr auto kFft = std::to_array<int>({kFftSizeCombo, kFftSizeLabel});
constexpr auto kFs =
    std::to_array<int>({kSamplingFrequencyLabel, kSamplingFrequencyEdit, kSamplingFrequencyUnit});
constexpr auto kResponse = std::to_array<int>({kResponseTypeLabel, kResponseTypeCombo});
constexpr auto kFreeWhileHeld =
    std::to_array<int>({kFunctionTypeLabel, kFunctionTypeCombo, kQuitButton});
constexpr auto kLockedWhileHeld = std::to_array<int>({kLoadButton, kCoefficientList});
constexpr auto kWindowGroups = std::to_array<int>({kSpecGroupWindow, kCutoffGroup});
constexpr auto kBandTableGroup = std::to_array<int>({kSpecGroupEquiripple});
constexpr auto kBandFields =
    std::to_array<int>({kBandCombo, kAmplitudeEdit, kBandLabel, kAmplitudeLabel, kBandGroup,
                        kLowerEdgeLabel, kUpperEdgeLabel, kUpperEdgeUnit, kLowerEdgeUnit});
constexpr auto kLowerEdge = std::to_array<int>({kLowerEdgeEdit});
constexpr auto kUpperEdge = std::to_array<int>({kUpperEdgeEdit});
constexpr auto kRatioNoteIds = std::to_array<int>({kRatioNote});
constexpr auto kAutoDesign = std::to_array<int>({kAutoDesignCheck});
constexpr auto kWeight = std::to_array<int>({kWeightLabel, kWeightEdit});
constexpr auto kGraphType = std::to_array<int>({kGraphTypeCombo, kGraphTypeLabel});
constexpr auto kDisplayType = std::to_array<int>({kDisplayTypeCombo, kDisplayTypeLabel});
constexpr auto kLogScale = std::to_array<int>({kLogScaleCheck});
constexpr auto kCurveFitting = std::to_array<int>({kCurveFittingCheck});
constexpr auto kDegrees = std::to_array<int>({kDegreesCheck});
constexpr auto kSeconds = std::to_array<int>({kSecondsCheck});
constexpr auto kGrid = std::to_array<int>({kGridCheck});
constexpr auto kHoldOn = std::to_array<int>({kHoldOnCheck});
constexpr auto kRangeView = std::to_array<int>(
    {kViewRangeLabel, kViewLowEdit, kViewHighEdit, kViewRangeSeparator, kZoomCheck, kViewButton});
constexpr auto kSave = std::to_array<int>({kSaveButton});
constexpr auto kApply = std::to_array<int>({kApplyButton});
constexpr auto kPrint = std::to_array<int>({kPrintResponseButton, kPrintCoefficientsButton});

// clang-format off
constexpr ControlRule kRules[] = {
    // controls                 shown            enabled
    {kFs,                       Always,          NotHeld},
    {kResponse,                 Always,          NotHeld},
    {kFreeWhileHeld,            Always,          Always},
    {kLockedWhileHeld,          Always,          NotHeld},
    {kWindowGroups,             WindowMethod,    Always},
    {kFirstCutoff,              WindowMethod,    FirstCutoffOn},
    {kSecondCutoff,             WindowMethod,    SecondCutoffOn},
    {kBandTableGroup,           BandTableMethod, Always},
    {kBandFields,               BandTableMethod, Always},
    {kLowerEdge,                BandTableMethod, LowerEdgeOn},
    {kUpperEdge,                BandTableMethod, UpperEdgeOn},
    {kBandCount,                BandCountShown,  Always},
    {kLength,                   Always,          LengthOn},
    {kTransition,               WindowMethod,    TransitionOn},
    {kRipples,                  LengthChoice,    RipplesOn},
    {kWeight,                   WeightedBands,   WeightOn},
    {kBeta,                     BetaShown,       NotHeld},
    {kFilterType,               Always,          FilterTypeOn},
    {kFft,                      WindowMethod,    NotHeld},
    {kAutoDesign,               LengthChoice,    AutoDesignOn},
    {kRadios,                   IteratedBands,   Always},
    {kIterations,               IteratedBands,   ByIterations},
    {kRatio,                    IteratedBands,   ByPeakRatio},
    {kRatioNoteIds,             IteratedBands,   ByPeakRatio},
    {kGraphType,                Always,          ValidAndFree},
    {kDisplayType,              Always,          DisplayTypeOn},
    {kLogScale,                 LogScaleShown,   ValidAndFree},
    {kCurveFitting,             CurveFittingShown, DesignValid},
    {kDegrees,                  DegreesShown,    DesignValid},
    {kSeconds,                  SecondsShown,    DesignValid},
    {kGrid,                     Always,          DesignValid},
    {kHoldOn,                   HoldOnShown,     DesignValid},
    {kRangeView,                RangeViewShown,  DesignValid},
    {kSave,                     Always,          ValidAndFree},
    {kApply,                    Always,          ApplyOn},
    {kPrint,                    Always,          DesignValid},
};
// clang-format on

}  // namespace

std::span<const ControlRule> ControlRules() {
    return kRules;
}

void ApplyControlRules(const WindowState& state, ControlModel& model) {
    for (const ControlRule& rule : kRules) {
        const bool shown = rule.shown(state);
        const bool enabled = shown && rule.enabled(state);
        for (int id : rule.ids) {
            model.Show(id, shown);
            model.Enable(id, enabled);
        }
    }
}

}  // namespace tapwright::ui
