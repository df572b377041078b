#include "platform/ui/number_text.h"

#include <algorithm>
#include <limits>

namespace ui {

std::optional<long long> ParseNumber(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    // Accumulated as a negative number, whose range reaches one further than the positive one.
    constexpr long long kMin = std::numeric_limits<long long>::min();
    long long value = 0;
    bool saturated = false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (!saturated && value < (kMin + digit) / 10)
            saturated = true;
        if (!saturated)
            value = value * 10 - digit;
    }
    if (saturated)
        return negative ? kMin : std::numeric_limits<long long>::max();
    if (!negative)
        return value == kMin ? std::numeric_limits<long long>::max() : -value;
    return value;
}

int ReadIntegerText(std::string_view text) {
    const auto number = ParseNumber(text);
    if (!number || *number < std::numeric_limits<int>::min() ||
        *number > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(*number);
}

int ClampToBounds(long long value, const std::optional<SpinBounds>& bounds) {
    long long low = std::numeric_limits<int>::min();
    long long high = std::numeric_limits<int>::max();
    if (bounds) {
        low = std::min(bounds->min, bounds->max);
        high = std::max(bounds->min, bounds->max);
    }
    return static_cast<int>(std::clamp(value, low, high));
}

int ReadSpinText(std::string_view text, const std::optional<SpinBounds>& bounds) {
    const auto number = ParseNumber(text);
    if (!number)
        return bounds ? std::min(bounds->min, bounds->max) : 0;
    return ClampToBounds(*number, bounds);
}

}  // namespace ui
