#pragma once

// The numbered table of user messages and their exact texts.

#include <string>

namespace tapwright {

enum class MessageCode : int {
    AboveHalfFs = 1,
    NotPositive = 2,
    CannotCreateFile = 3,
    CannotOpenFile = 4,
    LengthTooSmall = 5,
    Negative = 7,
    BetaTooLarge = 8,
    RatioNotReached = 10,
    SingularMatrix = 11,
    NeedEvenLength = 12,
    NeedOddLength = 13,
    BandRangeError = 14,
    BandOverlapError = 15,
    TransitionWidthRange = 16,
    BandCountTooSmall = 17,
    ViewHighOutOfRange = 18,
    ViewLowOutOfRange = 19,
    // Codes of our own, after the original table.
    LengthTooLarge = 20,       // an estimated window length beyond the maximum
    EquirippleTooLong = 21,    // an equiripple length beyond its maximum
    BandCountTooLarge = 22,    // more bands than the table holds
    FileDamaged = 23,          // a spec file that cannot be used
    LengthAboveMaximum = 24,   // a typed length beyond the maximum
    NotANumber = 25,           // a field text that is not a number of the field's type
    ReportBitmapFailed = 26,   // the graph bitmap of the response report cannot be made
    PrinterNotFound = 27,      // no usable printer
    PrintJobFailed = 28,       // the print job cannot be started (or its file written)
    IllConditioned = 29,       // a warning: nearly singular equiripple normal equations
    ExportFailed = 30,         // the coefficients cannot be exported
    GraphNotSaved = 31,        // the graph picture cannot be written
    MeasureFailed = 32,        // the design cannot be measured
    MinimaxNotConverged = 33,  // the Parks-McClellan exchange did not converge
    MinimaxRefused = 34,       // the Parks-McClellan design cannot be made from the spec
    FsTooLarge = 35,           // a sampling frequency beyond kMaxFs
};

// Values the texts refer to; each code reads only its own.
struct MessageArgs {
    int bandA = 0;           // 14, 15: band numbers from 1
    int bandB = 0;           // 15
    double maxWidth = 0.0;   // 16: Hz
    double rangeLow = 0.0;   // 18, 19: Hz
    double rangeHigh = 0.0;  // 18, 19: Hz
    long long length = 0;    // 20: the length a design would need
    int limit = 0;           // 20, 21, 22, 24: the largest accepted value
    std::string detail;      // 23: what is wrong with the file; 30 ... 34: what failed
    double condition = 0.0;  // 29: the condition estimate
};

// The text of a message, formatted whole however long its numbers print (the %f of
// a huge double runs to hundreds of digits). A code outside the table gives "".
std::string FormatMessage(MessageCode code, const MessageArgs& args = {});

// Caption of every message box.
inline constexpr const char* kApplicationTitle = "Tapwright";

// Texts of the information boxes.
inline constexpr const char* kFileSavedText = "File saved successfully";
inline constexpr const char* kFileLoadedText = "File loaded successfully!";
inline constexpr const char* kResponsePrintedText = "Filter Graphical Response Printed";
inline constexpr const char* kCoefficientsPrintedText = "Filter Coefficients Printed";

// The question before the window ends with inputs changed since the last Save, Load
// or start (answers Save, Discard, Cancel).
inline constexpr const char* kDiscardUnsavedText = "Discard the unsaved specification?";

// "Ratio achieved -- (No of iterations: %d , Peak Ripple Ratio: %e)".
std::string RatioAchievedText(int iterations, double ratio);

// printf into a std::string of exactly the needed size, however long the text.
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tapwright
