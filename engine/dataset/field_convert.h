#pragma once
// The text conversions behind the field accessors: decimal integers, boolean texts, range
// checks and the length check of a text against a field's size. Errors are EDatabaseError with the
// accessors' messages (no component prefix).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// A decimal integer (leading and trailing blanks allowed, optional sign) within the i32 range;
// nullopt otherwise.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// "True"/"False" prefixes, case ignored: false when text is a prefix of "False", else true when
// a prefix of "True"; nullopt for any other text (and for an empty one).
std::optional<bool> ParseBooleanText(std::string_view text);

// Throws "%g is not a valid value for field '%s'. The allowed range is %g to %g" unless
// low <= value <= high.
void CheckIntegerRange(std::int64_t value, std::int64_t low, std::int64_t high,
                       const std::string& fieldName);

// text up to its first zero byte: what a text field stores of it.
std::string_view TextBeforeZero(std::string_view text);

// Throws "Value too long for field '%s': %d bytes, the field holds %d" when the stored part of
// text (TextBeforeZero; UTF-8 bytes) is longer than maxBytes. A text is never cut: a cut path
// or name would be stored as another one.
void CheckTextFits(std::string_view text, std::size_t maxBytes, const std::string& fieldName);

}  // namespace vesk
