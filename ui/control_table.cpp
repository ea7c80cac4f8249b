#include "ui/control_table.h"

#include <algorithm>
#include <array>
#include <utility>

#include "graphs/dialog_units.h"

namespace tapwright::ui {

namespace {

using K = ControlKind;

// Inputs carry the names of their fields; a label or unit text is named after the
// field it belongs to, a group box after its caption. A label's last column is the
// field its mnemonic gives the focus (the coefficient group box names the list).
// clang-format off
constexpr std::array kControls{
    ControlDef{kSamplingFrequencyLabel, K::Label, "Sa&mpling Frequency :", "Sampling Frequency label", 11, 54, 72, 13, kSamplingFrequencyEdit},
    ControlDef{kSamplingFrequencyUnit, K::Label, "Hz", "Sampling Frequency unit", 132, 54, 23, 13},
    ControlDef{kResponseTypeLabel, K::Label, "&Response Type :", "Response Type label", 11, 74, 55, 10, kResponseTypeCombo},
    ControlDef{kResponseTypeCombo, K::ComboBox, "", "Response Type", 69, 72, 75, 86},
    ControlDef{kCustomGroup, K::GroupBox, "Custom Design Specifications", "Custom Design Specifications", 7, 222, 163, 101},
    ControlDef{kAutoDesignCheck, K::CheckBox, "A&uto Design Filter", "Auto Design Filter", 14, 235, 71, 10},
    ControlDef{kFunctionTypeLabel, K::Label, "Func&tion Type:", "Function Type label", 11, 112, 50, 13, kFunctionTypeCombo},
    ControlDef{kFunctionTypeCombo, K::ComboBox, "", "Function Type", 63, 110, 77, 95},
    ControlDef{kLengthLabel, K::Label, "Filter L&ength :", "Filter Length label", 15, 252, 44, 11, kLengthEdit},
    ControlDef{kLengthEdit, K::Edit, "", "Filter Length", 63, 251, 38, 12},
    ControlDef{kPassRippleLabel, K::Label, "&Pass Band Ripple :", "Pass Band Ripple label", 14, 285, 62, 9, kPassRippleEdit},
    ControlDef{kPassRippleEdit, K::Edit, "", "Pass Band Ripple", 80, 283, 37, 13},
    ControlDef{kStopRippleLabel, K::Label, "Stop &Band Ripple :  (-)", "Stop Band Ripple label", 14, 302, 72, 9, kStopRippleEdit},
    ControlDef{kStopRippleEdit, K::Edit, "", "Stop Band Ripple", 88, 300, 37, 13},
    ControlDef{kPassRippleUnit, K::Label, "dB", "Pass Band Ripple unit", 122, 286, 10, 9},
    ControlDef{kStopRippleUnit, K::Label, "dB", "Stop Band Ripple unit", 130, 303, 10, 9},
    ControlDef{kTransitionLabel, K::Label, "Transition &Width :", "Transition Width label", 14, 268, 60, 11, kTransitionEdit},
    ControlDef{kTransitionEdit, K::Edit, "", "Transition Width", 76, 267, 39, 12},
    ControlDef{kTransitionUnit, K::Label, "Hz", "Transition Width unit", 120, 268, 23, 13},
    ControlDef{kWeightLabel, K::Label, "Band Weig&ht :", "Band Weight label", 14, 268, 60, 11, kWeightEdit},
    ControlDef{kWeightEdit, K::Edit, "", "Band Weight", 76, 267, 39, 12},
    ControlDef{kCutoffGroup, K::GroupBox, "Filter Frequency Specifications", "Filter Frequency Specifications", 7, 153, 163, 62},
    ControlDef{kFirstCutoffLabel, K::Label, "&1st Cutoff Frequency :", "1st Cutoff Frequency label", 13, 172, 74, 9, kFirstCutoffEdit},
    ControlDef{kFirstCutoffEdit, K::Edit, "", "1st Cutoff Frequency", 89, 171, 45, 14},
    ControlDef{kFirstCutoffUnit, K::Label, "Hz", "1st Cutoff Frequency unit", 139, 174, 23, 13},
    ControlDef{kSecondCutoffLabel, K::Label, "&2nd Cutoff Frequency :", "2nd Cutoff Frequency label", 13, 192, 74, 9, kSecondCutoffEdit},
    ControlDef{kSecondCutoffEdit, K::Edit, "", "2nd Cutoff Frequency", 89, 189, 45, 14},
    ControlDef{kSecondCutoffUnit, K::Label, "Hz", "2nd Cutoff Frequency unit", 139, 192, 23, 13},
    ControlDef{kMainGraph, K::GraphFrame, "", "Main Graph", 175, 7, 392, 213},
    ControlDef{kMenuGroup, K::GroupBox, "Menu", "Menu", 7, 4, 164, 33},
    ControlDef{kQuitButton, K::PushButton, "&Quit", "Quit", 117, 16, 39, 16},
    ControlDef{kLoadButton, K::PushButton, "&Load", "Load", 21, 16, 37, 16},
    ControlDef{kSaveButton, K::PushButton, "&Save", "Save", 68, 16, 39, 16},
    ControlDef{kApplyButton, K::PushButton, "&Apply", "Apply", 195, 290, 78, 28},
    ControlDef{kSpecGroupWindow, K::GroupBox, "Filter Specifications", "Filter Specifications", 7, 40, 164, 108},
    ControlDef{kGraphSpecGroup, K::GroupBox, "Graph Specifications", "Graph Specifications", 175, 222, 183, 101},
    ControlDef{kGraphTypeLabel, K::Label, "Respo&nse Type :", "Graph Response Type label", 185, 238, 58, 11, kGraphTypeCombo},
    ControlDef{kGraphTypeCombo, K::ComboBox, "", "Graph Response Type", 243, 237, 102, 83},
    ControlDef{kGridCheck, K::CheckBox, "&Grid On", "Grid On", 291, 290, 40, 10},
    ControlDef{kFftSizeLabel, K::Label, "&FFT Size :", "FFT Size label", 12, 131, 34, 13, kFftSizeCombo},
    ControlDef{kFftSizeCombo, K::ComboBox, "", "FFT Size", 50, 129, 51, 126},
    ControlDef{kCurveFittingCheck, K::CheckBox, "Cur&ve Fitting", "Curve Fitting", 291, 299, 55, 10},
    ControlDef{kSamplingFrequencyEdit, K::Edit, "", "Sampling Frequency", 85, 52, 42, 14},
    ControlDef{kDisplayTypeLabel, K::Label, "&Display Type :", "Display Type label", 185, 256, 46, 16, kDisplayTypeCombo},
    ControlDef{kDisplayTypeCombo, K::ComboBox, "", "Display Type", 233, 254, 95, 73},
    ControlDef{kLogScaleCheck, K::CheckBox, "Log Sc&ale", "Log Scale", 291, 299, 48, 10},
    ControlDef{kSmallGraph, K::GraphFrame, "", "Small Graph", 369, 225, 199, 98},
    ControlDef{kDegreesCheck, K::CheckBox, "&Degrees", "Degrees", 291, 309, 43, 10},
    ControlDef{kSecondsCheck, K::CheckBox, "Secon&ds", "Group Delay in Seconds", 291, 309, 43, 10},
    ControlDef{kBetaLabel, K::Label, "&Beta :", "Beta label", 105, 251, 20, 8, kBetaEdit},
    ControlDef{kBetaEdit, K::Edit, "", "Beta", 128, 250, 32, 12},
    ControlDef{kIterationsEdit, K::Edit, "", "No of Iterations", 71, 267, 35, 12},
    ControlDef{kIterationsLabel, K::Label, "&No of Iterations :", "No of Iterations label", 14, 268, 54, 12, kIterationsEdit},
    ControlDef{kRatioLabel, K::Label, "Pea&k Error Ripple Ratio :", "Peak Error Ripple Ratio label", 14, 285, 79, 11, kRatioEdit},
    ControlDef{kRatioEdit, K::Edit, "", "Peak Error Ripple Ratio", 95, 283, 43, 12},
    ControlDef{kPenguinPicture, K::Picture, "", "Start-up Picture", 401, 249, 47, 38},
    ControlDef{kLetterFPicture, K::Picture, "", "Start-up Letter 1", 465, 256, 24, 31},
    ControlDef{kLetterIPicture, K::Picture, "", "Start-up Letter 2", 489, 256, 24, 31},
    ControlDef{kLetterRPicture, K::Picture, "", "Start-up Letter 3", 507, 256, 24, 31},
    ControlDef{kPicturePanel, K::FlatButton, "", "Start-up Picture Panel", 391, 232, 151, 83},
    ControlDef{kLogoPicture, K::Picture, "", "Logo", 401, 238, 20, 20},
    ControlDef{kProgress25Text, K::CentredLabel, " Processing ......... 25% completed", "Progress", 317, 101, 130, 23},
    ControlDef{kProgress50Text, K::CentredLabel, " Processing ......... 50% completed", "Progress", 317, 101, 130, 23},
    ControlDef{kProgress75Text, K::CentredLabel, " Processing ......... 75% completed", "Progress", 317, 101, 130, 23},
    ControlDef{kProcessingText, K::CentredLabel, " Processing ......... ", "Progress", 317, 101, 130, 23},
    ControlDef{kIterationsRadio, K::RadioButton, "Iterati&ons", "Iterations", 15, 236, 45, 9},
    ControlDef{kPeakRatioRadio, K::RadioButton, "&Peak Error Ratio", "Peak Error Ratio", 71, 236, 69, 9},
    ControlDef{kCoefficientGroup, K::GroupBox, "Coeff&icient Values", "Coefficient Values group", 570, 43, 98, 281, kCoefficientList},
    ControlDef{kCoefficientList, K::ListView, "List1", "Coefficient Values", 574, 55, 89, 263},
    ControlDef{kHoldOnCheck, K::CheckBox, "&Hold On", "Hold On", 291, 309, 42, 10},
    ControlDef{kFilterTypeLabel, K::Label, "Filter T&ype :", "Filter Type label", 11, 93, 38, 11, kFilterTypeCombo},
    ControlDef{kFilterTypeCombo, K::ComboBox, "", "Filter Type", 50, 91, 118, 87},
    ControlDef{kBandGroup, K::GroupBox, "Equiripple Specifications", "Equiripple Specifications", 7, 134, 164, 81},
    ControlDef{kBandLabel, K::Label, "&Band :", "Band label", 15, 148, 26, 10, kBandCombo},
    ControlDef{kBandCombo, K::ComboBox, "", "Band", 41, 145, 37, 110},
    ControlDef{kLowerEdgeEdit, K::Edit, "", "Lower Bandedge Frequency", 111, 163, 41, 13},
    ControlDef{kLowerEdgeLabel, K::Label, "Lo&wer Bandedge Frequency :", "Lower Bandedge Frequency label", 15, 165, 96, 11, kLowerEdgeEdit},
    ControlDef{kUpperEdgeLabel, K::Label, "&Upper Bandedge Frequency :", "Upper Bandedge Frequency label", 13, 182, 93, 11, kUpperEdgeEdit},
    ControlDef{kLowerEdgeUnit, K::Label, "Hz", "Lower Bandedge Frequency unit", 155, 165, 11, 13},
    ControlDef{kUpperEdgeEdit, K::Edit, "", "Upper Bandedge Frequency", 111, 180, 41, 13},
    ControlDef{kUpperEdgeUnit, K::Label, "Hz", "Upper Bandedge Frequency unit", 155, 182, 10, 13},
    ControlDef{kAmplitudeLabel, K::Label, "&Desired Band Amplitude :", "Desired Band Amplitude label", 13, 198, 82, 10, kAmplitudeEdit},
    ControlDef{kAmplitudeEdit, K::Edit, "", "Desired Band Amplitude", 101, 196, 41, 13},
    ControlDef{kSpecGroupEquiripple, K::GroupBox, "Filter Specifications", "Filter Specifications", 7, 40, 164, 90},
    ControlDef{kRatioNote, K::Label, "(Difference of 2 consecutive error ripples)", "Peak Error Ripple Ratio note", 13, 298, 151, 10},
    ControlDef{kBandCountLabel, K::Label, "No o&f Bands:", "No of Bands label", 87, 148, 44, 11, kBandCountEdit},
    ControlDef{kBandCountEdit, K::Edit, "", "No of Bands", 134, 146, 26, 12},
    ControlDef{kViewRangeLabel, K::Label, "View R&ange :", "View Range label", 186, 274, 45, 11, kViewLowEdit},
    ControlDef{kViewLowEdit, K::Edit, "", "View Range Low", 234, 272, 30, 13},
    ControlDef{kViewHighEdit, K::Edit, "", "View Range High", 276, 272, 30, 13},
    ControlDef{kViewRangeSeparator, K::CentredLabel, "_", "View Range separator", 266, 271, 8, 12},
    ControlDef{kZoomCheck, K::CheckBox, "&Zoom", "Zoom", 291, 299, 34, 10},
    ControlDef{kViewButton, K::PushButton, "&View", "View", 319, 272, 25, 13},
    ControlDef{kPrintResponseButton, K::PushButton, "Resp&onse", "Print Response", 575, 16, 42, 14},
    ControlDef{kPrintingGroup, K::GroupBox, "Printing Options", "Printing Options", 569, 4, 99, 33},
    ControlDef{kPrintCoefficientsButton, K::PushButton, "&Coefficients", "Print Coefficients", 621, 16, 42, 14},
};
// clang-format on

}  // namespace

std::span<const ControlDef> ControlTable() {
    return kControls;
}

// The keyboard path: each group top to bottom (left to right within a row), the
// left column first, then the graph controls, then the list and the print buttons.
// Controls that replace each other by visibility stand side by side. The path is
// not the table's order (which stacks the controls), so it is a list of its own.
// clang-format off
constexpr std::array<int, 42> kTabOrder{
    kLoadButton, kSaveButton, kQuitButton,
    kSamplingFrequencyEdit, kResponseTypeCombo, kFilterTypeCombo, kFunctionTypeCombo, kFftSizeCombo,
    kBandCombo, kBandCountEdit, kLowerEdgeEdit, kUpperEdgeEdit, kAmplitudeEdit,
    kFirstCutoffEdit, kSecondCutoffEdit,
    kAutoDesignCheck, kIterationsRadio, kPeakRatioRadio, kLengthEdit, kBetaEdit,
    kTransitionEdit, kWeightEdit, kIterationsEdit, kPassRippleEdit, kRatioEdit, kStopRippleEdit,
    kGraphTypeCombo, kDisplayTypeCombo, kViewLowEdit, kViewHighEdit, kViewButton,
    kApplyButton, kGridCheck, kCurveFittingCheck, kLogScaleCheck, kZoomCheck,
    kDegreesCheck, kSecondsCheck, kHoldOnCheck,
    kCoefficientList, kPrintResponseButton, kPrintCoefficientsButton,
};
// clang-format on

std::span<const int> TabOrder() {
    return kTabOrder;
}

int BuddyOf(int id) {
    const ControlDef* def = FindControl(id);
    return def != nullptr ? def->buddy : 0;
}

PixelRect PlaceAt(const ControlDef& def, int extraWidth, int extraHeight) {
    const int heightDu = def.kind == ControlKind::ComboBox ? kComboClosedHeightDu : def.height;
    PixelRect r{DialogUnitsToPixelsX(def.x), DialogUnitsToPixelsY(def.y),
                DialogUnitsToPixelsX(def.width), DialogUnitsToPixelsY(heightDu)};
    const int graphsW = extraWidth - extraWidth / 4;
    const int listW = extraWidth - graphsW;
    const int mainH = extraHeight / 2;
    const int smallH = extraHeight - mainH;
    // Columns and rows of the default layout, dialog units.
    constexpr int kGraphColumn = 175;  // the main graph's left edge
    constexpr int kSmallColumn = 369;  // the small graph's left edge
    constexpr int kListColumn = 569;   // the printing and coefficient groups
    constexpr int kBottomRow = 222;    // the graph controls and the small graph
    if (def.id == kMainGraph) {
        r.width += graphsW;
        r.height += mainH;
    } else if (def.id == kSmallGraph) {
        r.y += mainH;
        r.width += graphsW;
        r.height += smallH;
    } else if (def.kind == ControlKind::CentredLabel && def.x >= kGraphColumn &&
               def.y < kBottomRow) {
        // The progress texts, over the middle of the main graph.
        r.x += graphsW / 2;
        r.y += mainH / 2;
    } else if (def.x >= kListColumn) {
        r.x += graphsW;
        if (def.id == kCoefficientGroup || def.id == kCoefficientList) {
            r.width += listW;
            r.height += extraHeight;
        } else if (def.kind == ControlKind::GroupBox) {
            r.width += listW;
        } else {
            r.x += listW / 2;  // the print buttons stay centred in their group
        }
    } else if (def.x >= kSmallColumn && def.y >= kBottomRow) {
        // The start-up pictures and the logo, over the middle of the small graph.
        r.x += graphsW / 2;
        r.y += mainH + smallH / 2;
    } else if (def.x >= kGraphColumn && def.y >= kBottomRow) {
        r.y += mainH;  // the graph controls
    }
    return r;
}

bool IsSpecInput(const ControlDef& def) {
    constexpr int kGraphColumnDu = 175;  // left edge of the main graph
    switch (def.kind) {
        case ControlKind::Edit:
        case ControlKind::ComboBox:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            return def.x < kGraphColumnDu;
        default:
            return false;
    }
}

const ControlDef* FindControl(int id) {
    const auto it = std::find_if(kControls.begin(), kControls.end(),
                                 [id](const ControlDef& c) { return c.id == id; });
    return it == kControls.end() ? nullptr : &*it;
}

}  // namespace tapwright::ui
