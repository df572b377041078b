#include "platform/ui/byte_limit.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <utility>

namespace ui {

namespace {

// The UTF-8 bytes of the character that ends just before `end` and how many UTF-16 units it
// takes (2 for a surrogate pair).
std::pair<std::size_t, int> CharacterBefore(const QString& text, int end) {
    const QChar last = text[end - 1];
    if (last.isLowSurrogate() && end >= 2 && text[end - 2].isHighSurrogate())
        return {4, 2};
    const char16_t unit = last.unicode();
    if (unit < 0x80)
        return {1, 1};
    if (unit < 0x800)
        return {2, 1};
    return {3, 1};
}

}  // namespace

std::size_t Utf8Size(const QString& text) {
    std::size_t bytes = 0;
    for (int end = static_cast<int>(text.size()); end > 0;) {
        const auto [size, units] = CharacterBefore(text, end);
        bytes += size;
        end -= units;
    }
    return bytes;
}

Utf8ByteLimit::Utf8ByteLimit(std::size_t maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State Utf8ByteLimit::validate(QString& input, int& position) const {
    std::size_t bytes = Utf8Size(input);
    if (bytes <= maxBytes_)
        return Acceptable;
    // What was just typed or pasted ends at the cursor: take back its last characters.
    int end = std::clamp(position, 0, static_cast<int>(input.size()));
    int start = end;
    while (bytes > maxBytes_ && start > 0) {
        const auto [size, units] = CharacterBefore(input, start);
        bytes -= size;
        start -= units;
    }
    input.remove(start, end - start);
    position = start;
    int length = static_cast<int>(input.size());
    while (bytes > maxBytes_ && length > 0) {
        const auto [size, units] = CharacterBefore(input, length);
        bytes -= size;
        length -= units;
    }
    input.truncate(length);
    position = std::min(position, length);
    return Acceptable;
}

void LimitUtf8Bytes(QLineEdit& edit, std::size_t maxBytes) {
    const auto* previous = qobject_cast<const Utf8ByteLimit*>(edit.validator());
    edit.setValidator(new Utf8ByteLimit(maxBytes, &edit));
    delete previous;
}

void LimitUtf8Bytes(QComboBox& combo, std::size_t maxBytes) {
    if (QLineEdit* edit = combo.lineEdit())
        LimitUtf8Bytes(*edit, maxBytes);
}

}  // namespace ui
