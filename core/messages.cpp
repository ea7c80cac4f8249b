#include "core/messages.h"

#include <cstdarg>
#include <cstdio>

#include "core/design_constants.h"
#include "core/spec_limits.h"

namespace tapwright {

std::string FormatString(const char* format, ...) {
    // Labels and file lines fit the small buffer; longer texts are formatted again
    // into a string of the size the first pass reported.
    char small[64];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (size > 0 && static_cast<std::size_t>(size) < sizeof small) {
        text.assign(small, static_cast<std::size_t>(size));
    } else if (size > 0) {
        text.resize(static_cast<std::size_t>(size) + 1);
        std::vsnprintf(text.data(), text.size(), format, copy);
        text.resize(static_cast<std::size_t>(size));
    }
    va_end(copy);
    return text;
}

std::string FormatMessage(MessageCode code, const MessageArgs& a) {
    switch (code) {
        case MessageCode::AboveHalfFs:
            return "Please enter a value less than half the sampling rate";
        case MessageCode::NotPositive:
            return "Please enter a value greater than zero";
        case MessageCode::CannotCreateFile:
            return "Error creating output file";
        case MessageCode::CannotOpenFile:
            return "Error opening file";
        case MessageCode::LengthTooSmall:
            return "Please enter a number greater than 2";
        case MessageCode::Negative:
            return "Please enter a positive number";
        case MessageCode::BetaTooLarge:
            return "Please enter a value less than 16 for Beta";
        case MessageCode::RatioNotReached:
            return FormatString("Peak ripple ratio cannot be reached after %d iterations",
                                kRatioSolveLimit);
        case MessageCode::SingularMatrix:
            return "Singular matrix encountered! - Filter cannot be designed!";
        case MessageCode::NeedEvenLength:
            return "Please enter an even number of filter length";
        case MessageCode::NeedOddLength:
            return "Please enter an odd number of filter length";
        case MessageCode::BandRangeError:
            return FormatString(
                "Band %d frequency range error. Please ensure upper bandedge frequency is "
                "greater than lower bandedge frequency",
                a.bandA);
        case MessageCode::BandOverlapError:
            return FormatString(
                "Overlapping bandedge frequencies error. Please ensure Band %d upper bandedge "
                "frequency is less than Band %d lower bandedge frequency",
                a.bandA, a.bandB);
        case MessageCode::TransitionWidthRange:
            return FormatString(
                "Transition width out of range. Please enter a value between 1 and %2.2f Hz",
                a.maxWidth);
        case MessageCode::BandCountTooSmall:
            return "Please enter a value greater than 1";
        case MessageCode::ViewHighOutOfRange:
        case MessageCode::ViewLowOutOfRange:
            return FormatString("Please enter a frequency value between %f and %f", a.rangeLow,
                                a.rangeHigh);
        case MessageCode::LengthTooLarge:
            return FormatString(
                "Filter length out of range: the design needs %lld coefficients, at most %d are "
                "possible. Please enter a wider transition width",
                a.length, a.limit);
        case MessageCode::EquirippleTooLong:
            return FormatString(
                "Filter length out of range. Please enter a length not above %d for an "
                "equiripple design",
                a.limit);
        case MessageCode::BandCountTooLarge:
            return FormatString("Please enter a value not above %d", a.limit);
        case MessageCode::FileDamaged:
            return "The file cannot be loaded: " + a.detail;
        case MessageCode::LengthAboveMaximum:
            return FormatString("Please enter a number not above %d", a.limit);
        case MessageCode::NotANumber:
            return "Please enter a number";
        case MessageCode::IllConditioned:
            return FormatString(
                "Warning: the equiripple normal equations are nearly singular (condition "
                "estimate %.1e). Rounding decides the coefficients, which may miss the bands",
                a.condition);
        case MessageCode::ReportBitmapFailed:
            return "Not enough resource for the bitmap. Either reduce the bitmap dimension or "
                   "switch to lower screen setting (e.g. 256-color mode), and try again.";
        case MessageCode::PrinterNotFound:
            return "Can not find printer. Please check installed/default printers.";
        case MessageCode::PrintJobFailed:
            return "Printing error occured. Unable to find printer.";
        case MessageCode::ExportFailed:
            return "The coefficients cannot be exported: " + a.detail;
        case MessageCode::GraphNotSaved:
            return "The graph cannot be saved: " + a.detail;
        case MessageCode::MeasureFailed:
            return "The design cannot be measured: " + a.detail;
        case MessageCode::MinimaxNotConverged:
            return "The Parks-McClellan design failed: " + a.detail +
                   " The previous design is kept.";
        case MessageCode::MinimaxRefused:
            return "The Parks-McClellan design cannot be made: " + a.detail;
        case MessageCode::FsTooLarge:
            return FormatString("Please enter a sampling frequency of at most %g Hz", kMaxFs);
    }
    return "";
}

std::string RatioAchievedText(int iterations, double ratio) {
    return FormatString("Ratio achieved -- (No of iterations: %d , Peak Ripple Ratio: %e)",
                        iterations, ratio);
}

}  // namespace tapwright
