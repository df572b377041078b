#include "engine/dataset/field_convert.h"

#include <cctype>
#include <limits>

#include "engine/db_error.h"

namespace vesk {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The text of an integer the way the range message shows it (%g of a whole number).
std::string RangeNumber(std::int64_t value) {
    return std::to_string(value);
}

bool IsPrefixIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() > word.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::size_t end = text.size();
    while (end > i && IsBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == end)
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<bool> ParseBooleanText(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    if (IsPrefixIgnoringCase(text, "False"))
        return false;
    if (IsPrefixIgnoringCase(text, "True"))
        return true;
    return std::nullopt;
}

void CheckIntegerRange(std::int64_t value, std::int64_t low, std::int64_t high,
                       const std::string& fieldName) {
    if (value >= low && value <= high)
        return;
    throw EDatabaseError(RangeNumber(value) + " is not a valid value for field '" + fieldName +
                         "'. The allowed range is " + RangeNumber(low) + " to " +
                         RangeNumber(high));
}

std::string_view TextBeforeZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

void CheckTextFits(std::string_view text, std::size_t maxBytes, const std::string& fieldName) {
    const std::size_t size = TextBeforeZero(text).size();
    if (size > maxBytes)
        throw EDatabaseError("Value too long for field '" + fieldName +
                             "': " + std::to_string(size) + " bytes, the field holds " +
                             std::to_string(maxBytes));
}

}  // namespace vesk
