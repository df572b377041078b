#pragma once
// How the numeric edits of the dialogs read their text.
//
// A number is an optional "+" or "-" followed by decimal digits, with blanks allowed around it.
#include <optional>
#include <string_view>

namespace ui {

// Inclusive bounds of a spin edit; a spin edit may have none.
struct SpinBounds {
    int min = 0;
    int max = 0;
};

// The number the text holds, saturated to the range of long long; nullopt when the text is
// no number.
std::optional<long long> ParseNumber(std::string_view text);

// An integer edit's value: the number typed, 0 when the text is empty, no number, or outside
// the 32-bit range.
int ReadIntegerText(std::string_view text);

// `value` brought to the nearest bound when it lies outside them (to the 32-bit range when
// there are none).
int ClampToBounds(long long value, const std::optional<SpinBounds>& bounds);

// A spin edit's value: the number in the text brought within the bounds; a text that is no
// number reads as the lower bound (0 without bounds).
int ReadSpinText(std::string_view text, const std::optional<SpinBounds>& bounds);

}  // namespace ui
