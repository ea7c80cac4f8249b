#include "ui/spec_edit_buffer.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "core/number_text.h"

namespace tapwright::ui {

namespace {

std::string_view Trimmed(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    // A leading '+' is a sign the library does not take; "+-1" stays refused.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    return text;
}

template <typename T>
std::optional<T> ParseReal(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return std::nullopt;
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ptr != end) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Overflow is refused; a number too small for the type reads as zero.
        const std::string copy(text);
        const double wide = std::strtod(copy.c_str(), nullptr);
        if (std::isinf(wide) || std::fabs(wide) >= 1.0) return std::nullopt;
        return T{0};
    }
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    if (value == T{0}) value = T{0};  // no negative zero
    return value;
}

}  // namespace

std::string FormatFieldNumber(float value) {
    return ShortestText(value);
}
std::string FormatFieldNumber(double value) {
    return StoredValueText(value);
}
std::string FormatFieldNumber(int value) {
    return std::to_string(value);
}

std::optional<float> ParseFloatField(std::string_view text) {
    return ParseReal<float>(text);
}
std::optional<double> ParseDoubleField(std::string_view text) {
    return ParseReal<double>(text);
}

std::optional<int> ParseIntField(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

}  // namespace tapwright::ui
