#include "ui/window_rules.h"

#include <gtest/gtest.h>

#include <set>

#include "core/design_methods.h"
#include "core/graph_kinds.h"
#include "tests/ui/fake_platform.h"
#include "ui/control_ids.h"

namespace tapwright::ui {
namespace {

// A freshly initialised window's rules, driven as the user drives the controls.
struct Window {
    FakePlatform platform;
    WindowRules rules{platform};
    HeldCurve& held = rules.held;
    ControlModel& model = rules.model;
    FilterSpec& spec = rules.spec;

    Window() { rules.Initialise(); }
    void Select(int id, int index) {
        model.Select(id, index);
        rules.HandleSelection(id);
    }
    void Toggle(int id, bool checked) {
        model.SetChecked(id, checked);
        rules.HandleToggle(id, checked);
    }
    void Type(int id, const std::string& text) {
        model.SetText(id, text);
        rules.OnFieldEdited(id);
    }
    void Leave(int id) { rules.OnFieldFocusLost(id); }
    void Enter(int id, const std::string& text) {
        Type(id, text);
        Leave(id);
    }
    const std::vector<std::string>& Items(int id) const { return model.State(id).items; }
};

TEST(ControlState, InputSetsFollowMethodAutoDesignAndResponse) {
    // The states, in this order, of the length, transition width, ripples, Beta,
    // filter type, first and second cutoff, iterations, ratio, ratio note, band
    // count, FFT size, Auto Design and termination controls.
    const int ids[] = {kLengthEdit,      kTransitionEdit,  kPassRippleEdit,   kBetaEdit,
                       kFilterTypeCombo, kFirstCutoffEdit, kSecondCutoffEdit, kIterationsEdit,
                       kRatioEdit,       kRatioNote,       kBandCountEdit,    kFftSizeCombo,
                       kAutoDesignCheck, kIterationsRadio};
    struct Case {
        int method;
        bool autoDesign;
        int response;
        std::vector<S> states;
        std::size_t filterTypes;  // items in the Filter Type list
        int bands;
    };
    constexpr S H = Hidden;
    // clang-format off
    const Case cases[] = {
        {Rectangular, true, LowPass, {On, Off, Off, H, Off, On, Off, H, H, H, H, On, On, H}, 2, 2},
        {Rectangular, false, HighPass, {Off, On, Off, H, Off, On, Off, H, H, H, H, On, On, H}, 2, 2},
        {Kaiser, true, BandPass, {On, Off, Off, On, On, On, On, H, H, H, H, On, On, H}, 3, 3},
        {Hamming, false, BandPass, {Off, On, Off, H, Off, On, On, H, H, H, H, On, On, H}, 3, 3},
        {Hamming, true, BandStop, {On, Off, Off, H, On, On, On, H, H, H, H, On, On, H}, 1, 3},
        {Kaiser, false, BandStop, {Off, On, On, H, Off, On, On, H, H, H, H, On, On, H}, 1, 3},
        {Kaiser, false, LowPass, {Off, On, On, H, Off, On, Off, H, H, H, H, On, On, H}, 2, 2},
        {Hanning, true, Differentiator, {On, Off, Off, H, On, On, On, H, H, H, H, On, Off, H}, 1, 3},
        {Hamming, false, Differentiator, {On, Off, Off, H, On, On, On, H, H, H, H, On, Off, H}, 1, 3},
        {Kaiser, false, Hilbert, {On, Off, Off, H, On, Off, Off, H, H, H, H, On, Off, H}, 1, 2},
        {Kaiser, true, Hilbert, {On, Off, Off, On, On, Off, Off, H, H, H, H, On, Off, H}, 1, 2},
        {Equiripple, true, LowPass, {On, H, H, H, Off, H, H, On, Off, Off, H, H, H, On}, 2, 2},
        {Equiripple, true, BandPass, {On, H, H, H, On, H, H, On, Off, Off, H, H, H, On}, 3, 3},
        {Equiripple, false, BandPass, {On, H, H, H, On, H, H, On, Off, Off, H, H, H, On}, 3, 3},
        {Equiripple, true, BandStop, {On, H, H, H, On, H, H, On, Off, Off, H, H, H, On}, 1, 3},
        {Equiripple, true, Differentiator, {On, H, H, H, On, H, H, On, Off, Off, H, H, H, On}, 1, 3},
        {Equiripple, true, Multiband, {On, H, H, H, On, H, H, On, Off, Off, On, H, H, On}, 4, 2},
        {Equiripple, false, Multiband, {On, H, H, H, On, H, H, On, Off, Off, On, H, H, On}, 4, 2},
        {ParksMcClellan, true, LowPass, {On, H, Off, H, Off, H, H, H, H, H, H, H, On, H}, 2, 2},
        {ParksMcClellan, false, BandStop, {Off, H, On, H, Off, H, H, H, H, H, H, H, On, H}, 1, 3},
        {ParksMcClellan, false, Multiband, {On, H, Off, H, On, H, H, H, H, H, On, H, Off, H}, 4, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "method " << c.method << " auto " << c.autoDesign
                                        << " response " << c.response);
        Window w;
        w.Toggle(kAutoDesignCheck, c.autoDesign);
        w.Select(kFunctionTypeCombo, c.method);
        w.Select(kResponseTypeCombo, c.response);
        EXPECT_EQ(w.spec.AutoD, c.autoDesign ? 1 : 0);
        for (std::size_t i = 0; i < std::size(ids); ++i) {
            EXPECT_EQ(StateOf(w.model, ids[i]), c.states[i]) << "control " << ids[i];
        }
        EXPECT_EQ(StateOf(w.model, kStopRippleEdit), c.states[2]);
        // Labels and units follow their fields.
        for (const auto& [field, label] : {std::pair{kLengthEdit, kLengthLabel},
                                           {kTransitionEdit, kTransitionUnit},
                                           {kPassRippleEdit, kPassRippleLabel},
                                           {kStopRippleEdit, kStopRippleUnit},
                                           {kBetaEdit, kBetaLabel},
                                           {kFilterTypeCombo, kFilterTypeLabel},
                                           {kFirstCutoffEdit, kFirstCutoffUnit},
                                           {kSecondCutoffEdit, kSecondCutoffLabel},
                                           {kIterationsEdit, kIterationsLabel},
                                           {kRatioEdit, kRatioLabel},
                                           {kBandCountEdit, kBandCountLabel},
                                           {kFftSizeCombo, kFftSizeLabel}}) {
            EXPECT_EQ(StateOf(w.model, label), StateOf(w.model, field)) << "label " << label;
        }
        // The band-table methods have their own groups in place of the cutoffs'; a
        // band's weight is an input while Parks-McClellan is given its length.
        const bool equiripple = UsesBandTable(static_cast<DesignMethod>(c.method));
        const bool weighted = c.method == ParksMcClellan;
        EXPECT_EQ(StateOf(w.model, kWeightEdit), !weighted ? Hidden : c.states[0]);
        EXPECT_EQ(w.model.State(kSpecGroupEquiripple).visible, equiripple);
        EXPECT_EQ(w.model.State(kBandGroup).visible, equiripple);
        EXPECT_EQ(w.model.State(kSpecGroupWindow).visible, !equiripple);
        EXPECT_EQ(w.model.State(kCutoffGroup).visible, !equiripple);
        EXPECT_EQ(w.Items(kFilterTypeCombo).size(), c.filterTypes);
        EXPECT_EQ(w.spec.TBand, c.bands);
        EXPECT_EQ(w.model.ItemCount(kBandCombo), c.bands);
        // With Auto Design off the first characteristic is preselected.
        if (!c.autoDesign) {
            EXPECT_EQ(w.model.Selection(kFilterTypeCombo), 0);
        }
        // The selected characteristic is the committed one.
        const int item = w.model.Selection(kFilterTypeCombo);
        ASSERT_GE(item, 0);
        EXPECT_EQ(w.Items(kFilterTypeCombo)[item], SymmetryTypeText(w.spec.FChar));
    }
}

// The control table names each control once: a second row would silently win.
TEST(ControlState, EveryControlHasOneRule) {
    std::set<int> seen;
    for (const ControlRule& rule : ControlRules()) {
        for (int id : rule.ids) EXPECT_TRUE(seen.insert(id).second) << "control " << id;
    }
    EXPECT_GT(seen.size(), 60u);
}

TEST(ControlState, StartsAsAFreshLowPassRectangularDesign) {
    Window w;
    const FilterSpec fresh = DefaultFilterSpec();
    EXPECT_TRUE(w.spec == fresh);
    EXPECT_EQ(w.model.Text(kSamplingFrequencyEdit), "8000");
    EXPECT_EQ(w.model.Text(kLengthEdit), "31");
    EXPECT_EQ(w.model.Text(kViewHighEdit), "4000");
    EXPECT_EQ(w.model.Selection(kFftSizeCombo), 6);
    for (const auto& [combo, count] : {std::pair{kResponseTypeCombo, 6},
                                       {kFunctionTypeCombo, kDesignMethodCount},
                                       {kGraphTypeCombo, kGraphTypeCount},
                                       {kDisplayTypeCombo, 4},
                                       {kFftSizeCombo, kFftIndexCount},
                                       {kFilterTypeCombo, 2}}) {
        EXPECT_EQ(w.model.ItemCount(combo), count) << combo;
    }
    EXPECT_TRUE(w.model.Checked(kAutoDesignCheck) && w.model.Checked(kIterationsRadio));
    EXPECT_TRUE(w.model.State(kApplyButton).enabled);
    for (int id : {kSaveButton, kPrintResponseButton, kPrintCoefficientsButton, kGraphTypeCombo,
                   kDisplayTypeCombo, kGridCheck, kCurveFittingCheck}) {
        EXPECT_FALSE(w.model.State(id).enabled) << id;
    }
    for (int id : {kHoldOnCheck, kZoomCheck, kViewButton, kViewLowEdit, kBandCombo, kBandCountEdit,
                   kSpecGroupEquiripple, kProcessingText, kSmallGraph, kLogoPicture, kRatioNote,
                   kIterationsRadio, kBetaEdit, kLogScaleCheck, kDegreesCheck}) {
        EXPECT_FALSE(w.model.State(id).visible) << id;
    }
    EXPECT_TRUE(w.model.State(kPenguinPicture).visible);
}

TEST(ControlState, ResponseAndMethodListsFollowEachOther) {
    Window w;
    // The small graph shows a window design, the logo an equiripple one; neither
    // while the start-up pictures run.
    for (const bool startup : {true, false}) {
        w.rules.flags.startupPicture = startup;
        for (const int method : {Hamming, Equiripple, Kaiser}) {
            w.Select(kFunctionTypeCombo, method);
            EXPECT_EQ(w.model.State(kSmallGraph).visible, !startup && method != Equiripple);
            EXPECT_EQ(w.model.State(kLogoPicture).visible, !startup && method == Equiripple);
        }
    }
    // Hilbert with a window: full band cutoffs, one characteristic, no band-table
    // method.
    w.Select(kFunctionTypeCombo, Hamming);
    w.Enter(kFirstCutoffEdit, "1000");
    w.Select(kResponseTypeCombo, Hilbert);
    EXPECT_FALSE(w.model.State(kFirstCutoffEdit).enabled);
    EXPECT_FALSE(w.model.State(kSecondCutoffEdit).enabled);
    EXPECT_EQ(w.model.Text(kFirstCutoffEdit), "0");
    EXPECT_EQ(w.model.Text(kSecondCutoffEdit), "4000");
    EXPECT_EQ(w.spec.Fc2, 4000.0f);
    EXPECT_EQ(w.Items(kFilterTypeCombo),
              std::vector<std::string>{"Asymmetrical, Odd Filter Length"});
    EXPECT_FALSE(w.model.State(kAutoDesignCheck).enabled);
    EXPECT_EQ(w.model.ItemCount(kFunctionTypeCombo), 5);
    w.Select(kResponseTypeCombo, LowPass);
    EXPECT_EQ(w.model.ItemCount(kFunctionTypeCombo), kDesignMethodCount);

    // The sixth response item names value 5 for the chosen family.
    w.Select(kResponseTypeCombo, BandPass);
    w.Select(kFunctionTypeCombo, Equiripple);
    EXPECT_EQ(w.Items(kResponseTypeCombo).back(), "Multiband");
    EXPECT_EQ(w.model.Selection(kResponseTypeCombo), BandPass);
    EXPECT_FALSE(w.model.State(kBandCountEdit).visible);
    EXPECT_EQ(w.spec.TBand, 3);
    EXPECT_EQ(w.model.ItemCount(kBandCombo), 3);
    w.Select(kResponseTypeCombo, Multiband);
    EXPECT_TRUE(w.model.State(kBandCountEdit).visible);
    EXPECT_EQ(w.Items(kFilterTypeCombo).size(), 4u);
    w.Select(kFunctionTypeCombo, Blackman);
    EXPECT_EQ(w.Items(kResponseTypeCombo).back(), "Hilbert Transform");
    EXPECT_EQ(w.model.Selection(kResponseTypeCombo), Hilbert);
}

TEST(ControlState, CharacteristicFollowsLengthAndAutoDesign) {
    Window w;
    w.Enter(kLengthEdit, "30");
    EXPECT_EQ(w.spec.FChar, SymmetricEven);
    EXPECT_EQ(w.model.Selection(kFilterTypeCombo), 1);
    EXPECT_FALSE(w.model.State(kFilterTypeCombo).enabled);
    w.Select(kResponseTypeCombo, HighPass);
    EXPECT_EQ(w.spec.FChar, AntisymmetricEven);
    w.Enter(kLengthEdit, "31");
    EXPECT_EQ(w.spec.FChar, SymmetricOdd);
    // Band pass lets the user choose.
    w.Select(kResponseTypeCombo, BandPass);
    w.Select(kFilterTypeCombo, 2);
    EXPECT_EQ(w.spec.FChar, AntisymmetricOdd);
    // Differentiator with Auto Design off: the only item.
    w.Toggle(kAutoDesignCheck, false);
    w.Select(kResponseTypeCombo, Differentiator);
    EXPECT_EQ(w.spec.FChar, AntisymmetricEven);
}

TEST(ControlState, CombosTakeBackTheirStoredSelection) {
    Window w;
    w.Type(kFftSizeCombo, "abc");
    w.Select(kFftSizeCombo, -1);  // no item: the size stays
    EXPECT_EQ(w.spec.FFT, 512);
    w.rules.RestoreComboSelection(kFftSizeCombo);
    EXPECT_EQ(w.model.Selection(kFftSizeCombo), 6);
    EXPECT_EQ(w.model.Text(kFftSizeCombo), "512");
    w.Select(kFftSizeCombo, 9);
    EXPECT_EQ(w.spec.FFT, 4096);
    w.model.Select(kResponseTypeCombo, 3);  // typed over, not chosen
    w.rules.RestoreComboSelection(kResponseTypeCombo);
    EXPECT_EQ(w.model.Selection(kResponseTypeCombo), LowPass);
    // The graph, display and band combos take back what their handlers stored.
    w.rules.flags.graphSel = Magnitude;
    w.rules.flags.displaySel = StopbandView;
    w.rules.flags.bandSel = 1;
    for (const auto& [combo, stored] : {std::pair{kGraphTypeCombo, int{Magnitude}},
                                        {kDisplayTypeCombo, int{StopbandView}},
                                        {kBandCombo, 1},
                                        {kResponseTypeCombo, int{LowPass}}}) {
        w.model.Select(combo, -1);
        w.model.SetText(combo, "typed");
        w.rules.RestoreComboSelection(combo);
        EXPECT_EQ(w.model.Selection(combo), stored) << combo;
        EXPECT_EQ(w.model.Text(combo), w.Items(combo)[stored]) << combo;
    }
    // A stored band beyond the list selects nothing and shows no text.
    w.rules.flags.bandSel = 5;
    w.rules.RestoreComboSelection(kBandCombo);
    EXPECT_EQ(w.model.Selection(kBandCombo), -1);
    EXPECT_EQ(w.model.Text(kBandCombo), "");
    // Inserting or deleting an item keeps the selected item selected, whether it
    // lies before, at or after the index; a deleted selected item leaves none, and
    // so does selecting past the end.
    struct Edit {
        bool insert;
        int index, selected, selectedAfter;
        std::vector<std::string> items;
    };
    // clang-format off
    for (const Edit& e : {Edit{true, 1, 2, 3, {"a", "x", "b", "c"}}, Edit{true, 1, 1, 2, {"a", "x", "b", "c"}},
                          Edit{true, 1, 0, 0, {"a", "x", "b", "c"}}, Edit{true, 3, 2, 2, {"a", "b", "c", "x"}},
                          Edit{true, -1, 2, 2, {"a", "b", "c", "x"}}, Edit{true, 0, -1, -1, {"x", "a", "b", "c"}},
                          Edit{false, 1, 2, 1, {"a", "c"}}, Edit{false, 1, 1, -1, {"a", "c"}},
                          Edit{false, 1, 0, 0, {"a", "c"}}, Edit{false, 3, 2, 2, {"a", "b", "c"}},
                          Edit{false, -1, 0, 0, {"a", "b", "c"}}, Edit{true, 0, 3, -1, {"x", "a", "b", "c"}}}) {
        // clang-format on
        SCOPED_TRACE(testing::Message() << e.insert << " at " << e.index << " of " << e.selected);
        ControlModel m;
        m.SetItems(kBandCombo, {"a", "b", "c"});
        EXPECT_EQ(m.Selection(kBandCombo), -1);
        m.Select(kBandCombo, e.selected);
        e.insert ? m.InsertItem(kBandCombo, e.index, "x") : m.DeleteItem(kBandCombo, e.index);
        EXPECT_EQ(m.State(kBandCombo).items, e.items);
        EXPECT_EQ(m.Selection(kBandCombo), e.selectedAfter);
    }
    // Under Hold On the method chosen stays, though the spec keeps the held one.
    w.rules.flags.holdActive = true;
    w.Select(kFunctionTypeCombo, Kaiser);
    w.rules.RestoreComboSelection(kFunctionTypeCombo);
    EXPECT_EQ(w.model.Selection(kFunctionTypeCombo), Kaiser);
    EXPECT_EQ(w.spec.WType, Rectangular);
}

TEST(ControlState, BandFieldsAndTermination) {
    Window w;
    w.Select(kFunctionTypeCombo, Equiripple);
    // By iterations at first: the count is open, the ratio is not.
    EXPECT_TRUE(w.model.State(kIterationsEdit).enabled);
    EXPECT_FALSE(w.model.State(kRatioEdit).enabled);
    EXPECT_FALSE(w.model.State(kRatioNote).enabled);
    w.Select(kResponseTypeCombo, Multiband);
    w.Enter(kBandCountEdit, "3");
    EXPECT_EQ(w.model.ItemCount(kBandCombo), 3);
    // The first band's lower edge and the last band's upper edge are fixed.
    EXPECT_FALSE(w.model.State(kLowerEdgeEdit).enabled);
    EXPECT_TRUE(w.model.State(kUpperEdgeEdit).enabled);
    w.Select(kBandCombo, 1);
    EXPECT_EQ(w.model.Text(kAmplitudeEdit), "1");
    EXPECT_TRUE(w.model.State(kLowerEdgeEdit).enabled && w.model.State(kUpperEdgeEdit).enabled);
    w.Select(kBandCombo, 2);
    EXPECT_TRUE(w.model.State(kLowerEdgeEdit).enabled);
    EXPECT_FALSE(w.model.State(kUpperEdgeEdit).enabled);
    EXPECT_EQ(w.model.Text(kUpperEdgeEdit), "4000");
    w.Enter(kLowerEdgeEdit, "3000");
    EXPECT_EQ(w.spec.Bands[2].Lower, 3000.0);
    // Equiripple chosen again over a valid design keeps the bands.
    w.rules.flags.designValid = true;
    w.Select(kFunctionTypeCombo, Equiripple);
    EXPECT_EQ(w.spec.Bands[2].Lower, 3000.0);
    w.Enter(kBandCountEdit, "1");
    EXPECT_FALSE(w.model.State(kLowerEdgeEdit).enabled);
    EXPECT_FALSE(w.model.State(kUpperEdgeEdit).enabled);
    EXPECT_EQ(w.rules.flags.bandSel, 0);

    w.Enter(kRatioEdit, "0.01");
    w.Toggle(kPeakRatioRadio, true);
    EXPECT_EQ(w.spec.TerCr, ByPeakRatio);
    EXPECT_EQ(w.spec.RatioTarget, 0.01);
    w.Enter(kRatioEdit, "0.02");
    EXPECT_EQ(w.spec.RatioTarget, 0.02);
    EXPECT_TRUE(w.model.State(kRatioEdit).enabled);
    EXPECT_TRUE(w.model.State(kRatioNote).enabled);
    EXPECT_FALSE(w.model.State(kIterationsEdit).enabled);
    w.Toggle(kIterationsRadio, true);
    EXPECT_EQ(w.spec.TerCr, ByIterations);
    EXPECT_EQ(w.spec.RatioTarget, -1.0);
    EXPECT_FALSE(w.model.Checked(kPeakRatioRadio));
}

TEST(FieldCheckFlow, RefusedValuesComeBackAndKeepTheSpec) {
    struct Case {
        int id;
        const char* text;
        const char* message;
        const char* shownAfter;
    };
    const Case cases[] = {
        {kFirstCutoffEdit, "4000.5", "Please enter a value less than half the sampling rate", "0"},
        {kFirstCutoffEdit, "abc", "Please enter a number", "0"},
        {kFirstCutoffEdit, "", "Please enter a number", "0"},
        {kTransitionEdit, "1e999", "Please enter a number", "1"},
        {kBetaEdit, "nan", "Please enter a number", "4"},
        {kBetaEdit, "15.5", "Please enter a value less than 16 for Beta", "4"},
        {kLengthEdit, "12abc", "Please enter a number", "31"},
        {kLengthEdit, "99999999999", "Please enter a number", "31"},
        {kStopRippleEdit, "-40", "Please enter a positive number", "0"},
        {kBandCountEdit, "11", "Please enter a value not above 10", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.id));
        Window w;
        const FilterSpec before = w.spec;
        w.Enter(c.id, c.text);
        EXPECT_EQ(w.platform.BoxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(w.model.Text(c.id), c.shownAfter);
        EXPECT_TRUE(w.spec == before);
        // The focus goes back, except to the band count.
        EXPECT_EQ(w.platform.focus.size(), c.id == kBandCountEdit ? 0u : 1u);
    }
}

TEST(FieldCheckFlow, ARefusedValueShowsOneMessage) {
    Window w;
    // A cutoff committed before Fs was lowered is above the new Fs/2: the value
    // restored after a refusal would be refused again.
    w.Enter(kFirstCutoffEdit, "3000");
    w.Enter(kSamplingFrequencyEdit, "4000");
    // The desktop reports focus losses while the box is open and when the focus
    // comes back; none of them checks the field again.
    w.platform.duringBox = [&] { w.Leave(kFirstCutoffEdit); };
    w.Enter(kFirstCutoffEdit, "5000");
    w.Leave(kFirstCutoffEdit);
    w.Leave(kFirstCutoffEdit);
    EXPECT_EQ(w.platform.boxes.size(), 1u);
    EXPECT_EQ(w.model.Text(kFirstCutoffEdit), "3000");
    // Once the user types again, the field is checked again.
    w.Enter(kFirstCutoffEdit, "5000");
    EXPECT_EQ(w.platform.boxes.size(), 2u);
    w.Enter(kFirstCutoffEdit, "1000");
    EXPECT_EQ(w.spec.Fc1, 1000.0f);
    EXPECT_EQ(w.platform.boxes.size(), 2u);
}

TEST(FieldCheckFlow, CommitsAndTheirFollowUps) {
    Window w;
    w.Enter(kStopRippleEdit, "40");
    EXPECT_EQ(w.spec.SBrip, -40.0);
    w.Enter(kStopRippleEdit, "-40");
    EXPECT_EQ(w.model.Text(kStopRippleEdit), "40");
    EXPECT_EQ(w.spec.SBrip, -40.0);

    w.held.iterations = 0;
    w.Enter(kIterationsEdit, "10");
    w.Enter(kIterationsEdit, "20");
    EXPECT_EQ(w.spec.Itern, 20);
    EXPECT_EQ(w.held.iterations, 10);  // the count before, named by the legend

    // An edit of any spec field withdraws the design, even when the text comes back.
    for (int field :
         {kFirstCutoffEdit, kSecondCutoffEdit, kLengthEdit, kTransitionEdit, kPassRippleEdit,
          kStopRippleEdit, kSamplingFrequencyEdit, kBetaEdit, kIterationsEdit, kRatioEdit,
          kLowerEdgeEdit, kUpperEdgeEdit, kAmplitudeEdit, kBandCountEdit}) {
        w.rules.flags.designValid = true;
        for (int id : {kSaveButton, kPrintResponseButton, kGridCheck, kHoldOnCheck})
            w.model.Enable(id, true);
        const std::string text = w.model.Text(field);
        w.Type(field, "7");
        w.Type(field, text);
        EXPECT_FALSE(w.rules.flags.designValid) << field;
        for (int id : {kSaveButton, kPrintResponseButton, kGridCheck, kHoldOnCheck}) {
            EXPECT_FALSE(w.model.State(id).enabled) << field;
        }
    }
    // The view range is not part of the filter spec.
    w.rules.flags.designValid = true;
    w.Type(kViewLowEdit, "10");
    EXPECT_TRUE(w.rules.flags.designValid);
}

TEST(FieldCheckFlow, LongMessageTextsAreShownWhole) {
    Window w;
    w.Enter(kSamplingFrequencyEdit, "1e12");
    w.Enter(kViewHighEdit, "4e11");
    w.Enter(kViewLowEdit, "4.5e11");
    ASSERT_EQ(w.platform.boxes.size(), 1u);
    MessageArgs args;
    args.rangeHigh = 4e11;
    EXPECT_EQ(w.platform.boxes[0].text, FormatMessage(MessageCode::ViewLowOutOfRange, args));
    EXPECT_NE(w.platform.boxes[0].text.find("400000000000.000000"), std::string::npos);
    EXPECT_EQ(w.model.Text(kViewLowEdit), "0");
    EXPECT_TRUE(w.platform.focus.empty());
}

}  // namespace
}  // namespace tapwright::ui
