#include "core/messages.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tapwright {
namespace {

TEST(Messages, ExactTexts) {
    MessageArgs a;
    a.bandA = 2;
    a.bandB = 3;
    a.maxWidth = 100.0;
    a.rangeLow = 0.0;
    a.rangeHigh = 1500.25;
    a.detail = "disk full";
    a.length = 200000;
    a.limit = 131071;
    a.condition = 2.5e13;
    const std::pair<MessageCode, const char*> table[] = {
        {MessageCode::AboveHalfFs, "Please enter a value less than half the sampling rate"},
        {MessageCode::NotPositive, "Please enter a value greater than zero"},
        {MessageCode::CannotCreateFile, "Error creating output file"},
        {MessageCode::CannotOpenFile, "Error opening file"},
        {MessageCode::LengthTooSmall, "Please enter a number greater than 2"},
        {MessageCode::Negative, "Please enter a positive number"},
        {MessageCode::BetaTooLarge, "Please enter a value less than 16 for Beta"},
        {MessageCode::RatioNotReached, "Peak ripple ratio cannot be reached after 40 iterations"},
        {MessageCode::SingularMatrix, "Singular matrix encountered! - Filter cannot be designed!"},
        {MessageCode::NeedEvenLength, "Please enter an even number of filter length"},
        {MessageCode::NeedOddLength, "Please enter an odd number of filter length"},
        {MessageCode::BandRangeError,
         "Band 2 frequency range error. Please ensure upper bandedge frequency is greater than "
         "lower bandedge frequency"},
        {MessageCode::BandOverlapError,
         "Overlapping bandedge frequencies error. Please ensure Band 2 upper bandedge frequency "
         "is less than Band 3 lower bandedge frequency"},
        {MessageCode::TransitionWidthRange,
         "Transition width out of range. Please enter a value between 1 and 100.00 Hz"},
        {MessageCode::BandCountTooSmall, "Please enter a value greater than 1"},
        {MessageCode::ViewLowOutOfRange,
         "Please enter a frequency value between 0.000000 and 1500.250000"},
        {MessageCode::ReportBitmapFailed,
         "Not enough resource for the bitmap. Either reduce the bitmap dimension or switch to "
         "lower screen setting (e.g. 256-color mode), and try again."},
        {MessageCode::PrinterNotFound,
         "Can not find printer. Please check installed/default printers."},
        {MessageCode::PrintJobFailed, "Printing error occured. Unable to find printer."},
        {MessageCode::ExportFailed, "The coefficients cannot be exported: disk full"},
        {MessageCode::GraphNotSaved, "The graph cannot be saved: disk full"},
        {MessageCode::MeasureFailed, "The design cannot be measured: disk full"},
        {MessageCode::LengthTooLarge,
         "Filter length out of range: the design needs 200000 coefficients, at most 131071 are "
         "possible. Please enter a wider transition width"},
        {MessageCode::EquirippleTooLong,
         "Filter length out of range. Please enter a length not above 131071 for an equiripple "
         "design"},
        {MessageCode::BandCountTooLarge, "Please enter a value not above 131071"},
        {MessageCode::LengthAboveMaximum, "Please enter a number not above 131071"},
        {MessageCode::FileDamaged, "The file cannot be loaded: disk full"},
        {MessageCode::NotANumber, "Please enter a number"},
        {MessageCode::IllConditioned,
         "Warning: the equiripple normal equations are nearly singular (condition estimate "
         "2.5e+13). Rounding decides the coefficients, which may miss the bands"},
    };
    for (const auto& [code, text] : table) {
        EXPECT_EQ(FormatMessage(code, a), text) << static_cast<int>(code);
    }
    EXPECT_EQ(FormatMessage(static_cast<MessageCode>(6)), "");
    EXPECT_EQ(FormatMessage(static_cast<MessageCode>(9)), "");
}

TEST(Messages, HugeNumbersAreFormattedWhole) {
    MessageArgs a;
    a.rangeLow = 1e300;
    a.rangeHigh = -1e308;
    const std::string text = FormatMessage(MessageCode::ViewHighOutOfRange, a);
    char low[400], high[400];
    std::snprintf(low, sizeof low, "%f", 1e300);
    std::snprintf(high, sizeof high, "%f", -1e308);
    EXPECT_EQ(text, std::string("Please enter a frequency value between ") + low + " and " + high);
    EXPECT_GT(text.size(), 600u);
    // Around the size that fits the first buffer.
    for (const std::size_t size : {1u, 62u, 63u, 64u, 65u, 200u}) {
        const std::string whole(size, 'x');
        EXPECT_EQ(FormatString("%s", whole.c_str()), whole) << size;
    }
}

TEST(Messages, RatioAchieved) {
    EXPECT_EQ(RatioAchievedText(7, 0.0001234),
              "Ratio achieved -- (No of iterations: 7 , Peak Ripple Ratio: 1.234000e-04)");
}

}  // namespace
}  // namespace tapwright
