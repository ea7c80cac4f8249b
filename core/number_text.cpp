#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tapwright {

namespace {

template <typename T>
std::string Shortest(T value) {
    if (value == T{0}) return "0";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace

std::string ShortestText(float value) {
    return Shortest(value);
}

std::string ShortestText(double value) {
    return Shortest(value);
}

std::string StoredValueText(double value) {
    // Beyond the float range the cast would be undefined.
    if (std::fabs(value) <= std::numeric_limits<float>::max()) {
        const float narrow = static_cast<float>(value);
        if (static_cast<double>(narrow) == value) return Shortest(narrow);
    }
    return Shortest(value);
}

}  // namespace tapwright
