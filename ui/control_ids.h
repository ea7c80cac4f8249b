#pragma once

// Identifiers of the main window's controls. The numbers are the window's own;
// controls that no handler addresses (plain group boxes and a label) get numbers
// from kFirstUnnamedId on, so that every control can be found by id.

#include <array>

#include "core/fir_design.h"

namespace tapwright::ui {

enum ControlId : int {
    // Menu group and printing group.
    kQuitButton = 1023,
    kLoadButton = 1024,
    kSaveButton = 1025,
    kPrintResponseButton = 1127,
    kPrintCoefficientsButton = 1128,

    // The filter's inputs: rate, response, characteristic, method, FFT size.
    kSamplingFrequencyLabel = 1093,
    kSamplingFrequencyEdit = 1056,
    kSamplingFrequencyUnit = 1095,
    kResponseTypeLabel = 1094,
    kResponseTypeCombo = 1010,
    kFilterTypeLabel = 1098,
    kFilterTypeCombo = 1099,
    kFunctionTypeCombo = 1012,
    kFftSizeLabel = 1084,
    kFftSizeCombo = 1052,
    kSpecGroupWindow = 1114,      // "Filter Specifications" (window methods)
    kSpecGroupEquiripple = 1113,  // "Filter Specifications" (equiripple)

    // Cutoff group (window methods).
    kCutoffGroup = 1115,
    kFirstCutoffLabel = 1036,
    kFirstCutoffEdit = 1019,
    kFirstCutoffUnit = 1038,
    kSecondCutoffLabel = 1037,
    kSecondCutoffEdit = 1020,
    kSecondCutoffUnit = 1039,

    // Band group (equiripple).
    kBandGroup = 1050,
    kBandLabel = 1100,
    kBandCombo = 1104,
    kBandCountLabel = 1118,
    kBandCountEdit = 1117,
    kLowerEdgeLabel = 1108,
    kLowerEdgeEdit = 1107,
    kLowerEdgeUnit = 1040,
    kUpperEdgeLabel = 1109,
    kUpperEdgeEdit = 1110,
    kUpperEdgeUnit = 1041,
    kAmplitudeLabel = 1112,
    kAmplitudeEdit = 1111,
    // The selected band's weight (Parks-McClellan only), where the transition width
    // sits for the window methods.
    kWeightLabel = 1132,
    kWeightEdit = 1133,

    // Length, transition width, ripples and when an equiripple design stops.
    kCustomGroup = 1042,
    kAutoDesignCheck = 1011,
    kIterationsRadio = 1085,
    kPeakRatioRadio = 1086,
    kLengthLabel = 1043,
    kLengthEdit = 1013,
    kBetaLabel = 1062,
    kBetaEdit = 1017,
    kTransitionLabel = 1048,
    kTransitionEdit = 1016,
    kTransitionUnit = 1049,
    kIterationsLabel = 1064,
    kIterationsEdit = 1063,
    kPassRippleLabel = 1044,
    kPassRippleEdit = 1014,
    kPassRippleUnit = 1045,
    kRatioLabel = 1065,
    kRatioEdit = 1066,
    kRatioNote = 1116,
    kStopRippleLabel = 1046,
    kStopRippleEdit = 1015,
    kStopRippleUnit = 1047,

    // Apply and the graphs.
    kApplyButton = 1026,
    kMainGraph = 1021,
    kSmallGraph = 1060,
    kGraphTypeLabel = 1096,
    kGraphTypeCombo = 1033,
    kDisplayTypeLabel = 1097,
    kDisplayTypeCombo = 1058,
    kGridCheck = 1035,
    kCurveFittingCheck = 1055,
    kLogScaleCheck = 1059,
    kDegreesCheck = 1061,
    kSecondsCheck = 1130,  // group delay in seconds; shares the place of Degrees
    kHoldOnCheck = 1090,
    kZoomCheck = 1123,
    kViewRangeLabel = 1119,
    kViewLowEdit = 1120,
    kViewRangeSeparator = 1124,
    kViewHighEdit = 1121,
    kViewButton = 1125,

    // Progress texts of an equiripple design (they share one place).
    kProgress25Text = 1079,
    kProgress50Text = 1080,
    kProgress75Text = 1081,
    kProcessingText = 1082,

    // Coefficient list.
    kCoefficientList = 1089,

    // Pictures.
    kPicturePanel = 1073,
    kPenguinPicture = 1067,
    kLetterFPicture = 1070,
    kLetterIPicture = 1071,
    kLetterRPicture = 1072,
    kLogoPicture = 1074,

    // Controls no handler addresses.
    kFirstUnnamedId = 9001,
    kMenuGroup = 9001,
    kFunctionTypeLabel = 9002,
    kGraphSpecGroup = 9003,
    kCoefficientGroup = 9004,
    kPrintingGroup = 9005,
};

// The controls that show the progress texts of an equiripple design, in the order
// of ProgressText.
inline constexpr std::array<int, kProgressTextCount> kProgressTexts{
    kProcessingText, kProgress25Text, kProgress50Text, kProgress75Text};

}  // namespace tapwright::ui
